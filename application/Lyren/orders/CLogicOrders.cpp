#include "orders/CLogicOrders.h"

#include "orders/OrderDetails.h"
#include "orders/OrderDialogs.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/MailSender.h"
#include "core/Transaction.h"
#include "core/WaitCursor.h"
#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicProviders.h"
#include "finance/LogicStocks.h"

#include "common/Identifiers.h"
#include "common/LocaleDates.h"
#include "desktop/Prompts.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace {

const QString kId = QStringLiteral("ID");
const QString kOrderId = QStringLiteral("ORDER_ID");
const QString kStatusId = QStringLiteral("STATUS_ID");
const QString kMedicineId = QStringLiteral("MEDICINE_ID");
const QString kDilutionId = QStringLiteral("DILUTION_ID");
const QString kQuantity = QStringLiteral("QUANTITY");
const QString kEstimatedPrice = QStringLiteral("ESTIMATED_PRICE");
const QString kCreation = QStringLiteral("CREATION_DT");

// The fields of a record set, opened once for a walk or a write.
class Columns
{
public:
    Columns(Korbel::ITable *table, std::initializer_list<QString> names)
    {
        for (const QString &name : names)
            m_fields.push_back(Records::OpenField(table, name));
    }
    bool Valid() const
    {
        return std::all_of(m_fields.begin(), m_fields.end(), [](const auto &field) { return bool(field); });
    }
    QVariant Value(int column) const { return m_fields[size_t(column)]->GetValue(); }
    qint64 Id(int column) const { return Value(column).toLongLong(); }
    int Count(int column) const
    {
        return int(
            std::clamp<qint64>(Id(column), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    QString Text(int column) const { return m_fields[size_t(column)]->GetAsString(); }
    QDateTime DateTime(int column) const { return Value(column).toDateTime(); }
    Verdanta::Money Money(int column) const { return Verdanta::Money::FromDouble(Value(column).toDouble()); }
    bool Set(int column, const QVariant &value) { return m_fields[size_t(column)]->SetValue(value); }

private:
    std::vector<Records::FieldPtr> m_fields;
};

// The rows of a table whose field equals an ID.
Records::TablePtr OpenWhere(
    Korbel::IDataSource *source, const QString &table, const QString &field, qint64 value)
{
    if (!source)
        return {};
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return {};
    query->SetTable(table);
    query->Where(field, Korbel::Compare::Equal, Verdanta::FormatId(value));
    return Records::TablePtr(query->Open());
}

QVariant DateValue(const QDateTime &date)
{
    return date.isValid() ? QVariant(date) : QVariant();
}

QString DateText(const QDateTime &date)
{
    return date.isValid() ? Verdanta::FormatLocaleDate(date.date()) : QString();
}

// The fields of ORDERS in the order of the columns below.
enum OrderField { OId, OCreation, OSent, ODesc, OStatus, OProvider, OPrice };
Columns OrderColumns(Korbel::ITable *orders)
{
    return Columns(orders,
        { kId, kCreation, QStringLiteral("SENT_DT"), QStringLiteral("DESC"), kStatusId,
            QStringLiteral("PROVIDER_ID"), kEstimatedPrice });
}

enum ItemField { IId, IOrder, IMedicine, IDilution, IQuantity, IPrice };
Columns ItemColumns(Korbel::ITable *items)
{
    return Columns(items, { kId, kOrderId, kMedicineId, kDilutionId, kQuantity, kEstimatedPrice });
}

} // namespace

CLogicOrders::CLogicOrders(LogicContext &context)
    : m_context(context)
{ }

CLogicOrders::~CLogicOrders()
{
    SetList(nullptr);
}

QWidget *CLogicOrders::dialogParent(QWidget *window) const
{
    if (window)
        return window;
    return m_pList ? m_pList->DialogParent() : m_context.DialogParent();
}

bool CLogicOrders::LoadLookups()
{
    Korbel::IDataSource *source = m_context.DataSource();
    m_statuses.clear();
    Records::TablePtr statuses = Records::OpenOrdered(source, QStringLiteral("STATUS"), QString());
    if (!statuses)
        return false;
    const Columns status(statuses.get(), { kId, QStringLiteral("NAME"), QStringLiteral("COLOR") });
    if (!status.Valid())
        return false;
    for (int ok = statuses->Move(Korbel::MoveFirst); ok == 1; ok = statuses->Move(Korbel::MoveNext))
        m_statuses[int(status.Id(0))] = StatusInfo { status.Text(1), status.Id(2) };
    m_newStatusNames = QStringList { statusName(OrderStatus::New), statusName(OrderStatus::Sent) };
    m_sentStatusNames = m_newStatusNames;
    m_sentStatusNames << statusName(OrderStatus::Received);

    m_providerNames = QStringList { CLogicMedicines::NoProvider() };
    m_providerIds = { 0 };
    Records::TablePtr providers
        = Records::OpenOrdered(source, QStringLiteral("PROVIDERS"), QStringLiteral("NAME"));
    const Columns provider(providers.get(), { kId, QStringLiteral("NAME") });
    if (!providers || !provider.Valid())
        return false;
    for (int ok = providers->Move(Korbel::MoveFirst); ok == 1; ok = providers->Move(Korbel::MoveNext)) {
        m_providerIds.push_back(provider.Id(0));
        m_providerNames << provider.Text(1);
    }

    m_dilutions.clear();
    if (auto *dilutions = m_context.Services().Get<CLogicDilutions>(); dilutions && dilutions->Open()) {
        qint64 id = 0;
        QString value;
        for (bool more = dilutions->First(&id, &value); more; more = dilutions->Next(&id, &value))
            m_dilutions.insert(id, value);
    }
    auto *medicines = m_context.Services().Get<CLogicMedicines>();
    return medicines && medicines->Open() && medicines->LoadRemedyMap();
}

QString CLogicOrders::statusName(int statusId) const
{
    const auto found = m_statuses.find(statusId);
    return found == m_statuses.end() ? QString() : found->second.name;
}

int CLogicOrders::statusId(const QString &name) const
{
    for (const auto &[id, status] : m_statuses) {
        if (status.name == name)
            return id;
    }
    return 0;
}

QString CLogicOrders::dilutionValue(qint64 id) const
{
    return m_dilutions.value(id);
}

bool CLogicOrders::providerNamed(qint64 providerId, QString *name) const
{
    // Entry 0 is "NoProvider", which names no provider.
    for (size_t i = 1; i < m_providerIds.size(); ++i) {
        if (m_providerIds[i] == providerId) {
            *name = m_providerNames.at(qsizetype(i));
            return !name->isEmpty();
        }
    }
    name->clear();
    return false;
}

bool CLogicOrders::openOrders()
{
    if (!m_pOrders)
        m_pOrders = Records::OpenOrdered(m_context.DataSource(), QStringLiteral("ORDERS"), QString());
    return static_cast<bool>(m_pOrders);
}

void CLogicOrders::SetList(Korbel::IXListCtrl *list)
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    if (!m_pList)
        return;
    m_pList->SetCallback(this);
    if (m_pList->GetColumnCount() == 0) {
        const QStringList headings { tr("Creation Date"), tr("Sent Date"), tr("Description"), tr("Provider"),
            tr("Status"), tr("Price") };
        for (int column = 0; column < headings.size(); ++column)
            m_pList->InsertColumn(column, headings.at(column));
    }
}

bool CLogicOrders::FillList()
{
    if (!m_pList || !openOrders())
        return false;
    m_pList->DeleteAllItems();
    Korbel::ITable *orders = m_pOrders.get();
    const Columns fields = OrderColumns(orders);
    if (!fields.Valid())
        return false;
    for (int ok = orders->Move(Korbel::MoveFirst); ok == 1; ok = orders->Move(Korbel::MoveNext)) {
        const int row = m_pList->InsertItem(m_pList->GetItemCount(), QString());
        m_pList->SetItemData(row, static_cast<quintptr>(fields.Id(OId)));
        m_pList->SetItemDeletable(row, true);
        fillRow(row);
    }
    m_pList->AdjustColumns();
    return true;
}

qint64 CLogicOrders::orderOfRow(int row) const
{
    if (!m_pList || row < 0 || row >= m_pList->GetItemCount())
        return 0;
    return static_cast<qint64>(m_pList->GetItemData(row));
}

int CLogicOrders::rowOfOrder(qint64 orderId) const
{
    return m_pList ? m_pList->FindItemData(static_cast<quintptr>(orderId)) : -1;
}

void CLogicOrders::fillRow(int row)
{
    Korbel::ITable *orders = m_pOrders.get();
    if (!m_pList || !orders || !Records::LocateId(orders, orderOfRow(row)))
        return;
    const Columns fields = OrderColumns(orders);
    if (!fields.Valid())
        return;
    m_pList->SetItemText(row, CreationColumn, DateText(fields.DateTime(OCreation)));
    m_pList->SetItemText(row, SentColumn, DateText(fields.DateTime(OSent)));
    m_pList->SetItemText(row, DescriptionColumn, fields.Text(ODesc));

    // An order without a (named) provider lets the user choose one in place.
    QString provider;
    if (providerNamed(fields.Id(OProvider), &provider)) {
        m_pList->SetComboBox(row, ProviderColumn, false, {});
        m_pList->SetItemText(row, ProviderColumn, provider);
    } else {
        m_pList->SetComboBox(row, ProviderColumn, true, m_providerNames, 0);
    }

    // A received order is final; a new one cannot be received before it was sent.
    const int status = int(fields.Id(OStatus));
    if (status == OrderStatus::Received) {
        m_pList->SetComboBox(row, StatusColumn, false, {});
        m_pList->SetItemText(row, StatusColumn, statusName(status));
    } else {
        const QStringList &choices = status == OrderStatus::New ? m_newStatusNames : m_sentStatusNames;
        m_pList->SetComboBox(row, StatusColumn, true, choices, int(choices.indexOf(statusName(status))));
    }
    m_pList->SetItemText(row, PriceColumn, Verdanta::FormatMoneyForDisplay(fields.Money(OPrice)));
}

int CLogicOrders::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::Orders: {
        IOrderDialogs *dialogs = m_context.Services().Get<IOrderDialogs>();
        if (!dialogs || !LoadLookups())
            return 0;
        m_pOrders.reset();
        if (!openOrders())
            return 0;
        IOrderDialogs::OrdersHooks hooks;
        hooks.attach = [this](Korbel::IXListCtrl *list) {
            SetList(list);
            if (list)
                FillList();
        };
        hooks.generate = [this] { Generate(nullptr); };
        hooks.send = [this] { Send(nullptr); };
        dialogs->ShowOrders(command.window, hooks);
        SetList(nullptr);
        m_pOrders.reset();
        return 1;
    }
    case CommandCode::OrdersCommand:
        if (!m_pList)
            return 0;
        if (command.subCommand == OrdersSubCommand::Generate)
            return Generate(command.window) ? 1 : 0;
        if (command.subCommand == OrdersSubCommand::Send)
            return Send(command.window) ? 1 : 0;
        return 0;
    case CommandCode::OrderDetails:
        return m_pList && Modify(command.id, command.window) ? 1 : 0;
    default:
        return 0;
    }
}

