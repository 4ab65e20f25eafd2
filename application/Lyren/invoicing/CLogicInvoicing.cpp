#include "invoicing/CLogicInvoicing.h"

#include "invoicing/ChargeText.h"
#include "invoicing/FieldValues.h"
#include "invoicing/MonthlyFeePlan.h"

#include "Korbel/SharedAccess.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/Transaction.h"
#include "finance/LogicOfficeData.h"
#include "finance/ReferenceList.h"

#include "common/Identifiers.h"

using Charges::MoneyValue;
using Charges::SetValue;
using Charges::Value;
using Verdanta::Money;

namespace {

const QString kTable = QStringLiteral("INVOICING");
const QString kId = QStringLiteral("ID");
const QString kPatient = QStringLiteral("PATIENT_ID");
const QString kActive = QStringLiteral("ACTIVE");
const QString kFee = QStringLiteral("FEE");
const QString kPrescription = QStringLiteral("IS_PRESC");
const QString kDescription = QStringLiteral("DESCRIPTION");
const QString kDate = QStringLiteral("DT_STAMP");
const QString kAmount = QStringLiteral("AMOUNT");
const QString kTax1 = QStringLiteral("AMOUNT_TAX1");
const QString kTax2 = QStringLiteral("AMOUNT_TAX2");

// The items of a patient of one kind, optionally newest first.
Records::TablePtr OpenCharges(
    Korbel::IDataSource *source, qint64 patientId, ChargeKind kind, bool newestFirst)
{
    if (!source || patientId <= 0)
        return {};
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return {};
    query->SetTable(kTable);
    query->Where(kPatient, Korbel::Compare::Equal, Verdanta::FormatId(patientId));
    query->Where(kFee, Korbel::Compare::Equal,
        kind == ChargeKind::MonthlyFees ? QStringLiteral("1") : QStringLiteral("0"));
    query->Where(kPrescription, Korbel::Compare::Equal, QStringLiteral("0"));
    query->OrderBy(kDate, !newestFirst);
    query->OrderBy(kId, !newestFirst);
    return Records::TablePtr(query->Open());
}

} // namespace

CLogicInvoicing::CLogicInvoicing(LogicContext &context, ChargeKind kind)
    : m_context(context)
    , m_kind(kind)
{ }

CLogicInvoicing::~CLogicInvoicing()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QStringList CLogicInvoicing::StatusNames()
{
    return { tr("paid"), tr("unpaid") };
}

QStringList CLogicInvoicing::Headings() const
{
    if (m_kind == ChargeKind::DuePayments)
        return { tr("Amount"), tr("Tax1"), tr("Tax2"), tr("Date"), tr("Desc"), tr("Status") };
    return { tr("Amount"), tr("Tax1"), tr("Tax2"), tr("Date"), tr("Status") };
}

int CLogicInvoicing::StatusColumn() const
{
    return m_kind == ChargeKind::DuePayments ? 5 : 4;
}

Korbel::IXListCtrl *CLogicInvoicing::List()
{
    auto *view = Service<IDuePaymentsView>();
    Korbel::IXListCtrl *list = view ? view->ChargesList(m_kind) : nullptr;
    m_pList = Charges::TakeList(m_pList, list, this, Headings());
    return m_pList;
}

bool CLogicInvoicing::Open(qint64 patientId)
{
    m_patientId = patientId;
    m_items.clear();
    if (patientId <= 0) {
        m_sums = {};
        return true;
    }
    Records::TablePtr table = OpenCharges(m_context.DataSource(), patientId, m_kind, false);
    if (!table) {
        m_sums = {};
        return false;
    }
    Records::FieldPtr id = Records::OpenField(table.get(), kId);
    Records::FieldPtr active = Records::OpenField(table.get(), kActive);
    Records::FieldPtr date = Records::OpenField(table.get(), kDate);
    Records::FieldPtr description = Records::OpenField(table.get(), kDescription);
    Records::FieldPtr amount = Records::OpenField(table.get(), kAmount);
    Records::FieldPtr tax1 = Records::OpenField(table.get(), kTax1);
    Records::FieldPtr tax2 = Records::OpenField(table.get(), kTax2);
    m_items.reserve(static_cast<size_t>(std::max(0, table->RecordCount())));
    for (int moved = table->Move(Korbel::MoveFirst); moved == 1; moved = table->Move(Korbel::MoveNext)) {
        ChargeItem item;
        item.id = Value(id.get()).toLongLong();
        item.active = Value(active.get()).toLongLong() == 1;
        item.date = Value(date.get()).toDateTime();
        item.description = Value(description.get()).toString();
        item.amount = MoneyValue(amount.get());
        item.tax1 = MoneyValue(tax1.get());
        item.tax2 = MoneyValue(tax2.get());
        m_items.push_back(std::move(item));
    }
    m_sums = SumsOf(m_items);
    return true;
}

