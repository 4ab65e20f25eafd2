// What only a database on a server does: a database shared with other
// programs (tables of something else, a newer program's schema), a statement
// that fails inside a transaction, a connection that is lost, keys after rows
// copied in with theirs, and text compared without regard to case as the
// embedded engine does it.

#include "Korbel/Maintenance.h"
#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

using namespace KorbelTest;
using Korbel::Engine;
using TestSupport::ExecuteOn;
using TestSupport::ScratchServerDatabase;
using TestSupport::SelectOn;

namespace {

class ServerDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(Engine::PostgreSQL);
        database = std::make_unique<ScratchServerDatabase>();
        ASSERT_TRUE(database->IsValid()) << database->Error().toStdString();
        address = database->Address();
    }
    QString Scalar(const QString &sql)
    {
        QString error;
        const auto rows = SelectOn(address, sql, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return rows.empty() ? QStringLiteral("<none>") : rows.front().value(0).toString();
    }
    // A trigger that refuses new patients called Bert, as a constraint of the
    // server would.
    void RefuseBert()
    {
        QString error;
        ASSERT_TRUE(ExecuteOn(address,
            { QStringLiteral("CREATE FUNCTION refuse_bert() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                             "IF NEW.first_name = 'Bert' THEN RAISE EXCEPTION 'no Bert here'; END IF; "
                             "RETURN NEW; END $$"),
                QStringLiteral("CREATE TRIGGER refuse_bert BEFORE INSERT OR UPDATE ON main FOR EACH ROW "
                               "EXECUTE FUNCTION refuse_bert()") },
            &error))
            << error.toStdString();
    }

    std::unique_ptr<ScratchServerDatabase> database;
    QString address;
};

} // namespace