void CLogicOrders::ItemDoubleClicked(int row, int /*column*/)
{
    Modify(orderOfRow(row), nullptr);
}

void CLogicOrders::ComboSelection(int row, int column)
{
    if (!m_pList)
        return;
    const QString chosen = m_pList->GetComboText(row, column);
    if (column == StatusColumn)
        ChangeStatus(row, chosen);
    else if (column == ProviderColumn)
        ChangeProvider(row, chosen);
}

bool CLogicOrders::DeleteRow(int row)
{
    // The row goes only with its order; Delete refills nothing else.
    return Delete(row);
}

// Generation.

bool CLogicOrders::Generate(QWidget *window)
{
    auto *stocks = m_context.Services().Get<CLogicStocks>();
    auto *medicines = m_context.Services().Get<CLogicMedicines>();
    if (!stocks || !medicines || !LoadLookups() || !openOrders())
        return false;
    m_orders.clear();
    {
        WaitCursor wait;
        if (!stocks->Open())
            return false;
        const RemedyMap &remedies = medicines->GetRemedyMap();
        std::unordered_map<qint64, size_t> orderOfProvider;
        const QDateTime now = QDateTime::currentDateTime();
        StockRow stock;
        for (bool more = stocks->First(&stock); more; more = stocks->Next(&stock)) {
            if (!CLogicStocks::NeedsReplenishing(stock.stock, stock.predicted, stock.threshold))
                continue;
            const auto remedy = remedies.find(stock.remedyId);
            const int quantity = CLogicStocks::QuantityToOrder(
                stock.stock, stock.threshold, stock.replenish, stock.predicted);
            // A negative replenish quantity can bring the count to nothing to order.
            if (remedy == remedies.end() || quantity <= 0)
                continue;
            OrderLine line;
            line.remedyId = stock.remedyId;
            line.dilutionId = stock.dilutionId;
            line.quantity = quantity;
            line.unitPrice = Verdanta::Money::FromDouble(remedy->second.providerPrice);
            const auto [slot, added]
                = orderOfProvider.try_emplace(remedy->second.providerId, m_orders.size());
            if (added) {
                Order order;
                order.providerId = remedy->second.providerId;
                providerNamed(order.providerId, &order.providerName);
                order.creationDate = now;
                m_orders.push_back(std::move(order));
            }
            m_orders[slot->second].lines.push_back(std::move(line));
        }
        if (!m_orders.empty())
            attachWaitingPrescriptions();
    }
    if (m_orders.empty()) {
        Desktop::Inform(dialogParent(window), tr("There is no remedy scheduled to be ordered."));
        return false;
    }
    const bool stored = showDetails(window) && storeSet(true);
    if (!stored)
        m_orders.clear();
    return stored;
}

