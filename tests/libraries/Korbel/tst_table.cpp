#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

using namespace KorbelTest;
using Korbel::IField;
using Korbel::ITable;

namespace {

class TableTest : public TestSupport::EngineTest
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
        for (const char *name : { "Anna", "Bert", "Carl", "Dora" })
            AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QString::fromLatin1(name) } });
    }
    QString name() { return Get(main.get(), QStringLiteral("FIRST_NAME")); }

    QString location;
    Korbel::ReleasePtr<Korbel::IDataSource> source;
    Korbel::ReleasePtr<ITable> main;
};

} // namespace

TEST_P(TableTest, MovesOfEveryKindAndFailedMovesKeepTheRow)
{
    EXPECT_EQ(main->RecordCount(), 4);
    EXPECT_EQ(name(), QStringLiteral("Dora")); // a new row stays current
    EXPECT_EQ(main->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(name(), QStringLiteral("Anna"));
    EXPECT_EQ(main->Move(Korbel::MovePrevious), 0);
    EXPECT_EQ(name(), QStringLiteral("Anna"));
    EXPECT_EQ(main->Move(Korbel::MoveNext), 1);
    EXPECT_EQ(name(), QStringLiteral("Bert"));
    EXPECT_EQ(main->Move(Korbel::MoveLast), 1);
    EXPECT_EQ(main->Move(Korbel::MoveNext), 0);
    EXPECT_EQ(name(), QStringLiteral("Dora"));
    EXPECT_EQ(main->Move(Korbel::MoveToPosition, 2), 1);
    EXPECT_EQ(name(), QStringLiteral("Carl"));
    EXPECT_EQ(main->Move(Korbel::MoveToPosition, 4), 0);
    EXPECT_EQ(main->Move(Korbel::MoveToPosition, -1), 0);
    EXPECT_EQ(main->Move(17), 0);
    EXPECT_EQ(main->CurrentPosition(), 2);

    auto empty = OpenTable(source.get(), QStringLiteral("PHONES"));
    EXPECT_EQ(empty->Move(Korbel::MoveFirst), 0);
    EXPECT_EQ(empty->CurrentPosition(), -1);
    EXPECT_EQ(empty->Edit(), 0);
    EXPECT_EQ(empty->Delete(), 0);
    EXPECT_EQ(Get(empty.get(), QStringLiteral("PHONE")), QString());
}

TEST_P(TableTest, EditUpdateCancelAndDelete)
{
    main->Move(Korbel::MoveFirst);
    // Writing without a pending edit is refused.
    EXPECT_FALSE(Set(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("X")));
    ASSERT_EQ(main->Edit(), 1);
    EXPECT_TRUE(Set(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("Smith")));
    EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), QStringLiteral("Smith"));
    main->CancelUpdate();
    EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), QString());

    ASSERT_EQ(main->Edit(), 1);
    Set(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("Smith"));
    // A move drops a pending edit.
    main->Move(Korbel::MoveNext);
    main->Move(Korbel::MovePrevious);
    EXPECT_EQ(Get(main.get(), QStringLiteral("LAST_NAME")), QString());

    ASSERT_EQ(main->Edit(), 1);
    Set(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("Smith"));
    EXPECT_NE(main->Update(), 0);
    EXPECT_NE(main->Update(), 0); // nothing pending is still success
    auto again = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(Get(again.get(), QStringLiteral("LAST_NAME")), QStringLiteral("Smith"));

    // Save without changes still succeeds.
    ASSERT_EQ(main->Edit(), 1);
    EXPECT_NE(main->Update(), 0);

    // A cancelled new row leaves nothing behind.
    ASSERT_EQ(main->AddNew(), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("ACTIVE")), QStringLiteral("1"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("ID")), QString());
    main->CancelUpdate();
    EXPECT_EQ(main->RecordCount(), 4);
    EXPECT_EQ(name(), QStringLiteral("Anna"));

    // Deleting makes the next row current, or the previous one at the end.
    main->Move(Korbel::MoveToPosition, 1);
    EXPECT_GT(main->Delete(), 0);
    EXPECT_EQ(name(), QStringLiteral("Carl"));
    main->Move(Korbel::MoveLast);
    EXPECT_GT(main->Delete(), 0);
    EXPECT_EQ(name(), QStringLiteral("Carl"));
    EXPECT_NE(main->Update(), 0);
    // Emptying a table the way the program does.
    int deleted = 0;
    while (main->Move(Korbel::MoveFirst) == 1) {
        ASSERT_GT(main->Delete(), 0);
        ++deleted;
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(main->RecordCount(), 0);
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("MAIN"))->RecordCount(), 0);
    // The key is never reused.
    EXPECT_EQ(
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Eve") } }), QStringLiteral("5"));
}

