#include "finance/PrescriptionsLogic.h"

#include "finance/CLogicPrescriptions.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

PrescriptionsLogic::PrescriptionsLogic(LogicContext &context)
    : m_context(context)
    , m_pPrescriptions(std::make_unique<CLogicPrescriptions>(context))
{
    LogicServices &services = context.Services();
    m_pPrescriptions->SetServices(&services);
    context.Routes().Own(Owner::Prescriptions, m_pPrescriptions.get());
    services.Provide(m_pPrescriptions.get());
    services.Provide<IPrescriptionList>(m_pPrescriptions.get());
    services.Provide<IPrescriptionEditor>(m_pPrescriptions.get());
    services.Provide<IPrescriptionSums>(m_pPrescriptions.get());
    services.Provide<IPrescriptionStatusSink>(m_pPrescriptions.get());

    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    CLogicPrescriptions *prescriptions = m_pPrescriptions.get();
    steps->Join(LoadStep::ChildLists,
        [prescriptions, &context] { return prescriptions->Open(context.CurrentPatientId()) ? 1 : 0; });
    steps->Join(DeleteStep::Prescriptions, [prescriptions] { return prescriptions->DeletePatientRows(); });
}

PrescriptionsLogic::~PrescriptionsLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw<IPrescriptionStatusSink>(m_pPrescriptions.get());
    services.Withdraw<IPrescriptionSums>(m_pPrescriptions.get());
    services.Withdraw<IPrescriptionEditor>(m_pPrescriptions.get());
    services.Withdraw<IPrescriptionList>(m_pPrescriptions.get());
    services.Withdraw(m_pPrescriptions.get());
    m_context.Routes().Forget(Owner::Prescriptions);
    m_pPrescriptions.reset();
}

std::unique_ptr<ISubsystem> InstallPrescriptions(LogicContext &context)
{
    return std::make_unique<PrescriptionsLogic>(context);
}
