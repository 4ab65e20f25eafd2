#include "SafetyTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/UserSettings.h"
#include "safety/PracticeCommandLine.h"
#include "safety/PracticeConnection.h"
#include "safety/ServerBackups.h"
#include "safety/ServerDump.h"
#include "safety/ServerLink.h"
#include "safety/ServerMigration.h"

#include "Korbel/TableTransfer.h"
#include "profile/UserSettings.h"
#include "support/MemorySecretStore.h"
#include "support/TestDatabases.h"

#include <QtCore/QTextStream>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>

using namespace SafetyTest;

namespace {

Korbel::ServerAddress AddressOf(const TestSupport::ScratchServerDatabase &database)
{
    Korbel::ServerAddress address;
    EXPECT_TRUE(Korbel::ServerAddress::Parse(database.Address(), &address, nullptr));
    return address;
}

// Runs statements on the database through a connection of their own.
void RunOnServer(const Korbel::ServerAddress &address, const QStringList &statements)
{
    ServerLink link(address, QString());
    QString error;
    ASSERT_TRUE(link.Open(&error)) << error.toStdString();
    QSqlQuery query(link.Database());
    for (const QString &sql : statements)
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
}

qint64 CountOnServer(const Korbel::ServerAddress &address, const QString &table)
{
    ServerLink link(address, QString());
    QString error;
    if (!link.Open(&error))
        return -1;
    QSqlQuery query(link.Database());
    return query.exec(QStringLiteral("SELECT count(*) FROM ") + table) && query.next()
        ? query.value(0).toLongLong()
        : -1;
}

int RunCommandLine(const QStringList &arguments, const QString &root, QString *output,
    Secrets::ISecretStore *keyring = nullptr)
{
    QString text;
    QTextStream out(&text);
    QTextStream err(&text);
    const int status = PracticeCommandLine::Run(
        PracticeCommandLine::Parse(QStringList { QStringLiteral("verdanta") } + arguments), root, out, err,
        keyring);
    out.flush();
    err.flush();
    *output = text;
    return status;
}

} // namespace

