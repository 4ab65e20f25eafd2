#pragma once

#include "core/Subsystem.h"

class CLogicAppointments;

// The appointment book: code 72 and the "Appointments" window, made when the
// hub opens and saved and destroyed when it closes.
class AppointmentsLogic final : public ISubsystem
{
public:
    explicit AppointmentsLogic(LogicContext &context);
    ~AppointmentsLogic() override;

    CLogicAppointments &Appointments() const { return *m_pAppointments; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicAppointments> m_pAppointments;
};

std::unique_ptr<ISubsystem> InstallAppointments(LogicContext &context);
