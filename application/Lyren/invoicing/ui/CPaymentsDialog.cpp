#include "invoicing/ui/CPaymentsDialog.h"

#include "shell/CLogicMain.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

CPaymentsDialog::CPaymentsDialog(QWidget *parent)
    : QWidget(parent)
    , m_pList(new Korbel::CXListCtrl(this))
    , m_pBalance(new QLineEdit(this))
{
    m_pList->setObjectName(QStringLiteral("payments"));
    m_pBalance->setObjectName(QStringLiteral("totalBalance"));
    m_pBalance->setReadOnly(true);
    m_pBalance->setAlignment(Qt::AlignRight);

    auto *box = new QGroupBox(tr("Payments"), this);
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(m_pList, 1);
    auto *balance = new QHBoxLayout;
    balance->addStretch(1);
    balance->addWidget(new QLabel(tr("TOTAL BALANCE:"), this));
    balance->addWidget(m_pBalance);
    boxLayout->addLayout(balance);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
}

CPaymentsDialog::~CPaymentsDialog()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IPaymentsView>(this);
}

void CPaymentsDialog::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IPaymentsView>(this);
    m_pHub = hub;
    if (!hub)
        return;
    hub->Services().Provide<IPaymentsView>(this);
    LogicCommand show;
    show.code = CommandCode::PaymentsList;
    show.subCommand = PageSubCommand::ShowCurrent;
    hub->OnCommand(show);
}

void CPaymentsDialog::Refresh()
{
    const bool hasPatient = m_pHub && m_pHub->Context().CurrentPatientId() > 0;
    m_pList->setProperty("verdantaCommand", CommandCode::PaymentsList);
    m_pList->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::PaymentsList));
}

Korbel::IXListCtrl *CPaymentsDialog::PaymentsList()
{
    return m_pList;
}

void CPaymentsDialog::ShowTotalBalance(const QString &text)
{
    m_pBalance->setText(text);
}