TEST(PracticeConnection, EachSeatKeepsItsAddressAndSharedFolderButNeverAPassword)
{
    Profile::MemoryUserSettings settings;
    TestSupport::TemporaryFolder shared;
    // By default the database file and the files in the root folder.
    PracticeConnection connection = PracticeConnection::Load();
    EXPECT_FALSE(connection.IsServer());
    EXPECT_EQ(connection.FilesFolder(QStringLiteral("/practice/")), QStringLiteral("/practice/"));
    QString error;
    EXPECT_TRUE(connection.Check(&error));

    connection = { QStringLiteral(" postgresql://anna@db.example:5433/practice "), shared.path() };
    ASSERT_TRUE(connection.Check(&error)) << error.toStdString();
    connection.Save();
    const PracticeConnection loaded = PracticeConnection::Load();
    EXPECT_EQ(loaded.address, QStringLiteral("postgresql://anna@db.example:5433/practice"));
    EXPECT_EQ(loaded.FilesFolder(QStringLiteral("/practice/")), shared.rootWithSeparator());
    Korbel::ServerAddress address;
    ASSERT_TRUE(loaded.ServerAddressOf(&address, &error));
    EXPECT_EQ(address.port, 5433);
    // The shared folder counts only with a server: a database file keeps its
    // files beside it.
    EXPECT_EQ((PracticeConnection { QString(), shared.path() }).FilesFolder(QStringLiteral("/practice/")),
        QStringLiteral("/practice/"));

    // An address carrying a password, or a shared folder that is not there, is refused.
    EXPECT_FALSE((PracticeConnection { QStringLiteral("postgresql://anna:secret@db/practice"), QString() })
                     .Check(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(error.contains(QStringLiteral("secret")));
    EXPECT_FALSE((PracticeConnection { QStringLiteral("postgresql://anna@db/practice"),
                      shared.filePath(QStringLiteral("missing")) })
                     .Check(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("does not exist")));

    // The password goes to the keyring, under the user, server and database.
    TestSupport::MemorySecretStore keyring;
    EXPECT_TRUE(ServerPasswords::Read(keyring, address).isEmpty());
    ASSERT_TRUE(ServerPasswords::Write(keyring, address, QStringLiteral("s3cret"), &error));
    EXPECT_EQ(ServerPasswords::Read(keyring, address), QStringLiteral("s3cret"));
    Korbel::ServerAddress other = address;
    other.database = QStringLiteral("other");
    EXPECT_TRUE(ServerPasswords::Read(keyring, other).isEmpty());
    keyring.SetAvailable(false);
    EXPECT_TRUE(ServerPasswords::Read(keyring, address, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PracticeCommandLine, DatabaseAndMigrateToTakeAddressesWithoutPasswords)
{
    using Command = PracticeCommandLine::Command;
    const auto parse = [](const QStringList &arguments) {
        return PracticeCommandLine::Parse(QStringList { QStringLiteral("verdanta") } + arguments);
    };
    PracticeCommandLine::Request request
        = parse({ QStringLiteral("--database"), QStringLiteral("postgresql://a@h/p") });
    EXPECT_TRUE(request.error.isEmpty());
    EXPECT_EQ(request.command, Command::None);
    EXPECT_EQ(request.database, QStringLiteral("postgresql://a@h/p"));
    // --database alone starts the program; with a command it names where the command works.
    EXPECT_FALSE(PracticeCommandLine::AsksForCommand(
        { QStringLiteral("verdanta"), QStringLiteral("--database"), QStringLiteral("postgresql://a@h/p") }));
    EXPECT_TRUE(PracticeCommandLine::AsksForCommand(
        { QStringLiteral("verdanta"), QStringLiteral("--migrate-to=postgresql://a@h/p") }));
    request = parse({ QStringLiteral("--export"), QStringLiteral("x"),
        QStringLiteral("--database=postgres://a@h:5434/p") });
    EXPECT_EQ(request.command, Command::Export);
    EXPECT_EQ(request.database, QStringLiteral("postgres://a@h:5434/p"));

    // "file" is the way back to this computer's database file when the server of the setting is gone.
    request = parse({ QStringLiteral("--database"), QStringLiteral("file") });
    EXPECT_TRUE(request.error.isEmpty());
    PracticeConnection connection;
    connection.address = QStringLiteral("postgresql://a@unreachable/p");
    connection.Override(request.database);
    EXPECT_FALSE(connection.IsServer());
    connection.Override(QStringLiteral("postgresql://a@h/p"));
    EXPECT_TRUE(connection.IsServer());
    connection.Override(QString());
    EXPECT_EQ(connection.address, QStringLiteral("postgresql://a@h/p"));

    for (const QStringList &arguments :
        { QStringList { QStringLiteral("--database"), QStringLiteral("postgresql://a:pw@h/p") },
            QStringList { QStringLiteral("--migrate-to"), QStringLiteral("postgresql://a:pw@h/p") },
            QStringList { QStringLiteral("--migrate-to"), QStringLiteral("data.mdb") },
            QStringList { QStringLiteral("--migrate-to"), QStringLiteral("postgresql://a@h/p"),
                QStringLiteral("--import"), QStringLiteral("x") } }) {
        request = parse(arguments);
        EXPECT_FALSE(request.error.isEmpty()) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(request.command, Command::None);
        EXPECT_TRUE(request.database.isEmpty());
        EXPECT_FALSE(request.error.contains(QStringLiteral("pw")));
    }
    TestSupport::TemporaryFolder practice;
    QString output;
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--database"), QStringLiteral("postgresql://a:pw@h/p"),
                                 QStringLiteral("--export"), QStringLiteral("x") },
                  practice.path(), &output),
        2);
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--help") }, practice.path(), &output), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("--database <address>")));
    EXPECT_TRUE(output.contains(QStringLiteral("--migrate-to <address>")));
}

TEST(ServerDump, FindsTheClientProgramsOfTheServersVersionOnly)
{
    const QString any = ServerDump::FindTool(QStringLiteral("pg_dump"), 0);
    if (any.isEmpty())
        GTEST_SKIP() << "no pg_dump on this machine";
    const int version = ServerDump::ToolMajorVersion(any);
    EXPECT_GE(version, 10);
    EXPECT_EQ(
        ServerDump::ToolMajorVersion(ServerDump::FindTool(QStringLiteral("pg_restore"), version)), version);
    EXPECT_TRUE(ServerDump::FindTool(QStringLiteral("pg_dump"), 99).isEmpty());
    EXPECT_EQ(ServerDump::ToolMajorVersion(QStringLiteral("/nonexistent/pg_dump")), 0);
}

TEST(ServerPracticeLock, SeatsShareThePracticeAndWorkThatNeedsItAloneWaitsForThem)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid()) << database.Error().toStdString();
    const Korbel::ServerAddress address = AddressOf(database);
    using Mode = ServerPracticeLock::Mode;
    using State = ServerPracticeLock::State;

    auto reception = std::make_unique<ServerPracticeLock>(address, QString());
    auto consulting = std::make_unique<ServerPracticeLock>(address, QString());
    ASSERT_EQ(reception->Acquire(Mode::Shared), State::Held) << reception->Error().toStdString();
    ASSERT_EQ(consulting->Acquire(Mode::Shared), State::Held);
    EXPECT_EQ(reception->OtherSeats(), 1);

    ServerPracticeLock restore(address, QString());
    EXPECT_EQ(restore.Acquire(Mode::Exclusive), State::HeldElsewhere);
    EXPECT_EQ(restore.OtherSeats(), 2);
    EXPECT_TRUE(restore.HeldElsewhereMessage().contains(QStringLiteral("2 other")));
    // A seat that ends (here its connection closes) lets the practice go.
    reception.reset();
    consulting->Release();
    EXPECT_FALSE(consulting->IsHeld());
    EXPECT_EQ(restore.Acquire(Mode::Exclusive), State::Held);
    // Meanwhile no seat opens the practice.
    EXPECT_EQ(consulting->Acquire(Mode::Shared), State::HeldElsewhere);
    EXPECT_TRUE(consulting->HeldElsewhereMessage().contains(QStringLiteral("Try again")));
    restore.Release();
    EXPECT_EQ(consulting->Acquire(Mode::Shared), State::Held);

    // A server that cannot be reached is said so.
    Korbel::ServerAddress nowhere = address;
    nowhere.database = QStringLiteral("no_such_database");
    ServerPracticeLock lost(nowhere, QString());
    EXPECT_EQ(lost.Acquire(Mode::Shared), State::Unavailable);
    EXPECT_TRUE(lost.Error().contains(QStringLiteral("no_such_database")));
}

