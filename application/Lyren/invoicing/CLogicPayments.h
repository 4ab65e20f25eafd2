#pragma once

#include "invoicing/CLogicInvoicing.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"

#include "Korbel/XListCtrl/IXListCtrl.h"
#include "common/Money.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>

#include <vector>

class LogicContext;

// One payment received.
struct PaymentItem
{
    qint64 id = 0;
    Verdanta::Money amount;
    QDateTime date;
    qint64 typeId = 0;
    QString description;
};

// The three sums of the finance pages. Available funds: the payments less
// what was paid of the charges; balance: the payments less every charge.
struct Balances
{
    Verdanta::Money payments;
    Verdanta::Money availableFunds;
    Verdanta::Money totalBalance;
};

// The current patient's payments (codes 15 and 51; 33 recomputes the
// balances after a prescription's status changed): the payments page's list,
// its dialog, Del, and the balances over the due payments, the monthly fees
// and the prescriptions (IPrescriptionSums, when the prescriptions are there).
class CLogicPayments final : public ILogicObject, public Korbel::IXListCtrlCallback, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPayments)

public:
    enum Column { AmountColumn, DateColumn, TypeColumn, DescriptionColumn };

    CLogicPayments(LogicContext &context, CLogicInvoicing &duePayments, CLogicInvoicing &monthlyFees);
    ~CLogicPayments() override;

    bool Open(qint64 patientId);
    void Close();
    int Fill();
    const std::vector<PaymentItem> &Items() const { return m_items; }

    bool AddOrModify(QWidget *parent);
    // Stores a payment (id 0: a new one); false when the amount is not a
    // number or the type is not one of the types.
    bool Store(qint64 id, const PaymentDetails &details);
    bool Delete(qint64 id);

    // Computes the balances and shows them on both pages.
    const Balances &Recompute();
    const Balances &Current() const { return m_balances; }
    static Balances Compute(Verdanta::Money payments, const ChargeSums &due, const ChargeSums &fees,
        Verdanta::Money prescriptionsPaid, Verdanta::Money prescriptionsTotal);

    QStringList TypeNames() const;
    QString TypeName(qint64 typeId) const;
    static QStringList Headings();

    // 15 (PageSubCommand::ShowCurrent fills the list, otherwise add or
    // modify), 51 (add or modify), 33 (recompute): 1 when handled.
    int OnCommand(LogicCommand &command) override;

    // Korbel::IXListCtrlCallback
    void ItemDoubleClicked(int row, int column) override;
    bool DeleteRow(int row) override;
    void ListDestroyed() override { m_pList = nullptr; }

private:
    Korbel::IXListCtrl *List();
    void ReadTypes();

    LogicContext &m_context;
    CLogicInvoicing &m_duePayments;
    CLogicInvoicing &m_monthlyFees;
    qint64 m_patientId = 0;
    std::vector<PaymentItem> m_items;
    std::vector<std::pair<qint64, QString>> m_types;
    Balances m_balances;
    Korbel::IXListCtrl *m_pList = nullptr;
};
