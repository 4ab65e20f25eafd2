#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

using namespace KorbelTest;
using Korbel::Compare;
using Korbel::IQuery;

namespace {

QStringList column(Korbel::ITable *table, const QString &field)
{
    QStringList values;
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext))
        values << Get(table, field);
    return values;
}

class QueryTest : public TestSupport::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        source = OpenSource(NewLocation(QStringLiteral("data.mdb")));
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        const char *people[][2]
            = { { "Anna", "Lee" }, { "Andrew", "Lee" }, { "Joan", "Anders" }, { "anselm", "Lee" },
                  { "An%na", "Kim" }, { "An_dy", "Lee" }, { "Zoë", "Åberg" }, { "Ann*", "Star" } };
        for (const auto &p : people)
            AddRow(main.get(),
                { { QStringLiteral("FIRST_NAME"), QString::fromUtf8(p[0]) },
                    { QStringLiteral("LAST_NAME"), QString::fromUtf8(p[1]) } });
    }
    QStringList find(const QString &first, const QString &last)
    {
        auto result = Query(source.get(), QStringLiteral("MAIN"), [&](IQuery *q) {
            q->Where(QStringLiteral("FIRST_NAME"), Compare::Prefix, first);
            q->Where(QStringLiteral("LAST_NAME"), Compare::Prefix, last);
        });
        return result ? column(result.get(), QStringLiteral("FIRST_NAME"))
                      : QStringList { QStringLiteral("<failed>") };
    }

    Korbel::ReleasePtr<Korbel::IDataSource> source;
};

} // namespace

TEST_P(QueryTest, PrefixFindMatchesStartsOnlyAndWildcardsMatchThemselves)
{
    EXPECT_EQ(find(QStringLiteral("an"), QString()),
        (QStringList { QStringLiteral("Anna"), QStringLiteral("Andrew"), QStringLiteral("anselm"),
            QStringLiteral("An%na"), QStringLiteral("An_dy"), QStringLiteral("Ann*") }));
    EXPECT_EQ(find(QStringLiteral("An%"), QString()), QStringList { QStringLiteral("An%na") });
    EXPECT_EQ(find(QStringLiteral("An_"), QString()), QStringList { QStringLiteral("An_dy") });
    EXPECT_EQ(find(QStringLiteral("Ann*"), QString()), QStringList { QStringLiteral("Ann*") });
    EXPECT_EQ(find(QStringLiteral("*"), QString()), QStringList {});
    EXPECT_EQ(find(QStringLiteral("an"), QStringLiteral("lee")),
        (QStringList { QStringLiteral("Anna"), QStringLiteral("Andrew"), QStringLiteral("anselm"),
            QStringLiteral("An_dy") }));
    EXPECT_EQ(find(QString(), QString()).size(), 8);
    EXPECT_EQ(
        find(QString::fromUtf8("Zoë"), QString::fromUtf8("Å")), QStringList { QString::fromUtf8("Zoë") });
    EXPECT_EQ(find(QStringLiteral("x"), QString()), QStringList {});
}

