#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/MonthView.h"
#include "Calendar/Widgets/TimeGridView.h"
#include "Calendar/Widgets/ViewState.h"

#include <QtGui/QActionGroup>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QVBoxLayout>

#include <QtCore/QTimer>

namespace Calendar {

CalendarView::CalendarView(QWidget *parent)
    : QWidget(parent)
    , m_state(std::make_unique<Detail::ViewState>())
    , m_actions(new Detail::ViewActions(this))
    , m_anchor(QDate::currentDate())
    , m_stack(new QStackedWidget(this))
    , m_timeGrid(new TimeGridView(m_state.get(), m_actions, m_stack))
    , m_monthView(new MonthView(m_state.get(), m_actions, m_stack))
    , m_clock(new QTimer(this))
{
    m_stack->addWidget(m_timeGrid);
    m_stack->addWidget(m_monthView);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_timeGrid->columns());

    connect(m_actions, &Detail::ViewActions::selectRequested, this, &CalendarView::select);
    connect(m_actions, &Detail::ViewActions::newEventRequested, this, &CalendarView::newEventRequested);
    connect(m_actions, &Detail::ViewActions::editRequested, this, &CalendarView::editRequested);
    connect(m_actions, &Detail::ViewActions::changeRequested, this, &CalendarView::changeRequested);
    connect(m_actions, &Detail::ViewActions::dayRequested, this, [this](QDate day) {
        setDate(day);
        setViewKind(ViewKind::Day);
    });

    // The today mark and the current-time line follow the clock.
    m_clock->setInterval(60 * 1000);
    connect(m_clock, &QTimer::timeout, this, [this] {
        if (m_state->look.today != QDate::currentDate())
            reload();
        else
            currentView()->update();
    });
    m_clock->start();
    reload();
}

CalendarView::~CalendarView() = default;

void CalendarView::setBook(const AppointmentBook *book)
{
    disconnect(m_bookConnection);
    m_book = book;
    if (m_book)
        m_bookConnection = connect(m_book, &AppointmentBook::changed, this, &CalendarView::reload);
    reload();
}

QWidget *CalendarView::currentView() const
{
    return m_stack->currentWidget();
}

void CalendarView::setViewKind(ViewKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    m_stack->setCurrentWidget(kind == ViewKind::Month ? static_cast<QWidget *>(m_monthView) : m_timeGrid);
    setFocusProxy(kind == ViewKind::Month ? static_cast<QWidget *>(m_monthView) : m_timeGrid->columns());
    reload();
    Q_EMIT viewKindChanged(kind);
}

void CalendarView::setDate(QDate anchor)
{
    if (!anchor.isValid() || anchor == m_anchor)
        return;
    m_anchor = anchor;
    reload();
}

void CalendarView::step(int steps)
{
    setDate(StepAnchor(m_kind, m_anchor, steps));
}

QList<QDate> CalendarView::shownDays() const
{
    return m_state->days;
}

QString CalendarView::caption() const
{
    return RangeCaption(m_kind, m_anchor, m_state->look.locale);
}

void CalendarView::setSlotMinutes(int minutes)
{
    if (!IsSlotInterval(minutes) || minutes == m_state->slotMinutes)
        return;
    const int top = m_timeGrid->topMinute();
    m_state->slotMinutes = minutes;
    redraw();
    m_timeGrid->scrollToMinute(top);
    Q_EMIT slotMinutesChanged(minutes);
}

int CalendarView::slotMinutes() const
{
    return m_state->slotMinutes;
}

void CalendarView::setWorkingTime(const WorkingTime &work)
{
    m_state->look.work = work;
    redraw();
}

const WorkingTime &CalendarView::workingTime() const
{
    return m_state->look.work;
}

QString CalendarView::selectedUid() const
{
    return m_state->look.selectedUid;
}

void CalendarView::select(const QString &uid)
{
    if (uid == m_state->look.selectedUid)
        return;
    m_state->look.selectedUid = uid;
    redraw();
    Q_EMIT selectionChanged(uid);
}

void CalendarView::reload()
{
    const QList<QDate> previous = m_state->days;
    m_state->look.locale = locale();
    m_state->look.timeFormat = MinuteTimeFormat(m_state->look.locale);
    m_state->look.today = QDate::currentDate();
    m_state->days = ShownDays(m_kind, m_anchor, m_state->look.locale);
    m_state->shownMonth = m_anchor.month();
    m_state->events.clear();
    if (m_book && !m_state->days.isEmpty()) {
        m_state->events = m_book->events().between(
            m_state->days.first().startOfDay(), m_state->days.last().addDays(1).startOfDay());
    }
    if (!m_state->look.selectedUid.isEmpty()
        && (!m_book || !m_book->events().contains(m_state->look.selectedUid)))
        m_state->look.selectedUid.clear();
    redraw();
    if (previous != m_state->days && !m_state->days.isEmpty())
        Q_EMIT rangeChanged(m_state->days.first(), m_state->days.last());
}

void CalendarView::redraw()
{
    if (m_kind == ViewKind::Month)
        m_monthView->refresh();
    else
        m_timeGrid->refresh();
}

QMenu *CalendarView::createTimeScaleMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const QList<QPair<int, QString>> entries { { 60, tr("6&0 Minutes") }, { 30, tr("&30 Minutes") },
        { 15, tr("&15 Minutes") }, { 10, tr("10 &Minutes") }, { 6, tr("&6 Minutes") },
        { 5, tr("&5 Minutes") } };
    auto *group = new QActionGroup(menu);
    for (const auto &[minutes, text] : entries) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(minutes == m_state->slotMinutes);
        action->setData(minutes);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, minutes = minutes] { setSlotMinutes(minutes); });
    }
    return menu;
}

void CalendarView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createTimeScaleMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void CalendarView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && !m_state->look.selectedUid.isEmpty()) {
        const QString uid = m_state->look.selectedUid; // the deletion clears the selection
        Q_EMIT deleteRequested(uid);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CalendarView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_scrolledToWork) {
        m_scrolledToWork = true;
        m_timeGrid->scrollToMinute(m_state->look.work.startMinute);
    }
}

} // namespace Calendar
