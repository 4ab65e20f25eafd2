#include "shell/ui/WindowPresenters.h"

#include "core/LogicServices.h"

CWindowPresenters::CWindowPresenters(LogicServices &services)
    : m_services(services)
{
    m_services.Provide<IPatientFinder>(&m_finder);
    m_services.Provide<IComplaintEditor>(&m_complaints);
    m_services.Provide<IFormDialogs>(&m_forms);
    m_services.Provide<IReferenceDialogs>(&m_references);
    m_services.Provide<IInvoicingDialogs>(&m_invoicing);
    m_services.Provide<IPrescriptionDialogs>(&m_prescriptions);
    m_services.Provide<IOrderDialogs>(&m_orders);
    m_services.Provide<IQuestionnaireTemplateEditor>(&m_questionnaireTemplate);
    m_services.Provide<IPatientImages>(&m_images);
    m_services.Provide<IImageQuality>(&m_images);
    m_services.Provide<IAppointmentsWindow>(&m_appointments);
    m_services.Provide<IProgressRunner>(&m_progress);
    m_services.Provide<IBackupChooser>(&m_backups);
    m_services.Provide<Reports::IPresenter>(&m_reports);
    m_services.Provide<Secrets::ISecretStore>(&m_keyring);
}

CWindowPresenters::~CWindowPresenters()
{
    m_services.Withdraw<IPatientFinder>(&m_finder);
    m_services.Withdraw<IComplaintEditor>(&m_complaints);
    m_services.Withdraw<IFormDialogs>(&m_forms);
    m_services.Withdraw<IReferenceDialogs>(&m_references);
    m_services.Withdraw<IInvoicingDialogs>(&m_invoicing);
    m_services.Withdraw<IPrescriptionDialogs>(&m_prescriptions);
    m_services.Withdraw<IOrderDialogs>(&m_orders);
    m_services.Withdraw<IQuestionnaireTemplateEditor>(&m_questionnaireTemplate);
    m_services.Withdraw<IPatientImages>(&m_images);
    m_services.Withdraw<IImageQuality>(&m_images);
    m_services.Withdraw<IAppointmentsWindow>(&m_appointments);
    m_services.Withdraw<IProgressRunner>(&m_progress);
    m_services.Withdraw<IBackupChooser>(&m_backups);
    m_services.Withdraw<Reports::IPresenter>(&m_reports);
    m_services.Withdraw<Secrets::ISecretStore>(&m_keyring);
}
