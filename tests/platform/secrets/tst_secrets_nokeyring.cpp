// A machine without a keyring: every operation fails with a clear message,
// and the secret is not kept anywhere else in plain text.
#include "SecretScan.h"

#include "secrets/KeychainSecretStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Secrets;

TEST(NoKeyring, OperationsFailWithAMessageAndNothingIsWrittenInPlainText)
{
    // A session bus that does not exist, and no display to start one on.
    TestSupport::TemporaryFolder folder;
    qputenv(
        "DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder.filePath(QStringLiteral("no-bus")).toLocal8Bit());
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");

    KeychainSecretStore store;
    const QString secret = QStringLiteral("never-in-a-file-4711");
    const SecretResult written
        = store.Write(QStringLiteral("Verdanta Tests"), QStringLiteral("office@smtp"), secret);
    EXPECT_EQ(written.status, SecretStatus::Failed);
    EXPECT_TRUE(written.error.contains(QStringLiteral("no keyring is available")))
        << written.error.toStdString();

    const SecretResult read = store.Read(QStringLiteral("Verdanta Tests"), QStringLiteral("office@smtp"));
    EXPECT_EQ(read.status, SecretStatus::Failed); // not "not found": the program must not offer to store it
    EXPECT_TRUE(read.secret.isEmpty());
    EXPECT_FALSE(read.error.isEmpty());

    EXPECT_FALSE(AnyFileContains(QDir::homePath(), secret));
    EXPECT_FALSE(AnyFileContains(QDir::currentPath(), secret));
}
