#include "finance/LogicStocks.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"

#include "common/Identifiers.h"

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

} // namespace

CLogicStocks::CLogicStocks(
    Korbel::IDataSource *source, CLogicMedicines *medicines, CLogicDilutions *dilutions)
    : m_pSource(source)
    , m_pLogicMedicines(medicines)
    , m_pLogicDilutions(dilutions)
{ }

CLogicStocks::~CLogicStocks() = default;

bool CLogicStocks::Open()
{
    m_pStocks.reset();
    m_pStocks = Finance::OpenOrdered(m_pSource, kTable, QString());
    return IsOpen();
}

void CLogicStocks::Close()
{
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
        if (Verdanta::ParseId(Finance::ReadText(table, kDilutionId)) == dilutionId)
            return true;
    }
    return false;
}

bool CLogicStocks::readRow(StockRow *row)
{
    Korbel::ITable *table = m_pStocks.get();
    bool ok = false;
    const QString remedy = Finance::ReadText(table, kMedicineId, &ok);
    if (!ok)
        return false;
    row->remedyId = Verdanta::ParseId(remedy);
    row->dilutionId = Verdanta::ParseId(Finance::ReadText(table, kDilutionId));
    row->stock = Verdanta::AtoI(Finance::ReadText(table, kStock));
    row->threshold = Verdanta::AtoI(Finance::ReadText(table, kThreshold));
    row->replenish = Verdanta::AtoI(Finance::ReadText(table, kReplenish));
    row->predicted = Verdanta::AtoI(Finance::ReadText(table, kPredicted));
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
    const bool written = Finance::WriteText(table, kMedicineId, Verdanta::FormatId(remedyId))
        && Finance::WriteText(table, kDilutionId, Verdanta::FormatId(dilutionId))
        && Finance::WriteText(table, kStock, countText(stock))
        && Finance::WriteText(table, kPredicted, countText(std::max(predicted, 0)));
    if (!written) {
        table->CancelUpdate();
        return false;
    }
    return table->Update() != 0;
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
    const qint64 quantity = qint64(threshold) - stock - predicted + replenish;
    return static_cast<int>(
        std::clamp<qint64>(quantity, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int CLogicStocks::OnCommand(LogicCommand &command)
{
    Q_UNUSED(command);
    return 0;
}