void CLogicOrders::attachWaitingPrescriptions()
{
    Korbel::IDataSource *source = m_context.DataSource();
    auto *medicines = m_context.Services().Get<CLogicMedicines>();
    Records::TablePtr waiting
        = OpenWhere(source, QStringLiteral("PRESCRIPTIONS"), kStatusId, OrderStatus::New);
    if (!waiting || !medicines)
        return;
    const Columns fields(
        waiting.get(), { kId, QStringLiteral("PATIENT_ID"), kMedicineId, kDilutionId, kQuantity, kCreation });
    if (!fields.Valid())
        return;

    // The lines of each remedy and dilution, in the order of the set.
    QHash<QPair<qint64, qint64>, std::vector<std::pair<size_t, size_t>>> lines;
    for (size_t o = 0; o < m_orders.size(); ++o) {
        for (size_t l = 0; l < m_orders[o].lines.size(); ++l) {
            const OrderLine &line = m_orders[o].lines[l];
            lines[{ line.remedyId, line.dilutionId }].emplace_back(o, l);
        }
    }
    const RemedyMap &remedies = medicines->GetRemedyMap();
    struct Found
    {
        OrderLine *line;
        qint64 patientId;
        AttachedPrescription prescription;
    };
    std::vector<Found> found;
    for (int ok = waiting->Move(Korbel::MoveFirst); ok == 1; ok = waiting->Move(Korbel::MoveNext)) {
        const qint64 remedyId = fields.Id(2);
        const auto candidates = lines.constFind({ remedyId, fields.Id(3) });
        if (candidates == lines.cend())
            continue;
        const auto remedy = remedies.find(remedyId);
        const qint64 provider = remedy == remedies.end() ? 0 : remedy->second.providerId;
        for (const auto &[o, l] : *candidates) {
            Order &order = m_orders[o];
            if (order.providerId != 0 && order.providerId != provider)
                continue;
            found.push_back({ &order.lines[l], fields.Id(1),
                { fields.Id(0), {}, {}, fields.Count(4), DateText(fields.DateTime(5)) } });
            break;
        }
    }
    if (found.empty())
        return;

    // The patients' names: a walk over every patient when many are wanted,
    // one look-up each otherwise.
    QHash<qint64, std::pair<QString, QString>> names;
    for (const Found &f : found)
        names.insert(f.patientId, {});
    Records::TablePtr patients(source->OpenTable(QStringLiteral("MAIN")));
    const Columns name(patients.get(), { kId, QStringLiteral("FIRST_NAME"), QStringLiteral("LAST_NAME") });
    if (patients && name.Valid()) {
        if (names.size() > 64) {
            for (int ok = patients->Move(Korbel::MoveFirst); ok == 1; ok = patients->Move(Korbel::MoveNext)) {
                const auto wanted = names.find(name.Id(0));
                if (wanted != names.end())
                    *wanted = { name.Text(1), name.Text(2) };
            }
        } else {
            for (auto wanted = names.begin(); wanted != names.end(); ++wanted) {
                if (Records::LocateId(patients.get(), wanted.key()))
                    *wanted = { name.Text(1), name.Text(2) };
            }
        }
    }
    for (Found &f : found) {
        const auto &[first, last] = names.value(f.patientId);
        f.prescription.firstName = first;
        f.prescription.lastName = last;
        f.line->prescriptions.push_back(std::move(f.prescription));
    }
}

