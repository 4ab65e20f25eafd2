#pragma once

#include "appointments/AppointmentsWindow.h"

#include <QtCore/QPointer>

class CConsultationsDialog;

// The window layer's side of the appointments window: it makes, shows and
// destroys the one CConsultationsDialog. The dialog belongs to the parent it
// is made for (the main window); whatever is still there when this goes is
// saved and destroyed.
class CAppointmentsWindow final : public IAppointmentsWindow
{
public:
    CAppointmentsWindow() = default;
    ~CAppointmentsWindow() override;
    CAppointmentsWindow(const CAppointmentsWindow &) = delete;
    CAppointmentsWindow &operator=(const CAppointmentsWindow &) = delete;

    QString Create(const QString &path, QWidget *parent, PatientSource currentPatient) override;
    bool Exists() const override;
    void Show() override;
    bool Destroy(QString *error = nullptr) override;

    // The window, none before Create and after Destroy.
    CConsultationsDialog *Dialog() const;

private:
    QPointer<CConsultationsDialog> m_pDialog;
    bool m_bFirstShow = true;
};
