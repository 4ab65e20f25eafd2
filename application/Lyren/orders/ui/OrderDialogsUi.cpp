#include "orders/ui/OrderDialogsUi.h"

#include "orders/ui/COrderDetailsDialog.h"
#include "orders/ui/COrdersDialog.h"

#include "Korbel/XListCtrl/XListCtrl.h"

void COrderDialogsUi::ShowOrders(QWidget *parent, const OrdersHooks &hooks)
{
    COrdersDialog dialog(parent);
    if (hooks.generate)
        QObject::connect(&dialog, &COrdersDialog::generateClicked, &dialog, [&hooks] { hooks.generate(); });
    if (hooks.send)
        QObject::connect(&dialog, &COrdersDialog::sendClicked, &dialog, [&hooks] { hooks.send(); });
    if (hooks.attach)
        hooks.attach(dialog.List());
    dialog.exec();
    if (hooks.attach)
        hooks.attach(nullptr);
}

bool COrderDialogsUi::EditOrders(QWidget *parent, COrderDetails &details)
{
    COrderDetailsDialog dialog(details, parent);
    return dialog.exec() == QDialog::Accepted;
}
