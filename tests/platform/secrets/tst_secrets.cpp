// The desktop keyring through QtKeychain, against a Secret Service of the
// test's own: a private session bus with GNOME Keyring on it, so that the
// user's keyring is never touched.
#include "SecretScan.h"

#include "secrets/KeychainSecretStore.h"
#include "support/MemorySecretStore.h"
#include "support/TestSupport.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>

#include <gtest/gtest.h>

#include <memory>

using namespace Secrets;

namespace {

const QString kService = QStringLiteral("Verdanta Tests");

class Keyring : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const QString busDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        const QString keyringDaemon = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (busDaemon.isEmpty() || keyringDaemon.isEmpty()) {
            s_skip = "No Secret Service on this machine: dbus-daemon and gnome-keyring-daemon are needed to "
                     "start one for the test";
            return;
        }
        s_folder = std::make_unique<TestSupport::TemporaryFolder>();
        QFile::setPermissions(
            s_folder->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        s_bus = std::make_unique<QProcess>();
        s_bus->start(busDaemon,
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                QStringLiteral("--address=unix:path=") + s_folder->filePath(QStringLiteral("bus")) });
        if (!s_bus->waitForReadyRead(10000)) {
            s_skip = "No Secret Service on this machine: the test's session bus did not start";
            return;
        }
        const QByteArray address = s_bus->readLine().trimmed();
        // Only this process and the keyring daemon use the private bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qputenv("XDG_RUNTIME_DIR", s_folder->path().toLocal8Bit());

        s_keyring = std::make_unique<QProcess>();
        s_keyring->start(keyringDaemon,
            { QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                QStringLiteral("--unlock") });
        s_keyring->write("keyring-test-password");
        s_keyring->closeWriteChannel();
        QDBusConnection connection
            = QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("probe"));
        const bool up = TestSupport::WaitFor(
            [&] {
                return connection.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"));
            },
            10000);
        QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
        if (!up)
            s_skip = "No Secret Service on this machine: GNOME Keyring did not start on the test's bus";
    }

    static void TearDownTestSuite()
    {
        for (auto *process : { s_keyring.get(), s_bus.get() }) {
            if (process && process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000))
                    process->kill();
                process->waitForFinished(5000);
            }
        }
        s_keyring.reset();
        s_bus.reset();
        s_folder.reset();
    }

    void SetUp() override
    {
        if (s_skip)
            GTEST_SKIP() << s_skip;
    }

    static inline const char *s_skip = nullptr;
    static inline std::unique_ptr<TestSupport::TemporaryFolder> s_folder;
    static inline std::unique_ptr<QProcess> s_bus;
    static inline std::unique_ptr<QProcess> s_keyring;
};

// What every store does; the test double is held to it too.
void checkStoreContract(ISecretStore &store)
{
    const QString key = QStringLiteral("office@smtp.example.org");
    const QString secret = QStringLiteral("pässwörd with spaces & \"quotes\" 🌿");

    EXPECT_EQ(store.Read(kService, key).status, SecretStatus::NotFound);
    ASSERT_TRUE(store.Write(kService, key, secret).IsOk());
    EXPECT_TRUE(
        store.Write(kService, QStringLiteral("other@smtp.example.org"), QStringLiteral("second")).IsOk());

    SecretResult read = store.Read(kService, key);
    ASSERT_TRUE(read.IsOk()) << read.error.toStdString();
    EXPECT_EQ(read.secret, secret);
    EXPECT_EQ(store.Read(QStringLiteral("Verdanta Database"), key).status, SecretStatus::NotFound);

    ASSERT_TRUE(store.Write(kService, key, QStringLiteral("replaced")).IsOk());
    EXPECT_EQ(store.Read(kService, key).secret, QStringLiteral("replaced"));
    EXPECT_EQ(
        store.Read(kService, QStringLiteral("other@smtp.example.org")).secret, QStringLiteral("second"));

    EXPECT_TRUE(store.Remove(kService, key).IsOk());
    EXPECT_EQ(store.Read(kService, key).status, SecretStatus::NotFound);
    EXPECT_TRUE(store.Remove(kService, key).IsOk()); // nothing left to remove
    EXPECT_EQ(
        store.Read(kService, QStringLiteral("other@smtp.example.org")).secret, QStringLiteral("second"));
    EXPECT_TRUE(store.Remove(kService, QStringLiteral("other@smtp.example.org")).IsOk());
}

} // namespace

TEST(MemorySecretStore, KeepsTheContractAndCanActWithoutKeyring)
{
    TestSupport::MemorySecretStore store;
    checkStoreContract(store);
    store.SetAvailable(false);
    EXPECT_EQ(store.Write(kService, QStringLiteral("k"), QStringLiteral("s")).status, SecretStatus::Failed);
    EXPECT_EQ(store.Read(kService, QStringLiteral("k")).status, SecretStatus::Failed);
}

TEST_F(Keyring, WriteReadReplaceAndRemove)
{
    KeychainSecretStore store;
    checkStoreContract(store);
    ASSERT_TRUE(
        store.Write(kService, QStringLiteral("other@smtp.example.org"), QStringLiteral("second")).IsOk());

    // The keyring keeps its file encrypted; no file of ours or its holds the text.
    EXPECT_FALSE(AnyFileContains(QDir::homePath(), QStringLiteral("second")));
    EXPECT_FALSE(AnyFileContains(s_folder->path(), QStringLiteral("second")));
}
