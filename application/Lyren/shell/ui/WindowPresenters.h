#pragma once

#include "appointments/ui/AppointmentsWindowUi.h"
#include "finance/ui/CPrescriptionDlg.h"
#include "finance/ui/ReferenceDialogsUi.h"
#include "invoicing/ui/InvoicingDialogsUi.h"
#include "orders/ui/OrderDialogsUi.h"
#include "patients/forms/ui/FormDialogs.h"
#include "patients/ui/CQuestionnaireTemplateDlg.h"
#include "patients/ui/PatientDialogs.h"
#include "reports/ui/ReportsPresenterUi.h"
#include "safety/ui/CRestoreBackupDlg.h"
#include "shell/ui/CProgressWindow.h"
#include "shell/ui/ImageManager.h"

#include "secrets/KeychainSecretStore.h"

class LogicServices;

// The window layer's side of the logic's dialogs: one presenter per kind of
// dialog the logic objects open, and the image manager. The main window owns
// them and offers them to the hub's services before the hub opens; tests reach
// them to drive the real dialogs.
class CWindowPresenters
{
public:
    explicit CWindowPresenters(LogicServices &services);
    ~CWindowPresenters();
    CWindowPresenters(const CWindowPresenters &) = delete;
    CWindowPresenters &operator=(const CWindowPresenters &) = delete;

    CFindPresenter &Finder() { return m_finder; }
    CComplaintPresenter &ComplaintEditor() { return m_complaints; }
    CFormDialogs &FormDialogs() { return m_forms; }
    CReferenceDialogsUi &ReferenceDialogs() { return m_references; }
    CInvoicingDialogsUi &InvoicingDialogs() { return m_invoicing; }
    CPrescriptionDialogsUi &PrescriptionDialogs() { return m_prescriptions; }
    COrderDialogsUi &OrderDialogs() { return m_orders; }
    CQuestionnaireTemplatePresenter &QuestionnaireTemplate() { return m_questionnaireTemplate; }
    CLumiskImageManager &ImageManager() { return m_images; }
    CAppointmentsWindow &Appointments() { return m_appointments; }
    CProgressWindow &ProgressWindow() { return m_progress; }
    CBackupChooser &BackupChooser() { return m_backups; }
    CReportsPresenterUi &Reports() { return m_reports; }
    // The desktop keyring, where the mail server's password is kept.
    Secrets::ISecretStore &Keyring() { return m_keyring; }

private:
    LogicServices &m_services;
    CFindPresenter m_finder;
    CComplaintPresenter m_complaints;
    CFormDialogs m_forms;
    CReferenceDialogsUi m_references;
    CInvoicingDialogsUi m_invoicing;
    CPrescriptionDialogsUi m_prescriptions;
    COrderDialogsUi m_orders;
    CQuestionnaireTemplatePresenter m_questionnaireTemplate;
    CLumiskImageManager m_images;
    CAppointmentsWindow m_appointments;
    CProgressWindow m_progress;
    CBackupChooser m_backups;
    CReportsPresenterUi m_reports;
    Secrets::KeychainSecretStore m_keyring;
};
