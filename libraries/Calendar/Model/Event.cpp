#include "Calendar/Model/Event.h"

#include <QtCore/QUuid>

#include <algorithm>

namespace Calendar {

namespace {

constexpr qint64 MsPerDay = qint64(24) * 60 * 60 * 1000;

} // namespace

QString NewEventUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

qint64 WallClockMs(const QDateTime &time)
{
    return time.date().toJulianDay() * MsPerDay + time.time().msecsSinceStartOfDay();
}

qint64 WallClockMs(QDate date)
{
    return date.toJulianDay() * MsPerDay;
}

bool IsSlotInterval(int minutes)
{
    return std::ranges::find(SlotIntervals, minutes) != std::end(SlotIntervals);
}

} // namespace Calendar
