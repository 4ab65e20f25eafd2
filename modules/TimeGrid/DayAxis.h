#pragma once

#include <QtCore/QDate>
#include <QtCore/QRect>
#include <QtCore/QString>

#include <utility>

namespace TimeGrid {

inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 20;
// Days per column: 0 or less becomes 1, more than 20 becomes 20.
int ClampZoom(int zoom);

// The day number of a date: days since 30 December 1899, the whole part of an
// OLE automation date.
qint64 DayNumber(const QDate &day);
QDate DayFromNumber(qint64 number);
// The calendar day of an OLE automation date; invalid for a value that is no
// date (not finite, or outside the years 100 to 9999).
QDate DayOfOleDate(double value);
// Midnight of the day as an OLE automation date.
double OleDateOfDay(const QDate &day);

// English month names and the tool tip's day text "%B %d, %Y"
// ("March 05, 2009"), independent of the user's locale.
QString EnglishMonthName(int month);
QString LongDayText(const QDate &day);

// Which days the columns show: the leftmost column starts on the first
// visible day and every column spans 'zoom' days.
struct DayAxis
{
    QDate firstVisible = QDate::currentDate();
    int zoom = 1;

    // The column that shows the day (negative left of the first visible day).
    int ColumnOf(const QDate &day) const;
    // The first day of a column.
    QDate DayOfColumn(int column) const;

    // The horizontal scroll position is the day number divided by the zoom.
    int ScrollPosition() const { return ScrollPositionOf(firstVisible); }
    int ScrollPositionOf(const QDate &day) const;
    QDate DayOfScrollPosition(int position) const;
    // The scroll range around the days that hold data: from 360 days before
    // the earlier of 'earliest' and today to 360 days after the later of
    // 'latest' and today. Invalid dates are left out.
    std::pair<int, int> ScrollRange(
        const QDate &earliest, const QDate &latest, const QDate &today = QDate::currentDate()) const;
};

// Where the parts of a grid window lie, as last laid out.
struct GridLayout
{
    QRect lineHeader; // row labels, on the left
    QRect columnHeader; // month band and day numbers, on top
    QRect content; // the cells
    QRect horizontalBar;
    QRect verticalBar;
    int rowHeight = 1;
    int firstRow = 0; // the row shown at the top of the content
    bool verticalScrolling = false; // the rows do not fit

    // Row (counted from row 0 of the data) and column under a point of the
    // content; -1 elsewhere.
    int RowAt(const QPoint &point) const;
    int ColumnAt(const QPoint &point) const;
    int ColumnCount() const; // columns shown, the last possibly in part
    int RowTop(int row) const { return content.top() + (row - firstRow) * rowHeight; }
    int ColumnLeft(int column) const;
    QRect CellRect(int row, int column) const;
};

} // namespace TimeGrid
