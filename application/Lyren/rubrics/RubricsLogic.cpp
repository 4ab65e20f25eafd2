#include "rubrics/RubricsLogic.h"

#include "rubrics/CLogicMetaWords.h"
#include "rubrics/CLogicOpenConnectivity.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

#include "messaging/WindowMessenger.h"

RubricsLogic::RubricsLogic(LogicContext &context, std::unique_ptr<Messaging::IWindowMessenger> messenger)
    : m_context(context)
    , m_pMetaWords(std::make_unique<CLogicMetaWords>(context))
    , m_pOpenConnectivity(std::make_unique<CLogicOpenConnectivity>(context, std::move(messenger)))
{
    m_pOpenConnectivity->SetMetaWords(m_pMetaWords.get());

    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::Rubrics, m_pMetaWords.get());
    routes.Own(Owner::RadarLink, m_pOpenConnectivity.get());
    LogicServices &services = context.Services();
    services.Provide(m_pMetaWords.get());
    services.Provide(m_pOpenConnectivity.get());

    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    CLogicMetaWords *metaWords = m_pMetaWords.get();
    steps->Join(SaveStep::Rubrics, [metaWords] { return metaWords->Save(); });
    // A patient without keywords has no file, and an unreadable file shows
    // no lines: neither is a failure of the move.
    steps->Join(LoadStep::Rubrics, [metaWords] {
        metaWords->Load();
        return 1;
    });
    steps->Join(NewPatientStep::Rubrics, [metaWords] { return metaWords->PrepareNew(); });
    steps->Join(DeleteStep::Rubrics, [metaWords] { return metaWords->DeletePatientRows(); });
}

RubricsLogic::~RubricsLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw(m_pOpenConnectivity.get());
    services.Withdraw(m_pMetaWords.get());
    m_context.Routes().Forget(Owner::RadarLink);
    m_context.Routes().Forget(Owner::Rubrics);
}

std::unique_ptr<ISubsystem> InstallRubrics(LogicContext &context)
{
    return std::make_unique<RubricsLogic>(context);
}
