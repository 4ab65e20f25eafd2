#pragma once

#include "verdantacommon_export.h"

#include <QtCore/QDateTime>

namespace Verdanta {

// OLE automation dates: days since 30 December 1899 as a double, the fraction
// being the time of day. For dates before the epoch the whole part counts days
// backwards while the fraction still counts the time forwards (-1.25 is
// 29 December 1899, 06:00). 0.0 is the epoch itself, which callers commonly
// treat as "no date".

VERDANTACOMMON_EXPORT double ToOleDate(const QDateTime &dateTime);
VERDANTACOMMON_EXPORT double ToOleDate(const QDate &date);
// Invalid (and an ok of false) for values outside years 100..9999 or not finite.
VERDANTACOMMON_EXPORT QDateTime FromOleDate(double value, bool *ok = nullptr);
// The calendar day of FromOleDate, invalid where it is; cheaper when only the
// day is wanted.
VERDANTACOMMON_EXPORT QDate DateFromOleDate(double value);

} // namespace Verdanta
