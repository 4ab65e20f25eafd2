#pragma once

#include "appointments/AppointmentsWindow.h"

#include <QtWidgets/QDialog>

class CAppointmentDialogs;
class QPushButton;

namespace Calendar {
class CalendarControl;
}

// The "Appointments" window: the calendar control (date navigator, caption
// bar, calendar view, hint, "Print" and "Print preview") with the exchange of
// appointments with other calendars through iCalendar files. Modeless;
// closing it only hides it.
class CConsultationsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CConsultationsDialog(QWidget *parent = nullptr);
    ~CConsultationsDialog() override;

    // Opens the appointments file; what the person must be told when it could
    // not be read whole, empty otherwise.
    QString OpenFile(const QString &path);
    // Who new appointments are for, asked each time one is made.
    void SetPatientSource(IAppointmentsWindow::PatientSource source);
    bool Save(QString *error = nullptr);

    Calendar::CalendarControl *Calendar() const { return m_pCalendar; }
    CAppointmentDialogs &Dialogs() const { return *m_pDialogs; }
    QPushButton *ImportButton() const { return m_pImport; }
    QPushButton *ExportButton() const { return m_pExport; }

private:
    void OnExport();
    void OnImport();

    Calendar::CalendarControl *m_pCalendar;
    CAppointmentDialogs *m_pDialogs; // owned by the calendar control
    QPushButton *m_pImport;
    QPushButton *m_pExport;
};