TEST(ServerBackups, WeeklyDumpsRotateAndARestoreCanBeUndone)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid()) << database.Error().toStdString();
    const Korbel::ServerAddress address = AddressOf(database);
    TestSupport::TemporaryFolder shared;
    const CLogicFolders folders(shared.rootWithSeparator(), QString());
    const ServerBackups backups(folders, address, QString());
    RunOnServer(address,
        { QStringLiteral("CREATE TABLE notes (id bigserial PRIMARY KEY, text text, paid numeric(19,4))") });

    // Five weeks, one row more each week: the oldest generation goes.
    QString error;
    for (int week = 1; week <= 5; ++week) {
        RunOnServer(address,
            { QStringLiteral("INSERT INTO notes (text, paid) VALUES ('week %1', 12.3456)").arg(week) });
        ASSERT_TRUE(backups.MakeBackup(&error)) << error.toStdString();
    }
    const std::vector<BackupCopy> generations = backups.Generations();
    ASSERT_EQ(generations.size(), 4u);
    for (const BackupCopy &copy : generations)
        EXPECT_TRUE(copy.exists) << copy.path.toStdString();
    EXPECT_TRUE(generations[0].path.endsWith(QStringLiteral("/data.dump")));
    EXPECT_TRUE(QDir(folders.GetBackupSlotFolder(CLogicFolders::BackupSlot::ThisWeek))
                    .entryList(QDir::Files)
                    .filter(QStringLiteral("partial"))
                    .isEmpty());

    // The week before last held three rows.
    QString kept;
    ASSERT_TRUE(backups.Verify(generations[2].path, &error)) << error.toStdString();
    ASSERT_TRUE(backups.Restore(generations[2].path, PracticeRestore::Reason::Restore,
        QDateTime::currentDateTime(), nullptr, &kept, &error))
        << error.toStdString();
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes")), 3);
    EXPECT_TRUE(QFileInfo(kept).fileName().startsWith(QStringLiteral("data-before-restore-")));
    EXPECT_TRUE(kept.endsWith(QStringLiteral(".dump")));
    // Keys go on from where the restored copy left them.
    RunOnServer(address, { QStringLiteral("INSERT INTO notes (text) VALUES ('after')") });
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes WHERE id = 4 AND text = 'after'")), 1);

    // Undone: the database as it was before the restore.
    ASSERT_TRUE(backups.PutBack(kept, &error)) << error.toStdString();
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes")), 5);
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes WHERE paid = 12.3456")), 5);

    // A file that is no dump is refused before anything changes.
    ASSERT_TRUE(shared.writeFile(QStringLiteral("fake.dump"), "not a dump"));
    EXPECT_FALSE(backups.Restore(shared.filePath(QStringLiteral("fake.dump")),
        PracticeRestore::Reason::Restore, QDateTime::currentDateTime(), nullptr, &kept, &error));
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes")), 5);

    // Another seat at work: the restore waits for the practice alone.
    ServerPracticeLock seat(address, QString());
    ASSERT_EQ(seat.Acquire(ServerPracticeLock::Mode::Shared), ServerPracticeLock::State::Held);
    EXPECT_FALSE(backups.Restore(generations[3].path, PracticeRestore::Reason::Restore,
        QDateTime::currentDateTime(), nullptr, &kept, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("other")));
    EXPECT_EQ(CountOnServer(address, QStringLiteral("notes")), 5);
}