bool CLogicOrders::showDetails(QWidget *window)
{
    IOrderDialogs *dialogs = m_context.Services().Get<IOrderDialogs>();
    auto *medicines = m_context.Services().Get<CLogicMedicines>();
    if (!dialogs || !medicines)
        return false;
    const RemedyMap &remedies = medicines->GetRemedyMap();
    COrderDetails::Lookups lookups;
    lookups.remedyName = [&remedies](qint64 id) {
        const auto found = remedies.find(id);
        return found == remedies.end() ? QString() : found->second.name;
    };
    lookups.dilutionValue = [this](qint64 id) { return dilutionValue(id); };
    lookups.providerPrice = [&remedies](qint64 id) {
        const auto found = remedies.find(id);
        return found == remedies.end() ? Verdanta::Money()
                                       : Verdanta::Money::FromDouble(found->second.providerPrice);
    };
    lookups.statusName = [this](int id) { return statusName(id); };
    COrderDetails details(m_orders, lookups, m_providerNames, m_providerIds);
    return dialogs->EditOrders(dialogParent(window), details);
}

// Modification.

bool CLogicOrders::loadOrder(qint64 orderId, Order *order)
{
    Korbel::IDataSource *source = m_context.DataSource();
    if (!openOrders() || !Records::LocateId(m_pOrders.get(), orderId))
        return false;
    const Columns fields = OrderColumns(m_pOrders.get());
    if (!fields.Valid())
        return false;
    order->id = orderId;
    order->providerId = fields.Id(OProvider);
    providerNamed(order->providerId, &order->providerName);
    order->statusId = int(fields.Id(OStatus));
    order->description = fields.Text(ODesc);
    order->creationDate = fields.DateTime(OCreation);
    order->sentDate = fields.DateTime(OSent);

    Records::TablePtr items = OpenWhere(source, QStringLiteral("ORDER_ITEMS"), kOrderId, orderId);
    const Columns item = ItemColumns(items.get());
    if (!items || !item.Valid())
        return false;
    for (int ok = items->Move(Korbel::MoveFirst); ok == 1; ok = items->Move(Korbel::MoveNext)) {
        OrderLine line;
        line.id = item.Id(IId);
        line.remedyId = item.Id(IMedicine);
        line.dilutionId = item.Id(IDilution);
        line.quantity = item.Count(IQuantity);
        line.unitPrice = item.Money(IPrice);
        line.state = OrderLine::State::Stored;
        order->lines.push_back(std::move(line));
    }

    Records::TablePtr attached = OpenWhere(source, QStringLiteral("PRESCRIPTIONS"), kOrderId, orderId);
    const Columns prescription(attached.get(),
        { kId, QStringLiteral("PATIENT_ID"), kMedicineId, kDilutionId, kQuantity, kCreation });
    Records::TablePtr patients(source->OpenTable(QStringLiteral("MAIN")));
    if (!attached || !prescription.Valid() || !patients)
        return false;
    for (int ok = attached->Move(Korbel::MoveFirst); ok == 1; ok = attached->Move(Korbel::MoveNext)) {
        const auto line = std::find_if(order->lines.begin(), order->lines.end(), [&](const OrderLine &l) {
            return l.remedyId == prescription.Id(2) && l.dilutionId == prescription.Id(3);
        });
        // One that matches no line keeps its order until the order goes.
        if (line == order->lines.end())
            continue;
        AttachedPrescription p { prescription.Id(0), {}, {}, prescription.Count(4),
            DateText(prescription.DateTime(5)) };
        if (Records::LocateId(patients.get(), prescription.Id(1))) {
            p.firstName = Records::ReadText(patients.get(), QStringLiteral("FIRST_NAME"));
            p.lastName = Records::ReadText(patients.get(), QStringLiteral("LAST_NAME"));
        }
        line->prescriptions.push_back(std::move(p));
    }
    return true;
}

