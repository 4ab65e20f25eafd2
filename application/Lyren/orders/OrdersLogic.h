#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicOrders;
class LogicContext;

// Orders to the practice's providers (codes 43, 47 and 55). The remedies,
// dilutions, providers and stock it works with, the mail composer, the
// dialogs and whoever holds prescriptions in memory are found among the
// services when an order is worked on.
class OrdersLogic final : public ISubsystem
{
public:
    explicit OrdersLogic(LogicContext &context);
    ~OrdersLogic() override;

    CLogicOrders &Orders() const { return *m_pOrders; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicOrders> m_pOrders;
};

std::unique_ptr<ISubsystem> InstallOrders(LogicContext &context);