TEST_F(ServerDatabase, AnEmptyDatabaseIsMadeOnceAndReopenedWithItsRows)
{
    {
        auto source = OpenSource(address);
        EXPECT_EQ(Korbel::EngineOf(source.get()), Engine::PostgreSQL);
        EXPECT_EQ(source->GetPath(), address);
        EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
        EXPECT_TRUE(source->UpgradeSchema());
    }
    // Typed as on the embedded engine: integer keys, money and yes/no as
    // integers, dates as ISO text, binary as bytes.
    EXPECT_EQ(
        Scalar(QStringLiteral("SELECT string_agg(column_name || ':' || data_type, ',' ORDER BY column_name) "
                              "FROM information_schema.columns WHERE table_name = 'main' AND column_name IN "
                              "('id', 'monthly_fee', 'vip', 'date_of_birth', 'first_name')")),
        QStringLiteral("date_of_birth:text,first_name:text,id:bigint,monthly_fee:bigint,vip:bigint"));
    EXPECT_EQ(
        Scalar(QStringLiteral("SELECT data_type FROM information_schema.columns WHERE table_name = 'main' "
                              "AND column_name = 'notes'")),
        QStringLiteral("bytea"));

    auto again = OpenSource(address);
    auto main = OpenTable(again.get(), QStringLiteral("MAIN"));
    ASSERT_EQ(main->RecordCount(), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    // The seed rows were not added a second time.
    EXPECT_EQ(OpenTable(again.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
}

TEST_F(ServerDatabase, NewRowsOfSeededTablesGetKeysPastTheSeeds)
{
    auto source = OpenSource(address);
    auto status = OpenTable(source.get(), QStringLiteral("STATUS"));
    const QString id = AddRow(status.get(), { { QStringLiteral("NAME"), QStringLiteral("Returned") } });
    EXPECT_EQ(id.toLongLong(), 8) << id.toStdString();
    EXPECT_EQ(status->RecordCount(), 8);
}

TEST_F(ServerDatabase, DatabasesOfOthersAndOfNewerProgramsAreLeftAsTheyAre)
{
    QString error;
    ASSERT_TRUE(ExecuteOn(
        address, { QStringLiteral("CREATE TABLE invoices_of_another_program (n integer)") }, &error))
        << error.toStdString();
    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    EXPECT_FALSE(source->Open(address));
    EXPECT_TRUE(source->GetErrorDescription().contains(QStringLiteral("did not make")))
        << source->GetErrorDescription().toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()")),
        QStringLiteral("1"));

    ScratchServerDatabase newer;
    ASSERT_TRUE(newer.IsValid());
    {
        auto made = OpenSource(newer.Address());
    }
    ASSERT_TRUE(
        ExecuteOn(newer.Address(), { QStringLiteral("UPDATE korbel_schema SET version = version + 1") }));
    EXPECT_FALSE(source->Open(newer.Address()));
    EXPECT_TRUE(source->GetErrorDescription().contains(QStringLiteral("newer version")))
        << source->GetErrorDescription().toStdString();
}

TEST_F(ServerDatabase, AddressesWithPasswordsAndServersThatDoNotAnswerGiveClearErrors)
{
    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    Korbel::ServerAddress server;
    ASSERT_TRUE(Korbel::ServerAddress::Parse(address, &server, nullptr));
    const QString withPassword = QStringLiteral("postgresql://%1:secret@%2:%3/%4")
                                     .arg(server.user, server.host)
                                     .arg(server.port)
                                     .arg(server.database);
    EXPECT_FALSE(source->Open(withPassword));
    EXPECT_TRUE(source->GetErrorDescription().contains(QStringLiteral("password")));
    EXPECT_EQ(Korbel::EngineOf(source.get()), Engine::PostgreSQL);

    server.database = QStringLiteral("no_such_database_here");
    EXPECT_FALSE(source->Open(server.ToString()));
    EXPECT_TRUE(source->GetErrorDescription().contains(QStringLiteral("cannot be opened")))
        << source->GetErrorDescription().toStdString();
    EXPECT_EQ(source->OpenTable(QStringLiteral("MAIN")), nullptr);
}

TEST_F(ServerDatabase, AFailedStatementStopsTheTransactionUntilItIsRolledBack)
{
    auto source = OpenSource(address);
    RefuseBert();
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));

    // A failure in the outer transaction: nothing more is written, and the
    // commit is refused rather than reported as done.
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
    ASSERT_TRUE(main->AddNew());
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Bert")));
    EXPECT_EQ(main->Update(), 0);
    EXPECT_TRUE(main->GetErrorDescription().contains(QStringLiteral("no Bert here")));
    main->CancelUpdate();
    ASSERT_TRUE(main->AddNew());
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Carl")));
    EXPECT_EQ(main->Update(), 0);
    EXPECT_TRUE(main->GetErrorDescription().contains(QStringLiteral("rolled back")));
    main->CancelUpdate();
    EXPECT_EQ(source->CommitTransaction(), 0);
    EXPECT_TRUE(source->RollbackTransaction());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM main")), QStringLiteral("0"));
    EXPECT_EQ(main->RecordCount(), 0);

    // A failure inside a savepoint: undoing the savepoint lets the outer
    // transaction go on and commit what it wrote before.
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Dora") } });
    ASSERT_TRUE(source->BeginTransaction());
    ASSERT_TRUE(main->AddNew());
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Bert")));
    EXPECT_EQ(main->Update(), 0);
    main->CancelUpdate();
    EXPECT_TRUE(source->RollbackTransaction());
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Emil") } });
    EXPECT_EQ(source->CommitTransaction(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT string_agg(first_name, ',' ORDER BY id) FROM main")),
        QStringLiteral("Dora,Emil"));
}

TEST_F(ServerDatabase, ALostConnectionIsAFailureWithItsReasonNeverASuccess)
{
    auto source = OpenSource(address);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
    QString error;
    ASSERT_TRUE(TestSupport::RunOnCluster(
        QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1' "
                       "AND application_name = 'Verdanta'")
            .arg(database->Name()),
        &error))
        << error.toStdString();

    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Anne")));
    EXPECT_EQ(main->Update(), 0);
    EXPECT_TRUE(
        main->GetErrorDescription().contains(QStringLiteral("connection to the database server was lost")))
        << main->GetErrorDescription().toStdString();
    QString reason;
    EXPECT_EQ(Korbel::TakeStorageFailure(source.get(), &reason), Korbel::StorageFailure::InputOutput);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(source->BeginTransaction() && source->CommitTransaction() == 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT first_name FROM main")), QStringLiteral("Anna"));
}

TEST_F(ServerDatabase, CopiedKeysMoveTheSequenceOn)
{
    auto source = OpenSource(address);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    QString error;
    ASSERT_TRUE(ExecuteOn(
        address, { QStringLiteral("INSERT INTO main (id, first_name) VALUES (41, 'Copied')") }, &error))
        << error.toStdString();
    // What a copy of a practice does after its rows are in: the next key
    // follows the highest one handed out.
    ASSERT_TRUE(
        ExecuteOn(address, { QStringLiteral("SELECT setval(pg_get_serial_sequence('main', 'id'), 41)") }));
    auto reopened = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(AddRow(reopened.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("New") } }),
        QStringLiteral("42"));
}

