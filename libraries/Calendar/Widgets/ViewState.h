#pragma once

// What the calendar's views share: the days and events shown, the time scale
// and the look, owned by CalendarView; and the requests the views send back.
// Private to the library.

#include "Calendar/Model/Event.h"
#include "Calendar/Widgets/CalendarPainting.h"

#include <QtCore/QObject>

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

// Rounds minutes to the nearest multiple of the slot.
inline int RoundToSlot(int minutes, int slot)
{
    const int sign = minutes < 0 ? -1 : 1;
    return sign * ((sign * minutes + slot / 2) / slot) * slot;
}

} // namespace Calendar::Detail
