#include "invoicing/CLogicPayments.h"

#include "invoicing/ChargeText.h"
#include "invoicing/FieldValues.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "finance/PrescriptionSums.h"
#include "finance/ReferenceList.h"

using Charges::MoneyValue;
using Charges::SetValue;
using Charges::Value;
using Verdanta::Money;

namespace {

const QString kTable = QStringLiteral("PAYMENTS");
const QString kId = QStringLiteral("ID");
const QString kPatient = QStringLiteral("PATIENT_ID");
const QString kAmount = QStringLiteral("AMOUNT");
const QString kDate = QStringLiteral("PAYMENT_DT");
const QString kType = QStringLiteral("TYPE_ID");
const QString kDescription = QStringLiteral("DESCRIPTION");

} // namespace

CLogicPayments::CLogicPayments(
    LogicContext &context, CLogicInvoicing &duePayments, CLogicInvoicing &monthlyFees)
    : m_context(context)
    , m_duePayments(duePayments)
    , m_monthlyFees(monthlyFees)
{ }

CLogicPayments::~CLogicPayments()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
    if (auto *prescriptions = Service<IPrescriptionSums>())
        prescriptions->SetSumsChangedHandler({});
}

QStringList CLogicPayments::Headings()
{
    return { tr("Amount"), tr("Date"), tr("Type"), tr("Description") };
}

Korbel::IXListCtrl *CLogicPayments::List()
{
    auto *view = Service<IPaymentsView>();
    Korbel::IXListCtrl *list = view ? view->PaymentsList() : nullptr;
    m_pList = Charges::TakeList(m_pList, list, this, Headings());
    return m_pList;
}

void CLogicPayments::ReadTypes()
{
    m_types.clear();
    Records::TablePtr types
        = Records::OpenOrdered(m_context.DataSource(), QStringLiteral("TYPE_PAYMENTS"), kId);
    qint64 id = 0;
    QString name;
    for (bool more = Records::MoveAndRead(types.get(), Korbel::MoveFirst, QStringLiteral("NAME"), &id, &name);
         more; more = Records::MoveAndRead(types.get(), Korbel::MoveNext, QStringLiteral("NAME"), &id, &name))
        m_types.emplace_back(id, name);
}

QStringList CLogicPayments::TypeNames() const
{
    QStringList names;
    for (const auto &type : m_types)
        names.append(type.second);
    return names;
}

QString CLogicPayments::TypeName(qint64 typeId) const
{
    for (const auto &type : m_types) {
        if (type.first == typeId)
            return type.second;
    }
    return QString();
}

bool CLogicPayments::Open(qint64 patientId)
{
    m_patientId = patientId;
    m_items.clear();
    ReadTypes();
    if (patientId <= 0)
        return true;
    Records::TablePtr table = Records::OpenPatientRows(m_context.DataSource(), kTable, patientId, kDate);
    if (!table)
        return false;
    Records::FieldPtr id = Records::OpenField(table.get(), kId);
    Records::FieldPtr amount = Records::OpenField(table.get(), kAmount);
    Records::FieldPtr date = Records::OpenField(table.get(), kDate);
    Records::FieldPtr type = Records::OpenField(table.get(), kType);
    Records::FieldPtr description = Records::OpenField(table.get(), kDescription);
    m_items.reserve(static_cast<size_t>(std::max(0, table->RecordCount())));
    for (int moved = table->Move(Korbel::MoveFirst); moved == 1; moved = table->Move(Korbel::MoveNext)) {
        PaymentItem item;
        item.id = Value(id.get()).toLongLong();
        item.amount = MoneyValue(amount.get());
        item.date = Value(date.get()).toDateTime();
        item.typeId = Value(type.get()).toLongLong();
        item.description = Value(description.get()).toString();
        m_items.push_back(std::move(item));
    }
    return true;
}

void CLogicPayments::Close()
{
    m_patientId = 0;
    m_items.clear();
    m_balances = {};
}

int CLogicPayments::Fill()
{
    if (Korbel::IXListCtrl *list = List()) {
        list->DeleteAllItems();
        for (const PaymentItem &item : m_items) {
            const int row = Finance::InsertRecordRow(list, Charges::MoneyCell(item.amount), item.id);
            list->SetItemText(row, DateColumn, Charges::DateCell(item.date));
            list->SetItemText(row, TypeColumn, Charges::TextCell(TypeName(item.typeId)));
            list->SetItemText(row, DescriptionColumn, Charges::TextCell(item.description));
        }
        Finance::AppendAddNewRow(list);
        list->AdjustColumns();
    }
    Recompute();
    return 1;
}

