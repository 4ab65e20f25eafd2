#include "appointments/ui/AppointmentsWindowUi.h"

#include "appointments/ui/CConsultationsDialog.h"

CAppointmentsWindow::~CAppointmentsWindow()
{
    Destroy();
}

QString CAppointmentsWindow::Create(const QString &path, QWidget *parent, PatientSource currentPatient)
{
    Destroy();
    m_pDialog = new CConsultationsDialog(parent);
    m_pDialog->SetPatientSource(std::move(currentPatient));
    m_bFirstShow = true;
    return m_pDialog->OpenFile(path);
}

bool CAppointmentsWindow::Exists() const
{
    return !m_pDialog.isNull();
}

CConsultationsDialog *CAppointmentsWindow::Dialog() const
{
    return m_pDialog.data();
}

void CAppointmentsWindow::Show()
{
    if (!m_pDialog)
        return;
    if (m_bFirstShow) {
        m_bFirstShow = false;
        m_pDialog->showMaximized();
    } else if (m_pDialog->isMinimized()) {
        // Back as it was before it was minimised, maximised or not.
        m_pDialog->setWindowState(m_pDialog->windowState() & ~Qt::WindowMinimized);
        m_pDialog->show();
    } else {
        m_pDialog->show();
    }
    m_pDialog->raise();
    m_pDialog->activateWindow();
}

bool CAppointmentsWindow::Destroy(QString *error)
{
    if (!m_pDialog)
        return true;
    const bool saved = m_pDialog->Save(error);
    delete m_pDialog.data();
    return saved;
}
