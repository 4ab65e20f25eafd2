#include "TimeGrid/DayAxis.h"

#include "TimeGrid/Metrics.h"

#include "common/OleDate.h"

#include <QtCore/QLocale>

#include <algorithm>
#include <limits>

namespace TimeGrid {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr qint64 kScrollMargin = 360;

qint64 FloorDivide(qint64 value, qint64 divisor)
{
    qint64 quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0)))
        --quotient;
    return quotient;
}

int ClampToInt(qint64 value)
{
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

int ClampZoom(int zoom)
{
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

qint64 DayNumber(const QDate &day)
{
    return kEpoch.daysTo(day);
}

QDate DayFromNumber(qint64 number)
{
    return kEpoch.addDays(number);
}

QDate DayOfOleDate(double value)
{
    return Verdanta::DateFromOleDate(value);
}

double OleDateOfDay(const QDate &day)
{
    return Verdanta::ToOleDate(day);
}

QString EnglishMonthName(int month)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.monthName(month, QLocale::LongFormat);
}

QString LongDayText(const QDate &day)
{
    return QStringLiteral("%1 %2, %3")
        .arg(EnglishMonthName(day.month()))
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(day.year());
}

int DayAxis::ColumnOf(const QDate &day) const
{
    return ClampToInt(FloorDivide(firstVisible.daysTo(day), ClampZoom(zoom)));
}

QDate DayAxis::DayOfColumn(int column) const
{
    return firstVisible.addDays(static_cast<qint64>(column) * ClampZoom(zoom));
}

int DayAxis::ScrollPositionOf(const QDate &day) const
{
    return ClampToInt(FloorDivide(DayNumber(day), ClampZoom(zoom)));
}

QDate DayAxis::DayOfScrollPosition(int position) const
{
    return DayFromNumber(static_cast<qint64>(position) * ClampZoom(zoom));
}

std::pair<int, int> DayAxis::ScrollRange(const QDate &earliest, const QDate &latest, const QDate &today) const
{
    const QDate from = earliest.isValid() ? std::min(earliest, today) : today;
    const QDate to = latest.isValid() ? std::max(latest, today) : today;
    return { ClampToInt(FloorDivide(DayNumber(from) - kScrollMargin, ClampZoom(zoom))),
        ClampToInt(FloorDivide(DayNumber(to) + kScrollMargin, ClampZoom(zoom))) };
}

int GridLayout::RowAt(const QPoint &point) const
{
    if (!content.contains(point))
        return -1;
    return firstRow + (point.y() - content.top()) / rowHeight;
}

int GridLayout::ColumnAt(const QPoint &point) const
{
    if (!content.contains(point))
        return -1;
    return (point.x() - content.left()) / kColumnWidth;
}

int GridLayout::ColumnCount() const
{
    return content.width() <= 0 ? 0 : (content.width() + kColumnWidth - 1) / kColumnWidth;
}

int GridLayout::ColumnLeft(int column) const
{
    return content.left() + column * kColumnWidth;
}

QRect GridLayout::CellRect(int row, int column) const
{
    return QRect(ColumnLeft(column), RowTop(row), kColumnWidth, rowHeight);
}

} // namespace TimeGrid
