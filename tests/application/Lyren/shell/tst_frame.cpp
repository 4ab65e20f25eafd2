#include "ShellTestUtil.h"

#include "core/CommandTable.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CHyperLink.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CPictureButton.h"
#include "shell/ui/CTitleBar.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "Lumisk/CImagePreviewStatic.h"
#include "profile/UserSettings.h"
#include "support/FakeXdgEmail.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QAction>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolBar>

using namespace ShellTest;

namespace {

// A hub that records every command it is handed before routing it.
class RecordingHub final : public CLogicMain
{
public:
    using CLogicMain::CLogicMain;
    int OnCommand(LogicCommand &command) override
    {
        commands.push_back(command);
        return CLogicMain::OnCommand(command);
    }
    QList<int> Codes() const
    {
        QList<int> codes;
        for (const LogicCommand &command : commands)
            codes << command.code;
        return codes;
    }
    std::vector<LogicCommand> commands;
};

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<RecordingHub>(
            dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")));
        hub = owned.get();
        frame = std::make_unique<CMainFrame>(std::move(owned));
    }
    void TearDown() override
    {
        if (frame)
            frame->close();
    }
    QStringList MenuTexts(int index) const
    {
        QStringList texts;
        for (QAction *action : frame->menuBar()->actions()[index]->menu()->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
        return texts;
    }

    TestSupport::TemporaryFolder dir;
    Profile::MemoryUserSettings settings;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    RecordingHub *hub = nullptr;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(FrameTest, MenusShortcutsPromptsAndToolbarCommands)
{
    ASSERT_TRUE(frame->Initialize());
    // Whatever dialog a command opens is closed as soon as it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(10);
    ASSERT_EQ(frame->menuBar()->actions().size(), 3);
    EXPECT_EQ(MenuTexts(0),
        (QStringList { QStringLiteral("&Find..."), QStringLiteral("&New"), QStringLiteral("F&irst"),
            QStringLiteral("&Last"), QStringLiteral("&Previous"), QStringLiteral("Nex&t"),
            QStringLiteral("&Delete"), QStringLiteral("&Save"), QStringLiteral("&Appointments..."),
            QStringLiteral("&Restore from backup..."), QStringLiteral("Chec&k database..."),
            QStringLiteral("E&xport practice..."), QStringLiteral("I&mport practice..."),
            QStringLiteral("Move Practice to &Server..."), QStringLiteral("Exit") }));
    EXPECT_EQ(MenuTexts(1),
        (QStringList { QStringLiteral("&Media Quality..."), QStringLiteral("&Images Quality..."),
            QStringLiteral("Ma&il Settings..."), QStringLiteral("&Database Connection...") }));
    EXPECT_EQ(MenuTexts(2),
        (QStringList { QStringLiteral("&Help"), QStringLiteral("&Send Feedback..."),
            QStringLiteral("&About Verdanta...") }));

    // Command, key, prompt and the code it hands to the hub.
    const struct
    {
        const char *name;
        const char *key;
        const char *prompt;
        int code;
        int subCommand;
    } commands[] = {
        { "actionFirst", "Ctrl+I", "Moves to first record", 2, 0 },
        { "actionPrevious", "Ctrl+E", "Moves to previous record", 3, 0 },
        { "actionNext", "Ctrl+T", "Moves to next record", 1, 0 },
        { "actionLast", "Ctrl+L", "Moves to last record", 4, 0 },
        { "actionNew", "Ctrl+N", "New Patient", 5, 0 },
        { "actionDelete", "Ctrl+D", "Delete a patient", 6, 0 },
        { "actionFind", "Ctrl+F", "Find a patient", 7, 0 },
        { "actionSave", "Ctrl+S", "Save patient data", 27, 0 },
        { "actionRemedies", "", "Manage remedies", 35, 0 },
        { "actionOrders", "", "Manage orders", 43, 0 },
        { "actionProviders", "", "Manage providers", 49, 0 },
        { "actionOfficeData", "", "Manage office data", 56, 0 },
        { "actionStocks", "", "Manage stocks", 57, 0 },
        { "actionAppointments", "Ctrl+A", "Open Appointments Window", 72, 0 },
        { "actionCopy", "Ctrl+C", "", 61, FrameCommand::EditCopy },
        { "actionCut", "Ctrl+X", "", 61, FrameCommand::EditCut },
        { "actionPaste", "Ctrl+V", "", 61, FrameCommand::EditPaste },
        { "actionMediaQuality", "", "", 62, FrameCommand::MediaQuality },
        { "actionImagesQuality", "", "", 62, FrameCommand::ImagesQuality },
        { "actionPrint", "", "", 63, 0 },
    };
    const QList<QAction *> toolBar = frame->findChild<QToolBar *>(QStringLiteral("toolBar"))->actions();
    for (const auto &c : commands) {
        QAction *action = frame->GetAction(QLatin1String(c.name));
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(c.key))) << c.name;
        EXPECT_EQ(action->statusTip(), QLatin1String(c.prompt)) << c.name;
        const bool onToolBar = toolBar.contains(action);
        EXPECT_EQ(onToolBar, c.code != 62) << c.name;
        // A command is there to be used only while its code reaches a logic
        // object; the others wait, disabled, for their areas of the program.
        EXPECT_EQ(action->isEnabled(), hub->Reaches(c.code)) << c.name;
        hub->commands.clear();
        action->trigger();
        if (!action->isEnabled()) {
            EXPECT_TRUE(hub->commands.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(hub->commands.size(), 1u) << c.name;
        EXPECT_EQ(hub->commands[0].code, c.code) << c.name;
        EXPECT_EQ(hub->commands[0].subCommand, c.subCommand) << c.name;
    }
    EXPECT_EQ(frame->GetAction(QStringLiteral("actionHelp"))->statusTip(), QStringLiteral("Help"));
}

TEST_F(FrameTest, NoEnabledCommandSendsACodeThatReachesNothing)
{
    ASSERT_TRUE(frame->Initialize());
    QList<QObject *> senders;
    for (QAction *action : frame->findChildren<QAction *>())
        senders << action;
    for (QWidget *widget : frame->findChildren<QWidget *>())
        senders << widget;
    for (int i = 0; i < CPageContainer::PageCount; ++i) {
        for (QWidget *widget : frame->GetPageContainer()->GetPageWindow(i)->findChildren<QWidget *>())
            senders << widget;
    }
    int checked = 0;
    for (QObject *sender : senders) {
        const QVariant code = sender->property("verdantaCommand");
        if (!code.isValid())
            continue;
        ++checked;
        const bool enabled = qobject_cast<QAction *>(sender) ? qobject_cast<QAction *>(sender)->isEnabled()
                                                             : qobject_cast<QWidget *>(sender)->isEnabled();
        if (enabled) {
            EXPECT_TRUE(hub->Reaches(code.toInt()))
                << sender->objectName().toStdString() << " " << code.toInt();
        }
    }
    EXPECT_GT(checked, 30);
    // The media keys reach nothing either while the media logic is not there.
    QKeyEvent play(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(frame->TranslateAccelerator(&play), hub->Reaches(CommandCode::MediaTransport));
}

TEST_F(FrameTest, HelpAboutAndFeedback)
{
    // The help document is the one installed beside the program, never one
    // lying in the data folder.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("VerdantaHelp.pdf"), "%PDF-1.4 not ours"));
    ASSERT_TRUE(frame->Initialize());
    QAction *help = frame->GetAction(QStringLiteral("actionHelp"));
    EXPECT_EQ(help->isEnabled(), !CMainFrame::HelpDocumentPath().isEmpty());
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/VerdantaHelp.pdf");
    const bool madeHere = !QFileInfo::exists(installed);
    if (madeHere) {
        QFile file(installed);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4");
    }
    frame->UpdateCommandStates();
    EXPECT_TRUE(help->isEnabled());
    const QString expected = QFileInfo(installed).canonicalFilePath();
    help->trigger();
    if (madeHere)
        QFile::remove(installed);
    ASSERT_EQ(shell.Launches().size(), 1u);
    EXPECT_EQ(shell.Launches()[0].target, expected);
    EXPECT_EQ(shell.Launches()[0].verb, QStringLiteral("open"));
    {
        // Without a mail program the feedback mail opens as a mailto: address.
        TestSupport::NoXdgEmail noMailProgram;
        frame->GetAction(QStringLiteral("actionSendFeedback"))->trigger();
    }
    ASSERT_EQ(shell.Launches().size(), 2u);
    EXPECT_TRUE(shell.Launches()[1].target.startsWith(QStringLiteral("mailto:")));

    CAboutDlg about;
    EXPECT_EQ(about.VersionText(), QStringLiteral("Verdanta Version 2.3"));
    // The menu command shows it modally; OK closes it.
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    frame->GetAction(QStringLiteral("actionAbout"))->trigger();
}

TEST_F(FrameTest, MediaKeysBecomeCode32WithTheirSubCommandsOutsideTextFields)
{
    // The keys reach nothing without the media logic; one stands in for it.
    struct MediaLogic final : ILogicObject
    {
        int OnCommand(LogicCommand &) override { return 1; }
    } media;
    QKeyEvent early(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
    if (!hub->Reaches(CommandCode::MediaTransport)) {
        EXPECT_FALSE(frame->TranslateAccelerator(&early));
        hub->Context().Routes().Own(Owner::Media, &media);
    }
    ASSERT_TRUE(hub->Reaches(CommandCode::MediaTransport));
    const struct
    {
        Qt::Key key;
        int subCommand;
    } keys[] = { { Qt::Key_Up, 6 }, { Qt::Key_Right, 5 }, { Qt::Key_P, 0 }, { Qt::Key_Left, 4 },
        { Qt::Key_R, 1 }, { Qt::Key_Space, 3 } };
    for (const auto &k : keys) {
        hub->commands.clear();
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::ControlModifier);
        EXPECT_TRUE(frame->TranslateAccelerator(&press));
        ASSERT_EQ(hub->commands.size(), 1u);
        EXPECT_EQ(hub->commands[0].code, CommandCode::MediaTransport);
        EXPECT_EQ(hub->commands[0].subCommand, k.subCommand);
    }
    hub->commands.clear();
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_R, Qt::ControlModifier);
    for (QKeyEvent *event : { &plain, &other, &shifted, &release })
        EXPECT_FALSE(frame->TranslateAccelerator(event));
    EXPECT_TRUE(hub->commands.empty());

    // In a text field the keys are the field's: Ctrl+Left jumps a word.
    frame->show();
    auto *edit = new QLineEdit(QStringLiteral("two words"), frame->GetMainView());
    edit->show();
    edit->setFocus();
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(TestSupport::WaitFor([edit] { return QApplication::focusWidget() == edit; }));
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_FALSE(frame->TranslateAccelerator(&left));
    EXPECT_TRUE(hub->commands.empty());
    hub->Context().Routes().Forget(Owner::Media);
}

TEST_F(FrameTest, HeaderBandControlsSendTheirCodes)
{
    ASSERT_TRUE(frame->Initialize());
    CMainView *view = frame->GetMainView();
    // Every area stands in for itself here, so that every control works.
    struct AnyLogic final : ILogicObject
    {
        int OnCommand(LogicCommand &) override { return 1; }
    } stand;
    for (Owner owner : { Owner::Reports, Owner::Phones, Owner::Emails, Owner::Notes }) {
        hub->Context().Routes().Forget(owner);
        hub->Context().Routes().Own(owner, &stand);
    }
    view->UpdateCommandStates();
    const struct
    {
        QAbstractButton *button;
        int code;
        bool withControl;
    } buttons[] = {
        { view->GetPictureButton(), 9, true },
        { view->GetChiefComplaintsButton(), 42, true },
        { view->GetMedicalHistoryButton(), 16, false },
        { view->GetQuestionnaireButton(), 17, false },
        { view->GetReportsButton(), 54, true },
        { view->GetPhoneChoiceButton(), 39, true },
        { view->GetEmailChoiceButton(), 40, true },
    };
    for (const auto &b : buttons) {
        hub->commands.clear();
        b.button->click();
        ASSERT_EQ(hub->commands.size(), 1u) << b.code;
        EXPECT_EQ(hub->commands[0].code, b.code);
        if (b.withControl) {
            EXPECT_EQ(hub->commands[0].control.data(), b.button) << b.code;
        }
    }
    // The links send only while they show an address; the phone link stays pressed.
    hub->commands.clear();
    view->GetPhoneLink()->click();
    view->GetEmailLink()->click();
    EXPECT_TRUE(hub->commands.empty());
    view->GetPhoneLink()->SetLink(QStringLiteral("Dial 555-0100"), true);
    view->GetEmailLink()->SetLink(QStringLiteral("Email To: a&b@example.org"), true);
    EXPECT_EQ(view->GetEmailLink()->text(), QStringLiteral("Email To: a&&b@example.org"));
    view->GetPhoneLink()->click();
    EXPECT_TRUE(view->GetPhoneLink()->isChecked());
    view->GetEmailLink()->click();
    ASSERT_EQ(hub->Codes(), (QList<int> { 38, 41 }));
    EXPECT_EQ(hub->commands[0].control.data(), view->GetPhoneLink());

    // Files dropped on the band: one command per file, with its path.
    hub->commands.clear();
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QStringLiteral("/tmp/a scan.pdf")),
        QUrl(QStringLiteral("https://example.org/x")),
        QUrl::fromLocalFile(QStringLiteral("/tmp/photo.jpg")) });
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
    ASSERT_EQ(hub->Codes(), (QList<int> { 37, 37 }));
    EXPECT_EQ(hub->commands[0].text, QStringLiteral("/tmp/a scan.pdf"));
    EXPECT_EQ(hub->commands[1].text, QStringLiteral("/tmp/photo.jpg"));

    // The picture starts as the "no photo" image.
    EXPECT_EQ(view->GetPicture(), CMainView::NoPhotoPicture());
    view->SetPicture(QStringLiteral("/pictures/p.jpg"));
    EXPECT_EQ(view->GetPicture(), QStringLiteral("/pictures/p.jpg"));
    view->SetPicture(QString());
    EXPECT_EQ(view->GetPicture(), CMainView::NoPhotoPicture());
    auto *picture = static_cast<CPictureButton *>(view->GetPictureButton());
    EXPECT_EQ(picture->Preview()->Filename(), CMainView::NoPhotoPicture());
    EXPECT_TRUE(picture->Preview()->HasImage());
    for (Owner owner : { Owner::Reports, Owner::Phones, Owner::Emails, Owner::Notes })
        hub->Context().Routes().Forget(owner);
    view->UpdateCommandStates();
    EXPECT_FALSE(view->GetReportsButton()->isEnabled());
}

