#pragma once

#include "core/Subsystem.h"

class CLogicReports;

// The practice's reports: the reports menu (code 54), the parameter dialogs
// and the stored queries of the data source, which preview each report.
class ReportsLogic final : public ISubsystem
{
public:
    explicit ReportsLogic(LogicContext &context);
    ~ReportsLogic() override;

    CLogicReports &Reports() const { return *m_pReports; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicReports> m_pReports;
};

std::unique_ptr<ISubsystem> InstallReports(LogicContext &context);