bool CLogicOrders::Modify(qint64 orderId, QWidget *window)
{
    if (orderId <= 0 || !LoadLookups())
        return false;
    m_orders.clear();
    Order order;
    if (!loadOrder(orderId, &order))
        return false;
    m_orders.push_back(std::move(order));
    if (!showDetails(window)) {
        m_orders.clear();
        return false;
    }
    const bool deletesOrders = std::any_of(
        m_orders.begin(), m_orders.end(), [](const Order &o) { return o.id != 0 && o.IsEmpty(); });
    if (deletesOrders
        && !Desktop::AskYesNo(dialogParent(window),
            tr("Some of the orders have no items and therefore will be deleted.\nDo you want to "
               "continue?"))) {
        m_orders.clear();
        return false;
    }
    const bool stored = storeSet(false);
    m_orders.clear();
    return stored;
}

// Storing.

bool CLogicOrders::setPrescription(Korbel::ITable *prescriptions, qint64 id, int statusId, qint64 orderId,
    QList<PrescriptionStatusChange> *changes)
{
    // A prescription deleted in the meantime has nothing to follow.
    if (!Records::LocateId(prescriptions, id))
        return true;
    if (prescriptions->Edit() != 1)
        return false;
    const bool written = Records::WriteText(prescriptions, kStatusId, Verdanta::FormatId(statusId))
        && Records::WriteText(prescriptions, kOrderId, Verdanta::FormatId(orderId));
    if (!Records::FinishWrite(prescriptions, written))
        return false;
    changes->append({ id, statusId, orderId });
    return true;
}

bool CLogicOrders::setPrescriptionsOfOrder(
    qint64 orderId, int statusId, qint64 newOrderId, QList<PrescriptionStatusChange> *changes)
{
    Records::TablePtr attached
        = OpenWhere(m_context.DataSource(), QStringLiteral("PRESCRIPTIONS"), kOrderId, orderId);
    if (!attached)
        return false;
    std::vector<qint64> ids;
    for (int ok = attached->Move(Korbel::MoveFirst); ok == 1; ok = attached->Move(Korbel::MoveNext))
        ids.push_back(Records::CurrentId(attached.get()));
    for (qint64 id : ids) {
        if (!setPrescription(attached.get(), id, statusId, newOrderId, changes))
            return false;
    }
    return true;
}

bool CLogicOrders::adjustStock(qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta)
{
    auto *stocks = m_context.Services().Get<CLogicStocks>();
    return !stocks || stocks->Adjust(remedyId, dilutionId, stockDelta, predictedDelta);
}

