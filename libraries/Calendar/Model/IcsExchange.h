#pragma once

#include "Calendar/Model/Event.h"
#include "calendarmodel_export.h"

#include <QtCore/QList>
#include <QtCore/QString>

// Exchange with other calendar programs through iCalendar (.ics) files. The
// iCalendar text is libical's, written and parsed by it.
namespace Calendar {

enum class HealthData {
    Include, // subject (the patient's name), location, notes and patient ID go out
    LeaveOut, // every event goes out as "Appointment" with its times only
};

// Writes the events as one VCALENDAR. Timed events go out in UTC, all-day
// events as dates. The file is replaced in one step.
CALENDARMODEL_EXPORT bool ExportIcs(
    const QString &path, const QList<Event> &events, HealthData healthData, QString *error = nullptr);

struct IcsImport
{
    QList<Event> events;
    int skipped = 0; // events without a readable start, or cancelled
    int recurring = 0; // repeating events, taken as their first occurrence
};

// Reads every VEVENT of a file. Times in UTC or in a named time zone are
// converted to local time; floating times are taken as they are. False, with
// the reason in error, when the file cannot be read or is not iCalendar.
CALENDARMODEL_EXPORT bool ImportIcs(const QString &path, IcsImport &result, QString *error = nullptr);

} // namespace Calendar
