#include "tracking/TrackingLogic.h"

#include "tracking/CLogicTracking.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

TrackingLogic::TrackingLogic(LogicContext &context)
    : m_context(context)
    , m_pTracking(std::make_unique<CLogicTracking>(context))
{
    context.Routes().Own(Owner::Wellness, m_pTracking.get());
    context.Services().Provide(m_pTracking.get());
    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    CLogicTracking *tracking = m_pTracking.get();
    steps->Join(SaveStep::Wellness, [tracking] { return tracking->Save(); });
    steps->Join(LoadStep::Wellness, [tracking] { return tracking->Load(); });
    steps->Join(NewPatientStep::Wellness, [tracking] {
        tracking->MarkNewPatient();
        return 1;
    });
}

TrackingLogic::~TrackingLogic()
{
    m_context.Services().Withdraw(m_pTracking.get());
    m_context.Routes().Forget(Owner::Wellness);
}

std::unique_ptr<ISubsystem> InstallTracking(LogicContext &context)
{
    return std::make_unique<TrackingLogic>(context);
}