bool CLogicOrders::storeSet(bool withPrescriptions)
{
    Korbel::IDataSource *source = m_context.DataSource();
    auto *stocks = m_context.Services().Get<CLogicStocks>();
    if (!openOrders())
        return false;
    WaitCursor wait;
    ScopedTransaction transaction(source);
    if (!transaction.IsActive() || (stocks && !stocks->Open())) {
        storeFailed(nullptr);
        return false;
    }
    Korbel::ITable *orders = m_pOrders.get();
    Columns order = OrderColumns(orders);
    Records::TablePtr waiting;
    if (withPrescriptions)
        waiting = OpenWhere(source, QStringLiteral("PRESCRIPTIONS"), kStatusId, OrderStatus::New);
    QList<PrescriptionStatusChange> changes;
    std::vector<qint64> ids(m_orders.size(), 0);
    CLogicStocks::Changes stockChanges;
    std::vector<PrescriptionStatusChange> followers;

    const auto store = [&]() -> bool {
        if (!order.Valid() || (withPrescriptions && !waiting))
            return false;
        for (size_t o = 0; o < m_orders.size(); ++o) {
            const Order &current = m_orders[o];
            const bool empty = current.IsEmpty();
            if (empty && current.id == 0)
                continue;
            if (!empty) {
                if (!Records::BeginAddOrEdit(orders, current.id == 0, current.id))
                    return false;
                const bool written = order.Set(OCreation, DateValue(current.creationDate))
                    && order.Set(OSent, DateValue(current.sentDate)) && order.Set(ODesc, current.description)
                    && order.Set(OStatus, qint64(current.statusId))
                    && order.Set(OProvider, current.providerId)
                    && order.Set(OPrice, current.EstimatedCost().ToDouble());
                if (!Records::FinishWrite(orders, written))
                    return false;
                ids[o] = Records::CurrentId(orders);
            }
            const qint64 id = current.id != 0 ? current.id : ids[o];

            Records::TablePtr items = OpenWhere(source, QStringLiteral("ORDER_ITEMS"), kOrderId, id);
            Columns item = ItemColumns(items.get());
            Records::TablePtr attached;
            if (!items || !item.Valid())
                return false;
            for (const OrderLine &line : current.lines) {
                if (line.state == OrderLine::State::New) {
                    if (items->AddNew() != 1)
                        return false;
                    const bool written = item.Set(IOrder, id) && item.Set(IMedicine, line.remedyId)
                        && item.Set(IDilution, line.dilutionId) && item.Set(IQuantity, qint64(line.quantity))
                        && item.Set(IPrice, line.unitPrice.ToDouble());
                    if (!Records::FinishWrite(items.get(), written))
                        return false;
                    stockChanges[{ line.remedyId, line.dilutionId }].second += line.quantity;
                } else if (line.IsDeleted() && line.id != 0) {
                    if (!Records::LocateId(items.get(), line.id) || items->Delete() <= 0)
                        return false;
                    stockChanges[{ line.remedyId, line.dilutionId }].second -= line.quantity;
                    if (!attached)
                        attached = OpenWhere(source, QStringLiteral("PRESCRIPTIONS"), kOrderId, id);
                    for (const AttachedPrescription &p : line.prescriptions) {
                        if (!attached
                            || !setPrescription(attached.get(), p.id, OrderStatus::New, 0, &changes))
                            return false;
                    }
                }
            }
            if (withPrescriptions && !empty) {
                const int followed
                    = current.statusId == OrderStatus::New ? OrderStatus::Ordered : current.statusId;
                for (const OrderLine &line : current.lines) {
                    if (line.IsDeleted())
                        continue;
                    for (const AttachedPrescription &p : line.prescriptions)
                        followers.push_back({ p.id, followed, id });
                }
            }
            if (empty) {
                // Whatever still names the order (prescriptions of no line)
                // waits for stock again before the order goes.
                if (!setPrescriptionsOfOrder(id, OrderStatus::New, 0, &changes)
                    || !Records::LocateId(orders, id) || orders->Delete() <= 0)
                    return false;
            }
        }
        // The stock rows and the prescriptions are written in their tables'
        // order, each table after the other, so that rows are read once.
        if (stocks && !stocks->AdjustMany(stockChanges))
            return false;
        std::vector<std::pair<int, size_t>> positions;
        positions.reserve(followers.size());
        for (size_t i = 0; i < followers.size(); ++i) {
            if (Records::LocateId(waiting.get(), followers[i].prescriptionId))
                positions.emplace_back(waiting->CurrentPosition(), i);
        }
        std::sort(positions.begin(), positions.end());
        for (const auto &[position, i] : positions) {
            const PrescriptionStatusChange &follower = followers[i];
            if (!setPrescription(
                    waiting.get(), follower.prescriptionId, follower.statusId, follower.orderId, &changes))
                return false;
        }
        return true;
    };
    if (!store() || !transaction.Commit()) {
        transaction.Rollback();
        storeFailed(nullptr);
        return false;
    }

    for (size_t o = 0; o < m_orders.size(); ++o) {
        Order &current = m_orders[o];
        const qint64 id = current.id != 0 ? current.id : ids[o];
        if (id == 0)
            continue;
        int row = rowOfOrder(id);
        if (current.IsEmpty()) {
            if (m_pList && row >= 0)
                m_pList->DeleteItem(row);
            continue;
        }
        current.id = id;
        if (m_pList && row < 0) {
            row = m_pList->InsertItem(m_pList->GetItemCount(), QString());
            m_pList->SetItemData(row, static_cast<quintptr>(id));
            m_pList->SetItemDeletable(row, true);
        }
        if (row >= 0)
            fillRow(row);
    }
    if (m_pList)
        m_pList->AdjustColumns();
    tellPrescriptions(changes);
    return true;
}

