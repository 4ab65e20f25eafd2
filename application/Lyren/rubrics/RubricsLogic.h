#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicMetaWords;
class CLogicOpenConnectivity;
class LogicContext;

namespace Messaging {
class IWindowMessenger;
}

// Possible rubrics and the link to the outside repertory program: the lines
// of keywords (codes 65, 66), kept with the patient, and the requests to the
// repertory program (code 64). Other subsystems and the keywords bar find
// CLogicMetaWords and CLogicOpenConnectivity among the services.
class RubricsLogic final : public ISubsystem
{
public:
    // messenger: the window messages (none: the platform's, made when first
    // needed).
    explicit RubricsLogic(LogicContext &context, std::unique_ptr<Messaging::IWindowMessenger> messenger = {});
    ~RubricsLogic() override;

    CLogicMetaWords &MetaWords() const { return *m_pMetaWords; }
    CLogicOpenConnectivity &OpenConnectivity() const { return *m_pOpenConnectivity; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicMetaWords> m_pMetaWords;
    std::unique_ptr<CLogicOpenConnectivity> m_pOpenConnectivity;
};

std::unique_ptr<ISubsystem> InstallRubrics(LogicContext &context);
