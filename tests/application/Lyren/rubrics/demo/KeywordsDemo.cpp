// Shows the main window with the Notes tab of a patient whose keywords were
// picked in two consultations, the keywords bar beside the notes, and saves a
// picture of the screen.
//
//     xvfb-run -s "-screen 0 1366x768x24" keywords_demo keywords.png
#include "notes/CLogicNotes.h"
#include "notes/ui/CNotesPage.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "core/CurrentPatient.h"
#include "core/LogicContext.h"
#include "core/UserSettings.h"

#include "Korbel/DataSource.h"
#include "Sylvan/XmlPlatform.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

// Writes a consultation and picks its keywords as a double click would.
void Consult(CLogicNotes &notes, const QDateTime &date, const QString &text, const QStringList &keywords)
{
    CActiveEditor &editor = notes.ActiveEditor();
    std::unique_ptr<CActiveEditorClientItem> holder
        = editor.CreateTemplate(ItemProxy::ClassIdOf(ItemKind::Separator));
    static_cast<CActiveEditorSeparatorItem &>(*holder).m_consultationDate = date;
    editor.SetCaret(-1);
    CActiveEditorClientItem *made = nullptr;
    editor.InsertFromTemplate(*holder, &made);
    editor.InsertText(QStringLiteral("\n") + text + QStringLiteral("\n"));
    for (const QString &keyword : keywords)
        notes.OnKeyword(static_cast<CActiveEditorSeparatorItem *>(made), keyword);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    Sylvan::PlatformScope xml;
    const QString output = QApplication::arguments().value(1, QStringLiteral("keywords.png"));
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        if (!source->Open(root + QStringLiteral("data.mdb")))
            return 1;
        Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
        main->AddNew();
        for (const auto &[field, text] : { std::pair { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") },
                 std::pair { QStringLiteral("LAST_NAME"), QStringLiteral("Kowalski") } }) {
            Korbel::IField *value = nullptr;
            main->GetField(field, &value);
            value->SetFromString(text);
            value->Release();
        }
        main->Update();
    }
    Desktop::ScriptedPrompts prompts;
    {
        CLogicMain hub(root, root + QStringLiteral("windows"));
        if (!hub.Open())
            return 2;
        CLogicNotes &notes = *hub.Services().Get<CLogicNotes>();
        notes.ActiveEditor().DeleteRange(0, -1);
        Consult(notes, QDateTime::currentDateTime().addDays(-21),
            QStringLiteral(
                "Headaches since the move in spring, worse in the evening and from the sun; better "
                "lying in a dark room. Craves salt. Weeps alone, dislikes consolation."),
            { QStringLiteral("headache"), QStringLiteral("worse sun"), QStringLiteral("craves salt"),
                QStringLiteral("consolation aggravates") });
        Consult(notes, QDateTime::currentDateTime(),
            QStringLiteral("Follow-up. Headaches rarer and milder. Sleepless after midnight, restless legs."),
            { QStringLiteral("sleeplessness after midnight"), QStringLiteral("restless legs") });
        if (!hub.Context().Patient()->SaveAll())
            return 3;
    }
    SetShowKeywords(1);
    CMainFrame frame(root, root + QStringLiteral("windows"));
    if (!frame.Initialize())
        return 4;
    frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(CNotesPage::PageIndex);
    frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    frame.showMaximized();
    int status = 5;
    QTimer::singleShot(1500, &frame, [&] {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        status = screen.save(output) ? 0 : 6;
        frame.close();
    });
    application.exec();
    return status;
}