void CLogicInvoicing::Close()
{
    m_patientId = 0;
    m_items.clear();
    m_sums = {};
}

ChargeSums CLogicInvoicing::SumsOf(const std::vector<ChargeItem> &items)
{
    ChargeSums sums;
    for (const ChargeItem &item : items) {
        const Money total = item.Total();
        (item.active ? sums.unpaid : sums.paid) += total;
        sums.total += total;
    }
    return sums;
}

int CLogicInvoicing::Fill()
{
    if (Korbel::IXListCtrl *list = List()) {
        list->DeleteAllItems();
        const QStringList statuses = StatusNames();
        const bool due = m_kind == ChargeKind::DuePayments;
        for (const ChargeItem &item : m_items) {
            const int row = Finance::InsertRecordRow(list, Charges::MoneyCell(item.amount), item.id);
            list->SetItemText(row, Tax1Column, Charges::MoneyCell(item.tax1));
            list->SetItemText(row, Tax2Column, Charges::MoneyCell(item.tax2));
            list->SetItemText(row, DateColumn, Charges::DateCell(item.date));
            if (due)
                list->SetItemText(row, DescriptionColumn, Charges::TextCell(item.description));
            else
                list->SetEdit(row, AmountColumn, true);
            list->SetComboBox(row, StatusColumn(), true, statuses, item.active ? 1 : 0);
        }
        if (due)
            Finance::AppendAddNewRow(list);
        list->AdjustColumns();
    }
    ShowSums();
    return 1;
}

void CLogicInvoicing::ShowSums()
{
    if (auto *view = Service<IDuePaymentsView>()) {
        view->ShowChargeSums(m_kind, Verdanta::FormatMoneyForDisplay(m_sums.paid),
            Verdanta::FormatMoneyForDisplay(m_sums.unpaid));
    }
    if (m_sumsChanged)
        m_sumsChanged();
}

void CLogicInvoicing::Reload()
{
    Open(m_patientId);
    Fill();
}

void CLogicInvoicing::Taxes(Money amount, Money *tax1, Money *tax2) const
{
    *tax1 = Money();
    *tax2 = Money();
    auto *office = Service<CLogicOfficeData>();
    if (!office)
        return;
    double rate = 0.0;
    if (office->GetTax1(&rate))
        *tax1 = amount.Percent(rate);
    if (office->GetTax2(&rate))
        *tax2 = amount.Percent(rate);
}

bool CLogicInvoicing::WriteItem(Korbel::ITable *table, const ChargeItem &item, bool isNew, bool fee)
{
    if (!Records::BeginAddOrEdit(table, isNew, item.id))
        return false;
    bool written = SetValue(table, kPatient, m_patientId) && SetValue(table, kDescription, item.description)
        && SetValue(table, kDate, item.date) && SetValue(table, kAmount, item.amount.ToDouble())
        && SetValue(table, kTax1, item.tax1.ToDouble()) && SetValue(table, kTax2, item.tax2.ToDouble());
    if (isNew) {
        written = written && SetValue(table, kActive, true) && SetValue(table, kFee, fee)
            && SetValue(table, kPrescription, false);
    }
    return Records::FinishWrite(table, written);
}

bool CLogicInvoicing::Store(qint64 id, const DuePaymentDetails &details)
{
    if (m_patientId <= 0)
        return false;
    ChargeItem item;
    if (!Charges::ParseTypedMoney(details.amount, &item.amount))
        return false;
    item.id = id;
    item.date = details.date.isValid() ? details.date : QDateTime::currentDateTime();
    item.description = details.description;
    Taxes(item.amount, &item.tax1, &item.tax2);
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool stored = table && WriteItem(table.get(), item, id == 0, m_kind == ChargeKind::MonthlyFees);
    Reload();
    return stored;
}

bool CLogicInvoicing::AddOrModify(QWidget *parent)
{
    auto *dialogs = Service<IInvoicingDialogs>();
    Korbel::IXListCtrl *list = List();
    if (!dialogs || !list || m_kind != ChargeKind::DuePayments || m_patientId <= 0)
        return false;
    const int row = list->GetCurSel();
    if (row < 0)
        return false;
    const qint64 id = Finance::RecordIdOfRow(list, row);
    DuePaymentDetails details;
    details.date = QDateTime::currentDateTime();
    if (id != 0) {
        const auto found = std::find_if(
            m_items.begin(), m_items.end(), [id](const ChargeItem &item) { return item.id == id; });
        if (found == m_items.end())
            return false;
        details.amount = found->amount.ToStorageText();
        details.date = found->date;
        details.description = found->description;
    }
    if (!dialogs->EditDuePayment(parent ? parent : list->DialogParent(), &details))
        return false;
    return Store(id, details);
}

