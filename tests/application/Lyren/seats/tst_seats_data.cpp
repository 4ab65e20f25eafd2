// The data library's part of several seats, with two data sources on one
// database file standing for two programs: row versions, counters that add
// up, tables that see another seat's rows at their next move, and the change
// watcher.
#include "Korbel/DataSource.h"
#include "Korbel/SharedAccess.h"
#include "support/TestDatabases.h"
#include "support/TestSupport.h"

#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

using Korbel::ReleasePtr;

class TwoSources : public TestSupport::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        const QString path = NewLocation();
        ASSERT_TRUE(mine->Open(path)) << mine->GetErrorDescription().toStdString();
        ASSERT_TRUE(theirs->Open(path)) << theirs->GetErrorDescription().toStdString();
        stock = Add(theirs.get(), QStringLiteral("STOCKS"), QStringLiteral("STOCK"), 10);
    }

    static qint64 Add(Korbel::IDataSource *source, const QString &table, const QString &field, qint64 value)
    {
        ReleasePtr<Korbel::ITable> rows(source->OpenTable(table));
        Korbel::IField *f = nullptr;
        if (!rows || rows->AddNew() != 1 || rows->GetField(field, &f) != 1)
            return 0;
        ReleasePtr<Korbel::IField> guard(f);
        f->SetValue(value);
        if (!rows->Update())
            return 0;
        Korbel::IField *id = nullptr;
        rows->GetField(QStringLiteral("ID"), &id);
        ReleasePtr<Korbel::IField> idGuard(id);
        return id->GetValue().toLongLong();
    }
    static QVariant Read(Korbel::ITable *rows, const QString &field)
    {
        Korbel::IField *f = nullptr;
        if (rows->GetField(field, &f) != 1)
            return {};
        ReleasePtr<Korbel::IField> guard(f);
        return f->GetValue();
    }
    static bool Write(Korbel::ITable *rows, const QString &field, const QVariant &value)
    {
        Korbel::IField *f = nullptr;
        if (rows->Edit() != 1 || rows->GetField(field, &f) != 1)
            return false;
        ReleasePtr<Korbel::IField> guard(f);
        return f->SetValue(value) && rows->Update();
    }

    ReleasePtr<Korbel::IDataSource> mine { DataSourceFactory() };
    ReleasePtr<Korbel::IDataSource> theirs { DataSourceFactory() };
    qint64 stock = 0;
};

TEST_P(TwoSources, RowVersionsTellAnotherSeatsSaveAndDeletion)
{
    const qint64 patient = Add(theirs.get(), QStringLiteral("MAIN"), QStringLiteral("SEX"), 1);
    qint64 current = -1;
    ASSERT_TRUE(mine->BeginTransaction());
    EXPECT_EQ(Korbel::CheckRowVersion(
                  mine.get(), QStringLiteral("MAIN"), patient, 0, Korbel::RowLock::UntilCommit, &current),
        Korbel::RowState::Unchanged);
    EXPECT_EQ(current, 0);
    EXPECT_TRUE(Korbel::BumpRowVersion(mine.get(), QStringLiteral("MAIN"), patient, 0));
    ASSERT_EQ(mine->CommitTransaction(), 1);

    // The other seat still holds version 0: its bump is refused, its check says changed.
    EXPECT_FALSE(Korbel::BumpRowVersion(theirs.get(), QStringLiteral("MAIN"), patient, 0));
    EXPECT_EQ(Korbel::CheckRowVersion(
                  theirs.get(), QStringLiteral("MAIN"), patient, 0, Korbel::RowLock::None, &current),
        Korbel::RowState::Changed);
    EXPECT_EQ(current, 1);

    ReleasePtr<Korbel::ITable> rows(mine->OpenTable(QStringLiteral("MAIN")));
    ASSERT_EQ(rows->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(patient)), 1);
    ASSERT_GT(rows->Delete(), 0);
    EXPECT_EQ(
        Korbel::CheckRowVersion(theirs.get(), QStringLiteral("MAIN"), patient, 1), Korbel::RowState::Gone);
    EXPECT_FALSE(Korbel::LockRow(theirs.get(), QStringLiteral("MAIN"), patient));
}

