#include "finance/ui/CPrescriptionListBox.h"

#include "finance/CLogicPrescriptions.h"
#include "shell/CLogicMain.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

CPrescriptionListBox::CPrescriptionListBox(QWidget *parent)
    : QWidget(parent)
    , m_pList(new Korbel::CXListCtrl(this))
    , m_pPaid(new QLineEdit(this))
    , m_pUnpaid(new QLineEdit(this))
{
    m_pList->setObjectName(QStringLiteral("prescriptionList"));
    m_pPaid->setObjectName(QStringLiteral("prescriptionsPaid"));
    m_pUnpaid->setObjectName(QStringLiteral("prescriptionsUnpaid"));
    for (QLineEdit *field : { m_pPaid, m_pUnpaid }) {
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
    }
    auto *totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(new QLabel(tr("PAID"), this));
    totals->addWidget(m_pPaid);
    totals->addWidget(new QLabel(tr("UNPAID"), this));
    totals->addWidget(m_pUnpaid);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList, 1);
    layout->addLayout(totals);
}

// The list tells its logic when it goes (ListDestroyed); the logic may be
// gone already, having let go of the list.
CPrescriptionListBox::~CPrescriptionListBox() = default;

void CPrescriptionListBox::Attach(CLogicMain *hub)
{
    // The logic of a hub that closed has let go of the box already (Detached).
    if (m_pLogic)
        m_pLogic->SetView(nullptr);
    m_pLogic = hub ? hub->Services().Get<CLogicPrescriptions>() : nullptr;
    if (m_pLogic)
        m_pLogic->SetView(this);
}

Korbel::IXListCtrl *CPrescriptionListBox::List()
{
    return m_pList;
}

void CPrescriptionListBox::ShowTotals(const QString &paid, const QString &unpaid)
{
    m_pPaid->setText(paid);
    m_pUnpaid->setText(unpaid);
}
