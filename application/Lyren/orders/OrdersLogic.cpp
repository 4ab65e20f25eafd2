#include "orders/OrdersLogic.h"

#include "orders/CLogicOrders.h"

#include "core/LogicContext.h"

OrdersLogic::OrdersLogic(LogicContext &context)
    : m_context(context)
    , m_pOrders(std::make_unique<CLogicOrders>(context))
{
    context.Routes().Own(Owner::Orders, m_pOrders.get());
    context.Services().Provide(m_pOrders.get());
}

OrdersLogic::~OrdersLogic()
{
    m_context.Services().Withdraw(m_pOrders.get());
    m_context.Routes().Forget(Owner::Orders);
}

std::unique_ptr<ISubsystem> InstallOrders(LogicContext &context)
{
    return std::make_unique<OrdersLogic>(context);
}
