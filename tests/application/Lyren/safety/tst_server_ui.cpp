#include "SafetyTestUtil.h"

#include "core/CLogicFolders.h"
#include "safety/PracticeConnection.h"
#include "safety/ServerDump.h"
#include "safety/ServerLink.h"
#include "safety/ui/CDatabaseConnectionDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CVerdantaApp.h"

#include "profile/UserSettings.h"
#include "support/MemorySecretStore.h"
#include "support/ScriptedDesktop.h"
#include "support/TestDatabases.h"

#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

using namespace SafetyTest;

namespace {

template<typename T> T *Child(QWidget &parent, const char *name)
{
    T *child = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

std::unique_ptr<CVerdantaApp> StartSeat(
    const QString &folder, const QString &windows, const QString &address, Secrets::ISecretStore &keyring)
{
    return std::make_unique<CVerdantaApp>(
        CVerdantaApp::Options { folder, windows, false, address, &keyring });
}

} // namespace

TEST(DatabaseConnectionDialog, KeepsTheServerInTheSettingsAndThePasswordInTheKeyring)
{
    Profile::MemoryUserSettings settings;
    TestSupport::MemorySecretStore keyring;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedFileDialogs files;
    TestSupport::TemporaryFolder shared;

    CDatabaseConnectionDlg dialog(keyring);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "engineFile")->isChecked());
    EXPECT_FALSE(Child<QLineEdit>(dialog, "host")->isEnabled());
    Child<QRadioButton>(dialog, "engineServer")->setChecked(true);
    EXPECT_TRUE(Child<QLineEdit>(dialog, "host")->isEnabled());

    // Incomplete: said so, nothing kept.
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("host"))) << prompts.LastText().toStdString();
    EXPECT_TRUE(PracticeConnection::Load().address.isEmpty());

    Child<QLineEdit>(dialog, "host")->setText(QStringLiteral("db.practice.lan"));
    Child<QSpinBox>(dialog, "port")->setValue(5433);
    Child<QLineEdit>(dialog, "database")->setText(QStringLiteral("practice"));
    Child<QLineEdit>(dialog, "user")->setText(QStringLiteral("reception"));
    Child<QLineEdit>(dialog, "password")->setText(QStringLiteral("s3cret"));
    files.QueueFileName(shared.path());
    Child<QPushButton>(dialog, "browseSharedFolder")->click();
    EXPECT_EQ(QDir::fromNativeSeparators(Child<QLineEdit>(dialog, "sharedFolder")->text()), shared.path());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << prompts.LastText().toStdString();

    const PracticeConnection kept = PracticeConnection::Load();
    EXPECT_EQ(kept.address, QStringLiteral("postgresql://reception@db.practice.lan:5433/practice"));
    EXPECT_EQ(kept.sharedFolder, shared.path());
    Korbel::ServerAddress address;
    ASSERT_TRUE(kept.ServerAddressOf(&address, nullptr));
    EXPECT_EQ(ServerPasswords::Read(keyring, address), QStringLiteral("s3cret"));
    EXPECT_FALSE(kept.address.contains(QStringLiteral("s3cret")));

    // Opened again it shows the setting; the file engine clears the address.
    CDatabaseConnectionDlg again(keyring);
    EXPECT_TRUE(Child<QRadioButton>(again, "engineServer")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(again, "user")->text(), QStringLiteral("reception"));
    EXPECT_TRUE(Child<QLineEdit>(again, "password")->text().isEmpty());
    Child<QRadioButton>(again, "engineFile")->setChecked(true);
    again.accept();
    EXPECT_TRUE(PracticeConnection::Load().address.isEmpty());
}

TEST(DatabaseConnectionDialog, TestConnectionSaysWhatTheServerHolds)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    Profile::MemoryUserSettings settings;
    TestSupport::MemorySecretStore keyring;
    Desktop::ScriptedPrompts prompts;
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid());
    Korbel::ServerAddress address;
    ASSERT_TRUE(Korbel::ServerAddress::Parse(database.Address(), &address, nullptr));

    CDatabaseConnectionDlg dialog(keyring);
    Child<QRadioButton>(dialog, "engineServer")->setChecked(true);
    Child<QLineEdit>(dialog, "host")->setText(address.host);
    Child<QSpinBox>(dialog, "port")->setValue(address.port);
    Child<QLineEdit>(dialog, "database")->setText(address.database);
    Child<QLineEdit>(dialog, "user")->setText(address.user);
    Child<QPushButton>(dialog, "testConnection")->click();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("Connected to PostgreSQL")))
        << prompts.LastText().toStdString();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("empty")));

    Child<QLineEdit>(dialog, "database")->setText(QStringLiteral("no_such_database"));
    Child<QPushButton>(dialog, "testConnection")->click();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("No connection")))
        << prompts.LastText().toStdString();
}

