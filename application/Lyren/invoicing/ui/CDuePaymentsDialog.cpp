#include "invoicing/ui/CDuePaymentsDialog.h"

#include "shell/CLogicMain.h"

#include "finance/ui/CPrescriptionListBox.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QCoreApplication>

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

QLineEdit *ReadOnlyField(const QString &name, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    return field;
}

// A list with its "PAID" and "UNPAID" fields under it.
QGroupBox *ChargesBox(
    const QString &title, Korbel::CXListCtrl *list, QLineEdit *paid, QLineEdit *unpaid, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *sums = new QHBoxLayout;
    sums->addStretch(1);
    sums->addWidget(new QLabel(QCoreApplication::translate("CDuePaymentsDialog", "PAID"), box));
    sums->addWidget(paid);
    sums->addWidget(new QLabel(QCoreApplication::translate("CDuePaymentsDialog", "UNPAID"), box));
    sums->addWidget(unpaid);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(list, 1);
    layout->addLayout(sums);
    return box;
}

} // namespace

CDuePaymentsDialog::CDuePaymentsDialog(QWidget *parent)
    : QWidget(parent)
    , m_pFee(new QLineEdit(this))
    , m_pDue(new Korbel::CXListCtrl(this))
    , m_pFees(new Korbel::CXListCtrl(this))
    , m_pDuePaid(ReadOnlyField(QStringLiteral("duePaid"), this))
    , m_pDueUnpaid(ReadOnlyField(QStringLiteral("dueUnpaid"), this))
    , m_pFeesPaid(ReadOnlyField(QStringLiteral("feesPaid"), this))
    , m_pFeesUnpaid(ReadOnlyField(QStringLiteral("feesUnpaid"), this))
    , m_pFunds(ReadOnlyField(QStringLiteral("availableFunds"), this))
    , m_pPrescriptions(new QGroupBox(tr("Prescriptions"), this))
    , m_pPrescriptionList(new CPrescriptionListBox(m_pPrescriptions))
{
    m_pFee->setObjectName(QStringLiteral("monthlyFee"));
    m_pDue->setObjectName(QStringLiteral("duePayments"));
    m_pFees->setObjectName(QStringLiteral("monthlyFees"));
    m_pPrescriptions->setObjectName(QStringLiteral("prescriptionsArea"));
    auto *prescriptionsLayout = new QVBoxLayout(m_pPrescriptions);
    prescriptionsLayout->setContentsMargins(4, 4, 4, 4);
    prescriptionsLayout->addWidget(m_pPrescriptionList);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Monthly Fee:"), this));
    top->addWidget(m_pFee);
    top->addStretch(1);
    top->addWidget(new QLabel(tr("AVAILABLE FUNDS:"), this));
    top->addWidget(m_pFunds);

    auto *lists = new QHBoxLayout;
    lists->addWidget(ChargesBox(tr("Due payments"), m_pDue, m_pDuePaid, m_pDueUnpaid, this), 3);
    lists->addWidget(ChargesBox(tr("Monthly fee -  Double click on Amount to modify a fee"), m_pFees,
                         m_pFeesPaid, m_pFeesUnpaid, this),
        2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addWidget(m_pPrescriptions, 1);
}

CDuePaymentsDialog::~CDuePaymentsDialog()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IDuePaymentsView>(this);
}

void CDuePaymentsDialog::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IDuePaymentsView>(this);
    m_pHub = hub;
    m_pPrescriptionList->Attach(hub);
    if (!hub)
        return;
    hub->Services().Provide<IDuePaymentsView>(this);
    for (const int code : { CommandCode::DuePaymentsList, CommandCode::MonthlyFee }) {
        LogicCommand show;
        show.code = code;
        show.subCommand = PageSubCommand::ShowCurrent;
        hub->OnCommand(show);
    }
}

void CDuePaymentsDialog::Refresh()
{
    const bool hasPatient = m_pHub && m_pHub->Context().CurrentPatientId() > 0;
    m_pFee->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::MonthlyFee));
    m_pDue->setProperty("verdantaCommand", CommandCode::DuePaymentsList);
    m_pDue->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::DuePaymentsList));
    m_pFees->setProperty("verdantaCommand", CommandCode::MonthlyFee);
    m_pFees->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::MonthlyFee));
}

Korbel::IXListCtrl *CDuePaymentsDialog::ChargesList(ChargeKind kind)
{
    return kind == ChargeKind::DuePayments ? m_pDue : m_pFees;
}

void CDuePaymentsDialog::ShowChargeSums(ChargeKind kind, const QString &paid, const QString &unpaid)
{
    (kind == ChargeKind::DuePayments ? m_pDuePaid : m_pFeesPaid)->setText(paid);
    (kind == ChargeKind::DuePayments ? m_pDueUnpaid : m_pFeesUnpaid)->setText(unpaid);
}

void CDuePaymentsDialog::ShowAvailableFunds(const QString &text)
{
    m_pFunds->setText(text);
}

QString CDuePaymentsDialog::MonthlyFeeText() const
{
    return m_pFee->text();
}

void CDuePaymentsDialog::SetMonthlyFeeText(const QString &text)
{
    m_pFee->setText(text);
}

QLineEdit *CDuePaymentsDialog::Field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}
