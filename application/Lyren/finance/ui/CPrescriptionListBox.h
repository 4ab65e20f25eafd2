#pragma once

#include "finance/PrescriptionDialogs.h"

#include <QtWidgets/QWidget>

class CLogicMain;
class CLogicPrescriptions;
class QLineEdit;

namespace Korbel {
class CXListCtrl;
}

// The patient's prescription list with its "PAID" and "UNPAID" fields, as one
// widget for the page that shows the patient's dues. Its logic fills it.
class CPrescriptionListBox final : public QWidget, public IPrescriptionListView
{
    Q_OBJECT

public:
    explicit CPrescriptionListBox(QWidget *parent = nullptr);
    ~CPrescriptionListBox() override;

    // Hands the list to the hub's prescriptions logic (none: lets go of it).
    void Attach(CLogicMain *hub);

    Korbel::CXListCtrl *ListControl() const { return m_pList; }
    QLineEdit *PaidField() const { return m_pPaid; }
    QLineEdit *UnpaidField() const { return m_pUnpaid; }

    // IPrescriptionListView
    Korbel::IXListCtrl *List() override;
    void ShowTotals(const QString &paid, const QString &unpaid) override;
    void Detached() override { m_pLogic = nullptr; }

private:
    Korbel::CXListCtrl *m_pList;
    QLineEdit *m_pPaid;
    QLineEdit *m_pUnpaid;
    CLogicPrescriptions *m_pLogic = nullptr;
};
