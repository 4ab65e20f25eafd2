#include "finance/ui/CPrescriptionDlg.h"

#include "finance/ui/DialogParts.h"

#include <QtCore/QTimer>
#include <QtGui/QIntValidator>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CPrescriptionDlg::CPrescriptionDlg(
    IPrescriptionDialogs::Mode mode, const PrescriptionChoice &choice, QWidget *parent)
    : QDialog(parent)
    , m_choice(choice)
    , m_pRemedy(new QComboBox(this))
    , m_pPotency(new QComboBox(this))
    , m_pQuantityLabel(new QLabel(tr("Quantity:"), this))
    , m_pQuantity(new QLineEdit(this))
    , m_pProvided(new QCheckBox(tr("Provided by patient"), this))
{
    const bool treatment = mode == IPrescriptionDialogs::Mode::Treatment;
    setWindowTitle(treatment ? tr("Treatment") : tr("Prescription"));
    setObjectName(QStringLiteral("prescriptionDialog"));
    m_pRemedy->setObjectName(QStringLiteral("remedy"));
    m_pPotency->setObjectName(QStringLiteral("potency"));
    m_pQuantity->setObjectName(QStringLiteral("quantity"));
    m_pProvided->setObjectName(QStringLiteral("providedByPatient"));

    for (const auto &[id, name] : std::as_const(choice.remedies))
        m_pRemedy->addItem(name, id);
    m_pRemedy->setCurrentIndex(m_pRemedy->findData(choice.remedyId));
    m_pPotency->setEditable(true);
    m_pPotency->setInsertPolicy(QComboBox::NoInsert);
    m_pPotency->addItems(choice.potencies);
    const int potency = m_pPotency->findText(choice.potency, Qt::MatchFixedString);
    m_pPotency->setCurrentIndex(potency);
    if (potency < 0)
        m_pPotency->setEditText(choice.potency);
    m_pQuantity->setValidator(new QIntValidator(1, 99999, m_pQuantity));
    m_pQuantity->setText(QString::number(std::max(1, choice.quantity)));
    m_pProvided->setChecked(choice.providedByPatient);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Remedy"), m_pRemedy);
    form->addRow(tr("Potency"), m_pPotency);
    form->addRow(m_pQuantityLabel, m_pQuantity);
    form->addRow(m_pProvided);
    layout->addLayout(form);
    m_pButtons = Finance::AddDialogButtons(this, layout);
    m_pQuantityLabel->setVisible(!treatment);
    m_pQuantity->setVisible(!treatment);
    m_pProvided->setVisible(!treatment);

    connect(m_pRemedy, &QComboBox::currentIndexChanged, this, &CPrescriptionDlg::UpdateOk);
    connect(m_pQuantity, &QLineEdit::textChanged, this, &CPrescriptionDlg::UpdateOk);
    UpdateOk();
}

void CPrescriptionDlg::UpdateOk()
{
    const bool quantityOk = m_pQuantity->isHidden() || m_pQuantity->hasAcceptableInput();
    if (QPushButton *ok = m_pButtons->button(QDialogButtonBox::Ok))
        ok->setEnabled(m_pRemedy->currentIndex() >= 0 && quantityOk);
}

PrescriptionChoice CPrescriptionDlg::Choice() const
{
    PrescriptionChoice choice = m_choice;
    choice.remedyId = m_pRemedy->currentData().toLongLong();
    choice.potency = m_pPotency->currentText().trimmed();
    choice.quantity = std::max(1, m_pQuantity->text().toInt());
    choice.providedByPatient = m_pProvided->isChecked();
    return choice;
}

bool CPrescriptionDialogsUi::ChoosePrescription(QWidget *parent, Mode mode, PrescriptionChoice &choice)
{
    CPrescriptionDlg dialog(mode, choice, parent);
    if (m_onShown)
        QTimer::singleShot(0, &dialog, [this, &dialog] { m_onShown(dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}
