// "Tracking.xml" and its "Points" text, read and written through the real
// XML library.
#include "tracking/TrackingFile.h"

#include "Sylvan/XmlPlatform.h"
#include "support/TestSupport.h"

#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <limits>

using namespace TrackingFile;

namespace {

QDate Day(int day, int month, int year)
{
    return QDate(year, month, day);
}

void WriteText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

class TrackingFileTest : public ::testing::Test
{
protected:
    QString Path() const { return m_dir.filePath(FileName); }

    Sylvan::PlatformScope m_xml;
    TestSupport::TemporaryFolder m_dir;
};

} // namespace

TEST(TrackingPoints, FormatsDayMonthYearAndAtLeastTwoDigits)
{
    EXPECT_EQ(FormatPoints({ { Day(7, 3, 2009), 5 } }), QStringLiteral("07032009-05;"));
    EXPECT_EQ(FormatPoints({ { Day(31, 12, 2010), 0 }, { Day(1, 1, 2011), 9 }, { Day(2, 1, 2011), 123 } }),
        QStringLiteral("31122010-00;01012011-09;02012011-123;"));
    EXPECT_EQ(FormatPoints({}), QString());
}

TEST(TrackingPoints, ReadBackWholeIncludingValuesOfHundredAndMore)
{
    const std::vector<TrackingPoint> points { { Day(7, 3, 2009), 5 }, { Day(8, 3, 2009), 100 },
        { Day(9, 3, 2009), 999 }, { Day(10, 3, 2009), 123456 }, { Day(29, 2, 2012), 0 } };
    EXPECT_EQ(ParsePoints(FormatPoints(points)), points);
}

TEST(TrackingPoints, ParsingEdgeCases)
{
    const TrackingPoint first { Day(7, 3, 2009), 5 };
    // Only tokens followed by ";" count: text after the last one is ignored.
    EXPECT_EQ(ParsePoints(u"07032009-05;08032009-06"), std::vector { first });
    // A text that starts with ";" or has none holds no point.
    EXPECT_TRUE(ParsePoints(u";07032009-05;").empty());
    EXPECT_TRUE(ParsePoints(u"07032009-05").empty());
    EXPECT_TRUE(ParsePoints(u"").empty());
    // Tokens of eight characters or fewer are skipped, so are empty ones.
    EXPECT_EQ(ParsePoints(u"07032009;;0703-05;07032009-05;"), std::vector { first });
    // A token without the "-" keeps its value after the date.
    EXPECT_EQ(ParsePoints(u"0703200905;"), std::vector { first });
    // A day that does not exist cannot be shown or kept.
    EXPECT_TRUE(ParsePoints(u"31022009-05;00012009-03;xx032009-01;").empty());
    // A value that is not a number is 0, as the C conversion reads it.
    EXPECT_EQ(ParsePoints(u"07032009-ab;"), (std::vector<TrackingPoint> { { Day(7, 3, 2009), 0 } }));
}

TEST(TrackingPoints, DecimalPrefixReadsAsTheCConversion)
{
    EXPECT_EQ(DecimalPrefix(u"  -12abc"), -12);
    EXPECT_EQ(DecimalPrefix(u"+7"), 7);
    EXPECT_EQ(DecimalPrefix(u"abc"), 0);
    EXPECT_EQ(DecimalPrefix(u""), 0);
    EXPECT_EQ(DecimalPrefix(u"99999999999999999999"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(DecimalPrefix(u"-99999999999999999999"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(DecimalPrefix(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
}

TEST_F(TrackingFileTest, RoundTripKeepsEveryGraphAndScore)
{
    TrackingDocument written { 3, DefaultGraphs() };
    written.graphs[0].points = { { Day(1, 1, 2020), 2 }, { Day(2, 1, 2020), 100 }, { Day(3, 1, 2020), 250 } };
    written.graphs[3].name = QStringLiteral("Sleep & <dreams> \"ok\"");
    written.graphs[3].visible = 1;
    written.graphs[4].color = 0x00FFFFFF;
    written.graphs[4].points = { { Day(31, 12, 1999), 9 } };
    ASSERT_TRUE(Write(Path(), written));

    TrackingDocument read;
    ASSERT_EQ(Read(Path(), &read), ReadResult::Loaded);
    EXPECT_EQ(read.currentGraph, 3);
    EXPECT_EQ(read.graphs, written.graphs);

    // Written again unchanged, the file is the same.
    QFile first(Path());
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray bytes = first.readAll();
    first.close();
    ASSERT_TRUE(Write(Path(), read));
    QFile second(Path());
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), bytes);
}

TEST_F(TrackingFileTest, ReadsByPositionAndSkipsWhatIsNotAGraph)
{
    WriteText(Path(),
        "<Graphs><Note>ignored</Note><Current_Graph>2</Current_Graph>"
        "<Graph><A>Mood</A><B>07032009-05;08032009-105;</B><C>4294967551</C><D>1</D><E>extra</E></Graph>"
        "<Graph><Name>Short</Name><Points/></Graph>"
        "<Graph><Name/><Points/><Color>-1</Color><Visible>0</Visible></Graph>"
        "</Graphs>");
    TrackingDocument read;
    read.graphs = DefaultGraphs();
    ASSERT_EQ(Read(Path(), &read), ReadResult::Loaded);
    EXPECT_EQ(read.currentGraph, 2);
    ASSERT_EQ(read.graphs.size(), 2u);
    EXPECT_EQ(read.graphs[0].name, QStringLiteral("Mood"));
    EXPECT_EQ(read.graphs[0].points,
        (std::vector<TrackingPoint> { { Day(7, 3, 2009), 5 }, { Day(8, 3, 2009), 105 } }));
    // A 64-bit number kept in 32 bits.
    EXPECT_EQ(read.graphs[0].color, 255u);
    EXPECT_EQ(read.graphs[0].visible, 1);
    EXPECT_EQ(read.graphs[1].color, 0xFFFFFFFFu);
    EXPECT_EQ(read.graphs[1].visible, 0);
}

TEST_F(TrackingFileTest, MissingAndUnreadableFilesLeaveTheDocumentAlone)
{
    TrackingDocument document { 4, DefaultGraphs() };
    document.graphs[0].points = { { Day(1, 1, 2020), 1 } };
    const auto before = document.graphs;
    EXPECT_EQ(Read(Path(), &document), ReadResult::Missing);
    WriteText(Path(), "<Graphs><Graph><Name>cut off");
    EXPECT_EQ(Read(Path(), &document), ReadResult::Unreadable);
    EXPECT_EQ(document.currentGraph, 4);
    EXPECT_EQ(document.graphs, before);
}

TEST_F(TrackingFileTest, AFailedWriteKeepsThePreviousFile)
{
    TrackingDocument document { 0, DefaultGraphs() };
    ASSERT_TRUE(Write(Path(), document));
    QString error;
    const QString blocked = m_dir.filePath(QStringLiteral("file"));
    WriteText(blocked, "x");
    EXPECT_FALSE(Write(blocked + QStringLiteral("/Tracking.xml"), document, &error));
    EXPECT_FALSE(error.isEmpty());
    TrackingDocument read;
    EXPECT_EQ(Read(Path(), &read), ReadResult::Loaded);
    EXPECT_EQ(read.graphs.size(), 5u);
}
