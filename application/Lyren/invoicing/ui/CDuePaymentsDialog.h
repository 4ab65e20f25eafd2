#pragma once

#include "invoicing/InvoicingViews.h"

#include "core/Views.h"

#include <QtWidgets/QWidget>

class CPrescriptionListBox;
class QLineEdit;

namespace Korbel {
class CXListCtrl;
}

// The "DuePayments" tab: "Monthly Fee:", the due payments and the monthly
// fees, each with its PAID and UNPAID fields, the prescriptions' box and
// "AVAILABLE FUNDS:". The invoicing logic fills the lists and fields through
// IDuePaymentsView, which the page offers when it is attached. The
// prescriptions' own list box sits in PrescriptionsArea().
class CDuePaymentsDialog final : public QWidget, public IPage, public IDuePaymentsView
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 5;

    explicit CDuePaymentsDialog(QWidget *parent = nullptr);
    ~CDuePaymentsDialog() override;

    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    // The box where the prescriptions' list with its PAID and UNPAID fields
    // goes; it has a layout.
    QWidget *PrescriptionsArea() const { return m_pPrescriptions; }
    CPrescriptionListBox *PrescriptionList() const { return m_pPrescriptionList; }

    // IDuePaymentsView
    Korbel::IXListCtrl *ChargesList(ChargeKind kind) override;
    void ShowChargeSums(ChargeKind kind, const QString &paid, const QString &unpaid) override;
    void ShowAvailableFunds(const QString &text) override;
    QString MonthlyFeeText() const override;
    void SetMonthlyFeeText(const QString &text) override;

    Korbel::CXListCtrl *DueList() const { return m_pDue; }
    Korbel::CXListCtrl *FeeList() const { return m_pFees; }
    QLineEdit *FeeEdit() const { return m_pFee; }
    QLineEdit *Field(const QString &name) const;

private:
    CLogicMain *m_pHub = nullptr;
    QLineEdit *m_pFee;
    Korbel::CXListCtrl *m_pDue;
    Korbel::CXListCtrl *m_pFees;
    QLineEdit *m_pDuePaid;
    QLineEdit *m_pDueUnpaid;
    QLineEdit *m_pFeesPaid;
    QLineEdit *m_pFeesUnpaid;
    QLineEdit *m_pFunds;
    QWidget *m_pPrescriptions;
    CPrescriptionListBox *m_pPrescriptionList;
};