TEST_P(TableTest, LocateAndLocateNextInRecordSetOrder)
{
    AddRow(main.get(),
        { { QStringLiteral("FIRST_NAME"), QStringLiteral("Bert") },
            { QStringLiteral("LAST_NAME"), QStringLiteral("Two") } });
    EXPECT_EQ(main->Locate(QStringLiteral("FIRST_NAME"), Korbel::LocateEqual, QStringLiteral("Bert")), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("ID")), QStringLiteral("2"));
    EXPECT_EQ(main->LocateNext(QStringLiteral("FIRST_NAME"), Korbel::LocateEqual, QStringLiteral("Bert")), 1);
    EXPECT_EQ(Get(main.get(), QStringLiteral("ID")), QStringLiteral("5"));
    EXPECT_EQ(main->LocateNext(QStringLiteral("FIRST_NAME"), Korbel::LocateEqual, QStringLiteral("Bert")), 0);
    EXPECT_EQ(Get(main.get(), QStringLiteral("ID")), QStringLiteral("5"));
    EXPECT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("3")), 1);
    EXPECT_EQ(name(), QStringLiteral("Carl"));
    EXPECT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("99")), 0);
    EXPECT_EQ(main->Locate(QStringLiteral("NO_FIELD"), Korbel::LocateEqual, QStringLiteral("1")), 0);
    EXPECT_EQ(
        main->Locate(QStringLiteral("DATE_OF_BIRTH"), Korbel::LocateEqual, QStringLiteral("not a date")), 0);
    EXPECT_EQ(name(), QStringLiteral("Carl"));
    // Markup and quotes in values are plain data.
    AddRow(
        main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("O'Brien\"; DROP TABLE MAIN; --") } });
    main->Move(Korbel::MoveFirst);
    EXPECT_EQ(main->Locate(QStringLiteral("FIRST_NAME"), Korbel::LocateEqual,
                  QStringLiteral("O'Brien\"; DROP TABLE MAIN; --")),
        1);
    EXPECT_TRUE(source->TableExists(QStringLiteral("MAIN")));
}

