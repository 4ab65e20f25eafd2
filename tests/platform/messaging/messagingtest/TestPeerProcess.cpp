#include "messagingtest/TestPeerProcess.h"

#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QJsonDocument>

namespace MessagingTest {

namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 5000;

} // namespace

QString TestPeerProgram()
{
    return QStringLiteral(VERDANTA_MESSAGING_TEST_PEER);
}

TestPeerProcess::TestPeerProcess(
    const QString &windowClass, const QString &requestFolder, const QString &outputFile)
    : m_windowClass(windowClass)
    , m_requestFolder(requestFolder)
    , m_outputFile(outputFile)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

TestPeerProcess::~TestPeerProcess()
{
    Stop();
}

bool TestPeerProcess::Start(QString *error)
{
    QStringList args { m_windowClass, m_requestFolder, m_outputFile };
    if (m_refuseRestore)
        args.append(QStringLiteral("--refuse-restore"));
    m_process.start(TestPeerProgram(), args);
    // The peer says "ready" once its window is registered.
    QByteArray output;
    while (!output.contains("ready\n") && m_process.waitForReadyRead(StartTimeoutMs))
        output += m_process.readAllStandardOutput();
    if (output.contains("ready\n"))
        return true;
    m_process.waitForFinished(StopTimeoutMs);
    if (error)
        *error = QStringLiteral("the test peer did not start: %1 %2")
                     .arg(m_process.errorString(), QString::fromLocal8Bit(m_process.readAllStandardError()));
    Stop();
    return false;
}

void TestPeerProcess::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
}

void TestPeerProcess::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(StopTimeoutMs);
}

QJsonArray TestPeerProcess::Events() const
{
    QFile file(m_outputFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

bool TestPeerProcess::WaitForEvents(int count, int timeoutMs) const
{
    return TestSupport::WaitFor([&] { return Events().size() >= count; }, timeoutMs);
}

} // namespace MessagingTest
