#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Model/OverlapLayout.h"
#include "Calendar/Widgets/ViewKind.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>

namespace Calendar {

namespace {

constexpr qint64 MsPerMinute = 60 * 1000;
constexpr qint64 MinutesPerDay = 24 * 60;
// Longest text drawn for one event; a box shows a few lines of it at most.
constexpr qsizetype MaximumShownText = 500;

// The part of the event that falls on the day, in minutes from its midnight;
// false when it does not touch the day.
bool minutesOnDay(const Event &event, QDate day, qint64 &from, qint64 &to)
{
    const qint64 dayMs = WallClockMs(day);
    const qint64 start = WallClockMs(event.start);
    const qint64 end = std::max(start, WallClockMs(event.end));
    const qint64 dayEnd = dayMs + MinutesPerDay * MsPerMinute;
    if (start >= dayEnd || (end <= dayMs && !(end == start && start >= dayMs)))
        return false;
    from = std::max<qint64>(0, (start - dayMs) / MsPerMinute);
    to = std::min<qint64>(MinutesPerDay, (end - dayMs + MsPerMinute - 1) / MsPerMinute);
    return true;
}

QColor mix(const QColor &a, const QColor &b, double share)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - share) + b.redF() * share),
        static_cast<float>(a.greenF() * (1 - share) + b.greenF() * share),
        static_cast<float>(a.blueF() * (1 - share) + b.blueF() * share));
}

QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("Calendar::CalendarPainting", text, nullptr, n);
}

} // namespace

bool WorkingTime::contains(QDate day, int minute) const
{
    return days.contains(static_cast<Qt::DayOfWeek>(day.dayOfWeek())) && minute >= startMinute
        && minute < endMinute;
}

QString ShownText(const QString &text)
{
    return text.size() > MaximumShownText ? text.left(MaximumShownText) : text;
}

// ---- time grid ----

TimeGridGeometry::TimeGridGeometry(
    const QRectF &area, const QList<QDate> &days, int firstMinute, int lastMinute, int slotMinutes)
    : m_area(area)
    , m_days(days)
    , m_firstMinute(firstMinute)
    , m_lastMinute(std::max(lastMinute, firstMinute + 1))
    , m_slotMinutes(std::max(1, slotMinutes))
{ }

double TimeGridGeometry::slotHeight() const
{
    return m_area.height() * m_slotMinutes / (m_lastMinute - m_firstMinute);
}

QRectF TimeGridGeometry::columnRect(int dayIndex) const
{
    const double width = m_days.isEmpty() ? 0 : m_area.width() / m_days.size();
    return QRectF(m_area.left() + width * dayIndex, m_area.top(), width, m_area.height());
}

double TimeGridGeometry::yAt(int minute) const
{
    return m_area.top() + m_area.height() * (minute - m_firstMinute) / (m_lastMinute - m_firstMinute);
}

int TimeGridGeometry::dayIndexAt(double x) const
{
    if (m_days.isEmpty() || x < m_area.left() || x >= m_area.right())
        return -1;
    const int index = static_cast<int>((x - m_area.left()) / (m_area.width() / m_days.size()));
    return std::clamp(index, 0, static_cast<int>(m_days.size()) - 1);
}

int TimeGridGeometry::minuteAt(double y) const
{
    const double minute
        = m_firstMinute + (y - m_area.top()) * (m_lastMinute - m_firstMinute) / m_area.height();
    return std::clamp(static_cast<int>(std::floor(minute)), m_firstMinute, m_lastMinute);
}

int TimeGridGeometry::slotStartAt(double y) const
{
    const int minute = std::min(minuteAt(y), m_lastMinute - 1);
    return minute - (minute - m_firstMinute) % m_slotMinutes;
}

