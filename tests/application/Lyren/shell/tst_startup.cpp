#include "ShellTestUtil.h"

#include "core/Loggers.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CVerdantaApp.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "Sylvan/XmlPlatform.h"
#include "profile/IniFile.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTabBar>

using namespace ShellTest;

namespace {

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        : QByteArray();
}

} // namespace

TEST(Startup, TheRootFolderEndsInExactlyOneSeparator)
{
    EXPECT_EQ(
        CVerdantaApp::RootFolderFrom(QStringLiteral("/home/practice")), QStringLiteral("/home/practice/"));
    EXPECT_EQ(
        CVerdantaApp::RootFolderFrom(QStringLiteral("/home/practice/")), QStringLiteral("/home/practice/"));
    EXPECT_EQ(CVerdantaApp::RootFolderFrom(QStringLiteral("/")), QStringLiteral("/"));

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    CVerdantaApp app({ dir.path() + QStringLiteral("/"), dir.filePath(QStringLiteral("windows")), false });
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.GetRootFolder(), dir.rootWithSeparator());
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST(Startup, ANewUserGetsADatabaseTheWindowAndAFirstBackupAtClose)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    const QString windows = dir.filePath(QStringLiteral("windows"));
    // The outside program's own section of the shared file stays as it is.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("windows/RadarVerdanta.ini"),
        "[Verdanta]\nDirectory=C:\\old\\\nStale=1\n[Radar]\nDirectory=/radar/in/\n"));
    const QString root = dir.filePath(QStringLiteral("practice"));
    ASSERT_TRUE(QDir().mkpath(root));

    CVerdantaApp app({ root, windows, true });
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/data.mdb")));
    EXPECT_TRUE(frame->GetHub()->IsOpen());
    EXPECT_EQ(frame->GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->TabBar()->count(), 9);
    EXPECT_EQ(prompts.Count(), 0);

    Profile::IniFile ini;
    ASSERT_TRUE(ini.Load(windows + QStringLiteral("/RadarVerdanta.ini")));
    EXPECT_EQ(ini.Keys(QStringLiteral("Verdanta")),
        (QStringList { QStringLiteral("Directory"), QStringLiteral("Exe"), QStringLiteral("Class"),
            QStringLiteral("Title"), QStringLiteral("TitleExact") }));
    EXPECT_EQ(ini.Value(QStringLiteral("Verdanta"), QStringLiteral("Directory")), root + QStringLiteral("/"));
    EXPECT_EQ(ini.Value(QStringLiteral("Verdanta"), QStringLiteral("Exe")), QStringLiteral("Verdanta.exe"));
    EXPECT_EQ(ini.Value(QStringLiteral("Verdanta"), QStringLiteral("Class")), QStringLiteral("AFX"));
    EXPECT_EQ(ini.Value(QStringLiteral("Verdanta"), QStringLiteral("Title")), QStringLiteral("Verdanta"));
    EXPECT_EQ(ini.Value(QStringLiteral("Verdanta"), QStringLiteral("TitleExact")), QStringLiteral("1"));
    EXPECT_EQ(ini.Value(QStringLiteral("Radar"), QStringLiteral("Directory")), QStringLiteral("/radar/in/"));

    // The media keys are offered to the frame first, but in a text field they
    // are the field's: Ctrl+Left jumps to the start of the word.
    auto *edit = new QLineEdit(QStringLiteral("two words"), frame->GetMainView());
    edit->show();
    edit->setFocus();
    edit->setCursorPosition(9);
    QTest::keyClick(edit, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(edit->cursorPosition(), 4);
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), 3);

    frame->close();
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/Backup/ThisWeek/data.mdb")));
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.GetMainFrame(), nullptr);
    EXPECT_FALSE(Loggers::Exist());
    EXPECT_FALSE(Sylvan::IsPlatformInitialized());
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/Logs/Verdanta.log")));
    // The backup is a database with the seeded tables.
    auto backup = OpenSource(root + QStringLiteral("/Backup/ThisWeek/data.mdb"));
    EXPECT_EQ(OpenTable(backup.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
}

TEST(Startup, ADatabaseThatCannotBeOpenedIsNamedAndLeftAlone)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    ASSERT_TRUE(dir.writeFile(QStringLiteral("data.mdb"), QByteArray(8192, '\x5a')));
    const QByteArray before = FileHash(dir.filePath(QStringLiteral("data.mdb")));

    CVerdantaApp app({ dir.path(), dir.filePath(QStringLiteral("windows")), true });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.GetMainFrame(), nullptr);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(dir.filePath(QStringLiteral("data.mdb"))))
        << prompts.LastText().toStdString();
    EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Error);
    EXPECT_NE(app.ExitInstance(), 0);
    EXPECT_EQ(FileHash(dir.filePath(QStringLiteral("data.mdb"))), before);
    // Only the log (started before the database is opened) and the shared
    // configuration file are written.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        (QStringList { QStringLiteral("data.mdb"), QStringLiteral("Logs"), QStringLiteral("windows") }));
    for (QWidget *window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
}

TEST(Startup, AnUnwritableSharedFileDoesNotStopStartUp)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    ASSERT_TRUE(dir.writeFile(QStringLiteral("windows"), "a file where the folder should be"));
    EXPECT_FALSE(
        CVerdantaApp::WriteLinkSection(dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows"))));
    CVerdantaApp app({ dir.path(), dir.filePath(QStringLiteral("windows")), false });
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(prompts.Count(), 0);
    EXPECT_EQ(app.ExitInstance(), 0);
}
