// The lookups other parts of the practice use: remedies, providers,
// dilutions and stock rows, on a real database.
#include "RefDataTestUtil.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicProviders.h"
#include "finance/LogicStocks.h"

#include <limits>

using namespace RefDataTest;

namespace {

class Lookups : public Database
{
};

} // namespace

TEST_F(Lookups, DilutionTypedOnceBecomesOneRowFoundInAnyCase)
{
    CLogicDilutions dilutions(source());
    ASSERT_TRUE(dilutions.Open());

    qint64 first = 0;
    ASSERT_TRUE(dilutions.GetOrAdd(QStringLiteral("200K"), &first));
    EXPECT_GT(first, 0);
    qint64 again = 0;
    EXPECT_TRUE(dilutions.GetOrAdd(QStringLiteral("200k"), &again));
    EXPECT_EQ(again, first);
    EXPECT_TRUE(dilutions.GetOrAdd(QStringLiteral("  200K "), &again));
    EXPECT_EQ(again, first);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 1);
    EXPECT_EQ(fieldOf(QStringLiteral("DILUTION"), first, QStringLiteral("VALUE")), QStringLiteral("200K"));

    // Letters outside ASCII in another case find the same row too.
    ASSERT_TRUE(dilutions.GetOrAdd(QString::fromUtf8("Ä30"), &first));
    EXPECT_TRUE(dilutions.GetOrAdd(QString::fromUtf8("ä30"), &again));
    EXPECT_EQ(again, first);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 2);

    QString value;
    EXPECT_TRUE(dilutions.GetValue(first, &value));
    EXPECT_EQ(value, QString::fromUtf8("Ä30"));
}

TEST_F(Lookups, EmptyPotencyYieldsNoDilutionAndKeepsTheCallersId)
{
    CLogicDilutions dilutions(source());
    ASSERT_TRUE(dilutions.Open());
    qint64 id = 42;
    EXPECT_FALSE(dilutions.GetOrAdd(QString(), &id));
    EXPECT_FALSE(dilutions.GetOrAdd(QStringLiteral("   "), &id));
    EXPECT_EQ(id, 42);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 0);

    CLogicDilutions closed(source());
    EXPECT_FALSE(closed.GetOrAdd(QStringLiteral("30C"), &id));
    EXPECT_FALSE(closed.GetValue(1, nullptr));
}

TEST_F(Lookups, DilutionWalkVisitsEveryRow)
{
    const qint64 a = addDilution(QStringLiteral("30C"));
    const qint64 b = addDilution(QStringLiteral("6X"));
    CLogicDilutions dilutions(source());
    ASSERT_TRUE(dilutions.Open());
    std::vector<std::pair<qint64, QString>> seen;
    qint64 id = 0;
    QString value;
    for (bool more = dilutions.First(&id, &value); more; more = dilutions.Next(&id, &value))
        seen.emplace_back(id, value);
    EXPECT_EQ(seen,
        (std::vector<std::pair<qint64, QString>> {
            { a, QStringLiteral("30C") }, { b, QStringLiteral("6X") } }));
    EXPECT_FALSE(dilutions.GetValue(b + 100, &value));
}

TEST_F(Lookups, RemedyNamePriceAndNameOrderedWalk)
{
    const qint64 zinc = addRemedy(QStringLiteral("Zincum"), QStringLiteral("12.5"));
    const qint64 arnica = addRemedy(QStringLiteral("arnica"), QStringLiteral("4"));
    const qint64 bad = addRemedy(QStringLiteral("Belladonna"), QStringLiteral("abc"));
    CLogicMedicines medicines(source());
    medicines.SetServices(services());
    ASSERT_TRUE(medicines.Open());

    QString name;
    double price = -1;
    EXPECT_TRUE(medicines.GetName(zinc, &name));
    EXPECT_EQ(name, QStringLiteral("Zincum"));
    EXPECT_TRUE(medicines.GetPrice(zinc, &price));
    EXPECT_DOUBLE_EQ(price, 12.5);
    EXPECT_TRUE(medicines.GetPrice(bad, &price));
    EXPECT_DOUBLE_EQ(price, 0.0); // a price typed with letters counts as 0
    EXPECT_FALSE(medicines.GetName(9999, &name));

    QStringList order;
    qint64 id = 0;
    for (bool more = medicines.First(&id, &name); more; more = medicines.Next(&id, &name))
        order << name;
    EXPECT_EQ(order,
        (QStringList { QStringLiteral("arnica"), QStringLiteral("Belladonna"), QStringLiteral("Zincum") }));
    EXPECT_NE(arnica, 0);
}