QList<PlacedEvent> PlaceTimedEvents(const TimeGridGeometry &geometry, const QList<Event> &events)
{
    QList<PlacedEvent> placed;
    const double minutesPerPixel = geometry.slotMinutes() / std::max(1.0, geometry.slotHeight());
    // Short events keep a height that holds a line of text.
    const qint64 minimumMinutes = std::max<qint64>(1, std::lround(16 * minutesPerPixel));

    for (int day = 0; day < geometry.days().size(); ++day) {
        QList<PlacedEvent> pieces;
        std::vector<Span> spans;
        for (const Event &event : events) {
            qint64 from = 0, to = 0;
            if (event.allDay || !minutesOnDay(event, geometry.days().at(day), from, to))
                continue;
            from = std::clamp<qint64>(from, geometry.firstMinute(), geometry.lastMinute());
            to = std::clamp<qint64>(to, from, geometry.lastMinute());
            PlacedEvent piece;
            piece.event = event;
            piece.dayIndex = day;
            piece.startsHere = event.start.date() == geometry.days().at(day);
            piece.endsHere = event.end.date() == geometry.days().at(day)
                || (event.end.date() == geometry.days().at(day).addDays(1)
                    && event.end.time() == QTime(0, 0));
            pieces.append(piece);
            spans.push_back({ from, to });
        }
        const std::vector<Placement> placements = LayOutSideBySide(spans, minimumMinutes);
        const QRectF column = geometry.columnRect(day);
        // A margin on the right keeps room to click the slot beside busy events.
        const double usable = std::max(4.0, column.width() - 8);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const Placement &placement = placements[static_cast<size_t>(i)];
            const double width = usable / placement.columns;
            const double top = geometry.yAt(static_cast<int>(spans[static_cast<size_t>(i)].start));
            const double bottom = geometry.yAt(static_cast<int>(spans[static_cast<size_t>(i)].end));
            const double height = std::max(bottom - top, std::min(16.0, geometry.area().bottom() - top));
            pieces[i].rect = QRectF(column.left() + 1 + width * placement.column, top, width - 1, height);
        }
        placed += pieces;
    }
    return placed;
}

QList<PlacedAllDay> PlaceAllDayEvents(const QList<QDate> &days, const QList<Event> &events)
{
    QList<PlacedAllDay> placed;
    if (days.isEmpty())
        return placed;
    std::vector<int> rowEnds; // per row, the last day index taken
    for (const Event &event : events) {
        if (!event.allDay)
            continue;
        const QDate first = event.start.date();
        const QDate last = event.end.date().addDays(-1);
        if (last < days.first() || first > days.last())
            continue;
        PlacedAllDay bar;
        bar.event = event;
        bar.firstIndex = 0;
        while (bar.firstIndex + 1 < days.size() && days.at(bar.firstIndex) < first)
            ++bar.firstIndex;
        bar.lastIndex = bar.firstIndex;
        while (bar.lastIndex + 1 < days.size() && days.at(bar.lastIndex + 1) <= last)
            ++bar.lastIndex;
        const auto free = std::ranges::find_if(rowEnds, [&](int end) { return end < bar.firstIndex; });
        if (free == rowEnds.end()) {
            bar.row = static_cast<int>(rowEnds.size());
            rowEnds.push_back(bar.lastIndex);
        } else {
            bar.row = static_cast<int>(free - rowEnds.begin());
            *free = bar.lastIndex;
        }
        placed.append(bar);
    }
    return placed;
}

void PaintTimeGrid(QPainter &painter, const TimeGridGeometry &geometry, const GridLook &look)
{
    painter.save();
    const double slot = geometry.slotHeight();
    for (int day = 0; day < geometry.days().size(); ++day) {
        const QDate date = geometry.days().at(day);
        const QRectF column = geometry.columnRect(day);
        const bool today = date == look.today;
        for (int minute = geometry.firstMinute(); minute < geometry.lastMinute();
             minute += geometry.slotMinutes()) {
            QColor fill = look.work.contains(date, minute) ? look.base : look.offHours;
            if (today)
                fill = mix(fill, look.todayTint, 0.6);
            painter.fillRect(QRectF(column.left(), geometry.yAt(minute), column.width(), slot), fill);
        }
    }

    const QColor hourLine = look.line;
    const QColor slotLine = mix(look.line, look.base, 0.55);
    const double left = geometry.area().left(), right = geometry.area().right();
    for (int minute = geometry.firstMinute(); minute <= geometry.lastMinute();
         minute += geometry.slotMinutes()) {
        painter.setPen(QPen(minute % 60 == 0 ? hourLine : slotLine, 0));
        const double y = geometry.yAt(minute);
        painter.drawLine(QPointF(left, y), QPointF(right, y));
    }
    painter.setPen(QPen(hourLine, 0));
    for (int day = 0; day <= geometry.days().size(); ++day) {
        const double x = day < geometry.days().size() ? geometry.columnRect(day).left() : right;
        painter.drawLine(QPointF(x, geometry.area().top()), QPointF(x, geometry.area().bottom()));
    }
    painter.restore();
}

