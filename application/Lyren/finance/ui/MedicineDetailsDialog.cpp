#include "finance/ui/MedicineDetailsDialog.h"

#include "finance/ui/DialogParts.h"

#include "desktop/Prompts.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QVBoxLayout>

CMedicineDetailsDialog::CMedicineDetailsDialog(const QStringList &providerNames, QWidget *parent)
    : QDialog(parent)
    , m_pName(new QLineEdit(this))
    , m_pPrice(new QLineEdit(this))
    , m_pProviderPrice(new QLineEdit(this))
    , m_pProvider(new QComboBox(this))
    , m_pDescription(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Add/Modify Remedy"));
    m_pName->setObjectName(QStringLiteral("name"));
    m_pPrice->setObjectName(QStringLiteral("price"));
    m_pProviderPrice->setObjectName(QStringLiteral("providerPrice"));
    m_pProvider->setObjectName(QStringLiteral("provider"));
    m_pDescription->setObjectName(QStringLiteral("description"));
    m_pDescription->setTabChangesFocus(true);
    m_pProvider->addItems(providerNames);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Name: (*)"), m_pName);
    form->addRow(tr("Price: (*)"), m_pPrice);
    form->addRow(tr("Provider Price: (*)"), m_pProviderPrice);
    form->addRow(tr("Provider Name:"), m_pProvider);
    form->addRow(tr("Additional information:"), m_pDescription);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CMedicineDetailsDialog::SetDetails(const MedicineDetails &details)
{
    m_pName->setText(details.name);
    m_pPrice->setText(details.price);
    m_pProviderPrice->setText(details.providerPrice);
    m_pDescription->setPlainText(details.description);
    m_pProvider->setCurrentIndex(std::max(0, m_pProvider->findText(details.providerName, Qt::MatchExactly)));
}

MedicineDetails CMedicineDetailsDialog::GetDetails() const
{
    return MedicineDetails { m_pName->text(), m_pPrice->text(), m_pProviderPrice->text(),
        m_pProvider->currentText(), m_pDescription->toPlainText() };
}

void CMedicineDetailsDialog::accept()
{
    if (m_pName->text().trimmed().isEmpty()) {
        Desktop::Inform(this, tr("Please enter the name of the remedy."), Desktop::Icon::Warning);
        m_pName->setFocus();
        return;
    }
    QDialog::accept();
}
