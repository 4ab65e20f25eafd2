#include "KorbelTestUtil.h"

#include <QtCore/QProcess>

#include <csignal>

using namespace KorbelTest;

TEST(Durability, AWriteThatReportedSuccessSurvivesAKilledProgram)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    {
        auto source = OpenSource(path);
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
    }
    for (int round = 0; round < 3; ++round) {
        const QString value = QStringLiteral("written-%1").arg(round);
        QProcess child;
        child.start(QStringLiteral(KORBEL_CRASH_CHILD), { path, value });
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForReadyRead(10000)) << child.readAllStandardError().toStdString();
        ASSERT_EQ(child.readLine().trimmed(), QByteArray("written"));
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));

        auto source = OpenSource(path);
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), value);
        EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    }
}
