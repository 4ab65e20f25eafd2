#include "finance/LogicStocks.h"
#include "core/CommandCodes.h"

#include "finance/ReferenceDialogs.h"
#include "finance/ReferenceList.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"

#include "Korbel/SharedAccess.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"

#include <QtCore/QHash>

#include <algorithm>
#include <limits>

namespace {

const QString kTable = QStringLiteral("STOCKS");
const QString kMedicineId = QStringLiteral("MEDICINE_ID");
const QString kDilutionId = QStringLiteral("DILUTION_ID");
const QString kStock = QStringLiteral("STOCK");
const QString kThreshold = QStringLiteral("STOCK_THRESHOLD");
const QString kReplenish = QStringLiteral("REPLENISH_QUANTITY");
const QString kPredicted = QStringLiteral("PREDICTED");

QString countText(int value)
{
    return QString::number(value);
}

// Counts are 32 bits: values beyond saturate.
int Counted(qint64 value)
{
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A count as an int: NULL is 0.
int countOf(const Records::FieldPtr &field)
{
    return Counted(field->GetValue().toLongLong());
}

} // namespace

// Typed reads: keys and counts come as numbers, without their text forms.
struct CLogicStocks::RowFields
{
    explicit RowFields(Korbel::ITable *table)
        : m_id(Records::OpenField(table, QStringLiteral("ID")))
        , m_remedy(Records::OpenField(table, kMedicineId))
        , m_dilution(Records::OpenField(table, kDilutionId))
        , m_stock(Records::OpenField(table, kStock))
        , m_threshold(Records::OpenField(table, kThreshold))
        , m_replenish(Records::OpenField(table, kReplenish))
        , m_predicted(Records::OpenField(table, kPredicted))
    { }
    qint64 id() const { return m_id->GetValue().toLongLong(); }
    bool valid() const
    {
        return m_id && m_remedy && m_dilution && m_stock && m_threshold && m_replenish && m_predicted;
    }
    void read(StockRow *row) const
    {
        row->remedyId = m_remedy->GetValue().toLongLong();
        row->dilutionId = m_dilution->GetValue().toLongLong();
        row->stock = countOf(m_stock);
        row->threshold = countOf(m_threshold);
        row->replenish = countOf(m_replenish);
        row->predicted = countOf(m_predicted);
    }

private:
    Records::FieldPtr m_id, m_remedy, m_dilution, m_stock, m_threshold, m_replenish, m_predicted;
};

CLogicStocks::CLogicStocks(
    Korbel::IDataSource *source, CLogicMedicines *medicines, CLogicDilutions *dilutions)
    : m_pSource(source)
    , m_pLogicMedicines(medicines)
    , m_pLogicDilutions(dilutions)
{ }

CLogicStocks::~CLogicStocks() = default;

bool CLogicStocks::Open()
{
    m_pFields.reset();
    m_pStocks = Records::OpenOrdered(m_pSource, kTable, QString());
    if (m_pStocks)
        m_pFields = std::make_unique<RowFields>(m_pStocks.get());
    return IsOpen() && m_pFields->valid();
}

void CLogicStocks::Close()
{
    m_pFields.reset();
    m_pStocks.reset();
}

bool CLogicStocks::Find(qint64 remedyId, qint64 dilutionId)
{
    Korbel::ITable *table = m_pStocks.get();
    if (!table)
        return false;
    const QString remedy = Verdanta::FormatId(remedyId);
    for (int ok = table->Locate(kMedicineId, Korbel::LocateEqual, remedy); ok == 1;
         ok = table->LocateNext(kMedicineId, Korbel::LocateEqual, remedy)) {
        StockRow row;
        if (readRow(&row) && row.dilutionId == dilutionId)
            return true;
    }
    return false;
}

bool CLogicStocks::readRow(StockRow *row)
{
    if (!m_pFields || !m_pFields->valid() || m_pStocks->CurrentPosition() < 0)
        return false;
    m_pFields->read(row);
    return true;
}

bool CLogicStocks::Get(
    qint64 remedyId, qint64 dilutionId, int *stock, int *threshold, int *replenish, int *predicted)
{
    StockRow row;
    if (!Find(remedyId, dilutionId) || !readRow(&row))
        return false;
    if (stock)
        *stock = row.stock;
    if (threshold)
        *threshold = row.threshold;
    if (replenish)
        *replenish = row.replenish;
    if (predicted)
        *predicted = row.predicted;
    return true;
}

bool CLogicStocks::Set(qint64 remedyId, qint64 dilutionId, int stock, int predicted)
{
    Korbel::ITable *table = m_pStocks.get();
    if (!table)
        return false;
    const int started = Find(remedyId, dilutionId) ? table->Edit() : table->AddNew();
    if (started != 1)
        return false;
    const bool written = Records::WriteText(table, kMedicineId, Verdanta::FormatId(remedyId))
        && Records::WriteText(table, kDilutionId, Verdanta::FormatId(dilutionId))
        && Records::WriteText(table, kStock, countText(stock))
        && Records::WriteText(table, kPredicted, countText(std::max(predicted, 0)));
    return Records::FinishWrite(table, written);
}

bool CLogicStocks::writeCounts(const StockRow &row, qint64 stockDelta, qint64 predictedDelta)
{
    Q_UNUSED(row);
    // Never the counts read earlier plus the change: another seat may have
    // moved the same stock since.
    Korbel::CountChange stock { kStock, stockDelta };
    Korbel::CountChange predicted { kPredicted, predictedDelta, true, 0 };
    return m_pFields && Korbel::AddToCounts(m_pSource, kTable, m_pFields->id(), { stock, predicted });
}

bool CLogicStocks::Move(qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta)
{
    // Seats that would both make the missing row take turns on the remedy;
    // the rows are read again once it is this seat's turn.
    if (Korbel::LockRow(m_pSource, QStringLiteral("MEDICINES"), remedyId) && !Open())
        return false;
    bool found = false;
    if (!Adjust(remedyId, dilutionId, stockDelta, predictedDelta, &found))
        return false;
    return found || Set(remedyId, dilutionId, Counted(stockDelta), Counted(predictedDelta));
}

bool CLogicStocks::Adjust(
    qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta, bool *found)
{
    StockRow row;
    const bool exists = Find(remedyId, dilutionId) && readRow(&row);
    if (found)
        *found = exists;
    return !exists || writeCounts(row, stockDelta, predictedDelta);
}

bool CLogicStocks::AdjustMany(const Changes &changes)
{
    // A few rows are found one by one; many in one walk, which reads the rows
    // in table order instead of searching for each.
    if (changes.size() < 64) {
        for (const auto &[key, delta] : changes) {
            if (!Adjust(key.first, key.second, delta.first, delta.second))
                return false;
        }
        return true;
    }
    // Each change goes to the first row of its remedy and dilution, as Find
    // would take it.
    Changes pending = changes;
    StockRow row;
    for (bool more = First(&row); more && !pending.empty(); more = Next(&row)) {
        const auto change = pending.find({ row.remedyId, row.dilutionId });
        if (change == pending.end())
            continue;
        if (!writeCounts(row, change->second.first, change->second.second))
            return false;
        pending.erase(change);
    }
    return m_pStocks != nullptr;
}

bool CLogicStocks::First(StockRow *row)
{
    return m_pStocks && row && m_pStocks->Move(Korbel::MoveFirst) == 1 && readRow(row);
}

bool CLogicStocks::Next(StockRow *row)
{
    return m_pStocks && row && m_pStocks->Move(Korbel::MoveNext) == 1 && readRow(row);
}

bool CLogicStocks::NeedsReplenishing(int stock, int predicted, int threshold)
{
    return qint64(stock) + predicted < threshold;
}

int CLogicStocks::QuantityToOrder(int stock, int threshold, int replenish, int predicted)
{
    // Counts come from the database as any 32-bit values; the sum is taken
    // wide so that extreme rows saturate instead of wrapping.
    return Counted(qint64(threshold) - stock - predicted + replenish);
}

QStringList CLogicStocks::ListHeadings() const
{
    return { tr("Remedy"), tr("Dilution"), tr("Stock"), tr("Threshold"), tr("Replenishment") };
}

QString CLogicStocks::DeleteQuestion() const
{
    return tr("Are you sure you want to delete this stock entry?");
}

QString CLogicStocks::remedyName(qint64 id)
{
    // A remedy deleted while stock rows still name it shows no name.
    QString name;
    if (!m_pLogicMedicines || !m_pLogicMedicines->GetName(id, &name))
        return {};
    return name;
}

QString CLogicStocks::dilutionValue(qint64 id)
{
    QString value;
    if (!m_pLogicDilutions || !m_pLogicDilutions->GetValue(id, &value))
        return {};
    return value;
}

void CLogicStocks::fillCounts(int row, const StockRow &stock)
{
    List()->SetItemText(row, StockColumn, Finance::Cell(QString::number(stock.stock)));
    List()->SetItemText(row, ThresholdColumn, Finance::Cell(QString::number(stock.threshold)));
    List()->SetItemText(row, ReplenishColumn, Finance::Cell(QString::number(stock.replenish)));
}

bool CLogicStocks::FillList()
{
    if (!List() || !m_pStocks)
        return false;
    List()->DeleteAllItems();
    // Names and values are read in one pass each rather than looked up row by row.
    RemedyMap noRemedies;
    if (m_pLogicMedicines && (m_pLogicMedicines->IsOpen() || m_pLogicMedicines->Open()))
        m_pLogicMedicines->LoadRemedyMap();
    const RemedyMap &remedies = m_pLogicMedicines ? m_pLogicMedicines->GetRemedyMap() : noRemedies;
    QHash<qint64, QString> dilutions;
    if (m_pLogicDilutions && (m_pLogicDilutions->IsOpen() || m_pLogicDilutions->Open())) {
        qint64 id = 0;
        QString value;
        for (bool more = m_pLogicDilutions->First(&id, &value); more;
             more = m_pLogicDilutions->Next(&id, &value))
            dilutions.insert(id, value);
    }

    StockRow stock;
    for (bool more = First(&stock); more; more = Next(&stock)) {
        const auto remedy = remedies.find(stock.remedyId);
        const QString name = remedy == remedies.end() ? QString() : remedy->second.name;
        const int row = Finance::InsertRecordRow(List(), Finance::Cell(name), m_pFields->id());
        List()->SetItemText(row, DilutionColumn, Finance::Cell(dilutions.value(stock.dilutionId)));
        fillCounts(row, stock);
    }
    Finance::AppendAddNewRow(List());
    List()->AdjustColumns();
    return true;
}

bool CLogicStocks::AddOrModify()
{
    Korbel::ITable *table = m_pStocks.get();
    Selection selected;
    if (!SelectedRow(&selected))
        return false;
    StockDetails details;
    if (!selected.isNew) {
        StockRow stock;
        if (!Records::LocateId(table, selected.id) || !readRow(&stock))
            return false;
        details = StockDetails { stock.remedyId, stock.dilutionId, dilutionValue(stock.dilutionId),
            stock.stock, stock.threshold, stock.replenish };
    }
    if (m_pLogicMedicines && !m_pLogicMedicines->IsOpen())
        m_pLogicMedicines->Open();
    if (m_pLogicDilutions && !m_pLogicDilutions->IsOpen())
        m_pLogicDilutions->Open();
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (!dialogs
        || !dialogs->EditStock(List()->DialogParent(), m_pLogicMedicines, m_pLogicDilutions, &details)
        || !List())
        return false;

    // One stock row per remedy and dilution: a new row, or a row changed to
    // another remedy or dilution, must not make a second one.
    if (Find(details.remedyId, details.dilutionId) && Records::CurrentId(table) != selected.id) {
        Desktop::Inform(List()->DialogParent(), tr("There is already a stock entry created for this remedy."),
            Desktop::Icon::Warning);
        List()->SetCurSel(List()->FindItemData(static_cast<quintptr>(Records::CurrentId(table))));
        return false;
    }
    if (!Records::BeginAddOrEdit(table, selected.isNew, selected.id))
        return false;
    const bool written = Records::WriteText(table, kMedicineId, Verdanta::FormatId(details.remedyId))
        && Records::WriteText(table, kDilutionId, Verdanta::FormatId(details.dilutionId))
        && Records::WriteText(table, kStock, countText(details.stock))
        && Records::WriteText(table, kThreshold, countText(details.threshold))
        && Records::WriteText(table, kReplenish, countText(details.replenish));
    if (!Records::FinishWrite(table, written))
        return false;
    RecordStored(selected);
    List()->SetItemText(selected.row, RemedyColumn, Finance::Cell(remedyName(details.remedyId)));
    List()->SetItemText(selected.row, DilutionColumn, Finance::Cell(dilutionValue(details.dilutionId)));
    StockRow stored;
    readRow(&stored);
    fillCounts(selected.row, stored);
    return true;
}

int CLogicStocks::OnCommand(LogicCommand &command)
{
    if ((command.code != CommandCode::Stocks && command.code != CommandCode::StocksFromRemedies) || !Open())
        return 0;
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (!dialogs)
        return 0;
    IReferenceDialogs::ManagementHooks hooks;
    hooks.attach = [this](Korbel::IXListCtrl *list) {
        SetList(list);
        if (list)
            FillList();
    };
    dialogs->ShowManagement(IReferenceDialogs::Management::Stocks, command.window, hooks);
    SetList(nullptr);
    return 1;
}