void PaintTimeRuler(
    QPainter &painter, const TimeGridGeometry &geometry, double left, double width, const GridLook &look)
{
    painter.save();
    painter.setPen(look.text);
    const QFontMetricsF metrics(painter.font());
    for (int minute = geometry.firstMinute(); minute < geometry.lastMinute();
         minute += geometry.slotMinutes()) {
        if (minute % 60 != 0 && geometry.slotHeight() < metrics.height() * 1.2)
            continue;
        const double y = geometry.yAt(minute);
        const QString label = look.time(QTime(minute / 60, minute % 60));
        QFont font = painter.font();
        font.setBold(minute % 60 == 0);
        painter.setFont(font);
        painter.drawText(
            QRectF(left, y + 1, width - 4, metrics.height()), Qt::AlignRight | Qt::AlignTop, label);
    }
    painter.restore();
}

void PaintDayHeaders(
    QPainter &painter, const TimeGridGeometry &geometry, double top, double height, const GridLook &look)
{
    painter.save();
    const QFontMetricsF metrics(painter.font());
    for (int day = 0; day < geometry.days().size(); ++day) {
        const QDate date = geometry.days().at(day);
        const QRectF column = geometry.columnRect(day);
        const QRectF cell(column.left(), top, column.width(), height);
        const bool today = date == look.today;
        painter.fillRect(cell, today ? look.todayTint : look.offHours);
        painter.setPen(QPen(look.line, 0));
        painter.drawRect(cell);
        QString label = look.locale.toString(date, QStringLiteral("dddd d MMMM"));
        if (metrics.horizontalAdvance(label) > cell.width() - 6)
            label = look.locale.toString(date, QStringLiteral("ddd d MMM"));
        if (metrics.horizontalAdvance(label) > cell.width() - 6)
            label = look.locale.toString(date, QStringLiteral("ddd d"));
        QFont font = painter.font();
        font.setBold(today);
        painter.setFont(font);
        painter.setPen(look.text);
        painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignCenter,
            QFontMetricsF(font).elidedText(label, Qt::ElideRight, cell.width() - 6));
    }
    painter.restore();
}

void PaintEventBox(
    QPainter &painter, const QRectF &rect, const Event &event, bool showTime, const GridLook &look)
{
    painter.save();
    const bool selected = event.uid == look.selectedUid && !event.uid.isEmpty();
    painter.setPen(QPen(look.eventBar, selected ? 2 : 0));
    painter.setBrush(selected ? look.selectedFill : look.eventFill);
    painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillRect(
        QRectF(rect.left(), rect.top(), std::min(4.0, rect.width() / 4), rect.height()), look.eventBar);

    const QRectF textRect = rect.adjusted(std::min(6.0, rect.width() / 3), 1, -2, -1);
    painter.setClipRect(textRect, Qt::IntersectClip);
    painter.setPen(look.text);
    QString text;
    if (showTime) {
        text = look.time(event.start.time()) + u' ';
    }
    text += ShownText(event.subject);
    if (!event.location.isEmpty())
        text += QStringLiteral("\n") + ShownText(event.location);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    painter.restore();
}

void PaintCurrentTime(QPainter &painter, const TimeGridGeometry &geometry, const QDateTime &now)
{
    const int day = static_cast<int>(geometry.days().indexOf(now.date()));
    const int minute = now.time().hour() * 60 + now.time().minute();
    if (day < 0 || minute < geometry.firstMinute() || minute >= geometry.lastMinute())
        return;
    painter.save();
    painter.setPen(QPen(QColor(0xd0, 0x30, 0x30), 2));
    const QRectF column = geometry.columnRect(day);
    const double y = geometry.yAt(minute);
    painter.drawLine(QPointF(column.left(), y), QPointF(column.right(), y));
    painter.restore();
}

// ---- month grid ----

MonthGeometry::MonthGeometry(const QRectF &area, const QList<QDate> &days, double headerHeight)
    : m_area(area)
    , m_days(days)
    , m_headerHeight(headerHeight)
{ }

QRectF MonthGeometry::cellRect(int index) const
{
    const double width = m_area.width() / 7;
    const double height = (m_area.height() - m_headerHeight) / 6;
    return QRectF(m_area.left() + width * (index % 7), m_area.top() + m_headerHeight + height * (index / 7),
        width, height);
}

QRectF MonthGeometry::listRect(int index) const
{
    return cellRect(index).adjusted(2, m_lineHeight + 2, -2, -2);
}

