// The event dialog: its fields give back the edited event, all-day events end
// on their last day, the end follows the start, and an end before the start
// cannot be accepted.
#include "CalendarTestUtil.h"

#include "Calendar/Widgets/EventDialog.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

using Calendar::Event;
using Calendar::EventDialog;

TEST(EventDialog, FieldsGiveBackTheEditedEvent)
{
    Event event = CalendarTest::Appointment(QStringLiteral("Ana"), QDate(2024, 3, 6), QTime(9, 0), 30, 42);
    event.uid = QStringLiteral("u1");
    EventDialog dialog(event, false);
    EXPECT_EQ(dialog.subjectEdit()->text(), QStringLiteral("Ana"));

    dialog.subjectEdit()->setText(QStringLiteral("Ana Popescu"));
    dialog.locationEdit()->setText(QStringLiteral("Room 2"));
    dialog.notesEdit()->setPlainText(QStringLiteral("line one\nline two"));
    // Moving the start keeps the length.
    dialog.startEdit()->setDateTime(QDateTime(QDate(2024, 3, 7), QTime(14, 0)));
    EXPECT_EQ(dialog.endEdit()->dateTime(), QDateTime(QDate(2024, 3, 7), QTime(14, 30)));

    const Event edited = dialog.event();
    EXPECT_EQ(edited.uid, QStringLiteral("u1"));
    EXPECT_EQ(edited.patientId, 42);
    EXPECT_EQ(edited.subject, QStringLiteral("Ana Popescu"));
    EXPECT_EQ(edited.location, QStringLiteral("Room 2"));
    EXPECT_EQ(edited.notes, QStringLiteral("line one\nline two"));
    EXPECT_EQ(edited.start, QDateTime(QDate(2024, 3, 7), QTime(14, 0)));
    EXPECT_EQ(edited.end, QDateTime(QDate(2024, 3, 7), QTime(14, 30)));
    EXPECT_TRUE(dialog.okButton()->isEnabled());

    dialog.endEdit()->setDateTime(QDateTime(QDate(2024, 3, 7), QTime(13, 0)));
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "an end before the start";
}

TEST(EventDialog, AllDayEventsShowTheirLastDay)
{
    Event event;
    event.allDay = true;
    event.start = QDate(2024, 12, 24).startOfDay();
    event.end = QDate(2024, 12, 27).startOfDay();
    EventDialog dialog(event, true);
    EXPECT_TRUE(dialog.allDayBox()->isChecked());
    EXPECT_EQ(dialog.endEdit()->date(), QDate(2024, 12, 26));
    EXPECT_EQ(dialog.event().end, QDate(2024, 12, 27).startOfDay());

    // Unchecked, it becomes a timed event over the times shown.
    dialog.allDayBox()->setChecked(false);
    dialog.startEdit()->setTime(QTime(9, 0));
    dialog.endEdit()->setDateTime(QDateTime(QDate(2024, 12, 24), QTime(10, 0)));
    const Event timed = dialog.event();
    EXPECT_FALSE(timed.allDay);
    EXPECT_EQ(timed.start, QDateTime(QDate(2024, 12, 24), QTime(9, 0)));
    EXPECT_EQ(timed.end, QDateTime(QDate(2024, 12, 24), QTime(10, 0)));
}
