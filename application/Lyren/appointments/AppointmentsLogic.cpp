#include "appointments/AppointmentsLogic.h"

#include "appointments/CLogicAppointments.h"

#include "core/LogicContext.h"

AppointmentsLogic::AppointmentsLogic(LogicContext &context)
    : m_context(context)
    , m_pAppointments(std::make_unique<CLogicAppointments>(context))
{
    context.Routes().Own(Owner::Appointments, m_pAppointments.get());
    m_pAppointments->Open();
}

AppointmentsLogic::~AppointmentsLogic()
{
    m_context.Routes().Forget(Owner::Appointments);
    m_pAppointments->Close();
}

std::unique_ptr<ISubsystem> InstallAppointments(LogicContext &context)
{
    return std::make_unique<AppointmentsLogic>(context);
}
