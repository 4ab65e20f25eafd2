#pragma once

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "core/RecordAccess.h"
#include "finance/ReferenceList.h"

#include <QtCore/QCoreApplication>

#include <map>
#include <memory>
#include <utility>

class CLogicDilutions;
class CLogicMedicines;

// One STOCKS row: the counts of a remedy in a dilution.
struct StockRow
{
    qint64 remedyId = 0;
    qint64 dilutionId = 0;
    int stock = 0;
    int threshold = 0;
    int replenish = 0;
    int predicted = 0;
};

// The stock count per remedy and dilution (STOCKS, table order): the
// operations prescriptions and orders call, and the stocks dialog (commands
// 57 from the main window and 52 from the remedies dialog's "Stocks" button).
class CLogicStocks : public ILogicObject, public CReferenceListLogic, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicStocks)

public:
    // The remedies and dilutions name the rows of the stocks list; either may
    // be null when no list is shown.
    CLogicStocks(Korbel::IDataSource *source, CLogicMedicines *medicines, CLogicDilutions *dilutions);
    ~CLogicStocks() override;

    bool Open();
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_pStocks); }

    // Positions on the row of the remedy and dilution.
    bool Find(qint64 remedyId, qint64 dilutionId);
    // The counts of the row; false when the remedy and dilution have none.
    bool Get(qint64 remedyId, qint64 dilutionId, int *stock, int *threshold, int *replenish, int *predicted);
    // Writes stock and predicted (a negative predicted value as 0) into the
    // row, adding it when there is none; threshold and replenish quantity are
    // left as they are.
    bool Set(qint64 remedyId, qint64 dilutionId, int stock, int predicted);
    // Adds to the stock and predicted counts of the row of the remedy and
    // dilution (orders put in and take out what is on order and what
    // arrived); predicted is never stored below 0. The database adds to the
    // counts it holds when it writes, so that seats moving the same stock at
    // once all count. found tells whether there is a row; without one nothing
    // is written and the result is true.
    bool Adjust(
        qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta, bool *found = nullptr);
    // The same for many rows in one walk over the table, for a whole order
    // set: remedy and dilution -> (stock delta, predicted delta). Rows not
    // found are left alone.
    using Changes = std::map<std::pair<qint64, qint64>, std::pair<qint64, qint64>>;
    bool AdjustMany(const Changes &changes);
    // Moves stock for a prescription: adds to the counts of the row, or makes
    // the row from nothing when there is none. Inside a transaction, seats
    // making the same row wait for one another (the remedy's row is locked).
    bool Move(qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta);
    // Walk every row (order generation).
    bool First(StockRow *row);
    bool Next(StockRow *row);

    static bool NeedsReplenishing(int stock, int predicted, int threshold);
    static int QuantityToOrder(int stock, int threshold, int replenish, int predicted);

    // The stocks list (SetList).
    bool FillList();
    // A remedy and dilution have one stock row at most: a second one is
    // refused with a message and the existing row is selected.
    bool AddOrModify() override;

    enum Column { RemedyColumn, DilutionColumn, StockColumn, ThresholdColumn, ReplenishColumn };

    // 57 and 52: shows "Stocks Management" over command.control's window.
    int OnCommand(LogicCommand &command) override;

protected:
    QStringList ListHeadings() const override;
    QString DeleteQuestion() const override;
    Korbel::ITable *ListTable() const override { return m_pStocks.get(); }

private:
    bool readRow(StockRow *row);
    // Adds to the counts of the current row.
    bool writeCounts(const StockRow &row, qint64 stockDelta, qint64 predictedDelta);
    void fillCounts(int row, const StockRow &stock);
    QString remedyName(qint64 id);
    QString dilutionValue(qint64 id);

    Korbel::IDataSource *m_pSource;
    CLogicMedicines *m_pLogicMedicines;
    CLogicDilutions *m_pLogicDilutions;
    Records::TablePtr m_pStocks;
    // The fields of the current row, kept open for the walks over every row.
    struct RowFields;
    std::unique_ptr<RowFields> m_pFields;
};
