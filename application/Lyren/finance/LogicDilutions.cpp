#include "finance/LogicDilutions.h"

namespace {
const QString kTable = QStringLiteral("DILUTION");
const QString kValue = QStringLiteral("VALUE");
} // namespace

CLogicDilutions::CLogicDilutions(Korbel::IDataSource *source)
    : CReferenceRecordSet(source, kTable, QString(), kValue)
{ }

bool CLogicDilutions::GetValue(qint64 id, QString *value)
{
    return Lookup(id, value);
}

bool CLogicDilutions::GetOrAdd(const QString &value, qint64 *id)
{
    const QString wanted = value.trimmed();
    if (wanted.isEmpty() || !Table())
        return false;

    // The value column compares without regard to ASCII case, so the database
    // finds the usual potencies at once; the walk below also matches letters
    // outside ASCII in another case.
    if (Table()->Locate(kValue, Korbel::LocateEqual, wanted) == 1)
        return Records::ReadKeyAndText(Table(), kValue, id, nullptr);
    qint64 rowId = 0;
    QString rowValue;
    for (bool more = First(&rowId, &rowValue); more; more = Next(&rowId, &rowValue)) {
        if (rowValue.trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            if (id)
                *id = rowId;
            return true;
        }
    }

    if (!Records::BeginAddOrEdit(Table(), true, 0)
        || !Records::FinishWrite(Table(), Records::WriteText(Table(), kValue, wanted)))
        return false;
    const qint64 newId = Records::CurrentId(Table());
    if (newId == 0)
        return false;
    if (id)
        *id = newId;
    return true;
}
