#pragma once

#include "calendarmodel_export.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>

namespace Calendar {

// One appointment. Times are the practice's wall-clock times (local time): an
// appointment at 10:00 stays at 10:00 whatever the machine's time zone.
struct CALENDARMODEL_EXPORT Event
{
    QString uid; // stable identity, kept through the file and .ics exchange
    QString subject;
    QDateTime start;
    // Exclusive end. An all-day event runs from midnight of its first day to
    // midnight after its last day.
    QDateTime end;
    bool allDay = false;
    QString location;
    QString notes;
    qint64 patientId = 0; // the patient the appointment is for; 0 for none
    QDateTime stamp; // last change, UTC

    bool operator==(const Event &other) const = default;
};

// A new, globally unique event identity.
CALENDARMODEL_EXPORT QString NewEventUid();

// Milliseconds on a wall-clock scale (no time zone or daylight-saving
// conversion), for ordering and range tests.
CALENDARMODEL_EXPORT qint64 WallClockMs(const QDateTime &time);
CALENDARMODEL_EXPORT qint64 WallClockMs(QDate date);

// The time-scale intervals offered to the user, in minutes, longest first.
inline constexpr int SlotIntervals[] = { 60, 30, 15, 10, 6, 5 };
CALENDARMODEL_EXPORT bool IsSlotInterval(int minutes);

} // namespace Calendar
