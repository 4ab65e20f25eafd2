#include "Calendar/Widgets/CalendarPrinter.h"

#include <QtGui/QFontMetricsF>
#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPainter>

#include <algorithm>

namespace Calendar {

namespace {

// The hours printed: the working day, widened to whole hours that hold every
// timed event of the range.
std::pair<int, int> printedSpan(const PrintedRange &range)
{
    int first = range.look.work.startMinute, last = range.look.work.endMinute;
    for (const Event &event : range.events) {
        if (event.allDay)
            continue;
        for (const QDate &day : range.days) {
            if (event.start.date() <= day && event.end.date() >= day) {
                const int from
                    = event.start.date() < day ? 0 : event.start.time().msecsSinceStartOfDay() / 60000;
                const int to
                    = event.end.date() > day ? 24 * 60 : event.end.time().msecsSinceStartOfDay() / 60000;
                first = std::min(first, from);
                last = std::max(last, to);
            }
        }
    }
    first = std::clamp(first / 60 * 60, 0, 23 * 60);
    last = std::clamp((last + 59) / 60 * 60, first + 60, 24 * 60);
    return { first, last };
}

void paintTimeRange(QPainter &painter, const QRectF &area, const PrintedRange &range)
{
    const QFontMetricsF metrics(painter.font());
    const double lineHeight = metrics.height() * 1.3;
    const double rulerWidth = metrics.horizontalAdvance(QStringLiteral("00:00 ")) + 6;
    const QList<PlacedAllDay> bars = PlaceAllDayEvents(range.days, range.events);
    int rows = 0;
    for (const PlacedAllDay &bar : bars)
        rows = std::max(rows, bar.row + 1);

    const double headerTop = area.top();
    const double barsTop = headerTop + lineHeight;
    const double gridTop = barsTop + rows * lineHeight + (rows > 0 ? 4 : 0);
    const QRectF columns(
        area.left() + rulerWidth, gridTop, area.width() - rulerWidth, area.bottom() - gridTop);

    // Slots as chosen on screen, made longer when the page cannot hold a line per slot.
    const auto [first, last] = printedSpan(range);
    int slot = range.slotMinutes;
    while (slot < 60 && columns.height() * slot / (last - first) < lineHeight)
        slot = slot < 30 ? (slot < 15 ? 15 : 30) : 60;

    const TimeGridGeometry grid(columns, range.days, first, last, slot);
    PaintDayHeaders(painter, grid, headerTop, lineHeight, range.look);
    for (const PlacedAllDay &bar : bars) {
        const QRectF from = grid.columnRect(bar.firstIndex), to = grid.columnRect(bar.lastIndex);
        PaintEventBox(painter,
            QRectF(from.left() + 1, barsTop + bar.row * lineHeight + 1, to.right() - from.left() - 2,
                lineHeight - 2),
            bar.event, false, range.look);
    }
    PaintTimeGrid(painter, grid, range.look);
    PaintTimeRuler(painter, grid, area.left(), rulerWidth, range.look);
    for (const PlacedEvent &piece : PlaceTimedEvents(grid, range.events))
        PaintEventBox(painter, piece.rect, piece.event, true, range.look);
}

} // namespace

void PaintPrintedRange(QPainter &painter, const QRectF &page, const PrintedRange &range)
{
    painter.save();
    QFont titleFont = painter.font();
    titleFont.setBold(true);
    if (titleFont.pixelSize() > 0)
        titleFont.setPixelSize(titleFont.pixelSize() * 8 / 5);
    else
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    const double titleHeight = QFontMetricsF(titleFont).height() * 1.5;
    painter.setFont(titleFont);
    painter.setPen(range.look.text);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
        range.caption);
    painter.restore();

    const QRectF body = page.adjusted(0, titleHeight, 0, 0);
    if (range.kind == ViewKind::Month) {
        const QFontMetricsF metrics(painter.font());
        MonthGeometry grid(body, range.days, metrics.height() * 1.4);
        grid.setLineHeight(metrics.height() * 1.2);
        PaintMonth(painter, grid, range.shownMonth, PlaceMonthLines(grid, range.events), range.look);
    } else {
        paintTimeRange(painter, body, range);
    }
}

bool PrintRange(QPagedPaintDevice &device, const PrintedRange &range)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Drawn in points, so that lines, gaps and text keep their size at any
    // resolution. The font is sized in those units too (a point size would be
    // converted to device pixels and then scaled once more).
    const double scaleX = device.logicalDpiX() / 72.0, scaleY = device.logicalDpiY() / 72.0;
    painter.scale(scaleX, scaleY);
    const QRectF page(0, 0, device.width() / scaleX, device.height() / scaleY);
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    PaintPrintedRange(painter, page, range);
    return painter.end();
}

} // namespace Calendar
