#pragma once

#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Widgets/ViewState.h"
#include "calendar_export.h"

#include <QtWidgets/QWidget>

class QScrollArea;

namespace Calendar {

// The day columns of the day, work-week and week views: the time ruler and
// one column per day, cut into slots, with the timed events. Events move and
// resize with the mouse; a double click opens an event or makes one in the
// slot.
class CALENDAR_EXPORT DayColumnsWidget : public QWidget
{
    Q_OBJECT

public:
    DayColumnsWidget(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent = nullptr);

    // Lays out again after the state changed.
    void refresh();
    TimeGridGeometry geometry() const;
    double slotHeight() const;
    // Width of the time ruler left of the columns.
    int rulerWidth() const;

    // The rectangle an event (or its first piece) takes; empty if not shown.
    QRectF eventRect(const QString &uid) const;
    // The selected slots (day index -1 when none).
    int selectedDay() const { return m_selectedDay; }
    int selectedFrom() const { return m_selectedFrom; }
    int selectedTo() const { return m_selectedTo; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Pending, Move, ResizeStart, ResizeEnd, SelectSlots };

    const PlacedEvent *pieceAt(const QPointF &point) const;
    QList<Event> shownEvents() const; // with the dragged event where it is being dragged to
    void dragTo(const QPointF &point);
    void cancelDrag();

    const Detail::ViewState *m_state;
    Detail::ViewActions *m_actions;
    mutable QList<PlacedEvent> m_placed;

    Drag m_drag = Drag::None;
    Drag m_pendingDrag = Drag::None;
    QPoint m_pressPosition;
    int m_pressDay = 0;
    int m_pressMinute = 0;
    Event m_original;
    Event m_preview;
    int m_selectedDay = -1;
    int m_selectedFrom = 0;
    int m_selectedTo = 0;
};

// The band above the day columns: the day names and the all-day events.
class CALENDAR_EXPORT AllDayBand : public QWidget
{
    Q_OBJECT

public:
    AllDayBand(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent = nullptr);

    // The columns follow those of the day columns below.
    void setColumns(double left, double right);
    void refresh();
    QRectF barRect(const QString &uid) const;
    double headerHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TimeGridGeometry columns() const;
    double rowHeight() const;
    QRectF barRectOf(const PlacedAllDay &bar) const;
    const PlacedAllDay *barAt(const QPointF &point) const;

    const Detail::ViewState *m_state;
    Detail::ViewActions *m_actions;
    QList<PlacedAllDay> m_bars;
    double m_left = 0;
    double m_right = 0;
    Detail::DayDrag m_drag;
};

// The day, work-week and week views: the band over the scrolling day columns.
class CALENDAR_EXPORT TimeGridView : public QWidget
{
    Q_OBJECT

public:
    TimeGridView(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent = nullptr);

    void refresh();
    // Scrolls so that the minute of the day is at the top.
    void scrollToMinute(int minute);
    int topMinute() const;

    DayColumnsWidget *columns() const { return m_columns; }
    AllDayBand *band() const { return m_band; }
    QScrollArea *scrollArea() const { return m_scroll; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void alignBand();

    AllDayBand *m_band;
    QScrollArea *m_scroll;
    DayColumnsWidget *m_columns;
};

} // namespace Calendar
