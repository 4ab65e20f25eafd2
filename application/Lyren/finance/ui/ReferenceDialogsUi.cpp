#include "finance/ui/ReferenceDialogsUi.h"

#include "finance/ui/ManagementDialog.h"
#include "finance/ui/MedicineDetailsDialog.h"
#include "finance/ui/OfficeDataDialog.h"
#include "finance/ui/ProviderDetailsDialog.h"
#include "finance/ui/StockDetailsDialog.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <memory>

void CReferenceDialogsUi::ShowManagement(Management kind, QWidget *parent, const ManagementHooks &hooks)
{
    std::unique_ptr<CManagementDialog> dialog;
    switch (kind) {
    case Management::Remedies: {
        auto remedies = std::make_unique<CMedicinesDialog>(parent);
        CMedicinesDialog *shown = remedies.get();
        if (hooks.stocks)
            QObject::connect(
                shown, &CMedicinesDialog::stocksClicked, shown, [&hooks, shown] { hooks.stocks(shown); });
        dialog = std::move(remedies);
        break;
    }
    case Management::Providers:
        dialog = std::make_unique<CProvidersDialog>(parent);
        break;
    case Management::Stocks:
        dialog = std::make_unique<CStocksDialog>(parent);
        break;
    }
    if (hooks.resized)
        QObject::connect(
            dialog.get(), &CManagementDialog::resized, dialog.get(), [&hooks] { hooks.resized(); });
    if (hooks.attach)
        hooks.attach(dialog->List());
    dialog->exec();
    if (hooks.attach)
        hooks.attach(nullptr);
}

bool CReferenceDialogsUi::EditRemedy(
    QWidget *parent, const QStringList &providerNames, MedicineDetails *details)
{
    CMedicineDetailsDialog dialog(providerNames, parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *details = dialog.GetDetails();
    return true;
}

bool CReferenceDialogsUi::EditProvider(QWidget *parent, ProviderDetails *details)
{
    CProviderDetailsDialog dialog(parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *details = dialog.GetDetails();
    return true;
}

bool CReferenceDialogsUi::EditStock(
    QWidget *parent, CLogicMedicines *medicines, CLogicDilutions *dilutions, StockDetails *details)
{
    CStockDetailsDialog dialog(medicines, dilutions, parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *details = dialog.GetDetails();
    return true;
}

bool CReferenceDialogsUi::EditOfficeData(QWidget *parent, OfficeRecord *record)
{
    COfficeDataDialog dialog(parent);
    dialog.SetRecord(*record);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *record = dialog.GetRecord();
    return true;
}
