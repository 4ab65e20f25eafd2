#include "TalmaroFixture.h"

#include <QtWidgets/QComboBox>

using namespace Component;
using namespace Talmaro;
using namespace TalmaroTest;

namespace {

constexpr qint64 kSecond = 10'000'000; // in 100-nanosecond units

} // namespace

TEST_F(AudioOnlyMachine, MarkersKeepPositionOrderAndAnswerOnlyForTheirIndexes)
{
    ASSERT_HR(S_OK, Call(kAddMarker, { 3 * kSecond, QStringLiteral("third") }));
    ASSERT_HR(S_OK, Call(kAddMarker, { 1 * kSecond, QStringLiteral("first") }));
    ASSERT_HR(S_OK, Call(kAddMarker, { 2 * kSecond, QStringLiteral("second") }));
    ASSERT_HR(S_OK, Call(kAddMarker, { 1 * kSecond, QStringLiteral("first again") }));

    ASSERT_EQ(4, MarkerCount());
    EXPECT_EQ(1 * kSecond, MarkerAt(0));
    EXPECT_EQ(QStringLiteral("first"), MarkerDescAt(0));
    // A marker at an existing position goes after the ones already there.
    EXPECT_EQ(1 * kSecond, MarkerAt(1));
    EXPECT_EQ(QStringLiteral("first again"), MarkerDescAt(1));
    EXPECT_EQ(2 * kSecond, MarkerAt(2));
    EXPECT_EQ(3 * kSecond, MarkerAt(3));
    EXPECT_EQ(QStringLiteral("third"), MarkerDescAt(3));

    // Positions beyond 32 bits survive the round trip.
    ASSERT_HR(S_OK, Call(kAddMarker, { qint64(5) * 3600 * kSecond, QStringLiteral("five hours") }));
    EXPECT_EQ(qint64(5) * 3600 * kSecond, MarkerAt(4));

    QVariant result;
    EXPECT_HR(E_INVALIDARG, Call(kGetMarkerAt, { 5 }, &result));
    EXPECT_EQ(0, result.toLongLong());
    EXPECT_HR(E_INVALIDARG, Call(kGetMarkerDescAt, { 99 }, &result));
    EXPECT_TRUE(result.toString().isEmpty());

    // Without a file there is no position to mark, and no current marker.
    EXPECT_HR(E_FAIL, Call(kSetMarker));
    EXPECT_HR(E_FAIL, Call(kDelMarker));
    EXPECT_HR(E_FAIL, Call(kGoToNextMarker));

    auto *box = Child<QComboBox>("markerBox");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(5, box->count());
    ASSERT_HR(S_OK, Call(kCleanMarkers));
    EXPECT_EQ(0, MarkerCount());
    EXPECT_EQ(0, box->count());
    EXPECT_EQ(-1, box->currentIndex());
    EXPECT_EQ(QStringLiteral("No current marker"), box->placeholderText());
}

TEST_F(AudioOnlyMachine, MarkersAreSetAtThePlayingPositionVisitedAndDeleted)
{
    const QString file = FilePath(QStringLiteral("markers.wma"));
    RecordFor(file, 2000);

    // Markers of a file are given before it is played, as the container does.
    ASSERT_HR(S_OK, Call(kCleanMarkers));
    ASSERT_HR(S_OK, Call(kAddMarker, { kSecond / 2, QStringLiteral("cough") }));
    ASSERT_HR(S_OK, Call(kAddMarker, { kSecond * 3 / 2, QStringLiteral("sigh") }));
    ASSERT_HR(S_OK, Call(kPlay, { file }));
    ASSERT_HR(S_OK, Call(kPause));

    ASSERT_HR(S_OK, Call(kGoToNextMarker));
    auto *box = Child<QComboBox>("markerBox");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0, box->currentIndex());
    ASSERT_HR(S_OK, Call(kGoToNextMarker));
    EXPECT_EQ(1, box->currentIndex());
    EXPECT_HR(E_FAIL, Call(kGoToNextMarker));
    ASSERT_HR(S_OK, Call(kGoToPrevMarker));
    EXPECT_EQ(0, box->currentIndex());

    // SetMarker marks where playback stands, numbered by the count after it.
    ASSERT_HR(S_OK, Call(kSetMarker));
    ASSERT_EQ(3, MarkerCount());
    EXPECT_EQ(QStringLiteral("Marker 3"), MarkerDescAt(1));
    EXPECT_NEAR(static_cast<double>(MarkerAt(1)), static_cast<double>(kSecond / 2), kSecond / 20.0);
    EXPECT_EQ(1, box->currentIndex());

    // The current marker goes; the box then shows none.
    ASSERT_HR(S_OK, Call(kDelMarker));
    ASSERT_EQ(2, MarkerCount());
    EXPECT_EQ(QStringLiteral("cough"), MarkerDescAt(0));
    EXPECT_EQ(QStringLiteral("sigh"), MarkerDescAt(1));
    EXPECT_EQ(-1, box->currentIndex());
    EXPECT_HR(E_FAIL, Call(kDelMarker));

    // On an empty list the first marker set is "Marker 1".
    ASSERT_HR(S_OK, Call(kCleanMarkers));
    ASSERT_HR(S_OK, Call(kSetMarker));
    EXPECT_EQ(QStringLiteral("Marker 1"), MarkerDescAt(0));
}
