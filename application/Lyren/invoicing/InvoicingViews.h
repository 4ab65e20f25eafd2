#pragma once

// What the finance logic shows and asks through the window layer: the three
// finance pages as the logic sees them (each page offers itself among the
// services when it is attached), and the dialogs of due payments, payments
// and invoices (offered by the window layer; tests offer their own).

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The two kinds of charge the invoicing logic keeps a list of.
enum class ChargeKind { DuePayments, MonthlyFees };

// The due-payments page: its two charge lists with their PAID and UNPAID
// fields, the "Monthly Fee:" field and "AVAILABLE FUNDS:".
class IDuePaymentsView
{
public:
    virtual Korbel::IXListCtrl *ChargesList(ChargeKind kind) = 0;
    virtual void ShowChargeSums(ChargeKind kind, const QString &paid, const QString &unpaid) = 0;
    virtual void ShowAvailableFunds(const QString &text) = 0;
    virtual QString MonthlyFeeText() const = 0;
    virtual void SetMonthlyFeeText(const QString &text) = 0;

protected:
    ~IDuePaymentsView() = default;
};

// The payments page: the payments list and "TOTAL BALANCE:".
class IPaymentsView
{
public:
    virtual Korbel::IXListCtrl *PaymentsList() = 0;
    virtual void ShowTotalBalance(const QString &text) = 0;

protected:
    ~IPaymentsView() = default;
};

// The invoices page: the invoice history and "Total Amount:".
class IInvoicesView
{
public:
    virtual Korbel::IXListCtrl *InvoicesList() = 0;
    virtual void ShowTotalAmount(const QString &text) = 0;

protected:
    ~IInvoicesView() = default;
};

// A due payment as "Add/Modify Due Payment" edits it; the amount is the text
// typed.
struct DuePaymentDetails
{
    QString amount;
    QDateTime date;
    QString description;
};

// A payment as "Add/Modify Payment" edits it; type is one of the type names.
struct PaymentDetails
{
    QString amount;
    QDateTime date;
    QString type;
    QString description;
};

// An invoice as "Add/Modify Invoice" edits it. A new invoice chooses its
// template among templateNames (empty: none chosen); an existing one offers
// the preview of its documents instead.
struct InvoiceDetails
{
    bool isNew = true;
    QString amount;
    QDateTime date;
    QString info;
    QStringList templateNames;
    QString chosenTemplate;
    std::function<void()> preview;
};

class IInvoicingDialogs
{
public:
    virtual ~IInvoicingDialogs() = default;
    // Each is true when the person confirmed, the details then holding what
    // was entered.
    virtual bool EditDuePayment(QWidget *parent, DuePaymentDetails *details) = 0;
    virtual bool EditPayment(QWidget *parent, const QStringList &typeNames, PaymentDetails *details) = 0;
    virtual bool EditInvoice(QWidget *parent, InvoiceDetails *details) = 0;
};