TEST_P(QueryTest, ConditionsOrderingAndNulls)
{
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    main->Move(Korbel::MoveFirst);
    main->Edit();
    Set(main.get(), QStringLiteral("PARENT_ID"), QStringLiteral("3"));
    main->Update();
    main->Move(Korbel::MoveNext);
    main->Edit();
    Set(main.get(), QStringLiteral("PARENT_ID"), QString()); // NULL
    main->Update();

    // Linked-account choice for patient 3: neither itself nor its own linked accounts.
    auto candidates = Query(source.get(), QStringLiteral("MAIN"), [](IQuery *q) {
        q->Where(QStringLiteral("ID"), Compare::NotEqual, QStringLiteral("3"));
        q->Where(QStringLiteral("PARENT_ID"), Compare::NotEqual, QStringLiteral("3"));
    });
    EXPECT_EQ(column(candidates.get(), QStringLiteral("ID")),
        (QStringList { QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
            QStringLiteral("7"), QStringLiteral("8") }));

    auto ordered = Query(source.get(), QStringLiteral("MAIN"), [](IQuery *q) {
        q->Where(QStringLiteral("LAST_NAME"), Compare::Equal, QStringLiteral("Lee"));
        q->OrderBy(QStringLiteral("FIRST_NAME"), false);
    });
    EXPECT_EQ(column(ordered.get(), QStringLiteral("FIRST_NAME")),
        (QStringList { QStringLiteral("anselm"), QStringLiteral("Anna"), QStringLiteral("Andrew"),
            QStringLiteral("An_dy") }));

    auto nulls = Query(source.get(), QStringLiteral("MAIN"),
        [](IQuery *q) { q->Where(QStringLiteral("PARENT_ID"), Compare::IsNull); });
    EXPECT_EQ(column(nulls.get(), QStringLiteral("ID")), QStringList { QStringLiteral("2") });
    auto none = Query(source.get(), QStringLiteral("MAIN"), [](IQuery *q) {
        q->Where(QStringLiteral("DATE_OF_BIRTH"), Compare::Equal, QStringLiteral("not a date"));
    });
    EXPECT_EQ(none->RecordCount(), 0);

    Korbel::ReleasePtr<IQuery> bad(source->CreateQuery());
    bad->SetTable(QStringLiteral("MAIN"));
    bad->Where(QStringLiteral("NO_SUCH"), Compare::Equal, QStringLiteral("1"));
    EXPECT_EQ(bad->Open(), nullptr);
    EXPECT_FALSE(bad->GetErrorDescription().isEmpty());
}

TEST_P(QueryTest, FilteredChildTablesAndYesNoFilters)
{
    auto invoicing = OpenTable(source.get(), QStringLiteral("INVOICING"));
    AddRow(invoicing.get(),
        { { QStringLiteral("PATIENT_ID"), QStringLiteral("1") },
            { QStringLiteral("ACTIVE"), QStringLiteral("1") },
            { QStringLiteral("AMOUNT"), QStringLiteral("30") } });
    AddRow(invoicing.get(),
        { { QStringLiteral("PATIENT_ID"), QStringLiteral("1") },
            { QStringLiteral("ACTIVE"), QStringLiteral("0") },
            { QStringLiteral("AMOUNT"), QStringLiteral("50") } });
    AddRow(invoicing.get(),
        { { QStringLiteral("PATIENT_ID"), QStringLiteral("2") },
            { QStringLiteral("AMOUNT"), QStringLiteral("9") } });
    auto unpaid = Query(source.get(), QStringLiteral("INVOICING"), [](IQuery *q) {
        q->Where(QStringLiteral("PATIENT_ID"), Compare::Equal, QStringLiteral("1"));
        q->Where(QStringLiteral("ACTIVE"), Compare::Equal, QStringLiteral("TRUE"));
    });
    EXPECT_EQ(column(unpaid.get(), QStringLiteral("AMOUNT")), QStringList { QStringLiteral("30.0000") });
    auto paid = Query(source.get(), QStringLiteral("INVOICING"), [](IQuery *q) {
        q->Where(QStringLiteral("PATIENT_ID"), Compare::Equal, QStringLiteral("1"));
        q->Where(QStringLiteral("ACTIVE"), Compare::Equal, QStringLiteral("FALSE"));
    });
    EXPECT_EQ(column(paid.get(), QStringLiteral("AMOUNT")), QStringList { QStringLiteral("50.0000") });
    // A row added through a filtered table is part of it at once.
    AddRow(paid.get(),
        { { QStringLiteral("PATIENT_ID"), QStringLiteral("1") },
            { QStringLiteral("ACTIVE"), QStringLiteral("0") } });
    EXPECT_EQ(paid->RecordCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, QueryTest, TestSupport::BothEngines(), TestSupport::EngineName);