TEST_P(TwoSources, CountsAddUpWhateverEachSeatReadBefore)
{
    ReleasePtr<Korbel::ITable> myRows(mine->OpenTable(QStringLiteral("STOCKS")));
    ASSERT_EQ(Read(myRows.get(), QStringLiteral("STOCK")).toLongLong(), 10);
    // Another seat takes 3 after this one read 10.
    ASSERT_TRUE(Korbel::AddToCounts(
        theirs.get(), QStringLiteral("STOCKS"), stock, { { QStringLiteral("STOCK"), -3 } }));
    ASSERT_TRUE(Korbel::AddToCounts(mine.get(), QStringLiteral("STOCKS"), stock,
        { { QStringLiteral("STOCK"), -2 }, { QStringLiteral("PREDICTED"), -5, true, 0 } }));
    EXPECT_EQ(Read(myRows.get(), QStringLiteral("STOCK")).toLongLong(), 5);
    // NULL counts as nothing; the floor holds.
    EXPECT_EQ(Read(myRows.get(), QStringLiteral("PREDICTED")).toLongLong(), 0);
    ASSERT_TRUE(Korbel::AddToCounts(
        mine.get(), QStringLiteral("STOCKS"), stock, { { QStringLiteral("PREDICTED"), 4, true, 0 } }));
    EXPECT_EQ(Read(myRows.get(), QStringLiteral("PREDICTED")).toLongLong(), 4);
    // A row that is not there is a failure, not a silent success.
    QString error;
    EXPECT_FALSE(Korbel::AddToCounts(
        mine.get(), QStringLiteral("STOCKS"), stock + 100, { { QStringLiteral("STOCK"), 1 } }, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_P(TwoSources, RowsWrittenCountOnlyRealWrites)
{
    ReleasePtr<Korbel::ITable> rows(mine->OpenTable(QStringLiteral("STOCKS")));
    const quint64 before = Korbel::RowsWritten(mine.get());
    // An edit that changes nothing writes nothing.
    ASSERT_EQ(rows->Edit(), 1);
    ASSERT_EQ(rows->Update(), 1);
    EXPECT_EQ(Korbel::RowsWritten(mine.get()), before);
    ASSERT_TRUE(Write(rows.get(), QStringLiteral("STOCK"), 11));
    EXPECT_EQ(Korbel::RowsWritten(mine.get()), before + 1);
    EXPECT_EQ(Korbel::RowsWritten(theirs.get()), 1u) << "the other seat wrote only its first row";
}

TEST_P(TwoSources, TablesSeeAnotherSeatsRowsAtTheirNextMove)
{
    ReleasePtr<Korbel::ITable> rows(mine->OpenTable(QStringLiteral("STOCKS")));
    ASSERT_EQ(rows->Move(Korbel::MoveFirst), 1);
    ASSERT_EQ(Read(rows.get(), QStringLiteral("STOCK")).toLongLong(), 10);

    ReleasePtr<Korbel::ITable> other(theirs->OpenTable(QStringLiteral("STOCKS")));
    ASSERT_TRUE(Write(other.get(), QStringLiteral("STOCK"), 7));
    const qint64 added = Add(theirs.get(), QStringLiteral("STOCKS"), QStringLiteral("STOCK"), 3);
    // A server is looked at no more often than every few milliseconds.
    QTest::qWait(OnServer() ? 40 : 0);

    ASSERT_EQ(rows->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Read(rows.get(), QStringLiteral("STOCK")).toLongLong(), 7) << "no cached row hides the change";
    EXPECT_EQ(rows->RecordCount(), 2);
    ASSERT_EQ(rows->Move(Korbel::MoveNext), 1);
    EXPECT_EQ(Read(rows.get(), QStringLiteral("ID")).toLongLong(), added);
}

TEST_P(TwoSources, TheWatcherTellsOtherSeatsCommitsOnly)
{
    Korbel::ChangeWatcher watcher(mine.get(), 60000);
    QSignalSpy changed(&watcher, &Korbel::ChangeWatcher::Changed);
    // SQLite is looked at; a server's announcements come through the event loop.
    const auto look = [&] {
        watcher.Poll();
        QTest::qWait(OnServer() ? 200 : 0);
    };
    ReleasePtr<Korbel::ITable> rows(mine->OpenTable(QStringLiteral("STOCKS")));
    ASSERT_TRUE(Write(rows.get(), QStringLiteral("STOCK"), 12));
    look();
    EXPECT_EQ(changed.count(), 0) << "this seat's own writes are not news";

    ASSERT_TRUE(theirs->BeginTransaction());
    ASSERT_TRUE(Korbel::AddToCounts(
        theirs.get(), QStringLiteral("STOCKS"), stock, { { QStringLiteral("STOCK"), 1 } }));
    look();
    EXPECT_EQ(changed.count(), 0) << "nothing is told before the commit";
    ASSERT_EQ(theirs->CommitTransaction(), 1);
    look();
    ASSERT_EQ(changed.count(), 1);
    if (OnServer()) {
        // The announcement names the row.
        EXPECT_EQ(changed.first().at(0).toString(), QStringLiteral("STOCKS"));
        EXPECT_EQ(changed.first().at(1).toLongLong(), stock);
    } else {
        EXPECT_TRUE(changed.first().at(0).toString().isEmpty());
    }
    look();
    EXPECT_EQ(changed.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, TwoSources, TestSupport::BothEngines(), TestSupport::EngineName);

TEST(SeatsSchema, VersionTwoAddsTheRowVersionToOlderDatabases)
{
    // An older database: MAIN without the column, schema version 1.
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("old.mdb"));
    {
        ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        ASSERT_TRUE(source->Open(path));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seats-old"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("ALTER TABLE MAIN DROP COLUMN ROW_VERSION")));
        ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO MAIN (FIRST_NAME) VALUES ('Old')")));
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA user_version = 1")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seats-old"));
    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    ASSERT_TRUE(source->Open(path));
    ASSERT_TRUE(source->UpgradeSchema());
    EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());
    ReleasePtr<Korbel::ITable> rows(source->OpenTable(QStringLiteral("MAIN")));
    ASSERT_EQ(rows->Move(Korbel::MoveFirst), 1);
    ReleasePtr<Korbel::IField> version;
    Korbel::IField *field = nullptr;
    ASSERT_EQ(rows->GetField(Korbel::RowVersionField(), &field), 1);
    version.reset(field);
    EXPECT_EQ(version->GetValue().toLongLong(), 0);
}

} // namespace
