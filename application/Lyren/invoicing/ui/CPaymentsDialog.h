#pragma once

#include "invoicing/InvoicingViews.h"

#include "core/Views.h"

#include <QtWidgets/QWidget>

class QLineEdit;

namespace Korbel {
class CXListCtrl;
}

// The "Payments" tab: the payments received and "TOTAL BALANCE:", filled
// by the payments logic through IPaymentsView.
class CPaymentsDialog final : public QWidget, public IPage, public IPaymentsView
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 6;

    explicit CPaymentsDialog(QWidget *parent = nullptr);
    ~CPaymentsDialog() override;

    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    Korbel::IXListCtrl *PaymentsList() override;
    void ShowTotalBalance(const QString &text) override;

    Korbel::CXListCtrl *List() const { return m_pList; }
    QLineEdit *BalanceField() const { return m_pBalance; }

private:
    CLogicMain *m_pHub = nullptr;
    Korbel::CXListCtrl *m_pList;
    QLineEdit *m_pBalance;
};