TEST(ServerMigration, TwoExportsCompareValueByValue)
{
    TestSupport::TemporaryFolder dir;
    const QString database = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(database, { QStringLiteral("Ana"), QStringLiteral("Ion") });
    const QString first = dir.filePath(QStringLiteral("first"));
    const QString second = dir.filePath(QStringLiteral("second"));
    QString error;
    ASSERT_EQ(Korbel::ExportTables(database, first, {}, &error), Korbel::Outcome::Done)
        << error.toStdString();
    ASSERT_EQ(Korbel::ExportTables(database, second, {}, &error), Korbel::Outcome::Done);
    QString difference;
    EXPECT_TRUE(ServerMigration::SameExports(first, second, &difference)) << difference.toStdString();

    // One value changed in the copy is found and named.
    const QString main = QDir(second).filePath(QStringLiteral("tables/MAIN.csv"));
    QFile file(main);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    ASSERT_TRUE(content.contains("Ion"));
    content.replace("Ion", "Ian");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    EXPECT_FALSE(ServerMigration::SameExports(first, second, &difference));
    EXPECT_TRUE(difference.contains(QStringLiteral("MAIN"))) << difference.toStdString();
    EXPECT_TRUE(difference.contains(QStringLiteral("Ian"))) << difference.toStdString();
}

namespace {

class NullProgress final : public IProgress
{
public:
    void SetStep(const QString &) override { }
    void SetProgress(qint64, qint64) override { }
    bool IsCancelled() const override { return false; }
};

// Stops once a step whose text starts with the given word has begun.
class StoppingProgress final : public IProgress
{
public:
    explicit StoppingProgress(QString word)
        : m_word(std::move(word))
    { }
    void SetStep(const QString &text) override { m_stopped = m_stopped || text.startsWith(m_word); }
    void SetProgress(qint64, qint64) override { }
    bool IsCancelled() const override { return m_stopped; }

private:
    QString m_word;
    bool m_stopped = false;
};

// A practice database with rows of many kinds: texts with quotes and line
// breaks, binary notes, money, dates, a deleted patient (a gap in the keys).
void MakeSyntheticPractice(const QString &database, int patients)
{
    QStringList names;
    for (int i = 0; i < patients; ++i)
        names << QStringLiteral("Patient %1, \"Ana\"\nÉmile").arg(i);
    MakePractice(database, names);
    RunSql(database,
        "UPDATE MAIN SET NOTES = x'00010203ff', HOM_INS_AMNT = 1234500, DATE_OF_BIRTH = '1980-02-29' "
        "WHERE ID % 3 = 0;"
        "INSERT INTO PAYMENTS (PATIENT_ID, AMOUNT, PAYMENT_DT) VALUES (1, -50000, '2026-01-05T10:00:00');"
        "INSERT INTO OFFICE_DATA (NAME, TAX1) VALUES ('Practice', 19.5);"
        "INSERT INTO PHONES (PATIENT_ID, PHONE) VALUES (2, '');"
        "DELETE FROM MAIN WHERE ID = 4;");
}

} // namespace

