// The real main window over a throw-away practice with one patient who has
// custom fields, a questionnaire of her own and two documents.
//
//     custom_data_demo                  the window, for a person to use
//     custom_data_demo <folder>         the "Patient", "Custom Data" and "My
//                                       Questionnaire" tabs saved as PNGs
//
// Run it under a real display (for example xvfb-run) to see the tabs as a
// person does.

#include "patients/CLogicDynamicFields.h"
#include "patients/ui/CDynamicFieldsDialog.h"
#include "patients/ui/CDynamicQuestDialog.h"
#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "Sylvan/XmlPlatform.h"
#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "richedit/RtfCodec.h"
#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtGui/QScreen>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <cstdio>

namespace {

// A questionnaire with bold headings and room for the answers.
QByteArray Questionnaire(const QStringList &lines)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    for (const QString &line : lines) {
        const qsizetype colon = line.indexOf(u':');
        cursor.insertText(line.left(colon + 1), heading);
        cursor.insertText(line.mid(colon + 1), QTextCharFormat());
        cursor.insertBlock();
    }
    return RichEdit::RtfCodec::toRtf(document);
}

void Write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void Save(CMainFrame &frame, int tab, const QString &file)
{
    frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(tab);
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(50);
    }
    QPixmap picture = frame.screen()->grabWindow(frame.winId());
    if (picture.isNull())
        picture = frame.grab();
    if (!picture.save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Sylvan::PlatformScope xml;
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    Write(root + QStringLiteral("DynamicQuestionnaire.rtf"),
        Questionnaire({ QStringLiteral("Main complaint:"), QStringLiteral("Since when:"),
            QStringLiteral("Better from:"), QStringLiteral("Worse from:") }));

    CMainFrame frame(root, root + QStringLiteral("windows"));
    QString error;
    if (!frame.Initialize(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    frame.resize(1280, 760);
    frame.show();

    // Anna, with her fields, her questionnaire and two documents.
    frame.SendCommand(CommandCode::NewPatient);
    auto *general
        = qobject_cast<CGeneralDialog *>(frame.GetPageContainer()->GetPageWindow(CGeneralDialog::PageIndex));
    qobject_cast<QLineEdit *>(general->FieldControl(QStringLiteral("FIRST_NAME")))
        ->setText(QStringLiteral("Anna"));
    qobject_cast<QLineEdit *>(general->FieldControl(QStringLiteral("LAST_NAME")))
        ->setText(QStringLiteral("Berg"));
    CLogicDynamicFields *fields = frame.GetHub()->Services().Get<CLogicDynamicFields>();
    const struct
    {
        const char *name;
        const char *value;
    } values[] = { { "Blood group", "A+" }, { "Allergies", "Pollen, cats" }, { "Diet", "Vegetarian" } };
    for (const auto &value : values) {
        const qint64 id = fields->AddField(QLatin1String(value.name));
        fields->UpdateField(id, QLatin1String(value.name), QLatin1String(value.value));
    }
    fields->SetCreateAlways(QStringLiteral("Diet"), false);
    auto *questionnaire = qobject_cast<CDynamicQuestDialog *>(
        frame.GetPageContainer()->GetPageWindow(CDynamicQuestDialog::PageIndex));
    questionnaire->Editor()->streamIn(
        Questionnaire({ QStringLiteral("Main complaint: headaches on waking, left side"),
            QStringLiteral("Since when: March, after a cold"),
            QStringLiteral("Better from: fresh air, cold compresses"),
            QStringLiteral("Worse from: noise, reading") }));
    frame.SendCommand(CommandCode::SavePatient);
    const QString folder = frame.GetHub()->GetLogicFolders()->GetPatientFolder();
    Write(folder + QStringLiteral("Pdf/Blood test 2024-03.pdf"), "%PDF-1.4");
    Write(folder + QStringLiteral("Pdf/Letter from Dr Lind.doc"), "letter");
    frame.SendCommand(CommandCode::First);

    if (argc < 2)
        return app.exec();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    Save(frame, CGeneralDialog::PageIndex, out.filePath(QStringLiteral("patient-tab.png")));
    Save(frame, CDynamicFieldsDialog::PageIndex, out.filePath(QStringLiteral("custom-data-tab.png")));
    Save(frame, CDynamicQuestDialog::PageIndex, out.filePath(QStringLiteral("my-questionnaire-tab.png")));
    frame.close();
    return 0;
}
