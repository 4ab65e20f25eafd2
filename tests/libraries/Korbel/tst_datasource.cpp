#include "KorbelTestUtil.h"

#include "Korbel/Schema.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>

using namespace KorbelTest;
using Korbel::IDataSource;
using Korbel::ITable;

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Runs raw SQL on a database file outside the library (to build old or odd files).
void rawSql(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

} // namespace

TEST(DataSource, MissingFileBecomesNewDatabaseWithSchemaAndSeeds)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    auto source = OpenSource(path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());

    // Every table of the schema exists, spelled as the program names it.
    for (const Korbel::TableDef &def : Korbel::Schema::instance().tables()) {
        if (def.legacyOnly)
            continue;
        EXPECT_TRUE(source->TableExists(def.name)) << def.name.toStdString();
        auto table = OpenTable(source.get(), def.name);
        ASSERT_TRUE(table);
        for (const Korbel::ColumnDef &column : def.columns) {
            Korbel::IField *f = nullptr;
            EXPECT_EQ(table->GetField(column.name, &f), 1)
                << def.name.toStdString() << "." << column.name.toStdString();
            if (f)
                f->Release();
        }
    }
    EXPECT_FALSE(source->TableExists(QStringLiteral("AUDIO")));
    auto history = OpenTable(source.get(), QStringLiteral("MEDICAL_HISTORY"));
    Korbel::IField *spaced = nullptr;
    EXPECT_EQ(history->GetField(QStringLiteral("MENTAL DIS"), &spaced), 1);
    spaced->Release();

    auto status = OpenTable(source.get(), QStringLiteral("STATUS"));
    EXPECT_EQ(status->RecordCount(), 7);
    for (int id = 1; id <= 7; ++id) {
        ASSERT_EQ(status->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(id)), 1);
        EXPECT_FALSE(Get(status.get(), QStringLiteral("NAME")).isEmpty());
        EXPECT_LE(Get(status.get(), QStringLiteral("COLOR")).toLongLong(), 0x00FFFFFF);
    }
    auto config = OpenTable(source.get(), QStringLiteral("APP_CONFIGURATION"));
    EXPECT_EQ(config->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("1")), 1);
    EXPECT_EQ(config->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
    auto reports = OpenTable(source.get(), QStringLiteral("REPORTS"));
    EXPECT_EQ(reports->RecordCount(), 17);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("TYPE_PAYMENTS"))->RecordCount(), 0);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("APELATIV"))->RecordCount(), 0);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("MARITAL_STATUS"))->RecordCount(), 0);
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("MAIN"))->RecordCount(), 0);
}

TEST(DataSource, UnreadableFilesAreRefusedAndLeftUntouched)
{
    TestSupport::TemporaryFolder dir;
    struct Case
    {
        const char *name;
        QByteArray content;
    } cases[] = {
        { "empty.mdb", QByteArray() },
        { "text.mdb", QByteArray("this is not a database at all\n") },
        { "access.mdb", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4096, 'x') },
        { "truncated.mdb", QByteArray("SQLite format 3\0", 16) + QByteArray(50, '\x7f') },
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(dir.writeFile(QString::fromLatin1(c.name), c.content));
        const QByteArray before = fileHash(path);
        Korbel::ReleasePtr<IDataSource> source(DataSourceFactory());
        EXPECT_FALSE(source->Open(path)) << c.name;
        EXPECT_FALSE(source->GetErrorDescription().isEmpty()) << c.name;
        EXPECT_EQ(source->OpenTable(QStringLiteral("MAIN")), nullptr);
        EXPECT_EQ(fileHash(path), before) << c.name;
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal"))) << c.name;
    }
    // A folder that does not exist is an error, not a new folder.
    Korbel::ReleasePtr<IDataSource> source(DataSourceFactory());
    EXPECT_FALSE(source->Open(dir.filePath(QStringLiteral("missing/data.mdb"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
}

TEST(DataSource, NewerSchemaIsRefusedAndUpgradeIsIdempotent)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    {
        auto source = OpenSource(path);
    }
    rawSql(path, { QStringLiteral("PRAGMA user_version = %1").arg(Korbel::CurrentSchemaVersion() + 1) });
    const QByteArray before = fileHash(path);
    Korbel::ReleasePtr<IDataSource> newer(DataSourceFactory());
    EXPECT_FALSE(newer->Open(path));
    EXPECT_TRUE(newer->GetErrorDescription().contains(QStringLiteral("newer")));
    EXPECT_EQ(fileHash(path), before);

    rawSql(path, { QStringLiteral("PRAGMA user_version = 0") });
    auto source = OpenSource(path);
    EXPECT_EQ(source->SchemaVersion(), 0);
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
}

TEST(DataSource, OldDatabaseWithAudioTableKeepsIt)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("old.mdb"));
    rawSql(path,
        { QStringLiteral(
              "CREATE TABLE MAIN (ID INTEGER PRIMARY KEY AUTOINCREMENT, FIRST_NAME TEXT, LAST_NAME TEXT)"),
            QStringLiteral("CREATE TABLE AUDIO (ID INTEGER PRIMARY KEY AUTOINCREMENT, PATIENT_ID INTEGER, "
                           "CHAR_POS INTEGER, CONSULTATION_ID INTEGER, FILE_PATH TEXT, IS_VIDEO INTEGER)"),
            QStringLiteral("INSERT INTO MAIN (FIRST_NAME, LAST_NAME) VALUES ('Ada', 'Byron')"),
            QStringLiteral("INSERT INTO AUDIO (PATIENT_ID, CHAR_POS, FILE_PATH, IS_VIDEO) VALUES (1, 7, "
                           "'/m/a.wma', 0)") });
    auto source = OpenSource(path);
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_TRUE(source->TableExists(QStringLiteral("AUDIO")));
    EXPECT_FALSE(source->TableExists(QStringLiteral("MEDIA")));
    auto audio = OpenTable(source.get(), QStringLiteral("AUDIO"));
    ASSERT_EQ(audio->RecordCount(), 1);
    EXPECT_EQ(Get(audio.get(), QStringLiteral("FILE_PATH")), QStringLiteral("/m/a.wma"));
    EXPECT_EQ(Get(audio.get(), QStringLiteral("IS_VIDEO")), QStringLiteral("0"));
    // The older MAIN got the fields it lacked, and kept its row.
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Ada"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("ACTIVE")), QStringLiteral("1"));
    EXPECT_TRUE(main->Edit());
    EXPECT_TRUE(Set(main.get(), QStringLiteral("MONTHLY_FEE"), QStringLiteral("25")));
    EXPECT_TRUE(main->Update());
    EXPECT_TRUE(source->TableExists(QStringLiteral("QUESTIONARY_H")));
}

