#pragma once

// Geometry and drawing of the calendar grids, shared by the views on screen
// and by printing: the same code lays out and draws a week in a widget and on
// a page.

#include "Calendar/Model/Event.h"
#include "calendar_export.h"

#include <QtCore/QList>
#include <QtCore/QLocale>
#include <QtCore/QRectF>
#include <QtGui/QColor>

class QPainter;

namespace Calendar {

// The practice's working hours, marked in the views.
struct WorkingTime
{
    int startMinute = 8 * 60;
    int endMinute = 18 * 60;
    QList<Qt::DayOfWeek> days { Qt::Monday, Qt::Tuesday, Qt::Wednesday, Qt::Thursday, Qt::Friday };
    bool contains(QDate day, int minute) const;
};

// What the drawing needs besides the events.
struct GridLook
{
    QString time(QTime value) const { return locale.toString(value, timeFormat); }

    QDate today;
    WorkingTime work;
    QString selectedUid;
    QLocale locale;
    QString timeFormat { QStringLiteral("HH:mm") }; // see MinuteTimeFormat
    QColor base { Qt::white };
    QColor offHours { 0xf0, 0xf0, 0xf0 };
    QColor line { 0xc8, 0xc8, 0xc8 };
    QColor text { Qt::black };
    QColor todayTint { 0xff, 0xf6, 0xd5 };
    QColor eventFill { 0xd6, 0xe6, 0xfa };
    QColor eventBar { 0x2f, 0x6f, 0xc4 };
    QColor selectedFill { 0xa9, 0xc9, 0xf2 };
};

// Day columns over a span of the day, cut into time slots.
class CALENDAR_EXPORT TimeGridGeometry
{
public:
    TimeGridGeometry() = default;
    TimeGridGeometry(
        const QRectF &area, const QList<QDate> &days, int firstMinute, int lastMinute, int slotMinutes);

    const QRectF &area() const { return m_area; }
    const QList<QDate> &days() const { return m_days; }
    int firstMinute() const { return m_firstMinute; }
    int lastMinute() const { return m_lastMinute; }
    int slotMinutes() const { return m_slotMinutes; }
    double slotHeight() const;

    QRectF columnRect(int dayIndex) const;
    double yAt(int minute) const;
    // -1 left or right of the columns.
    int dayIndexAt(double x) const;
    // The minute of the day at y, kept within the shown span.
    int minuteAt(double y) const;
    // The start of the slot at y.
    int slotStartAt(double y) const;

private:
    QRectF m_area;
    QList<QDate> m_days;
    int m_firstMinute = 0;
    int m_lastMinute = 24 * 60;
    int m_slotMinutes = 30;
};

// A timed event's piece in one day column. An event across midnight has a
// piece in each day it touches.
struct PlacedEvent
{
    Event event;
    int dayIndex = 0;
    QRectF rect;
    bool startsHere = true;
    bool endsHere = true;
};

// Lays out the timed events (all-day events are left out), side by side where
// they overlap.
CALENDAR_EXPORT QList<PlacedEvent> PlaceTimedEvents(
    const TimeGridGeometry &geometry, const QList<Event> &events);

// An all-day event's bar across the day columns, on its row of the band.
struct PlacedAllDay
{
    Event event;
    int firstIndex = 0;
    int lastIndex = 0;
    int row = 0;
};

// Lays out the all-day events of the days in rows, none overlapping another.
CALENDAR_EXPORT QList<PlacedAllDay> PlaceAllDayEvents(const QList<QDate> &days, const QList<Event> &events);

// Drawing. Rectangles are in the painter's coordinates.
CALENDAR_EXPORT void PaintTimeGrid(QPainter &painter, const TimeGridGeometry &geometry, const GridLook &look);
CALENDAR_EXPORT void PaintTimeRuler(
    QPainter &painter, const TimeGridGeometry &geometry, double left, double width, const GridLook &look);
CALENDAR_EXPORT void PaintDayHeaders(
    QPainter &painter, const TimeGridGeometry &geometry, double top, double height, const GridLook &look);
CALENDAR_EXPORT void PaintEventBox(
    QPainter &painter, const QRectF &rect, const Event &event, bool showTime, const GridLook &look);
// A line across today's column at the time now.
CALENDAR_EXPORT void PaintCurrentTime(
    QPainter &painter, const TimeGridGeometry &geometry, const QDateTime &now);

// The six-week month grid.
class CALENDAR_EXPORT MonthGeometry
{
public:
    MonthGeometry() = default;
    // days: the 42 days of the grid, week by week.
    MonthGeometry(const QRectF &area, const QList<QDate> &days, double headerHeight);

    const QRectF &area() const { return m_area; }
    const QList<QDate> &days() const { return m_days; }
    QRectF cellRect(int index) const;
    // The cell below the day number, where events are listed.
    QRectF listRect(int index) const;
    int indexAt(const QPointF &point) const; // -1 outside the cells
    double lineHeight() const { return m_lineHeight; }
    void setLineHeight(double height) { m_lineHeight = height; }

private:
    QRectF m_area;
    QList<QDate> m_days;
    double m_headerHeight = 20;
    double m_lineHeight = 16;
};

// One line of a month cell: an event, or the "more" line when the cell is full.
struct MonthLine
{
    int cell = 0;
    QRectF rect;
    Event event; // empty uid for the "more" line
    int hidden = 0; // on the "more" line: how many events did not fit
};

// Lays out the events of each day of the grid, one line each, in time order.
CALENDAR_EXPORT QList<MonthLine> PlaceMonthLines(const MonthGeometry &geometry, const QList<Event> &events);

CALENDAR_EXPORT void PaintMonth(QPainter &painter, const MonthGeometry &geometry, int shownMonth,
    const QList<MonthLine> &lines, const GridLook &look);

// The visible text of a long subject: drawing megabytes of text in a small
// box would stall the painting.
CALENDAR_EXPORT QString ShownText(const QString &text);

} // namespace Calendar
