#include "Calendar/Widgets/MonthView.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

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
    if (m_drag.isDragging()) {
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(60);
        painter.fillRect(grid.cellRect(m_drag.dropDay()), highlight);
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
    const QString uid = line ? line->event.uid : QString();
    if (!uid.isEmpty())
        m_drag.press(line->event, line->cell, event->position().toPoint());
    else
        m_drag.cancel();
    Q_EMIT m_actions->selectRequested(uid);
}

void MonthView::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton)
        && m_drag.move(event->position().toPoint(), geometry().indexAt(event->position())))
        update();
}

void MonthView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<Event> moved = m_drag.release(m_state->days);
    update();
    if (moved)
        Q_EMIT m_actions->changeRequested(*moved);
}

void MonthView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag.cancel();
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
