#include "finance/ui/ProviderDetailsDialog.h"

#include "finance/ui/DialogParts.h"

#include "desktop/Prompts.h"

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QVBoxLayout>

CProviderDetailsDialog::CProviderDetailsDialog(QWidget *parent)
    : QDialog(parent)
    , m_pName(new QLineEdit(this))
    , m_pAddress(new QLineEdit(this))
    , m_pEmail(new QLineEdit(this))
    , m_pDescription(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Add/Modify Provider"));
    m_pName->setObjectName(QStringLiteral("name"));
    m_pAddress->setObjectName(QStringLiteral("address"));
    m_pEmail->setObjectName(QStringLiteral("email"));
    m_pDescription->setObjectName(QStringLiteral("description"));
    m_pDescription->setTabChangesFocus(true);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Name: (*)"), m_pName);
    form->addRow(tr("Address:"), m_pAddress);
    form->addRow(tr("Email:"), m_pEmail);
    form->addRow(tr("Additional information:"), m_pDescription);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CProviderDetailsDialog::SetDetails(const ProviderDetails &details)
{
    m_pName->setText(details.name);
    m_pAddress->setText(details.address);
    m_pEmail->setText(details.email);
    m_pDescription->setPlainText(details.description);
}

ProviderDetails CProviderDetailsDialog::GetDetails() const
{
    return ProviderDetails { m_pName->text(), m_pAddress->text(), m_pEmail->text(),
        m_pDescription->toPlainText() };
}

void CProviderDetailsDialog::accept()
{
    if (m_pName->text().trimmed().isEmpty()) {
        Desktop::Inform(this, tr("Please enter the name of the provider."), Desktop::Icon::Warning);
        m_pName->setFocus();
        return;
    }
    QDialog::accept();
}