int MonthGeometry::indexAt(const QPointF &point) const
{
    const QRectF cells = m_area.adjusted(0, m_headerHeight, 0, 0);
    if (!cells.contains(point) || m_days.size() < 42)
        return -1;
    const int column = std::clamp(static_cast<int>((point.x() - cells.left()) / (cells.width() / 7)), 0, 6);
    const int row = std::clamp(static_cast<int>((point.y() - cells.top()) / (cells.height() / 6)), 0, 5);
    return row * 7 + column;
}

QList<MonthLine> PlaceMonthLines(const MonthGeometry &geometry, const QList<Event> &events)
{
    QList<MonthLine> lines;
    const double lineHeight = geometry.lineHeight();
    for (int cell = 0; cell < geometry.days().size(); ++cell) {
        const QDate day = geometry.days().at(cell);
        QList<Event> onDay;
        for (const Event &event : events) {
            qint64 from = 0, to = 0;
            if (minutesOnDay(event, day, from, to))
                onDay.append(event);
        }
        // All-day events first, then by start.
        std::ranges::stable_sort(onDay, [](const Event &a, const Event &b) { return a.allDay && !b.allDay; });
        const QRectF list = geometry.listRect(cell);
        const int room = std::max(0, static_cast<int>(list.height() / lineHeight));
        const int shown = onDay.size() > room ? std::max(0, room - 1) : static_cast<int>(onDay.size());
        for (int i = 0; i < shown; ++i)
            lines.append(
                { cell, QRectF(list.left(), list.top() + i * lineHeight, list.width(), lineHeight - 1),
                    onDay.at(i), 0 });
        if (shown < onDay.size() && room > 0)
            lines.append(
                { cell, QRectF(list.left(), list.top() + shown * lineHeight, list.width(), lineHeight - 1),
                    Event(), static_cast<int>(onDay.size()) - shown });
    }
    return lines;
}

void PaintMonth(QPainter &painter, const MonthGeometry &geometry, int shownMonth,
    const QList<MonthLine> &lines, const GridLook &look)
{
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const double columnWidth = geometry.area().width() / 7;
    const QRectF header(geometry.area().topLeft(),
        QSizeF(geometry.area().width(), geometry.cellRect(0).top() - geometry.area().top()));
    painter.fillRect(header, look.offHours);
    painter.setPen(look.text);
    for (int column = 0; column < 7 && column < geometry.days().size(); ++column) {
        const QRectF cell(header.left() + column * columnWidth, header.top(), columnWidth, header.height());
        const QDate date = geometry.days().at(column);
        QString name = look.locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        if (metrics.horizontalAdvance(name) > cell.width() - 4)
            name = look.locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
        painter.drawText(cell, Qt::AlignCenter, name);
    }

    for (int index = 0; index < geometry.days().size(); ++index) {
        const QDate date = geometry.days().at(index);
        const QRectF cell = geometry.cellRect(index);
        QColor fill = date.month() == shownMonth ? look.base : look.offHours;
        if (date == look.today)
            fill = look.todayTint;
        painter.fillRect(cell, fill);
        painter.setPen(QPen(look.line, 0));
        painter.drawRect(cell);
        QFont font = painter.font();
        font.setBold(date == look.today || date.day() == 1);
        painter.setFont(font);
        painter.setPen(look.text);
        const QString number = date.day() == 1 ? look.locale.toString(date, QStringLiteral("d MMM"))
                                               : QString::number(date.day());
        painter.drawText(QRectF(cell.left() + 2, cell.top() + 1, cell.width() - 5, geometry.lineHeight()),
            Qt::AlignRight | Qt::AlignTop, number);
        font.setBold(false);
        painter.setFont(font);
    }

    for (const MonthLine &line : lines) {
        painter.setPen(look.text);
        if (line.event.uid.isEmpty() && line.hidden > 0) {
            painter.drawText(line.rect, Qt::AlignLeft | Qt::AlignVCenter, tr("+%n more", line.hidden));
            continue;
        }
        const bool selected = line.event.uid == look.selectedUid;
        if (line.event.allDay || selected)
            painter.fillRect(line.rect, selected ? look.selectedFill : look.eventFill);
        QString text = ShownText(line.event.subject);
        if (!line.event.allDay)
            text = look.time(line.event.start.time()) + u' ' + text;
        painter.fillRect(
            QRectF(line.rect.left(), line.rect.top() + 2, 3, line.rect.height() - 4), look.eventBar);
        painter.drawText(line.rect.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(text, Qt::ElideRight, line.rect.width() - 5));
    }
    painter.restore();
}

} // namespace Calendar
