#pragma once

#include <functional>

class COrderDetails;
class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The windows of the orders as their logic shows them: "Orders" around a
// list the logic fills, and "Add/Modify Orders" over an order set. The window
// layer provides them through the context's services; tests provide their own.
class IOrderDialogs
{
public:
    struct OrdersHooks
    {
        // The dialog's list as it opens, and null as it closes.
        std::function<void(Korbel::IXListCtrl *list)> attach;
        // "Generate Order ..." and "Send Order".
        std::function<void()> generate;
        std::function<void()> send;
    };

    virtual ~IOrderDialogs() = default;
    // Shows "Orders" modally; returns when it is closed.
    virtual void ShowOrders(QWidget *parent, const OrdersHooks &hooks) = 0;
    // Shows "Add/Modify Orders" modally over the details; true on OK (the
    // details then hold what was entered).
    virtual bool EditOrders(QWidget *parent, COrderDetails &details) = 0;
};
