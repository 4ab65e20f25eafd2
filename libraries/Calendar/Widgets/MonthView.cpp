#include "Calendar/Widgets/MonthView.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

namespace Calendar {

MonthView::MonthView(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_actions(actions)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

MonthGeometry MonthView::geometry() const
{
    MonthGeometry grid(QRectF(rect()), m_state->days, fontMetrics().height() + 8);
    grid.setLineHeight(fontMetrics().height() + 3);
    return grid;
}

void MonthView::refresh()
{
    m_lines = PlaceMonthLines(geometry(), m_state->events);
    update();
}

void MonthView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
}

QRectF MonthView::lineRect(const QString &uid) const
{
    for (const MonthLine &line : m_lines) {
        if (line.event.uid == uid)
            return line.rect;
    }
    return {};
}

const MonthLine *MonthView::lineAt(const QPointF &point) const
{
    for (const MonthLine &line : m_lines) {
        if (line.rect.contains(point))
            return &line;
    }
    return nullptr;
}

void MonthView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const MonthGeometry grid = geometry();
    PaintMonth(painter, grid, m_state->shownMonth, m_lines, m_state->look);
    if (m_dragging && m_dropCell >= 0) {
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(60);
        painter.fillRect(grid.cellRect(m_dropCell), highlight);
    }
}

void MonthView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    // Copied: selecting lays the lines out again.
    const MonthLine *line = lineAt(event->position());
    m_pressed = line && !line->event.uid.isEmpty();
    if (m_pressed) {
        m_dragged = line->event;
        m_pressCell = line->cell;
        m_dropCell = m_pressCell;
        m_pressPosition = event->position().toPoint();
    }
    Q_EMIT m_actions->selectRequested(m_pressed ? m_dragged.uid : QString());
}

void MonthView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    if (!m_dragging
        && (event->position().toPoint() - m_pressPosition).manhattanLength()
            < QApplication::startDragDistance())
        return;
    m_dragging = true;
    const int cell = geometry().indexAt(event->position());
    if (cell >= 0 && cell != m_dropCell) {
        m_dropCell = cell;
        update();
    }
}

void MonthView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool moved = m_dragging && m_dropCell >= 0 && m_dropCell != m_pressCell;
    m_pressed = m_dragging = false;
    if (moved) {
        const qint64 days = m_state->days.at(m_pressCell).daysTo(m_state->days.at(m_dropCell));
        Event changed = m_dragged;
        changed.start = changed.start.addDays(days);
        changed.end = changed.end.addDays(days);
        Q_EMIT m_actions->changeRequested(changed);
    }
    update();
}

void MonthView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = m_dragging = false;
    if (const MonthLine *line = lineAt(event->position())) {
        const QString uid = line->event.uid;
        const QDate day = m_state->days.at(line->cell);
        if (uid.isEmpty())
            Q_EMIT m_actions->dayRequested(day);
        else
            Q_EMIT m_actions->editRequested(uid);
        return;
    }
    const int cell = geometry().indexAt(event->position());
    if (cell < 0)
        return;
    // A day has no slots here: the new appointment takes the first slot of the working day.
    const QDateTime start(m_state->days.at(cell), QTime(0, 0).addSecs(m_state->look.work.startMinute * 60));
    Q_EMIT m_actions->newEventRequested(start, start.addSecs(qint64(m_state->slotMinutes) * 60), false);
}

} // namespace Calendar