TEST(ServerSeats, TwoSeatsWorkOnOnePracticeAndTheWeeklyDumpGoesToTheSharedFolder)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    Profile::MemoryUserSettings settings;
    TestSupport::MemorySecretStore keyring;
    Desktop::ScriptedPrompts prompts;
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid());
    TestSupport::TemporaryFolder shared;
    TestSupport::TemporaryFolder seats;
    PracticeConnection { QString(), shared.path() }.Save();

    auto reception = StartSeat(seats.filePath(QStringLiteral("reception")),
        seats.filePath(QStringLiteral("w1")), database.Address(), keyring);
    QDir().mkpath(seats.filePath(QStringLiteral("reception")));
    ASSERT_TRUE(reception->InitInstance()) << prompts.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(reception->GetRootFolder(), shared.rootWithSeparator());
    CLogicMain *hub = reception->GetMainFrame()->GetHub();
    EXPECT_EQ(Korbel::EngineOf(hub->GetDataSource()), Korbel::Engine::PostgreSQL);
    // No lock file: the seats share the folder.
    EXPECT_FALSE(QFileInfo::exists(shared.filePath(QStringLiteral("data.mdb.lock"))));

    // The other seat: another program on another computer, holding the
    // practice as every seat does.
    Korbel::ServerAddress address;
    ASSERT_TRUE(Korbel::ServerAddress::Parse(database.Address(), &address, nullptr));
    ServerPracticeLock consulting(address, QString());
    ASSERT_EQ(consulting.Acquire(ServerPracticeLock::Mode::Shared), ServerPracticeLock::State::Held);

    // While seats are open, a move into this database or a restore is refused.
    ServerPracticeLock alone(address, QString());
    EXPECT_EQ(alone.Acquire(ServerPracticeLock::Mode::Exclusive), ServerPracticeLock::State::HeldElsewhere);
    EXPECT_EQ(alone.OtherSeats(), 2);

    // The first close of the week dumps the database into the shared folder.
    reception->GetMainFrame()->close();
    reception->ExitInstance();
    const CLogicFolders folders(shared.rootWithSeparator(), QString());
    EXPECT_TRUE(QFileInfo::exists(
        folders.GetBackupSlotFolder(CLogicFolders::BackupSlot::ThisWeek) + ServerDump::DumpFileName()));
    consulting.Release();
    EXPECT_EQ(alone.Acquire(ServerPracticeLock::Mode::Exclusive), ServerPracticeLock::State::Held);
}

TEST(ServerSeats, APracticeMovesToTheServerFromThePatientMenuAndOpensThere)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    Profile::MemoryUserSettings settings;
    TestSupport::MemorySecretStore keyring;
    Desktop::ScriptedPrompts prompts;
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid());
    TestSupport::TemporaryFolder practice;
    MakePractice(
        practice.filePath(QStringLiteral("data.mdb")), { QStringLiteral("Ana"), QStringLiteral("Ion") });

    auto app = std::make_unique<CVerdantaApp>(CVerdantaApp::Options {
        practice.path(), practice.filePath(QStringLiteral("windows")), false, QString(), &keyring });
    ASSERT_TRUE(app->InitInstance());
    ASSERT_TRUE(TestSupport::WaitFor([&] { return app->StartCheckFinished(); }));
    QAction *move = app->GetMainFrame()->GetAction(QStringLiteral("actionMovePracticeToServer"));
    ASSERT_NE(move, nullptr);
    EXPECT_TRUE(move->isEnabled());

    // Without a server named, the person is told where to name one.
    move->trigger();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("Database Connection")))
        << prompts.LastText().toStdString();
    EXPECT_FALSE(app->HasClosedWork());

    PracticeConnection { database.Address(), QString() }.Save();
    prompts.QueueAnswer(Desktop::Answer::Yes);
    move->trigger();
    ASSERT_TRUE(app->HasClosedWork()) << prompts.Texts().join(QStringLiteral("\n---\n")).toStdString();
    ASSERT_TRUE(TestSupport::WaitFor(
        [&] { return !app->HasClosedWork() && prompts.LastText().contains(QStringLiteral("moved")); }, 30000))
        << prompts.Texts().join(QStringLiteral("\n---\n")).toStdString();
    ASSERT_NE(app->GetMainFrame(), nullptr);
    CLogicMain *hub = app->GetMainFrame()->GetHub();
    EXPECT_EQ(Korbel::EngineOf(hub->GetDataSource()), Korbel::Engine::PostgreSQL);
    EXPECT_EQ(hub->GetMainTable()->RecordCount(), 2);
    EXPECT_EQ(app->GetRootFolder(), practice.rootWithSeparator());
    EXPECT_EQ(PracticeConnection::Load().FilesFolder(QStringLiteral("/x/")), practice.rootWithSeparator());
    app->GetMainFrame()->close();
    app->ExitInstance();
}
