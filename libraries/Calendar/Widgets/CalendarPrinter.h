#pragma once

#include "Calendar/Model/Event.h"
#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Widgets/ViewKind.h"
#include "calendar_export.h"

#include <QtCore/QList>

class QPagedPaintDevice;
class QPainter;

namespace Calendar {

// What a printed page shows: the range of the view with its events.
struct PrintedRange
{
    ViewKind kind = ViewKind::Week;
    QList<QDate> days;
    int shownMonth = 0;
    QList<Event> events;
    int slotMinutes = 30;
    GridLook look;
    QString caption;
};

// Draws the range on one page: the caption, then the day columns over the
// working hours (widened to hold every event of the range), or the month grid.
CALENDAR_EXPORT void PaintPrintedRange(QPainter &painter, const QRectF &page, const PrintedRange &range);

// Prints the range on the device (a printer or a PDF writer). False when the
// device cannot be painted on.
CALENDAR_EXPORT bool PrintRange(QPagedPaintDevice &device, const PrintedRange &range);

} // namespace Calendar