TEST_F(ServerDatabase, TextIgnoringCaseMatchesAndSortsAsOnTheEmbeddedEngine)
{
    auto source = OpenSource(address);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    for (const char *name : { "bolt", "Émile", "ada", "Ada", "Zorn", "éva", "Bolt" })
        AddRow(main.get(), { { QStringLiteral("LAST_NAME"), QString::fromUtf8(name) } });
    // Locate and equality ignore ASCII case only, as NOCASE does.
    ASSERT_EQ(main->Locate(QStringLiteral("LAST_NAME"), Korbel::LocateEqual, QStringLiteral("ZORN")), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), QStringLiteral("Zorn"));
    EXPECT_EQ(main->Locate(QStringLiteral("LAST_NAME"), Korbel::LocateEqual, QString::fromUtf8("ÉVA")), 0);
    auto sorted = Query(source.get(), QStringLiteral("MAIN"),
        [](Korbel::IQuery *q) { q->OrderBy(QStringLiteral("LAST_NAME")); });
    QStringList names;
    for (int ok = sorted->Move(Korbel::MoveFirst); ok == 1; ok = sorted->Move(Korbel::MoveNext))
        names << Get(sorted.get(), QStringLiteral("LAST_NAME"));
    // Ties keep the order of the keys; accented letters sort by code point.
    EXPECT_EQ(names.join(QLatin1Char(',')), QString::fromUtf8("ada,Ada,bolt,Bolt,Zorn,Émile,éva"));
    auto equal = Query(source.get(), QStringLiteral("MAIN"), [](Korbel::IQuery *q) {
        q->Where(QStringLiteral("LAST_NAME"), Korbel::Compare::Equal, QStringLiteral("BOLT"));
    });
    EXPECT_EQ(equal->RecordCount(), 2);
    // The prefix find is served by the index on the folded name.
    QString error;
    ASSERT_TRUE(ExecuteOn(address,
        { QStringLiteral("ALTER DATABASE %1 SET enable_seqscan = off").arg(database->Name()),
            QStringLiteral("ANALYZE main") },
        &error))
        << error.toStdString();
    QStringList plan;
    for (const QVariantList &row : SelectOn(address,
             QStringLiteral("EXPLAIN SELECT id FROM main WHERE lower(last_name COLLATE \"C\") >= 'bo' "
                            "AND lower(last_name COLLATE \"C\") < 'bp'"),
             &error))
        plan << row.value(0).toString();
    EXPECT_TRUE(plan.join(QLatin1Char('\n')).contains(QStringLiteral("ix_main_last_name")))
        << plan.join(QLatin1Char('\n')).toStdString() << error.toStdString();
}