TEST(ServerMigration, APracticeMovesIntoAnEmptyServerDatabaseExactlyAndOnlyThere)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    TestSupport::TemporaryFolder practice;
    const QString file = practice.filePath(QStringLiteral("data.mdb"));
    MakeSyntheticPractice(file, 40);
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid()) << database.Error().toStdString();
    const Korbel::ServerAddress address = AddressOf(database);

    // A cancel at any point leaves the server's database empty.
    QString error;
    for (const QString &step :
        { QStringLiteral("Reading"), QStringLiteral("Writing"), QStringLiteral("Comparing") }) {
        StoppingProgress stop(step);
        EXPECT_EQ(
            ServerMigration(file, address, QString()).Run(stop, nullptr, &error), Korbel::Outcome::Cancelled)
            << step.toStdString();
        ServerLink link(address, QString());
        ASSERT_TRUE(link.Open(&error));
        qint64 tables = -1;
        qint64 rows = -1;
        ASSERT_TRUE(link.CountUserTables(&tables, &rows, &error));
        EXPECT_EQ(tables, 0) << step.toStdString();
    }

    NullProgress progress;
    ServerMigration::Summary summary;
    ASSERT_EQ(
        ServerMigration(file, address, QString()).Run(progress, &summary, &error), Korbel::Outcome::Done)
        << error.toStdString();
    EXPECT_GT(summary.tables, 10);
    EXPECT_GT(summary.rows, 80);

    // The program's data library reads the same practice there, and new keys
    // go on after the highest one the file handed out.
    TestSupport::TemporaryFolder exports;
    ASSERT_EQ(Korbel::ExportTables(file, exports.filePath(QStringLiteral("file")), {}, &error),
        Korbel::Outcome::Done);
    ASSERT_EQ(Korbel::ExportTables(Korbel::ServerLogin { address, QString() },
                  exports.filePath(QStringLiteral("server")), {}, &error),
        Korbel::Outcome::Done)
        << error.toStdString();
    QString difference;
    EXPECT_TRUE(ServerMigration::SameExports(
        exports.filePath(QStringLiteral("file")), exports.filePath(QStringLiteral("server")), &difference))
        << difference.toStdString();
    {
        auto source = OpenSource(address.ToString());
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        EXPECT_EQ(AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("New") } }),
            QStringLiteral("41"));
    }

    // Into a database that holds anything: refused, and nothing changes.
    EXPECT_EQ(
        ServerMigration(file, address, QString()).Run(progress, nullptr, &error), Korbel::Outcome::Failed);
    EXPECT_TRUE(error.contains(QStringLiteral("already holds"))) << error.toStdString();
    EXPECT_EQ(CountOnServer(address, QStringLiteral("main")), 40);
    // Without a practice to move: refused.
    EXPECT_EQ(ServerMigration(practice.filePath(QStringLiteral("missing.mdb")), address, QString())
                  .Run(progress, nullptr, &error),
        Korbel::Outcome::Failed);
}

TEST(PracticeCommandLine, MigrateToMovesThePracticeAndTheSeatThenWorksThere)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    Profile::MemoryUserSettings settings;
    TestSupport::TemporaryFolder practice;
    MakeSyntheticPractice(practice.filePath(QStringLiteral("data.mdb")), 12);
    ASSERT_TRUE(practice.writeFile(QStringLiteral("UserData/1/Images/face.jpg"), QByteArray(7000, '\x7f')));
    TestSupport::ScratchServerDatabase database;
    ASSERT_TRUE(database.IsValid());
    const QString address = database.Address();

    QString output;
    ASSERT_EQ(RunCommandLine({ QStringLiteral("--migrate-to"), address }, practice.path(), &output), 0)
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("compared"))) << output.toStdString();
    const PracticeConnection connection = PracticeConnection::Load();
    EXPECT_EQ(connection.address, address);
    EXPECT_EQ(connection.FilesFolder(QStringLiteral("/elsewhere/")), practice.rootWithSeparator());
    // A second time: the database is no longer empty.
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--migrate-to"), address }, practice.path(), &output), 1);

    // The practice export now reads the server, with the shared folder's files.
    TestSupport::TemporaryFolder media;
    const QString exported = media.filePath(QStringLiteral("practice"));
    ASSERT_EQ(RunCommandLine({ QStringLiteral("--export"), exported }, practice.path(), &output), 0)
        << output.toStdString();
    EXPECT_TRUE(QFileInfo::exists(QDir(exported).filePath(QStringLiteral("UserData/1/Images/face.jpg"))));

    // And imports into another, empty server database, named for this run only.
    TestSupport::ScratchServerDatabase other;
    ASSERT_TRUE(other.IsValid());
    TestSupport::TemporaryFolder otherShared;
    Profile::MemoryUserSettings otherSeat;
    PracticeConnection { QString(), otherShared.path() }.Save();
    ASSERT_EQ(RunCommandLine(
                  { QStringLiteral("--database"), other.Address(), QStringLiteral("--import"), exported },
                  otherShared.path(), &output),
        0)
        << output.toStdString();
    EXPECT_EQ(CountOnServer(AddressOf(other), QStringLiteral("main")), 11);
    EXPECT_TRUE(QFileInfo::exists(otherShared.filePath(QStringLiteral("UserData/1/Images/face.jpg"))));
    // Not into a practice that holds patients.
    EXPECT_EQ(RunCommandLine(
                  { QStringLiteral("--database"), other.Address(), QStringLiteral("--import"), exported },
                  otherShared.path(), &output),
        1);
    EXPECT_TRUE(output.contains(QStringLiteral("not empty"))) << output.toStdString();
    EXPECT_EQ(CountOnServer(AddressOf(other), QStringLiteral("main")), 11);
}
