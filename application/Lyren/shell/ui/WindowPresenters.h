#pragma once

#include "finance/ui/ReferenceDialogsUi.h"
#include "patients/forms/ui/FormDialogs.h"
#include "patients/ui/PatientDialogs.h"
#include "shell/ui/CProgressDlg.h"
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
    CLumiskImageManager &ImageManager() { return m_images; }
    CProgressDlg &ProgressWindow() { return m_progress; }
    // The desktop keyring, where the mail server's password is kept.
    Secrets::ISecretStore &Keyring() { return m_keyring; }

private:
    LogicServices &m_services;
    CFindPresenter m_finder;
    CComplaintPresenter m_complaints;
    CFormDialogs m_forms;
    CReferenceDialogsUi m_references;
    CLumiskImageManager m_images;
    CProgressDlg m_progress;
    Secrets::KeychainSecretStore m_keyring;
};
