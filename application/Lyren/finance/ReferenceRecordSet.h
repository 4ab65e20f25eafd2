#pragma once

#include "core/RecordAccess.h"

#include <QtCore/QString>

// A reference table the logic objects keep open and walk by one text column
// (a remedy's or provider's name, a dilution's value): open in a given
// order, find a row by key, walk every row.
class CReferenceRecordSet
{
public:
    // Releases a previous record set and opens the table again.
    bool Open();
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_pTable); }

    bool First(qint64 *id, QString *text);
    bool Next(qint64 *id, QString *text);

protected:
    // orderBy empty: table order.
    CReferenceRecordSet(Korbel::IDataSource *source, QString table, QString orderBy, QString textField);
    ~CReferenceRecordSet() = default;

    // Moves to the row of the key and reads its text column.
    bool Lookup(qint64 id, QString *text);
    Korbel::ITable *Table() const { return m_pTable.get(); }
    Korbel::IDataSource *Source() const { return m_pSource; }

private:
    Korbel::IDataSource *m_pSource;
    QString m_table;
    QString m_orderBy;
    QString m_textField;
    Records::TablePtr m_pTable;
};