TEST(DataSource, OnlineBackupWhileOpenIsAConsistentCopy)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    for (int i = 0; i < 50; ++i)
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("P%1").arg(i) } });
    // An edit that is still pending is not part of the copy.
    ASSERT_TRUE(main->Edit());
    Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("pending"));

    QDir().mkpath(dir.filePath(QStringLiteral("Backup/ThisWeek")));
    const QString copy = dir.filePath(QStringLiteral("Backup/ThisWeek/data.mdb"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("Backup/ThisWeek/data.mdb"), "old copy"));
    ASSERT_TRUE(source->BackupTo(copy)) << source->GetErrorDescription().toStdString();
    main->CancelUpdate();
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral("-wal")));

    auto backup = OpenSource(copy);
    auto copied = OpenTable(backup.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(copied->RecordCount(), 50);
    ASSERT_EQ(copied->Move(Korbel::MoveLast), 1);
    EXPECT_EQ(Get(copied.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("P49"));
    EXPECT_EQ(OpenTable(backup.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
    // The original keeps working after the backup.
    EXPECT_EQ(AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("after") } }),
        QStringLiteral("51"));

    EXPECT_FALSE(source->BackupTo(dir.filePath(QStringLiteral("no/such/folder/data.mdb"))));
}

TEST(DataSource, TransactionsAndStoredQueries)
{
    TestSupport::TemporaryFolder dir;
    auto source = OpenSource(dir.filePath(QStringLiteral("data.mdb")));
    auto providers = OpenTable(source.get(), QStringLiteral("PROVIDERS"));
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(providers.get(), { { QStringLiteral("NAME"), QStringLiteral("Kept") } });
    EXPECT_EQ(source->CommitTransaction(), 1);
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(providers.get(), { { QStringLiteral("NAME"), QStringLiteral("Dropped") } });
    EXPECT_TRUE(source->RollbackTransaction());
    auto reopened = OpenTable(source.get(), QStringLiteral("PROVIDERS"));
    EXPECT_EQ(reopened->RecordCount(), 1);
    EXPECT_EQ(Get(reopened.get(), QStringLiteral("NAME")), QStringLiteral("Kept"));

    EXPECT_FALSE(source->RunStoredQuery(QStringLiteral("MONEY_MADE"), QString()));
    QString seen;
    Korbel::SetStoredQueryHandler(source.get(), [&seen](IDataSource *, const QString &name, const QString &) {
        seen = name;
        return true;
    });
    EXPECT_TRUE(source->RunStoredQuery(QStringLiteral("MONEY_MADE"), QString()));
    EXPECT_EQ(seen, QStringLiteral("MONEY_MADE"));
    EXPECT_EQ(source->OpenTable(QStringLiteral("NO_SUCH_TABLE")), nullptr);
    EXPECT_FALSE(source->GetErrorDescription().isEmpty());
}