bool CLogicInvoicing::SetStatus(qint64 id, const QString &status)
{
    const QStringList names = StatusNames();
    const int index = names.indexOf(status.trimmed());
    if (index < 0 || id <= 0)
        return false;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    bool stored = table && Records::BeginAddOrEdit(table.get(), false, id);
    if (stored)
        stored = Records::FinishWrite(table.get(), SetValue(table.get(), kActive, index == 1));
    Reload();
    return stored;
}

bool CLogicInvoicing::SetAmount(qint64 id, const QString &amountText)
{
    const auto found = std::find_if(
        m_items.begin(), m_items.end(), [id](const ChargeItem &item) { return item.id == id; });
    ChargeItem item;
    if (found == m_items.end() || !Charges::ParseTypedMoney(amountText, &item.amount)) {
        Reload();
        return false;
    }
    item.id = id;
    item.date = found->date;
    item.description = found->description;
    Taxes(item.amount, &item.tax1, &item.tax2);
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool stored = table && WriteItem(table.get(), item, false, false);
    Reload();
    return stored;
}

bool CLogicInvoicing::Delete(qint64 id)
{
    if (id <= 0)
        return false;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool deleted = table && Records::LocateId(table.get(), id) && table->Delete() > 0;
    Open(m_patientId);
    ShowSums();
    return deleted;
}

int CLogicInvoicing::RunMonthlyFee(qint64 patientId, const QDateTime &now)
{
    if (m_kind != ChargeKind::MonthlyFees || patientId <= 0)
        return 0;
    int added = RunOnce(patientId, now);
    // Another program on the same database may have written the patient's
    // fees between this run's reading and its writing: the write then fails,
    // and a second run reads what the other one wrote.
    if (added < 0)
        added = RunOnce(patientId, now);
    return added;
}

MonthlyFeePlan CLogicInvoicing::PlanFor(qint64 patientId, const QDateTime &now, Money *fee, bool *read)
{
    *read = false;
    Korbel::IDataSource *source = m_context.DataSource();
    Korbel::ReleasePtr<Korbel::IQuery> query(source ? source->CreateQuery() : nullptr);
    if (!query)
        return {};
    // The fee and the moment it was set, as stored now (not as a record set
    // opened earlier remembers them).
    query->SetTable(QStringLiteral("MAIN"));
    query->Where(kId, Korbel::Compare::Equal, Verdanta::FormatId(patientId));
    Records::TablePtr patient(query->Open());
    if (!patient || patient->Move(Korbel::MoveFirst) != 1)
        return {};
    Records::FieldPtr feeField = Records::OpenField(patient.get(), QStringLiteral("MONTHLY_FEE"));
    Records::FieldPtr changedField = Records::OpenField(patient.get(), QStringLiteral("MONTHLY_FEE_TS"));
    *fee = MoneyValue(feeField.get());

    MonthlyFeeInput input;
    input.feeIsZero = fee->IsZero();
    input.feeChanged = Value(changedField.get()).toDateTime();
    input.now = now;
    if (input.feeIsZero) {
        *read = true;
        return {};
    }
    Records::TablePtr latest = OpenCharges(source, patientId, ChargeKind::MonthlyFees, true);
    if (!latest)
        return {};
    if (latest->Move(Korbel::MoveFirst) == 1) {
        Records::FieldPtr date = Records::OpenField(latest.get(), kDate);
        const QDateTime last = Value(date.get()).toDateTime();
        if (last.isValid())
            input.lastItem = last.date();
    }
    *read = true;
    return PlanMonthlyFees(input);
}

int CLogicInvoicing::RunOnce(qint64 patientId, const QDateTime &now)
{
    Korbel::IDataSource *source = m_context.DataSource();
    if (!source)
        return -1;
    // A first look outside a transaction: when nothing is due, as at almost
    // every load, the run ends here.
    Money fee;
    bool read = false;
    MonthlyFeePlan plan = PlanFor(patientId, now, &fee, &read);
    if (!read)
        return -1;
    if (plan.fillUp.isEmpty() && plan.catchUp.isEmpty())
        return 0;

    // Something is due: read again inside the transaction that writes, so
    // that what is written follows from what is stored when it is written.
    // The patient's row is locked first: a seat running the same patient's
    // fees at the same moment waits here, then reads what this one wrote.
    ScopedTransaction transaction(source);
    if (!transaction.IsActive() || !Korbel::LockRow(source, QStringLiteral("MAIN"), patientId))
        return -1;
    plan = PlanFor(patientId, now, &fee, &read);
    if (!read)
        return -1;
    if (plan.fillUp.isEmpty() && plan.catchUp.isEmpty())
        return 0;

    Records::TablePtr table(source->OpenTable(kTable));
    if (!table)
        return -1;
    const qint64 previousPatient = m_patientId;
    m_patientId = patientId;
    bool written = true;
    ChargeItem item;
    for (const QDate &date : plan.fillUp) {
        item.date = QDateTime(date, QTime(0, 0));
        written = written && WriteItem(table.get(), item, true, true);
    }
    item.amount = fee;
    Taxes(fee, &item.tax1, &item.tax2);
    for (const QDate &date : plan.catchUp) {
        item.date = QDateTime(date, QTime(0, 0));
        written = written && WriteItem(table.get(), item, true, true);
    }
    m_patientId = previousPatient;
    if (!written || !transaction.Commit())
        return -1;
    return int(plan.fillUp.size() + plan.catchUp.size());
}

