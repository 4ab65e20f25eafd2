#pragma once

#include <QtCore/QString>

#include <functional>

class QWidget;

// Who a new appointment is for: the current patient's ID (0 when there is no
// patient) and the subject it starts with.
struct AppointmentPatient
{
    qint64 id = 0;
    QString subject;
};

// The "Appointments" window as the appointments logic drives it. The window
// layer provides it through the context's services; tests provide their own.
// The window keeps the appointments file itself: every change made in it is
// written at once.
class IAppointmentsWindow
{
public:
    using PatientSource = std::function<AppointmentPatient()>;

    virtual ~IAppointmentsWindow() = default;

    // Makes the window, hidden, over the appointments file (a window made
    // before is saved and destroyed first). currentPatient is asked each time
    // an appointment is made. Returns what the person must be told when the
    // file could not be read whole (it was kept aside), empty otherwise.
    virtual QString Create(const QString &path, QWidget *parent, PatientSource currentPatient) = 0;
    virtual bool Exists() const = 0;
    // Shows the window: maximised the first time after Create; later a
    // hidden window is shown as it was left and a minimised one restored.
    virtual void Show() = 0;
    // Writes the appointments and destroys the window; false, with the reason,
    // when the file could not be written. Nothing to do without a window.
    virtual bool Destroy(QString *error = nullptr) = 0;
};
