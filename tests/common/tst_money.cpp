#include "common/Money.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Verdanta;

TEST(Money, StorageTextHasFourDecimalsInTheLocale)
{
    EXPECT_EQ(MoneyToStorageText(12.5), QStringLiteral("12.5000"));
    EXPECT_EQ(MoneyToStorageText(1234567.891), QStringLiteral("1234567.8910"));
    EXPECT_EQ(MoneyToStorageText(-0.00005), QStringLiteral("-0.0001"));
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"12.5000"), 12.5);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"1,234.50"), 1234.5);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"$3.20"), 3.2);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"(4.00)"), -4.0);

    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(MoneyToStorageText(12.5, german), QStringLiteral("12,5000"));
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"12,5000", german), 12.5);
}

TEST(Money, UnparsableTextIsZero)
{
    double v = 99.0;
    EXPECT_FALSE(TryParseMoney(u"12abc", &v));
    EXPECT_DOUBLE_EQ(v, 0.0);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u""), 0.0);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"five"), 0.0);
    EXPECT_DOUBLE_EQ(MoneyFromStorageText(u"nan"), 0.0);
}

TEST(Money, UnitsAreExactTenThousandths)
{
    EXPECT_EQ(MoneyToUnits(0.1 + 0.2), 3000);
    EXPECT_EQ(MoneyToUnits(-2.00005), -20001);
    EXPECT_DOUBLE_EQ(MoneyFromUnits(MoneyToUnits(19.99)), 19.99);
    EXPECT_EQ(MoneyToUnits(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(MoneyToUnits(1e300), std::numeric_limits<qint64>::max());
}

TEST(Money, DisplayUsesTheLocaleCurrencyForm)
{
    EXPECT_EQ(FormatMoneyForDisplay(70.0), QStringLiteral("$70.00"));
    EXPECT_EQ(FormatMoneyForDisplay(2.345), QStringLiteral("$2.35"));
    // The locale's own negative form (accounting brackets in en_US).
    EXPECT_EQ(FormatMoneyForDisplay(-40.0), QStringLiteral("($40.00)"));
    EXPECT_EQ(FormatMoneyForDisplay(-0.001), QStringLiteral("$0.00"));
    const QString euro = FormatMoneyForDisplay(1234.5, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(euro.contains(QStringLiteral("1.234,50"))) << qPrintable(euro);
    EXPECT_TRUE(euro.contains(QChar(0x20AC))) << qPrintable(euro);
}

TEST(Money, TaxIsAmountTimesRatePercent)
{
    EXPECT_DOUBLE_EQ(TaxOf(100.0, 7.13), 7.13);
    EXPECT_DOUBLE_EQ(TaxOf(3.0, 0.0), 0.0);
}

TEST(Money, ExactSumsAndTaxesRoundedOnce)
{
    using Verdanta::Money;
    // 2 x 10.00 with 5 % and 8 %: 20.00, 1.00, 1.60, 22.60 in all.
    const Money amount = Money::FromText(u"10.00", QLocale::c()).Times(2);
    const Money tax1 = amount.Percent(5.0);
    const Money tax2 = amount.Percent(8.0);
    EXPECT_EQ(amount.Units(), 200000);
    EXPECT_EQ(tax1.Units(), 10000);
    EXPECT_EQ(tax2.Units(), 16000);
    EXPECT_EQ((amount + tax1 + tax2).Units(), 226000);

    // A third of a cent ten thousand times stays exact where doubles drift.
    Money sum;
    double drifting = 0.0;
    for (int i = 0; i < 10000; ++i) {
        sum += Money::FromDouble(0.1);
        drifting += 0.1;
    }
    EXPECT_EQ(sum.Units(), 10000000);
    EXPECT_NE(drifting, 1000.0);

    // Rates with decimals, halves rounded away from zero, negatives alike.
    EXPECT_EQ(Money::FromUnits(1000000).Percent(7.5).Units(), 75000);
    EXPECT_EQ(Money::FromUnits(1).Percent(50.0).Units(), 1);
    EXPECT_EQ(Money::FromUnits(-1).Percent(50.0).Units(), -1);
    EXPECT_EQ(Money::FromUnits(12345).Percent(6.35).Units(), 784);
    // An amount near the top of the range does not overflow with a rate.
    EXPECT_EQ(Money::FromUnits(9'000'000'000'000'000'000LL).Percent(10.0).Units(), 900'000'000'000'000'000LL);
}

TEST(Money, ExactDisplayRoundsCentsOnce)
{
    using Verdanta::Money;
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Money::FromUnits(226000), us), QStringLiteral("$22.60"));
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Money::FromUnits(50), us), QStringLiteral("$0.01"));
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Money::FromUnits(49), us), QStringLiteral("$0.00"));
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Money::FromUnits(-400000), us),
        us.toCurrencyString(-40.0, us.currencySymbol(), 2));
}