TEST_P(TableTest, TextFormsAreTypedInStorageAndSurviveALocaleChange)
{
    main->Move(Korbel::MoveFirst);
    ASSERT_EQ(main->Edit(), 1);
    EXPECT_TRUE(Set(main.get(), QStringLiteral("DATE_OF_BIRTH"), QStringLiteral("3/7/1969")));
    EXPECT_TRUE(Set(main.get(), QStringLiteral("MONTHLY_FEE"), QStringLiteral("1,234.5")));
    EXPECT_TRUE(Set(main.get(), QStringLiteral("HOM_INS_AMNT"), QStringLiteral("twelve")));
    EXPECT_TRUE(Set(main.get(), QStringLiteral("VIP"), QStringLiteral("TRUE")));
    EXPECT_TRUE(Set(main.get(), QStringLiteral("PARENT_ID"), QStringLiteral("9223372036854775807")));
    EXPECT_TRUE(Set(main.get(), QStringLiteral("MONTHLY_FEE_TS"), QStringLiteral("12/31/2024 11:59:58 PM")));
    EXPECT_FALSE(Set(main.get(), QStringLiteral("DATE_OF_BIRTH"), QStringLiteral("31/31/2020")));
    ASSERT_NE(main->Update(), 0);

    EXPECT_EQ(Get(main.get(), QStringLiteral("DATE_OF_BIRTH")), QStringLiteral("3/7/1969"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("MONTHLY_FEE")), QStringLiteral("1234.5000"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("HOM_INS_AMNT")), QStringLiteral("0.0000"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("VIP")), QStringLiteral("1"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_ID")), QStringLiteral("9223372036854775807"));

    // The values are typed in the database.
    {
        QString error;
        const auto rows = TestSupport::SelectOn(location,
            QStringLiteral("SELECT DATE_OF_BIRTH, MONTHLY_FEE, VIP, %1(MONTHLY_FEE), MONTHLY_FEE_TS "
                           "FROM MAIN WHERE ID = 1")
                .arg(OnServer() ? QStringLiteral("pg_typeof") : QStringLiteral("typeof")),
            &error);
        ASSERT_EQ(rows.size(), 1u) << error.toStdString();
        const QVariantList &q = rows.front();
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("1969-03-07"));
        EXPECT_EQ(q.value(1).toLongLong(), 12345000);
        EXPECT_EQ(q.value(2).toLongLong(), 1);
        EXPECT_EQ(q.value(3).toString(), OnServer() ? QStringLiteral("bigint") : QStringLiteral("integer"));
        EXPECT_EQ(q.value(4).toString(), QStringLiteral("2024-12-31T23:59:58"));
    }

    // Another locale shows the same values in its own forms.
    TestSupport::LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Get(main.get(), QStringLiteral("DATE_OF_BIRTH")), QStringLiteral("07.03.1969"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("MONTHLY_FEE")), QStringLiteral("1234,5000"));
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_NE(main->Update(), 0);
    Korbel::IField *field = nullptr;
    ASSERT_EQ(main->GetField(QStringLiteral("DATE_OF_BIRTH"), &field), 1);
    Korbel::ReleasePtr<IField> dob(field);
    EXPECT_EQ(dob->GetValue().toDate(), QDate(1969, 3, 7));
    EXPECT_FALSE(dob->IsNull());
    ASSERT_EQ(main->Edit(), 1);
    EXPECT_TRUE(dob->SetNull());
    ASSERT_NE(main->Update(), 0);
    EXPECT_TRUE(dob->IsNull());
    EXPECT_EQ(dob->GetAsString(), QString());
}

TEST_P(TableTest, LongBinaryFieldsAreReadOnlyWhenAsked)
{
    main->Move(Korbel::MoveFirst);
    QByteArray notes;
    ASSERT_TRUE(main->GetBinary(QStringLiteral("NOTES"), &notes));
    EXPECT_TRUE(notes.isEmpty());
    EXPECT_FALSE(main->SetBinary(QStringLiteral("NOTES"), "x")); // no edit pending
    ASSERT_EQ(main->Edit(), 1);
    QByteArray big(3 * 1024 * 1024, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), big));
    ASSERT_TRUE(main->GetBinary(QStringLiteral("NOTES"), &notes));
    EXPECT_EQ(notes, big);
    ASSERT_NE(main->Update(), 0);
    auto other = OpenTable(source.get(), QStringLiteral("MAIN"));
    ASSERT_TRUE(other->GetBinary(QStringLiteral("NOTES"), &notes));
    EXPECT_EQ(notes, big);
    EXPECT_EQ(Get(other.get(), QStringLiteral("NOTES")), QString());
}

