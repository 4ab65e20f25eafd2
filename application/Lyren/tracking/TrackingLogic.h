#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicTracking;
class LogicContext;

// The wellness graphs: the tracking logic (codes 68, 69 and 70), joined to
// the patient's save, load and new-patient steps. The treatment page finds it
// among the services and attaches its wellness controls and graph grid.
class TrackingLogic final : public ISubsystem
{
public:
    explicit TrackingLogic(LogicContext &context);
    ~TrackingLogic() override;

    CLogicTracking &Tracking() const { return *m_pTracking; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicTracking> m_pTracking;
};

std::unique_ptr<ISubsystem> InstallTracking(LogicContext &context);
