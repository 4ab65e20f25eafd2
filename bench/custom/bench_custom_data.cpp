// The custom fields, the patient's questionnaire and documents in the real
// main window, on a synthetic practice of 10,000 patients with their child
// rows (each with a few custom fields); the first 400 patients have a
// questionnaire of about 6 KB and 40 documents:
//   move_next_ms                Ctrl+T with the three tabs filled at every
//                               load: the save (the questionnaire unchanged,
//                               so not written), the move and the load
//   move_next_questionnaire_typed_ms  the same after a line typed into the
//                               questionnaire (written at every save)
//   new_patient_30_names_ms     a new patient with a dictionary of 30 names
//   dictionary_change_ms        a "Create Always" box clicked: the dictionary
//                               of 30 names written
//   documents_fill_2000_ms      the documents list filled from 2,000 files
// Figures are medians over the runs.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "patients/CLogicDynamicFields.h"
#include "patients/ui/CDynamicQuestDialog.h"
#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"

#include "Korbel/DataSource.h"
#include "Sylvan/XmlPlatform.h"
#include "richedit/RtfCodec.h"
#include "richedit/widgets/RichEditControl.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

void Write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// About 6 KB of rich text: headings in bold, answers in plain text.
QByteArray Questionnaire(int patient)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    for (int i = 0; i < 40; ++i) {
        cursor.insertText(QStringLiteral("Question %1: ").arg(i + 1), heading);
        cursor.insertText(QStringLiteral("answer of patient %1, with some detail about it").arg(patient), {});
        cursor.insertBlock();
    }
    return RichEdit::RtfCodec::toRtf(document);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VerdantaBench"));
    QApplication::setApplicationName(QStringLiteral("VerdantaBench"));
    Sylvan::PlatformScope xml;
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    Bench::PracticeOptions options;
    options.patients = 10000;
    QString error;
    if (!Bench::CreateSyntheticPractice(root + QStringLiteral("data.mdb"), options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        Korbel::ReleasePtr<Korbel::ITable> main(source->Open(root + QStringLiteral("data.mdb"))
                ? source->OpenTable(QStringLiteral("MAIN"))
                : nullptr);
        Korbel::IField *id = nullptr;
        if (!main || !main->GetField(QStringLiteral("ID"), &id))
            return 1;
        int patient = 0;
        for (int more = main->Move(Korbel::MoveFirst); more == 1 && patient < 400;
             more = main->Move(Korbel::MoveNext), ++patient) {
            const QString folder = root + QStringLiteral("UserData/") + id->GetAsString() + QLatin1Char('/');
            Write(folder + QStringLiteral("DynamicQuestionnaire.rtf"), Questionnaire(patient));
            for (int d = 0; d < 40; ++d)
                Write(folder + QStringLiteral("Pdf/Document %1.pdf").arg(d), "%PDF-1.4");
        }
        id->Release();
    }

    Desktop::ScriptedPrompts prompts;
    CMainFrame frame(root, root + QStringLiteral("windows"));
    if (!frame.Initialize(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    frame.show();
    QApplication::processEvents();

    const auto next = [&frame] {
        if (frame.SendCommand(CommandCode::Next) != 1)
            frame.SendCommand(CommandCode::First);
    };
    Bench::Report("move_next_ms", Bench::MedianMs(300, next), "ms");
    frame.SendCommand(CommandCode::First);
    auto *questionnaire = qobject_cast<CDynamicQuestDialog *>(
        frame.GetPageContainer()->GetPageWindow(CDynamicQuestDialog::PageIndex));
    int typed = 0;
    Bench::Report("move_next_questionnaire_typed_ms",
        Bench::MedianMs(100,
            [&] {
                questionnaire->Editor()->moveCursor(QTextCursor::End);
                questionnaire->Editor()->insertPlainText(QStringLiteral("Line %1").arg(++typed));
                next();
            }),
        "ms");

    CLogicDynamicFields *fields = frame.GetHub()->Services().Get<CLogicDynamicFields>();
    for (int i = 0; i < 30; ++i)
        fields->SetCreateAlways(QStringLiteral("Field %1").arg(i), true);
    Bench::Report("new_patient_30_names_ms",
        Bench::MedianMs(20, [&frame] { frame.SendCommand(CommandCode::NewPatient); }), "ms");
    bool always = false;
    Bench::Report("dictionary_change_ms",
        Bench::MedianMs(50, [&] { fields->SetCreateAlways(QStringLiteral("Field 0"), always = !always); }),
        "ms");

    const QString pdf = frame.GetHub()->GetLogicFolders()->GetPdfFolder();
    for (int d = 0; d < 2000; ++d)
        Write(pdf + QStringLiteral("Scan %1.pdf").arg(d), "%PDF-1.4");
    LogicCommand fill;
    fill.code = CommandCode::OpenDocument;
    fill.subCommand = PageSubCommand::ShowCurrent;
    Bench::Report(
        "documents_fill_2000_ms", Bench::MedianMs(21, [&] { frame.GetHub()->OnCommand(fill); }), "ms");
    frame.close();
    return 0;
}