TEST_P(TableTest, OtherTablesSeeWritesAndDeletedRowsReadEmpty)
{
    auto other = OpenTable(source.get(), QStringLiteral("MAIN"));
    other->Move(Korbel::MoveFirst);
    EXPECT_EQ(Get(other.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    main->Move(Korbel::MoveFirst);
    main->Edit();
    Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Annabel"));
    main->Update();
    EXPECT_EQ(Get(other.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Annabel"));
    main->Delete();
    EXPECT_EQ(Get(other.get(), QStringLiteral("FIRST_NAME")), QString());
    EXPECT_EQ(other->Edit(), 0);
}

TEST_P(TableTest, DeleteRefusedByTheDatabaseKeepsTheRow)
{
    QString error;
    const QStringList trigger = OnServer()
        ? QStringList { QStringLiteral(
                            "CREATE FUNCTION keep_bert() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                            "IF OLD.first_name = 'Bert' THEN RAISE EXCEPTION 'patient is referenced'; "
                            "END IF; RETURN OLD; END $$"),
              QStringLiteral("CREATE TRIGGER keep_bert BEFORE DELETE ON main FOR EACH ROW EXECUTE FUNCTION "
                             "keep_bert()") }
        : QStringList { QStringLiteral(
            "CREATE TRIGGER keep_bert BEFORE DELETE ON MAIN WHEN OLD.FIRST_NAME = 'Bert' "
            "BEGIN SELECT RAISE(ABORT, 'patient is referenced'); END") };
    ASSERT_TRUE(TestSupport::ExecuteOn(location, trigger, &error)) << error.toStdString();
    ASSERT_EQ(main->Locate(QStringLiteral("FIRST_NAME"), Korbel::LocateEqual, QStringLiteral("Bert")), 1);
    EXPECT_EQ(main->Delete(), 0);
    EXPECT_TRUE(main->GetErrorDescription().contains(QStringLiteral("referenced")));
    EXPECT_EQ(main->RecordCount(), 4);
    EXPECT_EQ(name(), QStringLiteral("Bert"));
}

TEST_P(TableTest, AddressFollowsTheCurrentPatient)
{
    auto address = OpenTable(source.get(), QStringLiteral("ADDRESS"));
    main->Move(Korbel::MoveFirst);
    EXPECT_EQ(address->RecordCount(), 0);
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QString());
    // The first edit creates the patient's row.
    ASSERT_EQ(address->Edit(), 1);
    Set(address.get(), QStringLiteral("CITY"), QStringLiteral("Lyon"));
    ASSERT_NE(address->Update(), 0);
    EXPECT_EQ(Get(address.get(), QStringLiteral("PATIENT_ID")), QStringLiteral("1"));

    main->Move(Korbel::MoveNext);
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QString());
    ASSERT_EQ(address->Edit(), 1);
    Set(address.get(), QStringLiteral("CITY"), QStringLiteral("Graz"));
    ASSERT_NE(address->Update(), 0);

    main->Move(Korbel::MoveFirst);
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QStringLiteral("Lyon"));
    main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2"));
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QStringLiteral("Graz"));
    // A new patient has no address until it is saved with one.
    main->AddNew();
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QString());
    EXPECT_EQ(address->Edit(), 0);
    main->Update();
    ASSERT_EQ(address->Edit(), 1);
    ASSERT_NE(address->Update(), 0);
    EXPECT_EQ(Get(address.get(), QStringLiteral("PATIENT_ID")), QStringLiteral("5"));

    // Emptying the address table empties only the current patient's row.
    main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2"));
    while (address->Move(Korbel::MoveFirst) == 1)
        ASSERT_GT(address->Delete(), 0);
    main->Move(Korbel::MoveFirst);
    EXPECT_EQ(Get(address.get(), QStringLiteral("CITY")), QStringLiteral("Lyon"));
    auto all = Query(source.get(), QStringLiteral("ADDRESS"), [](Korbel::IQuery *) {});
    EXPECT_EQ(all->RecordCount(), 2);
}

TEST_P(TableTest, FieldsOutlivingTheirTableAreHarmless)
{
    Korbel::IField *field = nullptr;
    {
        auto temp = OpenTable(source.get(), QStringLiteral("MAIN"));
        ASSERT_EQ(temp->GetField(QStringLiteral("FIRST_NAME"), &field), 1);
        EXPECT_EQ(field->GetAsString(), QStringLiteral("Anna"));
    }
    EXPECT_EQ(field->GetAsString(), QString());
    EXPECT_FALSE(field->SetFromString(QStringLiteral("x")));
    field->Release();
    EXPECT_EQ(main->GetField(QStringLiteral("NOPE"), &field), 0);
    EXPECT_EQ(field, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Engines, TableTest, TestSupport::BothEngines(), TestSupport::EngineName);
