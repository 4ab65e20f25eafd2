#pragma once

#include "finance/ReferenceDialogs.h"

#include <QtWidgets/QDialog>

class CLogicDilutions;
class CLogicMedicines;
class QComboBox;
class QLineEdit;

// "Add/Modify Stock". The remedy is chosen from the remedies, the potency is
// chosen or typed; a typed potency becomes a dilution when OK is pressed.
class CStockDetailsDialog : public QDialog
{
    Q_OBJECT

public:
    CStockDetailsDialog(CLogicMedicines *medicines, CLogicDilutions *dilutions, QWidget *parent = nullptr);

    void SetDetails(const StockDetails &details);
    // After OK: the chosen remedy, the resolved dilution and the counts.
    StockDetails GetDetails() const { return m_details; }

    // Every field is needed: a field left empty (or no remedy chosen) shows
    // "Please fill all the fields!" and the dialog stays open.
    void accept() override;

private:
    CLogicDilutions *m_pLogicDilutions;
    QComboBox *m_pRemedy;
    QComboBox *m_pPotency;
    QLineEdit *m_pStock;
    QLineEdit *m_pThreshold;
    QLineEdit *m_pReplenish;
    StockDetails m_details;
};
