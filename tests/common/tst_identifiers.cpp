#include "common/Identifiers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Verdanta;

TEST(Identifiers, ConvertLikeTheCRuntime)
{
    EXPECT_EQ(FormatId(0), QStringLiteral("0"));
    EXPECT_EQ(FormatId(-9223372036854775807LL - 1), QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(ParseId(u"  42abc"), 42);
    EXPECT_EQ(ParseId(u"-17"), -17);
    EXPECT_EQ(ParseId(u"+8"), 8);
    EXPECT_EQ(ParseId(u""), 0);
    EXPECT_EQ(ParseId(u"abc"), 0);
    EXPECT_EQ(ParseId(u"- 5"), 0);
    EXPECT_EQ(ParseId(u"9223372036854775807"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(ParseId(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    // Out of range saturates instead of wrapping around.
    EXPECT_EQ(ParseId(u"99999999999999999999"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(ParseId(u"-99999999999999999999"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(AtoI(u"2147483648"), std::numeric_limits<int>::max());
    EXPECT_EQ(AtoI(u"12.7"), 12);
}

TEST(Identifiers, AtoFReadsLeadingDecimal)
{
    EXPECT_DOUBLE_EQ(AtoF(u"7.13"), 7.13);
    EXPECT_DOUBLE_EQ(AtoF(u" -2.5kg"), -2.5);
    EXPECT_DOUBLE_EQ(AtoF(u"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(AtoF(u"1e"), 1.0);
    EXPECT_DOUBLE_EQ(AtoF(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(AtoF(u"."), 0.0);
    EXPECT_DOUBLE_EQ(AtoF(u".5"), 0.5);
}
