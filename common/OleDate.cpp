#include "common/OleDate.h"

#include <cmath>

namespace Verdanta {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMinOleDate = -657434.0; // 1 January 100
constexpr double kMaxOleDate = 2958465.99999999; // 31 December 9999, 23:59:59

} // namespace

double ToOleDate(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const qint64 days = kEpoch.daysTo(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / 86400000.0;
    if (days >= 0)
        return static_cast<double>(days) + fraction;
    // Before the epoch the sign applies to the day part only.
    return static_cast<double>(days) - fraction;
}

// Days are counted without making a local date-time: that asks the time zone
// of the system at every call, which costs more than all the rest.
double ToOleDate(const QDate &date)
{
    return date.isValid() ? static_cast<double>(kEpoch.daysTo(date)) : 0.0;
}

namespace {

// The day and the milliseconds into it; false for a value that is no date.
bool SplitOleDate(double value, QDate *date, int *msecs)
{
    if (!std::isfinite(value) || value < kMinOleDate || value > kMaxOleDate)
        return false;
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    // Round to the nearest millisecond so that 0.5 days is exactly noon.
    qint64 ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += value < 0 ? -1.0 : 1.0;
    }
    *date = kEpoch.addDays(static_cast<qint64>(whole));
    *msecs = static_cast<int>(ms);
    return true;
}

} // namespace

QDateTime FromOleDate(double value, bool *ok)
{
    QDate date;
    int msecs = 0;
    const bool valid = SplitOleDate(value, &date, &msecs);
    if (ok)
        *ok = valid;
    return valid ? QDateTime(date, QTime::fromMSecsSinceStartOfDay(msecs)) : QDateTime();
}

QDate DateFromOleDate(double value)
{
    QDate date;
    int msecs = 0;
    return SplitOleDate(value, &date, &msecs) ? date : QDate();
}

} // namespace Verdanta
