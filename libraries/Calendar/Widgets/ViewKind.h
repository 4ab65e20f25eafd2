#pragma once

#include "calendar_export.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QLocale>
#include <QtCore/QString>

namespace Calendar {

enum class ViewKind { Day, WorkWeek, Week, Month };

// The days a view shows around its anchor date. Weeks start on the locale's
// first day of the week; a work week keeps the locale's weekdays of that week;
// a month shows the six weeks that hold its first day.
CALENDAR_EXPORT QList<QDate> ShownDays(ViewKind kind, QDate anchor, const QLocale &locale = QLocale());

// The anchor moved by whole views (a day, a week or a month per step).
CALENDAR_EXPORT QDate StepAnchor(ViewKind kind, QDate anchor, int steps);

// The caption of what the view shows: "Tuesday, 5 March 2024",
// "4 – 8 March 2024", "26 February – 3 March 2024", "March 2024".
CALENDAR_EXPORT QString RangeCaption(ViewKind kind, QDate anchor, const QLocale &locale = QLocale());

// The locale's short time format without seconds ("HH:mm", "h:mm AP"): the
// calendar works in whole minutes.
CALENDAR_EXPORT QString MinuteTimeFormat(const QLocale &locale = QLocale());

} // namespace Calendar
