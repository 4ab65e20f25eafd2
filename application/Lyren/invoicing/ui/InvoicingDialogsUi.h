#pragma once

#include "invoicing/InvoicingViews.h"

#include <QtWidgets/QDialog>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Add/Modify Due Payment".
class CDuePaymentsNewDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit CDuePaymentsNewDialog(QWidget *parent = nullptr);
    void SetDetails(const DuePaymentDetails &details);
    DuePaymentDetails GetDetails() const;
    void accept() override;

private:
    QLineEdit *m_pAmount;
    QDateTimeEdit *m_pDate;
    QPlainTextEdit *m_pInfo;
};

// "Add/Modify Payment".
class CPaymentsNewDialog final : public QDialog
{
    Q_OBJECT

public:
    CPaymentsNewDialog(const QStringList &typeNames, QWidget *parent = nullptr);
    void SetDetails(const PaymentDetails &details);
    PaymentDetails GetDetails() const;
    void accept() override;

private:
    QLineEdit *m_pAmount;
    QDateTimeEdit *m_pDate;
    QComboBox *m_pType;
    QPlainTextEdit *m_pInfo;
};

// "Add/Modify Invoice": a new invoice picks its template from the button's
// menu; an existing one previews its documents from the same button.
class CInvoiceDetailsDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit CInvoiceDetailsDialog(QWidget *parent = nullptr);
    void SetDetails(const InvoiceDetails &details);
    // The values entered, over the details given.
    void TakeDetails(InvoiceDetails *details) const;
    void accept() override;
    QPushButton *TemplateButton() const { return m_pTemplate; }

private:
    void TemplateClicked();

    QLineEdit *m_pAmount;
    QDateTimeEdit *m_pDate;
    QPushButton *m_pTemplate;
    QPlainTextEdit *m_pInfo;
    InvoiceDetails m_details;
};

// The window layer's presenter of the three dialogs.
class CInvoicingDialogsUi final : public IInvoicingDialogs
{
public:
    bool EditDuePayment(QWidget *parent, DuePaymentDetails *details) override;
    bool EditPayment(QWidget *parent, const QStringList &typeNames, PaymentDetails *details) override;
    bool EditInvoice(QWidget *parent, InvoiceDetails *details) override;
};
