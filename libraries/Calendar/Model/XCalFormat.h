#pragma once

// The appointments file as xCal (iCalendar in XML): one "icalendar" root in
// the xCal namespace, one "vcalendar" with a "vevent" per appointment. Times
// are written as floating local times, all-day events as dates, the patient
// as the property "x-verdanta-patient-id". Private to the model library.

#include "Calendar/Model/Event.h"

#include <QtCore/QList>

namespace Sylvan {
class IElement;
}

namespace Calendar::Detail {

inline constexpr auto XCalNamespace = u"urn:ietf:params:xml:ns:icalendar-2.0";
inline constexpr auto ProductId = u"-//Verdanta//Appointments 1.0//EN";

// Fills the empty root of a new document with the events.
void WriteXCal(Sylvan::IElement &root, const QList<Event> &events);

struct XCalReadResult
{
    bool recognised = false; // the root is an xCal document
    QList<Event> events;
    int skipped = 0; // events left out: no readable start
    int repaired = 0; // events kept with a correction: end before start, missing or repeated identity
    int unknown = 0; // elements that carry nothing the calendar keeps, left out
};

XCalReadResult ReadXCal(const Sylvan::IElement &root);

// Date and time texts of xCal: "2024-03-05", "2024-03-05T09:30:00" (floating
// local time) and "2024-03-05T08:30:00Z" (UTC). Invalid QDateTime/QDate when
// the text is malformed or names an impossible date or time.
QString FormatXCalDate(QDate date);
QString FormatXCalLocalTime(const QDateTime &time);
QString FormatXCalUtcTime(const QDateTime &time);
QDate ParseXCalDate(QStringView text);
QDateTime ParseXCalDateTime(QStringView text); // local time; a UTC text is converted

} // namespace Calendar::Detail
