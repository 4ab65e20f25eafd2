#pragma once

#include "finance/PrescriptionDialogs.h"

#include <QtWidgets/QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// "Prescription" (or "Treatment" for a treatment line, without the quantity
// and the check box): the remedy from the remedies, the potency chosen or
// typed, the quantity and "Provided by patient". OK waits for a remedy.
class CPrescriptionDlg : public QDialog
{
    Q_OBJECT

public:
    CPrescriptionDlg(
        IPrescriptionDialogs::Mode mode, const PrescriptionChoice &choice, QWidget *parent = nullptr);

    // After OK: the person's choice.
    PrescriptionChoice Choice() const;

    QComboBox *Remedy() const { return m_pRemedy; }
    QComboBox *Potency() const { return m_pPotency; }
    QLineEdit *Quantity() const { return m_pQuantity; }
    QCheckBox *ProvidedByPatient() const { return m_pProvided; }
    QDialogButtonBox *Buttons() const { return m_pButtons; }

private:
    void UpdateOk();

    PrescriptionChoice m_choice;
    QComboBox *m_pRemedy;
    QComboBox *m_pPotency;
    QLabel *m_pQuantityLabel;
    QLineEdit *m_pQuantity;
    QCheckBox *m_pProvided;
    QDialogButtonBox *m_pButtons;
};

// The window layer's prescription dialog. A test may look at (and answer) the
// dialog once it is shown, before it runs.
class CPrescriptionDialogsUi final : public IPrescriptionDialogs
{
public:
    bool ChoosePrescription(QWidget *parent, Mode mode, PrescriptionChoice &choice) override;

    // Called with the dialog each time one is shown (tests).
    std::function<void(CPrescriptionDlg &)> m_onShown;
};
