#pragma once

#include "appointments/AppointmentsWindow.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"

#include <QtCore/QCoreApplication>

class LogicContext;

// The practice's appointment book as the hub knows it: it owns code 72, which
// shows the "Appointments" window. The window is made, hidden, when the hub
// opens, over "Consultations.xml" in the UserData folder, and lives until the
// hub closes, when the appointments are saved and the window destroyed. New
// appointments are named after the current patient.
class CLogicAppointments final : public ILogicObject, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicAppointments)

public:
    explicit CLogicAppointments(LogicContext &context);
    ~CLogicAppointments() override;
    CLogicAppointments(const CLogicAppointments &) = delete;
    CLogicAppointments &operator=(const CLogicAppointments &) = delete;

    // Makes the window (none without the window layer). A file that could not
    // be read whole is reported to the person. False when there is no window.
    bool Open();
    // Saves the appointments and destroys the window.
    void Close();

    int OnCommand(LogicCommand &command) override;

    // The current patient as a new appointment names it: MAIN's ID, and
    // FIRST_NAME and LAST_NAME as they are stored.
    AppointmentPatient CurrentPatient() const;
    // "First Last", either part alone when the other is empty.
    static QString Subject(const QString &firstName, const QString &lastName);

private:
    int ShowWindow(LogicCommand &command);
    IAppointmentsWindow *Window() const { return Service<IAppointmentsWindow>(); }

    LogicContext &m_context;
};