void CLogicOrders::tellPrescriptions(const QList<PrescriptionStatusChange> &changes) const
{
    if (changes.isEmpty())
        return;
    if (auto *sink = m_context.Services().Get<IPrescriptionStatusSink>())
        sink->PrescriptionStatusesChanged(changes);
}

void CLogicOrders::storeFailed(QWidget *window) const
{
    Desktop::Inform(dialogParent(window), tr("The orders could not be stored; nothing was changed."),
        Desktop::Icon::Warning);
}

// The list's commands.

bool CLogicOrders::Send(QWidget *window)
{
    QWidget *parent = dialogParent(window);
    if (!m_pList || !openOrders())
        return false;
    if (m_pList->GetItemCount() == 0) {
        Desktop::Inform(parent, tr("There are no orders to be sent."));
        return false;
    }
    const qint64 orderId = orderOfRow(m_pList->GetCurSel());
    Korbel::ITable *orders = m_pOrders.get();
    if (orderId == 0 || !Records::LocateId(orders, orderId))
        return false;
    Columns order = OrderColumns(orders);
    if (!order.Valid())
        return false;
    QString providerName;
    const qint64 providerId = order.Id(OProvider);
    if (!providerNamed(providerId, &providerName)) {
        Desktop::Inform(
            parent, tr("No provider for this order, please select a provider."), Desktop::Icon::Warning);
        return false;
    }
    const int status = int(order.Id(OStatus));
    if (status == OrderStatus::Sent || status == OrderStatus::Received) {
        Desktop::Inform(parent,
            status == OrderStatus::Sent ? tr("The selected order has already been sent.")
                                        : tr("The selected order has already been received."),
            Desktop::Icon::Warning);
        return false;
    }

    Records::TablePtr items
        = OpenWhere(m_context.DataSource(), QStringLiteral("ORDER_ITEMS"), kOrderId, orderId);
    const Columns item = ItemColumns(items.get());
    if (!items || !item.Valid())
        return false;
    auto *medicines = m_context.Services().Get<CLogicMedicines>();
    QString body;
    for (int ok = items->Move(Korbel::MoveFirst); ok == 1; ok = items->Move(Korbel::MoveNext)) {
        QString name;
        if (medicines)
            medicines->GetName(item.Id(IMedicine), &name);
        body += name + QStringLiteral("   ") + dilutionValue(item.Id(IDilution)) + tr("   Total Quantity: ")
            + QString::number(item.Count(IQuantity)) + QLatin1Char('\n');
    }
    if (body.isEmpty()) {
        Desktop::Inform(
            parent, tr("The order is empty, no e-mail will be generated."), Desktop::Icon::Warning);
        return false;
    }
    QString email;
    auto *providers = m_context.Services().Get<CLogicProviders>();
    if (providers && providers->Open())
        providers->GetNameAndEmail(providerId, &providerName, &email);
    IMailSender *mail = m_context.Services().Get<IMailSender>();
    if (!mail || mail->SendMail(parent, providerName, email, tr("Order"), body, {}) != 1)
        return false;

    QList<PrescriptionStatusChange> changes;
    ScopedTransaction transaction(m_context.DataSource());
    const bool stored = transaction.IsActive() && Records::LocateId(orders, orderId) && orders->Edit() == 1
        && Records::FinishWrite(orders,
            order.Set(OStatus, qint64(OrderStatus::Sent)) && order.Set(OSent, QDateTime::currentDateTime()))
        && setPrescriptionsOfOrder(orderId, OrderStatus::Sent, orderId, &changes) && transaction.Commit();
    if (!stored) {
        transaction.Rollback();
        Desktop::Inform(
            parent, tr("The order was sent, but it could not be marked as sent."), Desktop::Icon::Warning);
        return false;
    }
    fillRow(rowOfOrder(orderId));
    tellPrescriptions(changes);
    return true;
}

