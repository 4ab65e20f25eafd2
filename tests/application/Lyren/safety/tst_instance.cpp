// One program per practice, with the real session bus of the test
// (dbus-run-session) and the real program started a second time.
#include "SafetyTestUtil.h"

#include "safety/PracticeLock.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CVerdantaApp.h"

#include "messaging/WindowMessenger.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>

using namespace SafetyTest;

namespace {

// Every entry under a folder with its size and modification time.
QStringList Listing(const QString &folder)
{
    QStringList entries;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(QDir(folder).relativeFilePath(info.filePath()))
                       .arg(info.isDir() ? -1 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

} // namespace

TEST(OneProgramPerPractice, ASecondStartBringsTheRunningWindowForwardAndTouchesNothing)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    const QString root = dir.filePath(QStringLiteral("practice"));
    ASSERT_TRUE(QDir().mkpath(root));
    CVerdantaApp running({ root, dir.filePath(QStringLiteral("windows")), false });
    ASSERT_TRUE(running.InitInstance());
    ASSERT_TRUE(TestSupport::WaitFor([&] { return running.StartCheckFinished(); }));
    CMainFrame *frame = running.GetMainFrame();
    EXPECT_FALSE(frame->isVisible());
    const QStringList practice = Listing(root);
    const QStringList windows = Listing(dir.filePath(QStringLiteral("windows")));

    // The program started again on the same practice, as a person would.
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VERDANTA_WINDOWS_DIR"), dir.filePath(QStringLiteral("windows")));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(root);
    second.start(QStringLiteral(VERDANTA_PROGRAM), {});
    ASSERT_TRUE(second.waitForStarted());
    // This program answers the request to come forward while the other waits.
    ASSERT_TRUE(TestSupport::WaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000))
        << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(Listing(root), practice);
    EXPECT_EQ(Listing(dir.filePath(QStringLiteral("windows"))), windows);
    EXPECT_EQ(running.GetMainFrame(), frame);
    EXPECT_EQ(prompts.Count(), 0);
    frame->close();
    EXPECT_EQ(running.ExitInstance(), 0);
}

TEST(OneProgramPerPractice, WhenTheRunningWindowCannotComeForwardTheSecondStartSaysThePracticeIsOpen)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    const QString root = dir.filePath(QStringLiteral("practice"));
    ASSERT_TRUE(QDir().mkpath(root));
    MakePractice(root + QStringLiteral("/data.mdb"), { QStringLiteral("Anna") });
    // Another program holds the practice but has no window to find.
    PracticeLock other(root + QStringLiteral("/"));
    ASSERT_EQ(other.Acquire(), PracticeLock::State::Held);
    const QStringList before = Listing(root);

    CVerdantaApp second({ root, dir.filePath(QStringLiteral("windows")), false });
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(second.GetMainFrame(), nullptr);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("already open")));
    EXPECT_NE(second.ExitInstance(), 0);
    EXPECT_EQ(Listing(root), before);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("windows"))));

    // Once it is gone the practice opens.
    other.Release();
    CVerdantaApp third({ root, dir.filePath(QStringLiteral("windows")), false });
    EXPECT_TRUE(third.InitInstance());
    EXPECT_EQ(third.ExitInstance(), 0);
}
