#pragma once

// The appointments file as xCal (iCalendar in XML): one "icalendar" root in
// the xCal namespace, one "vcalendar" with a "vevent" per appointment. Times
// are written as floating local times, all-day events as dates, the patient
// as the property "x-verdanta-patient-id". Private to the model library.

#include "Calendar/Model/Event.h"

#include <QtCore/QList>
#include <QtCore/QTimeZone>

namespace Sylvan {
class IElement;
}

namespace Calendar::Detail {

inline constexpr auto XCalNamespace = u"urn:ietf:params:xml:ns:icalendar-2.0";
inline constexpr auto ProductId = u"-//Verdanta//Appointments 1.0//EN";

// Makes the empty root of a new document an xCal calendar and returns the
// element that holds its events.
Sylvan::IElement *WriteXCalCalendar(Sylvan::IElement &root);

// A new "vevent" element for the event, not attached to any parent.
Sylvan::IElement *NewVEvent(const Event &event);

struct XCalReadResult
{
    bool recognised = false; // the root is an xCal document
    QList<Event> events;
    // The "vevent" element each event was read from, in the same order, and
    // the element holding them: valid while the document is not changed.
    QList<Sylvan::IElement *> elements;
    Sylvan::IElement *components = nullptr; // null unless there is exactly one calendar
    int skipped = 0; // events left out: no readable start
    int repaired = 0; // events kept with a correction: end before start, missing or repeated identity
    int unknown = 0; // elements that carry nothing the calendar keeps, left out

    bool isComplete() const { return skipped == 0 && repaired == 0 && unknown == 0; }
};

XCalReadResult ReadXCal(const Sylvan::IElement &root);

// Date and time texts of xCal: "2024-03-05", "2024-03-05T09:30:00" (floating
// local time) and "2024-03-05T08:30:00Z" (UTC). Invalid QDateTime/QDate when
// the text is malformed or names an impossible date or time. A floating time
// is read into the given zone (the system's: local time, without a system
// call per value); a UTC time stays in UTC.
QString FormatXCalDate(QDate date);
QString FormatXCalLocalTime(const QDateTime &time);
QString FormatXCalUtcTime(const QDateTime &time);
QDate ParseXCalDate(QStringView text);
QDateTime ParseXCalDateTime(QStringView text, const QTimeZone &zone);

} // namespace Calendar::Detail
