#pragma once

#include "invoicing/InvoicingViews.h"
#include "invoicing/MonthlyFeePlan.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "core/RecordAccess.h"

#include "Korbel/XListCtrl/IXListCtrl.h"
#include "common/Money.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>

#include <functional>
#include <vector>

class LogicContext;

// What a list of charges comes to. An item counts as paid when it is not
// active (ACTIVE other than 1), as unpaid when it is, and always in total.
struct ChargeSums
{
    Verdanta::Money paid;
    Verdanta::Money unpaid;
    Verdanta::Money total;
};

// One INVOICING row as the lists show it.
struct ChargeItem
{
    qint64 id = 0;
    bool active = true;
    QDateTime date;
    QString description;
    Verdanta::Money amount;
    Verdanta::Money tax1;
    Verdanta::Money tax2;
    Verdanta::Money Total() const { return amount + tax1 + tax2; }
};

// The charges of the current patient of one kind: due payments (typed by the
// practitioner) or monthly fees (written by the fee run). Two instances serve
// the due-payments page, each over its own list: the rows, their status
// combos ("paid", "unpaid"), the in-place edit of a fee's amount, Del, and
// the PAID and UNPAID sums. Every change is committed at once and the sums
// handler (the payments logic) hears of it.
class CLogicInvoicing final : public ILogicObject, public Korbel::IXListCtrlCallback, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicInvoicing)

public:
    enum Column { AmountColumn, Tax1Column, Tax2Column, DateColumn, DescriptionColumn };

    CLogicInvoicing(LogicContext &context, ChargeKind kind);
    ~CLogicInvoicing() override;

    ChargeKind Kind() const { return m_kind; }
    // Reads the patient's items of this kind, by date; false when they
    // cannot be read (no patient: an empty list).
    bool Open(qint64 patientId);
    void Close();
    // Shows the items in the page's list (when there is a page) with the sums.
    int Fill();

    const std::vector<ChargeItem> &Items() const { return m_items; }
    const ChargeSums &Sums() const { return m_sums; }
    static ChargeSums SumsOf(const std::vector<ChargeItem> &items);

    // Due payments: the dialog over the last selected row; the trailing row
    // adds a new item.
    bool AddOrModify(QWidget *parent);
    // Stores an item typed in the dialog (id 0: a new one); the taxes are the
    // office rates on the amount. False when the amount is not a number.
    bool Store(qint64 id, const DuePaymentDetails &details);
    // "paid" or "unpaid"; any other text changes nothing.
    bool SetStatus(qint64 id, const QString &status);
    // A new amount for an item (a fee edited in its cell), taxes recomputed.
    bool SetAmount(qint64 id, const QString &amountText);
    bool Delete(qint64 id);

    // The fee run of a patient at a moment, in one transaction; the number of
    // items added, -1 when the run failed (nothing was added then).
    int RunMonthlyFee(qint64 patientId, const QDateTime &now);

    // The patient's fee in "Monthly Fee:" (monthly fee instance).
    void ShowMonthlyFee();
    // Stores the fee typed in "Monthly Fee:" into the current patient's row
    // (monthly fee instance). MONTHLY_FEE_TS becomes now when the amount
    // changes (not merely its text) or when a fee has none yet; text that is
    // not an amount leaves the stored fee as it was. 1 on success.
    int StoreMonthlyFee(const QDateTime &now);

    // Due payments: 14 (PageSubCommand::ShowCurrent fills the list, otherwise
    // add or modify) and 23; monthly fees: 24 (ShowCurrent fills the list and
    // the fee). 1 when handled.
    int OnCommand(LogicCommand &command) override;

    // Called after the items or their sums changed.
    void SetSumsChangedHandler(std::function<void()> handler) { m_sumsChanged = std::move(handler); }

    static QStringList StatusNames();
    QStringList Headings() const;

    // Korbel::IXListCtrlCallback
    void ItemDoubleClicked(int row, int column) override;
    void ComboSelection(int row, int column) override;
    void EndEdit(int row, int column, bool accepted) override;
    bool DeleteRow(int row) override;
    void ListDestroyed() override { m_pList = nullptr; }

private:
    Korbel::IXListCtrl *List();
    int StatusColumn() const;
    // The office's two rates on an amount; a rate that cannot be read gives 0.
    void Taxes(Verdanta::Money amount, Verdanta::Money *tax1, Verdanta::Money *tax2) const;
    bool WriteItem(Korbel::ITable *table, const ChargeItem &item, bool isNew, bool fee);
    // Reads the items again and shows them.
    void Reload();
    void ShowSums();
    int RunOnce(qint64 patientId, const QDateTime &now);
    // What a run would add as the database stands; read is false when the
    // patient's fee or items could not be read.
    MonthlyFeePlan PlanFor(qint64 patientId, const QDateTime &now, Verdanta::Money *fee, bool *read);

    LogicContext &m_context;
    ChargeKind m_kind;
    qint64 m_patientId = 0;
    std::vector<ChargeItem> m_items;
    ChargeSums m_sums;
    Korbel::IXListCtrl *m_pList = nullptr; // the page's; it tells when it goes
    std::function<void()> m_sumsChanged;
};
