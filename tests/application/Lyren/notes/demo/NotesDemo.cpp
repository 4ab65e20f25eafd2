// Shows the main window with the Notes tab of a patient whose notes hold
// items of all six kinds, and saves a picture of the screen (and, given a
// second file name, the notes printed into a PDF file).
//
//     xvfb-run -s "-screen 0 1366x768x24" notes_demo notes.png [notes.pdf]
//
// The practice is made in a throw-away folder: two consultations written
// through the notes editor and saved, then the program is opened on it again
// as a practitioner would find it.
#include "notes/CLogicNotes.h"
#include "notes/ui/CActiveEditorFrame.h"
#include "notes/ui/CActiveEditorView.h"
#include "notes/ui/CNotesPage.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "core/CurrentPatient.h"
#include "core/LogicContext.h"

#include "Korbel/DataSource.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

void Row(
    Korbel::IDataSource *source, const QString &table, const std::vector<std::pair<QString, QString>> &values)
{
    Korbel::ReleasePtr<Korbel::ITable> rows(source->OpenTable(table));
    rows->AddNew();
    for (const auto &[field, text] : values) {
        Korbel::IField *value = nullptr;
        rows->GetField(field, &value);
        value->SetFromString(text);
        value->Release();
    }
    rows->Update();
}

template<class Item>
Item &Make(CActiveEditor &editor, ItemKind kind, std::unique_ptr<CActiveEditorClientItem> &holder)
{
    holder = editor.CreateTemplate(ItemProxy::ClassIdOf(kind));
    return static_cast<Item &>(*holder);
}

void WriteNotes(CActiveEditor &editor)
{
    std::unique_ptr<CActiveEditorClientItem> holder;
    editor.DeleteRange(0, -1);
    Make<CActiveEditorSeparatorItem>(editor, ItemKind::Separator, holder).m_consultationDate
        = QDateTime::currentDateTime().addDays(-21);
    editor.InsertFromTemplate(*holder);
    editor.InsertText(
        QStringLiteral("\nFirst consultation. Headaches since the move in spring, worse in the evening "
                       "and from the sun; better lying in a dark room. Craves salt. Photo of the rash: "));
    Make<CActiveEditorImageItem>(editor, ItemKind::Image, holder).m_strFilePath = QStringLiteral("rash.jpg");
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\nConversation recorded: "));
    Make<CActiveEditorAudioItem>(editor, ItemKind::Audio, holder).m_strFilePath
        = QStringLiteral("20240101101010.wma");
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\nPrescribed: "));
    auto &prescription = Make<CActiveEditorPrescItem>(editor, ItemKind::Prescription, holder);
    prescription.m_remedy = { QStringLiteral("1"), QStringLiteral("Natrum muriaticum"), QStringLiteral("1"),
        QStringLiteral("30CH") };
    prescription.m_nQuantity = 2;
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\n"));
    Make<CActiveEditorSeparatorItem>(editor, ItemKind::Separator, holder);
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\nFollow-up. Headaches rarer and milder. Gait filmed: "));
    Make<CActiveEditorVideoItem>(editor, ItemKind::Video, holder).m_strFilePath
        = QStringLiteral("20240301101010.asf");
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\nTreatment: "));
    auto &line = Make<CActiveEditorSequenceItem>(editor, ItemKind::Sequence, holder);
    line.m_remedy = { QStringLiteral("2"), QStringLiteral("Bryonia alba"), QStringLiteral("2"),
        QStringLiteral("200CH") };
    const QDate today = QDate::currentDate();
    line.m_dates = { today, today.addDays(2), today.addDays(4) };
    editor.InsertFromTemplate(*holder);
    editor.InsertText(QStringLiteral("\nNext visit in four weeks."));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QString output = QApplication::arguments().value(1, QStringLiteral("notes.png"));
    const QString pdf = QApplication::arguments().value(2);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        if (!source->Open(root + QStringLiteral("data.mdb")))
            return 1;
        Row(source.get(), QStringLiteral("MAIN"),
            { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") },
                { QStringLiteral("LAST_NAME"), QStringLiteral("Kowalski") },
                { QStringLiteral("DATE_OF_BIRTH"), QStringLiteral("1979-05-12") } });
        Row(source.get(), QStringLiteral("MEDICINES"),
            { { QStringLiteral("NAME"), QStringLiteral("Natrum muriaticum") } });
        Row(source.get(), QStringLiteral("MEDICINES"),
            { { QStringLiteral("NAME"), QStringLiteral("Bryonia alba") } });
        Row(source.get(), QStringLiteral("DILUTION"),
            { { QStringLiteral("VALUE"), QStringLiteral("30CH") } });
        Row(source.get(), QStringLiteral("DILUTION"),
            { { QStringLiteral("VALUE"), QStringLiteral("200CH") } });
    }
    Desktop::ScriptedPrompts prompts;
    {
        CLogicMain hub(root, root + QStringLiteral("windows"));
        if (!hub.Open())
            return 2;
        WriteNotes(hub.Services().Get<CLogicNotes>()->ActiveEditor());
        if (!hub.Context().Patient()->SaveAll())
            return 3;
    }
    CMainFrame frame(root, root + QStringLiteral("windows"));
    if (!frame.Initialize())
        return 4;
    frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(CNotesPage::PageIndex);
    // Without a window manager, maximized means the size of the screen.
    frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    frame.showMaximized();
    int status = 5;
    QTimer::singleShot(1500, &frame, [&] {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        status = screen.save(output) ? 0 : 6;
        auto *page = dynamic_cast<CNotesPage *>(frame.GetPageContainer()->GetPage(CNotesPage::PageIndex));
        if (!pdf.isEmpty() && (!page || !page->View()->PrintToPdf(pdf)))
            status = 7;
        frame.close();
    });
    application.exec();
    return status;
}