Balances CLogicPayments::Compute(Money payments, const ChargeSums &due, const ChargeSums &fees,
    Money prescriptionsPaid, Money prescriptionsTotal)
{
    Balances balances;
    balances.payments = payments;
    balances.availableFunds = payments - (prescriptionsPaid + fees.paid + due.paid);
    balances.totalBalance = payments - (prescriptionsTotal + fees.total + due.total);
    return balances;
}

const Balances &CLogicPayments::Recompute()
{
    Money payments;
    for (const PaymentItem &item : m_items)
        payments += item.amount;
    PrescriptionSums prescriptions;
    if (auto *sums = Service<IPrescriptionSums>())
        prescriptions = sums->Sums();
    m_balances = Compute(
        payments, m_duePayments.Sums(), m_monthlyFees.Sums(), prescriptions.paid, prescriptions.total);
    if (auto *view = Service<IDuePaymentsView>())
        view->ShowAvailableFunds(Verdanta::FormatMoneyForDisplay(m_balances.availableFunds));
    if (auto *view = Service<IPaymentsView>())
        view->ShowTotalBalance(Verdanta::FormatMoneyForDisplay(m_balances.totalBalance));
    return m_balances;
}

bool CLogicPayments::Store(qint64 id, const PaymentDetails &details)
{
    PaymentItem item;
    if (m_patientId <= 0 || !Charges::ParseTypedMoney(details.amount, &item.amount))
        return false;
    const auto type = std::find_if(m_types.begin(), m_types.end(),
        [&details](const auto &entry) { return entry.second == details.type; });
    if (type == m_types.end())
        return false;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    bool stored = table && Records::BeginAddOrEdit(table.get(), id == 0, id);
    if (stored) {
        const QDateTime date = details.date.isValid() ? details.date : QDateTime::currentDateTime();
        const bool written = SetValue(table.get(), kPatient, m_patientId)
            && SetValue(table.get(), kAmount, item.amount.ToDouble()) && SetValue(table.get(), kDate, date)
            && SetValue(table.get(), kType, type->first)
            && SetValue(table.get(), kDescription, details.description);
        stored = Records::FinishWrite(table.get(), written);
    }
    Open(m_patientId);
    Fill();
    return stored;
}

bool CLogicPayments::AddOrModify(QWidget *parent)
{
    auto *dialogs = Service<IInvoicingDialogs>();
    Korbel::IXListCtrl *list = List();
    if (!dialogs || !list || m_patientId <= 0)
        return false;
    const int row = list->GetCurSel();
    if (row < 0)
        return false;
    const qint64 id = Finance::RecordIdOfRow(list, row);
    PaymentDetails details;
    details.date = QDateTime::currentDateTime();
    if (id != 0) {
        const auto found = std::find_if(
            m_items.begin(), m_items.end(), [id](const PaymentItem &item) { return item.id == id; });
        if (found == m_items.end())
            return false;
        details.amount = found->amount.ToStorageText();
        details.date = found->date;
        details.type = TypeName(found->typeId);
        details.description = found->description;
    }
    if (!dialogs->EditPayment(parent ? parent : list->DialogParent(), TypeNames(), &details))
        return false;
    return Store(id, details);
}

bool CLogicPayments::Delete(qint64 id)
{
    if (id <= 0)
        return false;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool deleted = table && Records::LocateId(table.get(), id) && table->Delete() > 0;
    Open(m_patientId);
    Recompute();
    return deleted;
}

int CLogicPayments::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::PaymentsList:
        if (command.subCommand == PageSubCommand::ShowCurrent)
            return Fill();
        return AddOrModify(command.window) ? 1 : 0;
    case CommandCode::PaymentsCommand:
        return AddOrModify(command.window) ? 1 : 0;
    case CommandCode::PrescriptionStatus:
        Recompute();
        return 1;
    default:
        return 0;
    }
}

void CLogicPayments::ItemDoubleClicked(int, int)
{
    AddOrModify(nullptr);
}

bool CLogicPayments::DeleteRow(int row)
{
    if (!m_pList || m_pList->IsItemPlaceHolder(row) || m_pList->GetItemCount() <= 1)
        return false;
    return Delete(Finance::RecordIdOfRow(m_pList, row));
}