bool CLogicOrders::ChangeStatus(int row, const QString &name)
{
    const qint64 orderId = orderOfRow(row);
    Korbel::ITable *orders = m_pOrders.get();
    if (!orders || !Records::LocateId(orders, orderId))
        return false;
    Columns order = OrderColumns(orders);
    const int chosen = statusId(name);
    const int current = int(order.Id(OStatus));
    // Only a sent order is received, and a received order stays so: the
    // stock takes each order's quantities once.
    if (chosen == 0 || chosen == current || current == OrderStatus::Received
        || (chosen == OrderStatus::Received && current != OrderStatus::Sent)) {
        fillRow(row);
        return false;
    }

    WaitCursor wait;
    QList<PrescriptionStatusChange> changes;
    ScopedTransaction transaction(m_context.DataSource());
    const auto store = [&]() -> bool {
        if (!transaction.IsActive() || orders->Edit() != 1
            || !Records::FinishWrite(
                orders, order.Set(OStatus, qint64(chosen)) && order.Set(OSent, QDateTime::currentDateTime())))
            return false;
        const int followed = chosen == OrderStatus::New ? OrderStatus::Ordered : chosen;
        if (!setPrescriptionsOfOrder(orderId, followed, orderId, &changes))
            return false;
        if (chosen != OrderStatus::Received)
            return true;
        auto *stocks = m_context.Services().Get<CLogicStocks>();
        Records::TablePtr items
            = OpenWhere(m_context.DataSource(), QStringLiteral("ORDER_ITEMS"), kOrderId, orderId);
        const Columns item = ItemColumns(items.get());
        if (!items || !item.Valid() || (stocks && !stocks->Open()))
            return false;
        for (int ok = items->Move(Korbel::MoveFirst); ok == 1; ok = items->Move(Korbel::MoveNext)) {
            const qint64 quantity = item.Count(IQuantity);
            if (!adjustStock(item.Id(IMedicine), item.Id(IDilution), quantity, -quantity))
                return false;
        }
        return true;
    };
    const bool stored = store() && transaction.Commit();
    if (!stored) {
        transaction.Rollback();
        storeFailed(nullptr);
    }
    fillRow(row);
    if (stored)
        tellPrescriptions(changes);
    return stored;
}

bool CLogicOrders::ChangeProvider(int row, const QString &providerName)
{
    const qint64 orderId = orderOfRow(row);
    Korbel::ITable *orders = m_pOrders.get();
    const qsizetype index = m_providerNames.indexOf(providerName);
    if (!orders || index < 0 || !Records::LocateId(orders, orderId))
        return false;
    Columns order = OrderColumns(orders);
    ScopedTransaction transaction(m_context.DataSource());
    const bool stored = transaction.IsActive() && orders->Edit() == 1
        && Records::FinishWrite(orders, order.Set(OProvider, m_providerIds[size_t(index)]))
        && transaction.Commit();
    if (!stored) {
        transaction.Rollback();
        storeFailed(nullptr);
    }
    fillRow(row);
    return stored;
}

bool CLogicOrders::Delete(int row)
{
    QWidget *parent = dialogParent(nullptr);
    const qint64 orderId = orderOfRow(row);
    Korbel::ITable *orders = m_pOrders.get();
    if (!orders || !Records::LocateId(orders, orderId))
        return false;
    if (Columns order = OrderColumns(orders); order.Id(OStatus) == OrderStatus::Received) {
        Desktop::Inform(
            parent, tr("The order has already been received, it cannot be deleted."), Desktop::Icon::Warning);
        return false;
    }
    if (!Desktop::AskYesNo(parent, tr("Are you sure you want to delete this order?")))
        return false;

    WaitCursor wait;
    auto *stocks = m_context.Services().Get<CLogicStocks>();
    QList<PrescriptionStatusChange> changes;
    ScopedTransaction transaction(m_context.DataSource());
    const auto store = [&]() -> bool {
        Records::TablePtr items
            = OpenWhere(m_context.DataSource(), QStringLiteral("ORDER_ITEMS"), kOrderId, orderId);
        const Columns item = ItemColumns(items.get());
        if (!transaction.IsActive() || !items || !item.Valid() || (stocks && !stocks->Open()))
            return false;
        while (items->Move(Korbel::MoveFirst) == 1) {
            const qint64 remedy = item.Id(IMedicine);
            const qint64 dilution = item.Id(IDilution);
            const qint64 quantity = item.Count(IQuantity);
            if (items->Delete() <= 0 || !adjustStock(remedy, dilution, 0, -quantity))
                return false;
        }
        return setPrescriptionsOfOrder(orderId, OrderStatus::New, 0, &changes)
            && Records::LocateId(orders, orderId) && orders->Delete() > 0;
    };
    if (!store() || !transaction.Commit()) {
        transaction.Rollback();
        storeFailed(nullptr);
        return false;
    }
    tellPrescriptions(changes);
    return true;
}