TEST_F(Lookups, ProviderListMapAndRemedyMap)
{
    const qint64 weleda = addProvider(QStringLiteral("Weleda"), QStringLiteral("orders@weleda.example"));
    const qint64 boiron = addProvider(QStringLiteral("Boiron"));
    const qint64 twin = addProvider(QStringLiteral("Boiron"));
    const qint64 remedy
        = addRemedy(QStringLiteral("Arnica"), QStringLiteral("10"), QStringLiteral("6.25"), weleda);
    const qint64 orphan = addRemedy(QStringLiteral("Sulphur"), QStringLiteral("10"), QStringLiteral("1"), 0);

    CLogicMedicines medicines(source());

    medicines.SetServices(services());
    ASSERT_TRUE(medicines.Open());
    ASSERT_TRUE(medicines.LoadProviders());
    EXPECT_EQ(medicines.GetProviderNames(),
        (QStringList { QStringLiteral("NoProvider"), QStringLiteral("Boiron"), QStringLiteral("Boiron"),
            QStringLiteral("Weleda") }));
    qint64 id = -1;
    EXPECT_TRUE(medicines.GetProviderId(QStringLiteral("NoProvider"), &id));
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(medicines.GetProviderId(QStringLiteral("Boiron"), &id));
    EXPECT_EQ(id, std::min(boiron, twin));
    EXPECT_FALSE(medicines.GetProviderId(QStringLiteral("Nobody"), &id));
    EXPECT_EQ(medicines.GetProviderName(weleda), QStringLiteral("Weleda"));

    ASSERT_TRUE(medicines.LoadRemedyMap());
    const RemedyMap &map = medicines.GetRemedyMap();
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at(remedy).name, QStringLiteral("Arnica"));
    EXPECT_EQ(map.at(remedy).providerId, weleda);
    EXPECT_DOUBLE_EQ(map.at(remedy).providerPrice, 6.25);
    EXPECT_EQ(map.at(orphan).providerId, 0);

    CLogicProviders providers(source());

    providers.SetServices(services());
    ASSERT_TRUE(providers.Open());
    QString name;
    QString email;
    EXPECT_TRUE(providers.GetNameAndEmail(weleda, &name, &email));
    EXPECT_EQ(name, QStringLiteral("Weleda"));
    EXPECT_EQ(email, QStringLiteral("orders@weleda.example"));
    EXPECT_FALSE(providers.GetNameAndEmail(9999, &name, &email));
    QStringList order;
    for (bool more = providers.First(&id, &name); more; more = providers.Next(&id, &name))
        order << name;
    EXPECT_EQ(order, medicines.GetProviderNames().mid(1));
}

TEST_F(Lookups, LookupsWithoutRecordSetFailQuietly)
{
    CLogicMedicines medicines(nullptr);
    QString name;
    qint64 id = 0;
    EXPECT_FALSE(medicines.Open());
    EXPECT_FALSE(medicines.GetName(1, &name));
    EXPECT_FALSE(medicines.First(&id, &name));
    EXPECT_FALSE(medicines.LoadRemedyMap());
    EXPECT_FALSE(medicines.LoadProviders());
    EXPECT_EQ(medicines.GetProviderNames(), QStringList { QStringLiteral("NoProvider") });
    CLogicStocks stocks(nullptr, nullptr, nullptr);
    EXPECT_FALSE(stocks.Set(1, 1, 1, 1));
    StockRow row;
    EXPECT_FALSE(stocks.First(&row));
}

