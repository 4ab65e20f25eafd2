#include "safety/PracticeLock.h"

#include "messagingtest/ScriptedWindowMessenger.h"
#include "support/TestSupport.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

// A program of its own holding the practice.
class LockHolder
{
public:
    explicit LockHolder(const QString &root)
    {
        m_process.start(QStringLiteral(SAFETY_LOCK_CHILD), { root });
        m_started = m_process.waitForStarted() && m_process.waitForReadyRead(10000);
        m_answer = m_process.readLine().trimmed();
    }
    ~LockHolder() { Kill(); }
    bool Holds() const { return m_started && m_answer == "held"; }
    qint64 Pid() const { return m_process.processId(); }
    // Ends as a crash would: the lock file stays behind.
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
    bool m_started = false;
    QByteArray m_answer;
};

} // namespace

TEST(PracticeLock, ASecondProgramFindsThePracticeHeldUntilTheFirstReleasesIt)
{
    TestSupport::TemporaryFolder dir;
    PracticeLock first(dir.rootWithSeparator());
    ASSERT_EQ(first.Acquire(), PracticeLock::State::Held);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("data.mdb.lock"))));

    PracticeLock second(dir.rootWithSeparator());
    EXPECT_EQ(second.Acquire(), PracticeLock::State::HeldElsewhere);
    EXPECT_EQ(second.OwnerProcess(), ::getpid());
    EXPECT_TRUE(second.HeldElsewhereMessage().contains(dir.path()));
    EXPECT_TRUE(second.HeldElsewhereMessage().contains(QStringLiteral("already open")));

    // Another program holds it.
    TestSupport::TemporaryFolder other;
    LockHolder holder(other.rootWithSeparator());
    ASSERT_TRUE(holder.Holds());
    PracticeLock third(other.rootWithSeparator());
    EXPECT_EQ(third.Acquire(), PracticeLock::State::HeldElsewhere);
    EXPECT_EQ(third.OwnerProcess(), holder.Pid());

    first.Release();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("data.mdb.lock"))));
    EXPECT_EQ(second.Acquire(), PracticeLock::State::Held);
}

TEST(PracticeLock, ALockLeftBehindByAProgramThatEndedNeverBlocksAStart)
{
    TestSupport::TemporaryFolder dir;
    {
        LockHolder crashed(dir.rootWithSeparator());
        ASSERT_TRUE(crashed.Holds());
        crashed.Kill();
    }
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("data.mdb.lock"))));
    PracticeLock lock(dir.rootWithSeparator());
    EXPECT_EQ(lock.Acquire(), PracticeLock::State::Held);
    lock.Release();

    // The machine stopped while the lock file was being written.
    for (const QByteArray &content :
        { QByteArray(), QByteArray("\0\0\0\0", 4), QByteArray("99999999\nverdanta\n") }) {
        ASSERT_TRUE(dir.writeFile(QStringLiteral("data.mdb.lock"), content));
        PracticeLock again(dir.rootWithSeparator());
        EXPECT_EQ(again.Acquire(), PracticeLock::State::Held) << content.toStdString();
    }
}

TEST(PracticeLock, TheRunningProgramOfThePracticeIsAskedToComeForward)
{
    TestSupport::TemporaryFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("practice"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("practice")), dir.filePath(QStringLiteral("link"))));
    const QString root = dir.filePath(QStringLiteral("practice/"));
    // The same practice reached through a link is the same window.
    EXPECT_EQ(PracticeLock::WindowClassFor(root),
        PracticeLock::WindowClassFor(dir.filePath(QStringLiteral("link"))));
    EXPECT_NE(PracticeLock::WindowClassFor(root), PracticeLock::WindowClassFor(dir.path()));

    MessagingTest::ScriptedWindowMessenger messenger;
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(PracticeLock::BringForward(messenger, root, 300));
    EXPECT_GE(waited.elapsed(), 250);

    messenger.AddWindow(PracticeLock::WindowClassFor(root));
    EXPECT_TRUE(PracticeLock::BringForward(messenger, root, 300));
    ASSERT_EQ(messenger.Calls().size(), 1u);
    EXPECT_EQ(messenger.Calls().front().kind, MessagingTest::ScriptedWindowMessenger::Kind::Restore);
    EXPECT_EQ(messenger.Calls().front().windowClass, PracticeLock::WindowClassFor(root));
    messenger.SetRestoreResult(false);
    EXPECT_FALSE(PracticeLock::BringForward(messenger, root, 300));
}
