#include "patients/DocumentsLogic.h"

#include "patients/CLogicDocuments.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

DocumentsLogic::DocumentsLogic(LogicContext &context)
    : m_context(context)
    , m_pDocuments(std::make_unique<CLogicDocuments>(context))
{
    context.Routes().Own(Owner::Documents, m_pDocuments.get());
    context.Services().Provide<IPatientDocuments>(m_pDocuments.get());
    if (IPatientSteps *steps = context.Steps())
        steps->Join(m_pDocuments.get(), { .load = LoadStep::Documents });
}

DocumentsLogic::~DocumentsLogic()
{
    m_context.Services().Withdraw<IPatientDocuments>(m_pDocuments.get());
    m_context.Routes().Forget(Owner::Documents);
}

std::unique_ptr<ISubsystem> InstallDocuments(LogicContext &context)
{
    return std::make_unique<DocumentsLogic>(context);
}
