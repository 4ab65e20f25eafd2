#include "reports/ReportsLogic.h"

#include "reports/CLogicReports.h"

#include "core/LogicContext.h"

ReportsLogic::ReportsLogic(LogicContext &context)
    : m_context(context)
    , m_pReports(std::make_unique<CLogicReports>(context))
{
    m_pReports->SetServices(&context.Services());
    context.Routes().Own(Owner::Reports, m_pReports.get());
    context.Services().Provide(m_pReports.get());
}

ReportsLogic::~ReportsLogic()
{
    m_context.Services().Withdraw(m_pReports.get());
    m_context.Routes().Forget(Owner::Reports);
    m_pReports.reset();
}

std::unique_ptr<ISubsystem> InstallReports(LogicContext &context)
{
    return std::make_unique<ReportsLogic>(context);
}
