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
