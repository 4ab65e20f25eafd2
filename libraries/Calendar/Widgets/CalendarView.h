#pragma once

#include "Calendar/Model/Event.h"
#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Widgets/ViewKind.h"
#include "calendar_export.h"

#include <QtWidgets/QWidget>

#include <memory>

class QMenu;
class QStackedWidget;
class QTimer;

namespace Calendar {

class AppointmentBook;
class MonthView;
class TimeGridView;
namespace Detail {
struct ViewState;
class ViewActions;
} // namespace Detail

// The calendar view: the day, work-week, week or month around an anchor
// date, with the events of the book. It shows and selects; changes go out as
// requests (new, edit, change, delete) for its owner to carry out. Right-click
// opens the time-scale menu; Del asks to delete the selected event.
class CALENDAR_EXPORT CalendarView : public QWidget
{
    Q_OBJECT

public:
    explicit CalendarView(QWidget *parent = nullptr);
    ~CalendarView() override;

    // The events come from the book (not owned), and the view follows its changes.
    void setBook(const AppointmentBook *book);

    void setViewKind(ViewKind kind);
    ViewKind viewKind() const { return m_kind; }
    void setDate(QDate anchor);
    QDate date() const { return m_anchor; }
    // Moves by whole views: -1 back, +1 forward.
    void step(int steps);
    QList<QDate> shownDays() const;
    QString caption() const;

    // Minutes per time slot: 60, 30, 15, 10, 6 or 5; other values are ignored.
    void setSlotMinutes(int minutes);
    int slotMinutes() const;
    void setWorkingTime(const WorkingTime &work);
    const WorkingTime &workingTime() const;

    QString selectedUid() const;
    void select(const QString &uid);

    // The time-scale menu, its entries checkable with the current one checked.
    QMenu *createTimeScaleMenu(QWidget *parent);

    TimeGridView *timeGrid() const { return m_timeGrid; }
    MonthView *monthView() const { return m_monthView; }
    // The view of the current kind.
    QWidget *currentView() const;

Q_SIGNALS:
    void rangeChanged(QDate first, QDate last);
    void viewKindChanged(Calendar::ViewKind kind);
    void slotMinutesChanged(int minutes);
    void selectionChanged(const QString &uid);
    void newEventRequested(const QDateTime &start, const QDateTime &end, bool allDay);
    void editRequested(const QString &uid);
    void changeRequested(const Calendar::Event &event);
    void deleteRequested(const QString &uid);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Reads the events of the shown days again and redraws.
    void reload();
    void redraw();

    std::unique_ptr<Detail::ViewState> m_state;
    Detail::ViewActions *m_actions;
    const AppointmentBook *m_book = nullptr;
    QMetaObject::Connection m_bookConnection;
    ViewKind m_kind = ViewKind::WorkWeek;
    QDate m_anchor;
    QStackedWidget *m_stack;
    TimeGridView *m_timeGrid;
    MonthView *m_monthView;
    QTimer *m_clock;
    bool m_scrolledToWork = false;
};

} // namespace Calendar