void CLogicInvoicing::ItemDoubleClicked(int, int)
{
    if (m_kind == ChargeKind::DuePayments)
        AddOrModify(nullptr);
}

void CLogicInvoicing::ComboSelection(int row, int column)
{
    if (!m_pList || column != StatusColumn())
        return;
    SetStatus(Finance::RecordIdOfRow(m_pList, row), m_pList->GetComboText(row, column));
}

void CLogicInvoicing::EndEdit(int row, int column, bool accepted)
{
    if (!m_pList || column != AmountColumn || m_kind != ChargeKind::MonthlyFees)
        return;
    if (!accepted) {
        Fill();
        return;
    }
    SetAmount(Finance::RecordIdOfRow(m_pList, row), m_pList->GetItemText(row, column));
}

bool CLogicInvoicing::DeleteRow(int row)
{
    if (!m_pList || m_pList->IsItemPlaceHolder(row))
        return false;
    return Delete(Finance::RecordIdOfRow(m_pList, row));
}

void CLogicInvoicing::ShowMonthlyFee()
{
    auto *view = Service<IDuePaymentsView>();
    Korbel::ITable *main = m_context.MainTable();
    if (!view || m_kind != ChargeKind::MonthlyFees)
        return;
    Records::FieldPtr field = main && m_context.CurrentPatientId() > 0
        ? Records::OpenField(main, QStringLiteral("MONTHLY_FEE"))
        : Records::FieldPtr();
    const QVariant value = Value(field.get());
    if (!value.isValid()) {
        view->SetMonthlyFeeText(QString());
        return;
    }
    const Money fee = Money::FromDouble(value.toDouble());
    view->SetMonthlyFeeText(QLocale().toString(fee.ToDouble(), 'f', fee.Units() % 100 == 0 ? 2 : 4));
}

int CLogicInvoicing::StoreMonthlyFee(const QDateTime &now)
{
    auto *view = Service<IDuePaymentsView>();
    Korbel::ITable *main = m_context.MainTable();
    if (!view || !main || m_kind != ChargeKind::MonthlyFees || m_context.CurrentPatientId() <= 0)
        return 1;
    const QString text = view->MonthlyFeeText().trimmed();
    Money typed;
    if (!text.isEmpty() && !Charges::ParseTypedMoney(text, &typed)) {
        ShowMonthlyFee();
        return 1;
    }
    Records::FieldPtr feeField = Records::OpenField(main, QStringLiteral("MONTHLY_FEE"));
    Records::FieldPtr changedField = Records::OpenField(main, QStringLiteral("MONTHLY_FEE_TS"));
    const QVariant stored = Value(feeField.get());
    const bool wasEmpty = !stored.isValid();
    const Money storedFee = wasEmpty ? Money() : Money::FromDouble(stored.toDouble());
    const bool amountChanged = text.isEmpty() ? !wasEmpty : (wasEmpty || typed != storedFee);
    const bool clockMissing = !typed.IsZero() && !Value(changedField.get()).isValid();
    if (!amountChanged && !clockMissing)
        return 1;
    if (main->Edit() != 1)
        return 0;
    bool written = text.isEmpty() ? feeField->SetNull() : feeField->SetValue(typed.ToDouble());
    written = written && changedField && changedField->SetValue(now);
    return Records::FinishWrite(main, written) ? 1 : 0;
}

int CLogicInvoicing::OnCommand(LogicCommand &command)
{
    const bool showCurrent = command.subCommand == PageSubCommand::ShowCurrent;
    switch (command.code) {
    case CommandCode::DuePaymentsList:
    case CommandCode::DuePaymentsCommand:
        if (m_kind != ChargeKind::DuePayments)
            return 0;
        if (showCurrent)
            return Fill();
        return AddOrModify(command.window) ? 1 : 0;
    case CommandCode::MonthlyFee:
        if (m_kind != ChargeKind::MonthlyFees)
            return 0;
        if (showCurrent)
            ShowMonthlyFee();
        return Fill();
    default:
        return 0;
    }
}
