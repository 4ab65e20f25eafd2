#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

using namespace KorbelTest;

namespace {

class Transactions : public TestSupport::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        location = NewLocation(QStringLiteral("data.mdb"));
        source = OpenSource(location);
        main = OpenTable(source.get(), QStringLiteral("MAIN"));
        anna = AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
    }
    // What another connection reads from the file.
    int StoredRows(const QString &table)
    {
        auto other = OpenSource(location);
        auto rows = OpenTable(other.get(), table);
        return rows ? rows->RecordCount() : -1;
    }

    QString location;
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> main;
    QString anna;
};

} // namespace

TEST_P(Transactions, ARollbackUndoesEveryWriteAndOpenTablesForgetTheRowsItTookAway)
{
    auto complaints = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
    ASSERT_TRUE(source->BeginTransaction());
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Anne")));
    ASSERT_TRUE(main->Update());
    AddRow(complaints.get(),
        { { QStringLiteral("PATIENT_ID"), anna }, { QStringLiteral("DESC"), QStringLiteral("x") } });
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Bert") } });
    EXPECT_EQ(main->RecordCount(), 2);
    EXPECT_EQ(complaints->RecordCount(), 1);
    ASSERT_TRUE(source->RollbackTransaction());

    // The rows written in the transaction are gone from the open tables too,
    // and the current row is the one that still exists.
    EXPECT_EQ(main->RecordCount(), 1);
    EXPECT_EQ(complaints->RecordCount(), 0);
    ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    EXPECT_EQ(StoredRows(QStringLiteral("MAIN")), 1);

    // Writing goes on normally afterwards.
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Carl") } });
    EXPECT_EQ(StoredRows(QStringLiteral("MAIN")), 2);
}

TEST_P(Transactions, NestedTransactionsAreSavepointsOfTheOuterOne)
{
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Bert") } });
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Carl") } });
    // The inner one is undone alone.
    ASSERT_TRUE(source->RollbackTransaction());
    EXPECT_EQ(main->RecordCount(), 2);
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Dora") } });
    EXPECT_EQ(source->CommitTransaction(), 1);
    // Nothing reaches the file before the outer commit.
    EXPECT_EQ(StoredRows(QStringLiteral("MAIN")), 1);
    EXPECT_EQ(source->CommitTransaction(), 1);
    EXPECT_EQ(StoredRows(QStringLiteral("MAIN")), 3);

    // A commit or rollback without a transaction is refused, not ignored.
    EXPECT_EQ(source->CommitTransaction(), 0);
    EXPECT_FALSE(source->RollbackTransaction());
    EXPECT_FALSE(source->GetErrorDescription().isEmpty());
}

TEST_P(Transactions, APendingEditSurvivesARollbackSoTheCallerCanRetry)
{
    ASSERT_TRUE(source->BeginTransaction());
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("Berg")));
    ASSERT_TRUE(source->RollbackTransaction());
    EXPECT_TRUE(main->IsEditing());
    ASSERT_TRUE(main->Update());
    EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), QStringLiteral("Berg"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Transactions, TestSupport::BothEngines(), TestSupport::EngineName);
