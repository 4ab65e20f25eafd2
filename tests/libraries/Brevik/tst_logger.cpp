// The logger against its real sinks: the file under the root folder and a capture.
#include "Brevik/LogCapture.h"
#include "Brevik/Logger.h"

#include "support/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using Brevik::LoggerPtr;

LoggerPtr startedLogger(const QString &category)
{
    LoggerPtr logger(LoggerFactory(category));
    logger->Start();
    return logger;
}

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

const QRegularExpression LineShape(
    QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[(\w+)\] \[([\w.]+)\] (.*)$)"));

class BrevikLogger : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        Brevik::SetRotation(5 * 1024 * 1024, 5);
        Brevik::SetRootFolder(m_root.path());
    }
    void TearDown() override { Brevik::CloseLogFile(); }

    QString logFile() const { return m_root.filePath(QStringLiteral("Logs/Verdanta.log")); }

    TestSupport::TemporaryFolder m_root;
};

} // namespace

TEST_F(BrevikLogger, OneLinePerCallWithTimeLevelCategoryAndText)
{
    Brevik::LogCapture capture;
    LoggerPtr notes = startedLogger(QStringLiteral("brevik.logic.notes"));
    notes->Log(Brevik::Error, QStringLiteral("CLogicNotes::Commit() invalid (NULL) database object"));
    notes->Log(Brevik::Warning, QStringLiteral("warning text"));
    notes->Log(
        Brevik::Information, QStringLiteral("CLogicNotes::Commit() called. Start to collect and save"));
    notes->Log(Brevik::Debug, QStringLiteral("debug text"));

    const QStringList expectedLevels { QStringLiteral("error"), QStringLiteral("warning"),
        QStringLiteral("info"), QStringLiteral("debug") };
    const QList<Brevik::LogRecord> records = capture.Records();
    ASSERT_EQ(records.size(), 4);
    const QStringList lines = fileLines(logFile());
    ASSERT_EQ(lines.size(), 4) << "every line is on disk without a flush or release";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].category, QStringLiteral("brevik.logic.notes"));
        EXPECT_EQ(records[i].line, lines[i]);
        const QRegularExpressionMatch match = LineShape.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(match.captured(1), expectedLevels[i]);
        EXPECT_EQ(match.captured(2), QStringLiteral("brevik.logic.notes"));
    }
    EXPECT_EQ(records[0].level, Brevik::Error);
    EXPECT_EQ(records[3].level, Brevik::Debug);
    EXPECT_EQ(records[2].text, QStringLiteral("CLogicNotes::Commit() called. Start to collect and save"));
    EXPECT_TRUE(
        capture.Contains(QStringLiteral("invalid (NULL) database"), QStringLiteral("brevik.logic.notes")));
    EXPECT_FALSE(
        capture.Contains(QStringLiteral("invalid (NULL) database"), QStringLiteral("brevik.logic.folders")));
}

TEST_F(BrevikLogger, LineBreaksAndNonAsciiTextStayOnOneLine)
{
    LoggerPtr logger = startedLogger(QStringLiteral("brevik.logic.folders"));
    logger->Log(Brevik::Information, QStringLiteral("path C:\\Données\\患者\nsecond\r\nthird\rfourth"));
    const QStringList lines = fileLines(logFile());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("path C:\\Données\\患者\\nsecond\\nthird\\rfourth")))
        << lines[0].toStdString();
}

TEST_F(BrevikLogger, LinesFromManyThreadsArriveWholeAndComplete)
{
    Brevik::LogCapture capture;
    constexpr int Threads = 6;
    constexpr int LinesPerThread = 400;
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([t] {
            LoggerPtr logger = startedLogger(QStringLiteral("brevik.logic.modules.talmaro"));
            for (int i = 0; i < LinesPerThread; ++i)
                logger->Log(Brevik::Debug, QStringLiteral("thread %1 line %2 end").arg(t).arg(i));
        });
    }
    for (std::thread &worker : workers)
        worker.join();

    EXPECT_EQ(capture.Records().size(), Threads * LinesPerThread);
    const QStringList lines = fileLines(logFile());
    ASSERT_EQ(lines.size(), Threads * LinesPerThread);
    QSet<QString> seen;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = LineShape.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        EXPECT_TRUE(match.captured(3).endsWith(QStringLiteral(" end")));
        seen.insert(match.captured(3));
    }
    EXPECT_EQ(seen.size(), Threads * LinesPerThread);
}

TEST_F(BrevikLogger, FileRotatesAndKeepsABoundedNumberOfFiles)
{
    Brevik::SetRotation(4096, 3);
    LoggerPtr logger = startedLogger(QStringLiteral("brevik.logic.notes"));
    for (int i = 0; i < 500; ++i)
        logger->Log(Brevik::Information, QStringLiteral("line %1 ").arg(i) + QString(60, u'x'));

    const QDir logs(m_root.filePath(QStringLiteral("Logs")));
    const QStringList files = logs.entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files,
        (QStringList { QStringLiteral("Verdanta.1.log"), QStringLiteral("Verdanta.2.log"),
            QStringLiteral("Verdanta.log") }));
    for (const QString &name : files)
        EXPECT_LE(QFileInfo(logs.filePath(name)).size(), 4096) << name.toStdString();
    EXPECT_TRUE(fileLines(logFile()).constLast().contains(QStringLiteral("line 499 ")));
}

TEST_F(BrevikLogger, UnwritableFolderLeavesLoggingWorking)
{
    // "Logs" is taken by a file, so the log folder cannot be made.
    ASSERT_TRUE(m_root.writeFile(QStringLiteral("Logs"), "not a folder"));
    Brevik::LogCapture capture;
    LoggerPtr logger(LoggerFactory(QStringLiteral("brevik.logic.openconnectivity")));
    EXPECT_FALSE(logger->Start());
    logger->Log(Brevik::Error, QStringLiteral("still captured"));
    EXPECT_TRUE(capture.Contains(QStringLiteral("still captured")));
    EXPECT_TRUE(Brevik::LogFilePath().isEmpty());

    // Moving the root folder to a usable place brings the file back.
    TestSupport::TemporaryFolder other;
    Brevik::SetRootFolder(other.path());
    EXPECT_TRUE(logger->Start());
    EXPECT_EQ(Brevik::LogFilePath(), other.filePath(QStringLiteral("Logs/Verdanta.log")));
}

TEST_F(BrevikLogger, RootFolderDefaultsToTheCurrentDirectory)
{
    Brevik::SetRootFolder(QString());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_root.path()));
    LoggerPtr logger = startedLogger(QStringLiteral("brevik.logic.folders"));
    QDir::setCurrent(previous);
    logger->Log(Brevik::Information, QStringLiteral("in the current directory"));
    EXPECT_EQ(fileLines(logFile()).size(), 1);
}
