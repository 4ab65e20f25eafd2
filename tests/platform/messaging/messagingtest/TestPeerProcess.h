#pragma once

#include <QtCore/QJsonArray>
#include <QtCore/QProcess>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace MessagingTest {

// The path of the test peer program (peer/TestPeer.cpp), which plays the
// outside repertory program. Tests that start it run on a bus of their own
// (verdanta_add_test ... DBUS).
QString TestPeerProgram();

// The test peer as a running process: its window of the class is registered
// on the session bus, the request file is read from 'requestFolder', and what
// it received is written to 'outputFile'. Stopped when the object goes.
class TestPeerProcess
{
public:
    TestPeerProcess(const QString &windowClass, const QString &requestFolder, const QString &outputFile);
    ~TestPeerProcess();
    TestPeerProcess(const TestPeerProcess &) = delete;
    TestPeerProcess &operator=(const TestPeerProcess &) = delete;

    // The peer answers restore requests with no.
    void SetRefuseRestore(bool refuse) { m_refuseRestore = refuse; }

    // Starts the peer and waits until its window can be found. False with
    // the reason (the peer's own error output included) in 'error'.
    bool Start(QString *error = nullptr);
    // Ends the peer and waits for it.
    void Stop();
    // Ends the peer at once, as a crash would (it releases nothing itself).
    void Kill();
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }

    // What the peer wrote down so far, oldest first (see peer/TestPeer.cpp).
    QJsonArray Events() const;
    // Runs the event loop until at least 'count' events are written.
    bool WaitForEvents(int count, int timeoutMs = 5000) const;

private:
    QString m_windowClass;
    QString m_requestFolder;
    QString m_outputFile;
    bool m_refuseRestore = false;
    QProcess m_process;
};

} // namespace MessagingTest