TEST_F(Lookups, StockSetWritesStockAndPredictedOnly)
{
    CLogicStocks stocks(source(), nullptr, nullptr);
    ASSERT_TRUE(stocks.Open());
    EXPECT_FALSE(stocks.Find(1, 2));
    int stock = 0, threshold = 0, replenish = 0, predicted = 0;
    EXPECT_FALSE(stocks.Get(1, 2, &stock, &threshold, &replenish, &predicted));

    // A new row gets stock and predicted; a negative predicted value is 0.
    ASSERT_TRUE(stocks.Set(1, 2, -2, -4));
    ReleasePtr<Korbel::ITable> table(source()->OpenTable(QStringLiteral("STOCKS")));
    ASSERT_EQ(table->RecordCount(), 1);
    table->Move(Korbel::MoveFirst);
    EXPECT_EQ(read(table.get(), QStringLiteral("MEDICINE_ID")), QStringLiteral("1"));
    EXPECT_EQ(read(table.get(), QStringLiteral("DILUTION_ID")), QStringLiteral("2"));
    EXPECT_EQ(read(table.get(), QStringLiteral("STOCK")), QStringLiteral("-2"));
    EXPECT_EQ(read(table.get(), QStringLiteral("PREDICTED")), QStringLiteral("0"));
    EXPECT_EQ(read(table.get(), QStringLiteral("STOCK_THRESHOLD")), QString());
    EXPECT_EQ(read(table.get(), QStringLiteral("REPLENISH_QUANTITY")), QString());

    // An existing row keeps its threshold and replenish quantity.
    const qint64 other = addRow(QStringLiteral("STOCKS"),
        { { QStringLiteral("MEDICINE_ID"), QStringLiteral("1") },
            { QStringLiteral("DILUTION_ID"), QStringLiteral("3") },
            { QStringLiteral("STOCK"), QStringLiteral("7") },
            { QStringLiteral("STOCK_THRESHOLD"), QStringLiteral("5") },
            { QStringLiteral("REPLENISH_QUANTITY"), QStringLiteral("10") },
            { QStringLiteral("PREDICTED"), QStringLiteral("2") } });
    ASSERT_TRUE(stocks.Open());
    ASSERT_TRUE(stocks.Get(1, 3, &stock, &threshold, &replenish, &predicted));
    EXPECT_EQ(std::tie(stock, threshold, replenish, predicted), std::make_tuple(7, 5, 10, 2));
    ASSERT_TRUE(stocks.Set(1, 3, 4, 6));
    ASSERT_TRUE(stocks.Get(1, 3, &stock, &threshold, &replenish, &predicted));
    EXPECT_EQ(std::tie(stock, threshold, replenish, predicted), std::make_tuple(4, 5, 10, 6));
    EXPECT_EQ(fieldOf(QStringLiteral("STOCKS"), other, QStringLiteral("STOCK")), QStringLiteral("4"));
    // The row of the other dilution of the same remedy is untouched.
    ASSERT_TRUE(stocks.Get(1, 2, &stock, &threshold, &replenish, &predicted));
    EXPECT_EQ(std::tie(stock, threshold, replenish, predicted), std::make_tuple(-2, 0, 0, 0));
    EXPECT_EQ(rowCount(QStringLiteral("STOCKS")), 2);

    std::vector<qint64> dilutions;
    StockRow row;
    for (bool more = stocks.First(&row); more; more = stocks.Next(&row))
        dilutions.push_back(row.dilutionId);
    EXPECT_EQ(dilutions, (std::vector<qint64> { 2, 3 }));
}

TEST_F(Lookups, ReplenishingAndQuantityToOrder)
{
    EXPECT_TRUE(CLogicStocks::NeedsReplenishing(2, 0, 3));
    EXPECT_EQ(CLogicStocks::QuantityToOrder(2, 3, 10, 0), 11);
    // A prescription larger than the stock.
    EXPECT_TRUE(CLogicStocks::NeedsReplenishing(-1, 0, 0));
    EXPECT_EQ(CLogicStocks::QuantityToOrder(-1, 0, 4, 0), 5);
    EXPECT_TRUE(CLogicStocks::NeedsReplenishing(2, 1, 5));
    EXPECT_EQ(CLogicStocks::QuantityToOrder(2, 5, 10, 1), 12);
    EXPECT_FALSE(CLogicStocks::NeedsReplenishing(5, 0, 5));
    // Units already on order count.
    EXPECT_FALSE(CLogicStocks::NeedsReplenishing(1, 4, 5));

    // Extreme stored counts neither wrap nor overflow.
    constexpr int big = std::numeric_limits<int>::max();
    constexpr int small = std::numeric_limits<int>::min();
    EXPECT_FALSE(CLogicStocks::NeedsReplenishing(big, big, big));
    EXPECT_TRUE(CLogicStocks::NeedsReplenishing(small, small, 0));
    EXPECT_EQ(CLogicStocks::QuantityToOrder(small, big, big, 0), big);
    EXPECT_EQ(CLogicStocks::QuantityToOrder(big, small, small, big), small);
}
