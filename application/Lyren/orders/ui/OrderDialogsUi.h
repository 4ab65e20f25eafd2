#pragma once

#include "orders/OrderDialogs.h"

// The orders' dialogs, modal.
class COrderDialogsUi final : public IOrderDialogs
{
public:
    void ShowOrders(QWidget *parent, const OrdersHooks &hooks) override;
    bool EditOrders(QWidget *parent, COrderDetails &details) override;
};
