#include "common/LocaleDates.h"
#include "common/OleDate.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Verdanta;

TEST(LocaleDates, RoundTripWithFourDigitYears)
{
    const QDate d(2003, 1, 2);
    EXPECT_EQ(FormatLocaleDate(d), QStringLiteral("1/2/2003"));
    QDate back;
    ASSERT_TRUE(ParseLocaleDate(FormatLocaleDate(d), &back));
    EXPECT_EQ(back, d);
    // A year before 2000 must not come back a century off.
    ASSERT_TRUE(ParseLocaleDate(FormatLocaleDate(QDate(1931, 7, 9)), &back));
    EXPECT_EQ(back, QDate(1931, 7, 9));

    const QDateTime dt(QDate(2024, 12, 31), QTime(23, 59, 58));
    QDateTime dtBack;
    ASSERT_TRUE(ParseLocaleDateTime(FormatLocaleDateTime(dt), &dtBack));
    EXPECT_EQ(dtBack, dt);
    // A date-and-time text read as a date gives its date.
    ASSERT_TRUE(ParseLocaleDate(FormatLocaleDateTime(dt), &back));
    EXPECT_EQ(back, dt.date());
}

TEST(LocaleDates, SecondLocaleAndBadInput)
{
    TestSupport::LocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
    const QDate d(2009, 3, 7);
    const QString text = FormatLocaleDate(d);
    EXPECT_EQ(text, QStringLiteral("07.03.2009"));
    QDate back;
    ASSERT_TRUE(ParseLocaleDate(text, &back));
    EXPECT_EQ(back, d);
    EXPECT_FALSE(ParseLocaleDate(u"not a date", &back));
    EXPECT_FALSE(back.isValid());
    EXPECT_FALSE(ParseLocaleDate(u"", &back));
    EXPECT_FALSE(ParseLocaleDate(u"31.02.2009", &back));
    // ISO text is always understood.
    ASSERT_TRUE(ParseLocaleDate(u"2009-03-07", &back));
    EXPECT_EQ(back, d);
}

TEST(LocaleDates, FixedFormats)
{
    const QDateTime dt(QDate(2009, 3, 7), QTime(8, 5, 9));
    EXPECT_EQ(FormatXmlStamp(dt), QStringLiteral("07/03/2009 08:05:09"));
    QDateTime back;
    ASSERT_TRUE(ParseXmlStamp(u"07/03/2009 08:05:09", &back));
    EXPECT_EQ(back, dt);
    EXPECT_EQ(FormatDayKey(dt.date()), QStringLiteral("07032009"));
    QDate day;
    ASSERT_TRUE(ParseDayKey(u"07032009", &day));
    EXPECT_EQ(day, dt.date());
    EXPECT_FALSE(ParseDayKey(u"32132009", &day));
    EXPECT_EQ(FormatClock(dt.time()), QStringLiteral("08:05"));
    EXPECT_EQ(FormatBackupMark(dt.date()), QStringLiteral("2009/03/07"));
    ASSERT_TRUE(ParseBackupMark(u"2009/03/07", &day));
    EXPECT_EQ(day, dt.date());
}

TEST(LocaleDates, WholeDaysDropTheFraction)
{
    const QDateTime a(QDate(2020, 1, 1), QTime(12, 0));
    EXPECT_EQ(WholeDaysBetween(a, a.addSecs(6 * 86400 + 86399)), 6);
    EXPECT_EQ(WholeDaysBetween(a, a.addDays(7)), 7);
    EXPECT_EQ(WholeDaysBetween(a, a.addSecs(-3600)), 0);
    EXPECT_EQ(WholeDaysBetween(a, a.addDays(-1)), -1);
}

TEST(OleDate, EpochFractionsAndDatesBeforeIt)
{
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    bool ok = false;
    EXPECT_EQ(FromOleDate(-1.25, &ok), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_TRUE(ok);
    const QDateTime dt(QDate(2024, 2, 29), QTime(17, 45, 30));
    EXPECT_EQ(FromOleDate(ToOleDate(dt)), dt);
    EXPECT_FALSE(FromOleDate(1e12, &ok).isValid());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(FromOleDate(std::nan(""), &ok).isValid());
}

TEST(OleDate, DaysAloneAgreeWithTheDateTimes)
{
    for (const QDate &day : { QDate(1899, 12, 30), QDate(1899, 12, 29), QDate(100, 1, 1), QDate(2009, 3, 7),
             QDate(9999, 12, 31) }) {
        EXPECT_DOUBLE_EQ(ToOleDate(day), ToOleDate(QDateTime(day, QTime(0, 0))));
        EXPECT_EQ(DateFromOleDate(ToOleDate(day)), day);
    }
    for (const double value : { -1.25, -0.5, 0.0, 0.99999999999, 39879.75, 2958465.99999999 })
        EXPECT_EQ(DateFromOleDate(value), FromOleDate(value).date()) << value;
    EXPECT_DOUBLE_EQ(ToOleDate(QDate()), 0.0);
    EXPECT_FALSE(DateFromOleDate(1e12).isValid());
    EXPECT_FALSE(DateFromOleDate(std::nan("")).isValid());
}
