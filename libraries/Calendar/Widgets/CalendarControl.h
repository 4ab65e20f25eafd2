#pragma once

#include "Calendar/Model/IcsExchange.h"
#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Widgets/ViewKind.h"
#include "calendar_export.h"

#include <QtWidgets/QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QCalendarWidget;
class QHBoxLayout;
class QLabel;
class QPrinter;
class QPushButton;

namespace Calendar {

class AppointmentBook;
class CalendarView;
class CaptionBar;
class ICalendarDialogs;

// The appointments calendar as one widget for a window to host: the date
// navigator on the left, the caption bar over the calendar view, and under
// them the hint line with the "Print" and "Print preview" buttons.
//
// The host opens the file, says who the current patient is and how a new
// appointment is named; the control does the rest: a double click in a slot
// makes an appointment and opens it for editing, the mouse moves and resizes
// appointments, Del deletes the selected one, and every change is in the file
// at once. What must be said to the person goes through the dialogs (see
// setDialogs).
class CALENDAR_EXPORT CalendarControl : public QWidget
{
    Q_OBJECT

public:
    explicit CalendarControl(QWidget *parent = nullptr);
    ~CalendarControl() override;

    // Opens the appointments file (created when missing). Returns a message
    // for the person when the file could not be read whole (it was put aside,
    // see AppointmentBook), or could not be created; empty otherwise.
    QString openFile(const QString &path);
    // Writes the appointments to the file (changes are written as they are
    // made; this is for the host's close).
    bool save(QString *error = nullptr);
    AppointmentBook &book() const { return *m_book; }

    // What a new appointment starts with: its subject (the current patient's
    // name) and the patient it is for (0 for none).
    struct NewEventDefaults
    {
        QString subject;
        qint64 patientId = 0;
    };
    // Asked each time an appointment is made, so that it names whoever is
    // current at that moment; without one, new appointments start empty.
    void setNewEventDefaults(std::function<NewEventDefaults()> provider);

    void showDate(QDate date);
    QDate shownDate() const;
    void setViewKind(ViewKind kind);
    ViewKind viewKind() const;
    // Minutes per time slot: 60, 30, 15, 10, 6 or 5.
    void setSlotMinutes(int minutes);
    int slotMinutes() const;
    void setWorkingTime(const WorkingTime &work);

    // Replaces the dialogs (the desktop's by default).
    void setDialogs(std::unique_ptr<ICalendarDialogs> dialogs);
    ICalendarDialogs &dialogs() const { return *m_dialogs; }

    // .ics exchange. The forms without a path ask for the file (and for export
    // whether to leave out health data); they return false with an empty
    // message when the person cancels. message: on failure the reason, after
    // an import what was taken.
    bool exportIcs(QString *message = nullptr);
    bool exportIcs(const QString &path, HealthData healthData, QString *message = nullptr);
    bool importIcs(QString *message = nullptr);
    bool importIcs(const QString &path, QString *message = nullptr);

    // The shown range: with the print dialog, in the print preview, or
    // straight onto a printer set up by the caller.
    void print();
    void printPreview();
    bool printTo(QPrinter &printer) const;

    CalendarView *view() const { return m_view; }
    CaptionBar *captionBar() const { return m_caption; }
    QCalendarWidget *navigator() const { return m_navigator; }
    QLabel *hintLabel() const { return m_hint; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *printPreviewButton() const { return m_preview; }
    // Puts a button of the host in the row of the print buttons, before them
    // (the control takes it as its child).
    void addButton(QAbstractButton *button);

private:
    void createEvent(const QDateTime &start, const QDateTime &end, bool allDay);
    void editEvent(const QString &uid);
    void changeEvent(const Event &event);
    void deleteEvent(const QString &uid);
    void rangeShown();
    void markBusyDays();
    void reportFailure(bool done, const QString &error);
    void preparePrinter(QPrinter &printer) const;

    std::unique_ptr<AppointmentBook> m_book;
    std::unique_ptr<ICalendarDialogs> m_dialogs;
    std::function<NewEventDefaults()> m_newEventDefaults;
    QCalendarWidget *m_navigator;
    CaptionBar *m_caption;
    CalendarView *m_view;
    QLabel *m_hint;
    QPushButton *m_print;
    QPushButton *m_preview;
    QHBoxLayout *m_buttonRow;
    QList<QDate> m_boldDays;
};

} // namespace Calendar
