#pragma once

#include "finance/ui/ManagementDialog.h"

// "Orders": the orders list with "Generate Order ...", "Send Order" and "Done".
class COrdersDialog : public CManagementDialog
{
    Q_OBJECT

public:
    explicit COrdersDialog(QWidget *parent = nullptr);

signals:
    void generateClicked();
    void sendClicked();
};
