// Finding the events of a shown range, and laying overlapping events side by side.
#include "CalendarTestUtil.h"

#include "Calendar/Model/EventStore.h"
#include "Calendar/Model/OverlapLayout.h"

#include <gtest/gtest.h>

using Calendar::Event;
using Calendar::EventStore;
using Calendar::Placement;
using Calendar::Span;
using CalendarTest::Appointment;

namespace {

QStringList subjects(const QList<Event> &events)
{
    QStringList list;
    for (const Event &event : events)
        list << event.subject;
    return list;
}

Event withId(Event event, const char *uid)
{
    event.uid = QString::fromLatin1(uid);
    return event;
}

} // namespace

TEST(EventStore, RangeFindsEveryOverlapAndNothingElse)
{
    EventStore store;
    const QDate monday(2024, 3, 4);
    ASSERT_TRUE(store.insert(
        withId(Appointment(QStringLiteral("before"), monday.addDays(-1), QTime(9, 0), 60), "1")));
    ASSERT_TRUE(store.insert(
        withId(Appointment(QStringLiteral("across midnight"), monday.addDays(-1), QTime(23, 0), 120), "2")));
    ASSERT_TRUE(store.insert(withId(Appointment(QStringLiteral("monday"), monday, QTime(9, 0), 30), "3")));
    ASSERT_TRUE(
        store.insert(withId(Appointment(QStringLiteral("no duration"), monday, QTime(0, 0), 0), "4")));
    ASSERT_TRUE(store.insert(withId(
        Appointment(QStringLiteral("ends at range start"), monday.addDays(-1), QTime(22, 0), 120), "5")));
    ASSERT_TRUE(store.insert(
        withId(Appointment(QStringLiteral("next week"), monday.addDays(7), QTime(0, 0), 30), "6")));
    Event holiday
        = withId(Appointment(QStringLiteral("three weeks off"), monday.addDays(-14), QTime(0, 0), 0), "7");
    holiday.allDay = true;
    holiday.end = monday.addDays(7).startOfDay();
    ASSERT_TRUE(store.insert(holiday));
    EXPECT_FALSE(store.insert(withId(Appointment(QStringLiteral("dup"), monday, QTime(9, 0), 30), "3")));

    const QList<Event> week = store.between(monday.startOfDay(), monday.addDays(7).startOfDay());
    EXPECT_EQ(subjects(week),
        QStringList({ QStringLiteral("three weeks off"), QStringLiteral("across midnight"),
            QStringLiteral("no duration"), QStringLiteral("monday") }));

    // Changes show in the next query.
    Event moved = *store.find(QStringLiteral("6"));
    moved.start = moved.start.addDays(-1);
    moved.end = moved.end.addDays(-1);
    ASSERT_TRUE(store.replace(moved));
    ASSERT_TRUE(store.remove(QStringLiteral("7")));
    EXPECT_EQ(subjects(store.between(monday.startOfDay(), monday.addDays(7).startOfDay())),
        QStringList({ QStringLiteral("across midnight"), QStringLiteral("no duration"),
            QStringLiteral("monday"), QStringLiteral("next week") }));
    EXPECT_EQ(store.all().size(), 6);
}

TEST(OverlapLayout, OverlappingEventsShareTheWidthOfTheirGroup)
{
    // 9:00-10:00, 9:30-10:30, 10:00-11:00, then 12:00-13:00 alone, given out of order.
    const std::vector<Span> spans { { 1200, 1300 }, { 930, 1030 }, { 900, 1000 }, { 1000, 1100 } };
    const std::vector<Placement> placements = Calendar::LayOutSideBySide(spans);
    EXPECT_EQ(placements[0], (Placement { 0, 1 })) << "alone: the full width";
    EXPECT_EQ(placements[2], (Placement { 0, 2 }));
    EXPECT_EQ(placements[1], (Placement { 1, 2 }));
    EXPECT_EQ(placements[3], (Placement { 0, 2 })) << "the first column is free again at 10:00";

    // Three at the same time, the longest leftmost; an empty span gets its minimum length.
    const std::vector<Span> same { { 0, 10 }, { 0, 30 }, { 0, 20 }, { 25, 25 } };
    const std::vector<Placement> sameTime = Calendar::LayOutSideBySide(same, 10);
    EXPECT_EQ(sameTime[1], (Placement { 0, 3 }));
    EXPECT_EQ(sameTime[2], (Placement { 1, 3 }));
    EXPECT_EQ(sameTime[0], (Placement { 2, 3 }));
    EXPECT_EQ(sameTime[3], (Placement { 1, 3 })) << "25-35 overlaps the longest one only";

    EXPECT_TRUE(Calendar::LayOutSideBySide({}).empty());
}
