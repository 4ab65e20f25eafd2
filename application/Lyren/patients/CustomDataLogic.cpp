#include "patients/CustomDataLogic.h"

#include "patients/CLogicDynamicFields.h"
#include "patients/CLogicDynamicQuest.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

CustomDataLogic::CustomDataLogic(LogicContext &context)
    : m_context(context)
    , m_pFields(std::make_unique<CLogicDynamicFields>(context))
    , m_pQuestionnaire(std::make_unique<CLogicDynamicQuest>(context))
{
    m_pFields->OpenDictionary();
    context.Routes().Own(Owner::CustomFields, m_pFields.get());
    context.Routes().Own(Owner::DynamicQuestionnaire, m_pQuestionnaire.get());
    context.Services().Provide(m_pFields.get());
    context.Services().Provide(m_pQuestionnaire.get());

    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    steps->Join(m_pFields.get(),
        { .load = LoadStep::CustomFields,
            .prepareNew = NewPatientStep::CustomFields,
            .deleteRows = DeleteStep::CustomFields });
    steps->Join(m_pQuestionnaire.get(),
        { .save = SaveStep::DynamicQuestionnaire,
            .load = LoadStep::DynamicQuestionnaire,
            .prepareNew = NewPatientStep::DynamicQuestionnaire,
            .deleteRows = DeleteStep::DynamicQuestionnaire });
}

CustomDataLogic::~CustomDataLogic()
{
    m_pFields->SaveDictionary();
    m_context.Services().Withdraw(m_pFields.get());
    m_context.Services().Withdraw(m_pQuestionnaire.get());
    m_context.Routes().Forget(Owner::CustomFields);
    m_context.Routes().Forget(Owner::DynamicQuestionnaire);
}

std::unique_ptr<ISubsystem> InstallCustomData(LogicContext &context)
{
    return std::make_unique<CustomDataLogic>(context);
}
