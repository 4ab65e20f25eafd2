#include "invoicing/ui/InvoicingDialogsUi.h"

#include "invoicing/ChargeText.h"

#include "finance/ui/DialogParts.h"

#include "desktop/Menus.h"
#include "desktop/Prompts.h"

#include <QtCore/QCoreApplication>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

QDateTimeEdit *DatePicker(QWidget *parent)
{
    auto *date = new QDateTimeEdit(parent);
    date->setObjectName(QStringLiteral("date"));
    date->setCalendarPopup(true);
    date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return date;
}

// An amount must be a number before the dialog closes.
bool CheckAmount(QDialog *dialog, QLineEdit *amount)
{
    Verdanta::Money value;
    if (Charges::ParseTypedMoney(amount->text(), &value))
        return true;
    Desktop::Inform(dialog, QCoreApplication::translate("Invoicing", "Please enter the amount as a number."),
        Desktop::Icon::Warning);
    amount->setFocus();
    return false;
}

} // namespace

CDuePaymentsNewDialog::CDuePaymentsNewDialog(QWidget *parent)
    : QDialog(parent)
    , m_pAmount(new QLineEdit(this))
    , m_pDate(DatePicker(this))
    , m_pInfo(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Add/Modify Due Payment"));
    m_pAmount->setObjectName(QStringLiteral("amount"));
    m_pInfo->setObjectName(QStringLiteral("info"));
    m_pInfo->setTabChangesFocus(true);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Amount:"), m_pAmount);
    form->addRow(tr("Date:"), m_pDate);
    form->addRow(tr("Additional information:"), m_pInfo);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CDuePaymentsNewDialog::SetDetails(const DuePaymentDetails &details)
{
    m_pAmount->setText(details.amount);
    m_pDate->setDateTime(details.date.isValid() ? details.date : QDateTime::currentDateTime());
    m_pInfo->setPlainText(details.description);
}

DuePaymentDetails CDuePaymentsNewDialog::GetDetails() const
{
    return { m_pAmount->text(), m_pDate->dateTime(), m_pInfo->toPlainText() };
}

void CDuePaymentsNewDialog::accept()
{
    if (CheckAmount(this, m_pAmount))
        QDialog::accept();
}

CPaymentsNewDialog::CPaymentsNewDialog(const QStringList &typeNames, QWidget *parent)
    : QDialog(parent)
    , m_pAmount(new QLineEdit(this))
    , m_pDate(DatePicker(this))
    , m_pType(new QComboBox(this))
    , m_pInfo(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Add/Modify Payment"));
    m_pAmount->setObjectName(QStringLiteral("amount"));
    m_pType->setObjectName(QStringLiteral("type"));
    m_pType->addItems(typeNames);
    m_pInfo->setObjectName(QStringLiteral("info"));
    m_pInfo->setTabChangesFocus(true);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Amount:"), m_pAmount);
    form->addRow(tr("Date:"), m_pDate);
    form->addRow(tr("Type:"), m_pType);
    form->addRow(tr("Additional information:"), m_pInfo);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CPaymentsNewDialog::SetDetails(const PaymentDetails &details)
{
    m_pAmount->setText(details.amount);
    m_pDate->setDateTime(details.date.isValid() ? details.date : QDateTime::currentDateTime());
    m_pType->setCurrentIndex(std::max(0, m_pType->findText(details.type, Qt::MatchExactly)));
    m_pInfo->setPlainText(details.description);
}

PaymentDetails CPaymentsNewDialog::GetDetails() const
{
    return { m_pAmount->text(), m_pDate->dateTime(), m_pType->currentText(), m_pInfo->toPlainText() };
}

void CPaymentsNewDialog::accept()
{
    if (!CheckAmount(this, m_pAmount))
        return;
    if (m_pType->currentIndex() < 0) {
        Desktop::Inform(this, tr("Please choose the type of the payment."), Desktop::Icon::Warning);
        return;
    }
    QDialog::accept();
}

CInvoiceDetailsDialog::CInvoiceDetailsDialog(QWidget *parent)
    : QDialog(parent)
    , m_pAmount(new QLineEdit(this))
    , m_pDate(DatePicker(this))
    , m_pTemplate(new QPushButton(this))
    , m_pInfo(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Add/Modify Invoice"));
    m_pAmount->setObjectName(QStringLiteral("amount"));
    m_pTemplate->setObjectName(QStringLiteral("template"));
    m_pInfo->setObjectName(QStringLiteral("info"));
    m_pInfo->setTabChangesFocus(true);
    connect(m_pTemplate, &QPushButton::clicked, this, &CInvoiceDetailsDialog::TemplateClicked);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Amount:"), m_pAmount);
    form->addRow(tr("Date:"), m_pDate);
    form->addRow(QString(), m_pTemplate);
    form->addRow(tr("Additional information:"), m_pInfo);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CInvoiceDetailsDialog::SetDetails(const InvoiceDetails &details)
{
    m_details = details;
    m_pAmount->setText(details.amount);
    m_pDate->setDateTime(details.date.isValid() ? details.date : QDateTime::currentDateTime());
    m_pInfo->setPlainText(details.info);
    if (details.isNew) {
        m_pTemplate->setText(
            details.chosenTemplate.isEmpty() ? tr("Select invoice template") : details.chosenTemplate);
        m_pTemplate->setEnabled(!details.templateNames.isEmpty());
    } else {
        m_pTemplate->setText(tr("Click to preview invoice"));
        m_pTemplate->setEnabled(static_cast<bool>(details.preview));
    }
}

void CInvoiceDetailsDialog::TakeDetails(InvoiceDetails *details) const
{
    details->amount = m_pAmount->text();
    details->date = m_pDate->dateTime();
    details->info = m_pInfo->toPlainText();
    details->chosenTemplate = m_details.chosenTemplate;
}

void CInvoiceDetailsDialog::TemplateClicked()
{
    if (!m_details.isNew) {
        if (m_details.preview)
            m_details.preview();
        return;
    }
    const int chosen = Desktop::Menus().Popup(
        this, m_pTemplate->mapToGlobal(QPoint(0, m_pTemplate->height())), m_details.templateNames);
    if (chosen < 0 || chosen >= m_details.templateNames.size())
        return;
    m_details.chosenTemplate = m_details.templateNames.at(chosen);
    m_pTemplate->setText(m_details.chosenTemplate);
}

void CInvoiceDetailsDialog::accept()
{
    if (CheckAmount(this, m_pAmount))
        QDialog::accept();
}

bool CInvoicingDialogsUi::EditDuePayment(QWidget *parent, DuePaymentDetails *details)
{
    CDuePaymentsNewDialog dialog(parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *details = dialog.GetDetails();
    return true;
}

bool CInvoicingDialogsUi::EditPayment(QWidget *parent, const QStringList &typeNames, PaymentDetails *details)
{
    CPaymentsNewDialog dialog(typeNames, parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *details = dialog.GetDetails();
    return true;
}

bool CInvoicingDialogsUi::EditInvoice(QWidget *parent, InvoiceDetails *details)
{
    CInvoiceDetailsDialog dialog(parent);
    dialog.SetDetails(*details);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.TakeDetails(details);
    return true;
}
