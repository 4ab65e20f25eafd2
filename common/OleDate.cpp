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

double ToOleDate(const QDate &date)
{
    return ToOleDate(QDateTime(date, QTime(0, 0)));
}

QDateTime FromOleDate(double value, bool *ok)
{
    if (!std::isfinite(value) || value < kMinOleDate || value > kMaxOleDate) {
        if (ok)
            *ok = false;
        return {};
    }
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    // Round to the nearest millisecond so that 0.5 days is exactly noon.
    qint64 ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += value < 0 ? -1.0 : 1.0;
    }
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    if (ok)
        *ok = true;
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

} // namespace Verdanta
