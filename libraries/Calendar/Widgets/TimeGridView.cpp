#include "Calendar/Widgets/TimeGridView.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace Calendar {

namespace {

constexpr int MinutesPerDay = 24 * 60;
// How close to an event's top or bottom edge the mouse resizes it.
constexpr double EdgeGrip = 5;

QDateTime atMinute(QDate day, int minute)
{
    return QDateTime(day, QTime(0, 0)).addSecs(qint64(minute) * 60);
}

} // namespace

// ---- day columns ----

DayColumnsWidget::DayColumnsWidget(
    const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_actions(actions)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double DayColumnsWidget::slotHeight() const
{
    return std::max(18, fontMetrics().height() + 6);
}

void DayColumnsWidget::refresh()
{
    const int slotCount = MinutesPerDay / std::max(1, m_state->slotMinutes);
    setFixedHeight(static_cast<int>(slotCount * slotHeight()));
    if (m_selectedDay >= m_state->days.size())
        m_selectedDay = -1;
    m_placed.clear();
    update();
}

int DayColumnsWidget::rulerWidth() const
{
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(m_state->look.time(QTime(23, 59))) + 12;
}

TimeGridGeometry DayColumnsWidget::geometry() const
{
    return TimeGridGeometry(QRectF(rulerWidth(), 0, std::max(1, width() - rulerWidth()), height()),
        m_state->days, 0, MinutesPerDay, m_state->slotMinutes);
}

QList<Event> DayColumnsWidget::shownEvents() const
{
    QList<Event> events = m_state->events;
    if (m_drag == Drag::Move || m_drag == Drag::ResizeStart || m_drag == Drag::ResizeEnd) {
        for (Event &event : events) {
            if (event.uid == m_preview.uid)
                event = m_preview;
        }
    }
    return events;
}

const PlacedEvent *DayColumnsWidget::pieceAt(const QPointF &point) const
{
    m_placed = PlaceTimedEvents(geometry(), shownEvents());
    // The last drawn is on top.
    for (auto it = m_placed.crbegin(); it != m_placed.crend(); ++it) {
        if (it->rect.contains(point))
            return &*it;
    }
    return nullptr;
}

QRectF DayColumnsWidget::eventRect(const QString &uid) const
{
    for (const PlacedEvent &piece : PlaceTimedEvents(geometry(), shownEvents())) {
        if (piece.event.uid == uid)
            return piece.rect;
    }
    return {};
}

void DayColumnsWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    const TimeGridGeometry grid = geometry();
    const GridLook &look = m_state->look;
    painter.fillRect(QRectF(0, 0, rulerWidth(), height()), look.offHours);
    PaintTimeRuler(painter, grid, 0, rulerWidth(), look);
    PaintTimeGrid(painter, grid, look);

    if (m_selectedDay >= 0 && m_selectedDay < grid.days().size()) {
        const QRectF column = grid.columnRect(m_selectedDay);
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(70);
        painter.fillRect(QRectF(column.left() + 1, grid.yAt(m_selectedFrom), column.width() - 1,
                             grid.yAt(m_selectedTo) - grid.yAt(m_selectedFrom)),
            highlight);
    }

    m_placed = PlaceTimedEvents(grid, shownEvents());
    for (const PlacedEvent &piece : std::as_const(m_placed)) {
        if (piece.rect.intersects(event->rect()))
            PaintEventBox(painter, piece.rect, piece.event, true, look);
    }
    PaintCurrentTime(painter, grid, QDateTime::currentDateTime());
}

void DayColumnsWidget::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const TimeGridGeometry grid = geometry();
    const QPointF point = event->position();
    m_pressPosition = event->position().toPoint();
    m_pressDay = grid.dayIndexAt(point.x());
    m_pressMinute = grid.minuteAt(point.y());

    if (const PlacedEvent *piece = pieceAt(point)) {
        m_original = piece->event;
        m_preview = m_original;
        m_pressDay = piece->dayIndex;
        m_selectedDay = -1;
        if (point.y() >= piece->rect.bottom() - EdgeGrip && piece->endsHere)
            m_pendingDrag = Drag::ResizeEnd;
        else if (point.y() <= piece->rect.top() + EdgeGrip && piece->startsHere)
            m_pendingDrag = Drag::ResizeStart;
        else
            m_pendingDrag = Drag::Move;
        m_drag = Drag::Pending;
        Q_EMIT m_actions->selectRequested(m_original.uid);
        return;
    }
    if (m_pressDay < 0)
        return;
    m_drag = Drag::SelectSlots;
    Q_EMIT m_actions->selectRequested(QString());
    // A press inside the selected slots keeps them, so that a double click
    // there takes them all; dragging selects afresh from the press.
    const int slot = grid.slotStartAt(point.y());
    if (m_pressDay == m_selectedDay && slot >= m_selectedFrom && slot < m_selectedTo)
        return;
    m_selectedDay = m_pressDay;
    m_selectedFrom = slot;
    m_selectedTo = slot + m_state->slotMinutes;
    update();
}

void DayColumnsWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF point = event->position();
    if (!(event->buttons() & Qt::LeftButton) || m_drag == Drag::None) {
        // Hovering: show where an edge can be taken.
        const PlacedEvent *piece = pieceAt(point);
        const bool onEdge = piece
            && ((point.y() >= piece->rect.bottom() - EdgeGrip && piece->endsHere)
                || (point.y() <= piece->rect.top() + EdgeGrip && piece->startsHere));
        setCursor(onEdge ? Qt::SizeVerCursor : Qt::ArrowCursor);
        return;
    }
    if (m_drag == Drag::Pending) {
        if ((event->position().toPoint() - m_pressPosition).manhattanLength()
            < QApplication::startDragDistance())
            return;
        m_drag = m_pendingDrag;
    }
    dragTo(point);
}

void DayColumnsWidget::dragTo(const QPointF &point)
{
    const TimeGridGeometry grid = geometry();
    const int slot = m_state->slotMinutes;
    if (m_drag == Drag::SelectSlots) {
        const int at = grid.slotStartAt(point.y());
        const int pressed = grid.slotStartAt(grid.yAt(m_pressMinute));
        m_selectedFrom = std::min(at, pressed);
        m_selectedTo = std::max(at, pressed) + slot;
        update();
        return;
    }
    const int days = static_cast<int>(m_state->days.size());
    const int day
        = std::clamp(grid.dayIndexAt(std::clamp(point.x(), grid.area().left(), grid.area().right() - 1)), 0,
            std::max(0, days - 1));
    const int minute = grid.minuteAt(point.y());
    Event preview = m_original;
    if (m_drag == Drag::Move) {
        const qint64 seconds = qint64(day - m_pressDay) * 24 * 3600
            + qint64(Detail::RoundToSlot(minute - m_pressMinute, slot)) * 60;
        preview.start = m_original.start.addSecs(seconds);
        preview.end = m_original.end.addSecs(seconds);
    } else if (m_drag == Drag::ResizeEnd && m_pressDay < days) {
        const QDateTime end = atMinute(m_state->days.at(m_pressDay), Detail::RoundToSlot(minute, slot));
        preview.end = std::max(end, m_original.start.addSecs(qint64(slot) * 60));
    } else if (m_drag == Drag::ResizeStart && m_pressDay < days) {
        const QDateTime start = atMinute(m_state->days.at(m_pressDay), Detail::RoundToSlot(minute, slot));
        preview.start = std::min(start, m_original.end.addSecs(-qint64(slot) * 60));
    }
    if (!(preview == m_preview)) {
        m_preview = preview;
        update();
    }
}

void DayColumnsWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if ((drag == Drag::Move || drag == Drag::ResizeStart || drag == Drag::ResizeEnd)
        && !(m_preview == m_original)) {
        const Event changed = m_preview;
        m_original = Event();
        Q_EMIT m_actions->changeRequested(changed);
    }
    update();
}

void DayColumnsWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag = Drag::None;
    const QPointF point = event->position();
    if (const PlacedEvent *piece = pieceAt(point)) {
        const QString uid = piece->event.uid; // the pieces are laid out again as the edit changes them
        Q_EMIT m_actions->editRequested(uid);
        return;
    }
    const TimeGridGeometry grid = geometry();
    const int day = grid.dayIndexAt(point.x());
    if (day < 0)
        return;
    const int slot = grid.slotStartAt(point.y());
    int from = slot, to = slot + m_state->slotMinutes;
    // A double click inside a selection of several slots takes them all.
    if (day == m_selectedDay && slot >= m_selectedFrom && slot < m_selectedTo) {
        from = m_selectedFrom;
        to = m_selectedTo;
    }
    m_selectedDay = day;
    m_selectedFrom = from;
    m_selectedTo = to;
    update();
    const QDate date = m_state->days.at(day);
    Q_EMIT m_actions->newEventRequested(atMinute(date, from), atMinute(date, to), false);
}

void DayColumnsWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_drag != Drag::None) {
        cancelDrag();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DayColumnsWidget::cancelDrag()
{
    m_drag = Drag::None;
    m_preview = m_original;
    update();
}

// ---- all-day band ----

AllDayBand::AllDayBand(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_actions(actions)
{
    setFocusPolicy(Qt::ClickFocus);
}

double AllDayBand::headerHeight() const
{
    return fontMetrics().height() + 8;
}

double AllDayBand::rowHeight() const
{
    return fontMetrics().height() + 6;
}

void AllDayBand::setColumns(double left, double right)
{
    m_left = left;
    m_right = right;
    update();
}

void AllDayBand::refresh()
{
    m_bars = PlaceAllDayEvents(m_state->days, m_state->events);
    int rows = 1;
    for (const PlacedAllDay &bar : std::as_const(m_bars))
        rows = std::max(rows, bar.row + 1);
    // At most a few rows; more scroll out of sight rather than squeeze the day columns away.
    rows = std::min(rows, 6);
    setFixedHeight(static_cast<int>(headerHeight() + rows * rowHeight() + 4));
    update();
}

TimeGridGeometry AllDayBand::columns() const
{
    return TimeGridGeometry(
        QRectF(m_left, 0, std::max(1.0, m_right - m_left), height()), m_state->days, 0, 24 * 60, 60);
}

QRectF AllDayBand::barRectOf(const PlacedAllDay &bar) const
{
    const TimeGridGeometry grid = columns();
    const QRectF first = grid.columnRect(bar.firstIndex), last = grid.columnRect(bar.lastIndex);
    return QRectF(first.left() + 2, headerHeight() + 2 + bar.row * rowHeight(),
        last.right() - first.left() - 4, rowHeight() - 2);
}

QRectF AllDayBand::barRect(const QString &uid) const
{
    for (const PlacedAllDay &bar : m_bars) {
        if (bar.event.uid == uid)
            return barRectOf(bar);
    }
    return {};
}

const PlacedAllDay *AllDayBand::barAt(const QPointF &point) const
{
    for (const PlacedAllDay &bar : m_bars) {
        if (barRectOf(bar).contains(point))
            return &bar;
    }
    return nullptr;
}

void AllDayBand::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const GridLook &look = m_state->look;
    painter.fillRect(rect(), look.offHours);
    const TimeGridGeometry grid = columns();
    PaintDayHeaders(painter, grid, 0, headerHeight(), look);
    painter.setPen(QPen(look.line, 0));
    for (int day = 0; day <= grid.days().size(); ++day) {
        const double x = day < grid.days().size() ? grid.columnRect(day).left() : grid.area().right();
        painter.drawLine(QPointF(x, headerHeight()), QPointF(x, height()));
    }
    for (const PlacedAllDay &bar : m_bars) {
        QRectF rect = barRectOf(bar);
        if (m_drag.isDragging() && bar.event.uid == m_drag.event().uid)
            rect.translate(grid.columnRect(0).width() * (m_drag.dropDay() - m_drag.pressDay()), 0);
        PaintEventBox(painter, rect, bar.event, false, look);
    }
}

void AllDayBand::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    // Copied: selecting lays the bars out again.
    const PlacedAllDay *bar = barAt(event->position());
    const QString uid = bar ? bar->event.uid : QString();
    if (bar)
        m_drag.press(bar->event, columns().dayIndexAt(event->position().x()), event->position().toPoint());
    else
        m_drag.cancel();
    Q_EMIT m_actions->selectRequested(uid);
}

void AllDayBand::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton)
        && m_drag.move(event->position().toPoint(), columns().dayIndexAt(event->position().x())))
        update();
}

void AllDayBand::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<Event> moved = m_drag.release(m_state->days);
    update();
    if (moved)
        Q_EMIT m_actions->changeRequested(*moved);
}

void AllDayBand::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag.cancel();
    if (const PlacedAllDay *bar = barAt(event->position())) {
        const QString uid = bar->event.uid;
        Q_EMIT m_actions->editRequested(uid);
        return;
    }
    const int day = columns().dayIndexAt(event->position().x());
    if (day < 0 || event->position().y() < headerHeight())
        return;
    const QDate date = m_state->days.at(day);
    Q_EMIT m_actions->newEventRequested(date.startOfDay(), date.addDays(1).startOfDay(), true);
}

// ---- the view ----

TimeGridView::TimeGridView(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_band(new AllDayBand(state, actions, this))
    , m_scroll(new QScrollArea(this))
    , m_columns(new DayColumnsWidget(state, actions))
{
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setWidget(m_columns);
    m_scroll->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_band);
    layout->addWidget(m_scroll, 1);
}

void TimeGridView::refresh()
{
    m_columns->refresh();
    m_band->refresh();
    alignBand();
}

void TimeGridView::alignBand()
{
    m_band->setColumns(m_columns->rulerWidth(), m_scroll->viewport()->width());
}

void TimeGridView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    alignBand();
}

bool TimeGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        alignBand();
    return QWidget::eventFilter(watched, event);
}

void TimeGridView::scrollToMinute(int minute)
{
    const double perMinute = m_columns->slotHeight() / std::max(1, m_columns->geometry().slotMinutes());
    m_scroll->verticalScrollBar()->setValue(static_cast<int>(minute * perMinute));
}

int TimeGridView::topMinute() const
{
    const double perMinute = m_columns->slotHeight() / std::max(1, m_columns->geometry().slotMinutes());
    return static_cast<int>(m_scroll->verticalScrollBar()->value() / perMinute);
}

} // namespace Calendar
