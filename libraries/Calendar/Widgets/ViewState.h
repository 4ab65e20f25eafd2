#pragma once

// What the calendar's views share: the days and events shown, the time scale
// and the look, owned by CalendarView; and the requests the views send back.
// Private to the library.

#include "Calendar/Model/Event.h"
#include "Calendar/Widgets/CalendarPainting.h"

#include <QtCore/QObject>
#include <QtWidgets/QApplication>

#include <optional>

namespace Calendar::Detail {

struct ViewState
{
    QList<QDate> days;
    QList<Event> events; // those that touch the shown days
    int slotMinutes = 30;
    int shownMonth = 0; // month view: the month of the anchor
    GridLook look;
};

class ViewActions : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void selectRequested(const QString &uid); // empty: nothing selected
    void newEventRequested(const QDateTime &start, const QDateTime &end, bool allDay);
    void editRequested(const QString &uid);
    void changeRequested(const Calendar::Event &event); // moved or resized
    void dayRequested(QDate day);
};

// An event dragged from one day to another with the mouse (month cells, the
// all-day band). Days are indexes into the shown days.
class DayDrag
{
public:
    void press(const Event &event, int day, QPoint at)
    {
        m_event = event;
        m_pressDay = m_dropDay = day;
        m_pressedAt = at;
        m_pressed = day >= 0;
        m_dragging = false;
    }
    // Follows the mouse; true when the drop day changed (to repaint).
    bool move(QPoint at, int day)
    {
        if (!m_pressed)
            return false;
        if (!m_dragging && (at - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
            return false;
        m_dragging = true;
        if (day < 0 || day == m_dropDay)
            return false;
        m_dropDay = day;
        return true;
    }
    // Ends the drag; the event moved by whole days when it was dropped on another day.
    std::optional<Event> release(const QList<QDate> &days)
    {
        const bool moved
            = m_dragging && m_dropDay != m_pressDay && m_pressDay < days.size() && m_dropDay < days.size();
        m_pressed = m_dragging = false;
        if (!moved)
            return std::nullopt;
        const qint64 shift = days.at(m_pressDay).daysTo(days.at(m_dropDay));
        Event event = m_event;
        event.start = event.start.addDays(shift);
        event.end = event.end.addDays(shift);
        return event;
    }
    void cancel() { m_pressed = m_dragging = false; }

    bool isDragging() const { return m_dragging; }
    const Event &event() const { return m_event; }
    int pressDay() const { return m_pressDay; }
    int dropDay() const { return m_dropDay; }

private:
    Event m_event;
    int m_pressDay = -1;
    int m_dropDay = -1;
    QPoint m_pressedAt;
    bool m_pressed = false;
    bool m_dragging = false;
};

// Rounds minutes to the nearest multiple of the slot.
inline int RoundToSlot(int minutes, int slot)
{
    const int sign = minutes < 0 ? -1 : 1;
    return sign * ((sign * minutes + slot / 2) / slot) * slot;
}

} // namespace Calendar::Detail