TEST_F(FrameTest, WorkspaceTogglesRefuseToHideTheLastPaneOfALine)
{
    CMainView *view = frame->GetMainView();
    CWorkspace *workspace = frame->GetWorkspace();
    EXPECT_EQ(workspace->VisiblePaneCount(), 1);
    EXPECT_TRUE(view->GetRowToggle(0)->isChecked());
    EXPECT_TRUE(view->GetColumnToggle(0)->isChecked());

    // The only pane of its line stays, and its toggle is checked again.
    view->GetRowToggle(0)->setChecked(false);
    EXPECT_TRUE(view->GetRowToggle(0)->isChecked());
    EXPECT_TRUE(workspace->IsPaneVisible(CWorkspace::Line::Row, 0));

    view->GetRowToggle(2)->setChecked(true);
    view->GetColumnToggle(1)->setChecked(true);
    EXPECT_EQ(workspace->VisiblePaneCount(), 3);
    EXPECT_FALSE(workspace->Pane(CWorkspace::Line::Row, 2)->isHidden());
    // Hiding the top-left pane through its row unchecks its column toggle too.
    view->GetRowToggle(0)->setChecked(false);
    EXPECT_FALSE(view->GetColumnToggle(0)->isChecked());
    EXPECT_EQ(workspace->VisiblePaneCount(), 2);
    EXPECT_TRUE(workspace->Pane(CWorkspace::Line::Row, 0)->isHidden());
    // Now the row has one pane left: refused again.
    view->GetRowToggle(2)->setChecked(false);
    EXPECT_TRUE(view->GetRowToggle(2)->isChecked());
    EXPECT_FALSE(workspace->SetPaneVisible(CWorkspace::Line::Row, 2, false));
    EXPECT_FALSE(workspace->SetPaneVisible(CWorkspace::Line::Row, 7, true));

    // The layout comes back at the next start.
    frame->close();
    frame = std::make_unique<CMainFrame>(dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")));
    ASSERT_TRUE(frame->Initialize());
    workspace = frame->GetWorkspace();
    EXPECT_EQ(workspace->VisiblePaneCount(), 2);
    EXPECT_FALSE(workspace->IsPaneVisible(CWorkspace::Line::Row, 0));
    EXPECT_TRUE(workspace->IsPaneVisible(CWorkspace::Line::Row, 2));
    EXPECT_TRUE(workspace->IsPaneVisible(CWorkspace::Line::Column, 1));
    EXPECT_TRUE(frame->GetMainView()->GetColumnToggle(1)->isChecked());

    // Equal shares of the workspace, never below 10 pixels.
    EXPECT_EQ(CWorkspace::PaneExtent(900, 3), 300);
    EXPECT_EQ(CWorkspace::PaneExtent(25, 7), 10);
    EXPECT_EQ(CWorkspace::PaneExtent(0, 0), 10);
}

TEST_F(FrameTest, TabsShowTheirPagesAndAPageMovesToThePaneThatSelectsIt)
{
    ASSERT_TRUE(frame->Initialize());
    CWorkspace *workspace = frame->GetWorkspace();
    CWorkspaceView *first = workspace->Pane(CWorkspace::Line::Row, 0);
    QStringList labels;
    for (int i = 0; i < first->TabBar()->count(); ++i)
        labels << first->TabBar()->tabText(i);
    EXPECT_EQ(labels,
        (QStringList { QStringLiteral("Patient"), QStringLiteral("Address"), QStringLiteral("Custom Data"),
            QStringLiteral("Notes"), QStringLiteral("Treatment"), QStringLiteral("DuePayments"),
            QStringLiteral("Payments"), QStringLiteral("Invoices"), QStringLiteral("My Questionnaire") }));
    CPageContainer *pages = frame->GetPageContainer();
    for (int i = 0; i < CPageContainer::PageCount; ++i)
        EXPECT_EQ(hub->GetPage(i), pages->GetPage(i)) << i;
    EXPECT_EQ(first->ShownPage(), pages->GetPageWindow(0));

    first->SetCurrentTab(3);
    EXPECT_EQ(first->ShownPage(), pages->GetPageWindow(3));
    EXPECT_TRUE(pages->GetPageWindow(0)->isHidden());
    workspace->SetPaneVisible(CWorkspace::Line::Row, 1, true);
    CWorkspaceView *second = workspace->Pane(CWorkspace::Line::Row, 1);
    second->SetCurrentTab(3);
    EXPECT_EQ(second->ShownPage(), pages->GetPageWindow(3));
    EXPECT_EQ(first->ShownPage(), nullptr);
    // A click on the selected tab brings its page back.
    emit first->TabBar()->tabBarClicked(3);
    EXPECT_EQ(first->ShownPage(), pages->GetPageWindow(3));

    EXPECT_EQ(frame->GetTitleBar(0)->Caption(), QStringLiteral("Patient"));
    EXPECT_EQ(frame->GetTitleBar(2), nullptr);
}

TEST_F(FrameTest, TheHeaderBandHostsTheMediaControlWithTheStoredQuality)
{
    {
        auto source = OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        auto configuration = OpenTable(source.get(), QStringLiteral("APP_CONFIGURATION"));
        ASSERT_EQ(configuration->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
        ASSERT_EQ(configuration->Edit(), 1);
        ASSERT_TRUE(Set(configuration.get(), QStringLiteral("VALUE"), QStringLiteral("2")));
        ASSERT_TRUE(configuration->Update());
    }
    const Component::DispatchDriver &media = frame->GetMainView()->GetMediaControl();
    // The media control is built with the program: failing to load it is a fault.
    ASSERT_TRUE(media.IsValid());
    ASSERT_TRUE(frame->Initialize());
    EXPECT_EQ(media.Get(MediaDispid::CompressionLevel).toInt(), 2);
    EXPECT_TRUE(hub->GetMediaControl().IsValid());
    frame->close();
    EXPECT_FALSE(hub->GetMediaControl().IsValid());
}

TEST_F(FrameTest, ClosingTheFrameBacksUpAndClosesTheHub)
{
    ASSERT_TRUE(frame->Initialize());
    EXPECT_EQ(frame->GetMainView()->GetHub(), hub);
    EXPECT_EQ(hub->GetHeaderBand(), static_cast<IHeaderBand *>(frame->GetMainView()));
    frame->close();
    EXPECT_FALSE(hub->IsOpen());
    EXPECT_EQ(hub->GetHeaderBand(), nullptr);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("Backup/ThisWeek/data.mdb"))));
    // A second close does nothing more.
    frame->close();
    frame.reset();
}
