#pragma once

#include "finance/ReferenceDialogs.h"

// The reference data's dialogs: "Remedies Management", "Providers",
// "Stocks Management" and the details and office data dialogs, modal.
class CReferenceDialogsUi final : public IReferenceDialogs
{
public:
    void ShowManagement(Management kind, QWidget *parent, const ManagementHooks &hooks) override;
    bool EditRemedy(QWidget *parent, const QStringList &providerNames, MedicineDetails *details) override;
    bool EditProvider(QWidget *parent, ProviderDetails *details) override;
    bool EditStock(QWidget *parent, CLogicMedicines *medicines, CLogicDilutions *dilutions,
        StockDetails *details) override;
    bool EditOfficeData(QWidget *parent, OfficeRecord *record) override;
};
