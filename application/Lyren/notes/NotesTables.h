#pragma once

#include "notes/ActiveEditorItems.h"

#include "core/RecordAccess.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <map>
#include <vector>

// One of the patient's tables of notes items (CONSULTATIONS, IMAGES, the
// media table, INHALATIONS, PRESCRIPTIONS, INVOICING): the patient's rows,
// its fields opened once, and its rows found by key.
class NotesTable
{
public:
    // The rows whose PATIENT_ID is the patient's (bound parameter).
    bool Open(Korbel::IDataSource *source, const QString &name, qint64 patientId);
    void Close();
    Korbel::ITable *Get() const { return m_pTable.get(); }
    explicit operator bool() const { return static_cast<bool>(m_pTable); }
    const QString &Name() const { return m_strName; }

    QString Read(const QString &field, bool *ok = nullptr) const;
    // Into the pending new or edited row; an empty text stores NULL in
    // reference, number and date fields.
    bool Write(const QString &field, const QString &text);
    bool Locate(qint64 id) const;
    // Whether the database still holds a row with that key (read afresh: the
    // row may have been deleted through another table).
    bool RowExists(qint64 id) const;
    // Deletes the row with that key; true when it is gone (also when it was
    // gone already).
    bool DeleteRow(qint64 id);

private:
    Korbel::IField *Field(const QString &name) const;

    Korbel::IDataSource *m_pSource = nullptr;
    Records::TablePtr m_pTable;
    QString m_strName;
    mutable std::map<QString, Records::FieldPtr> m_fields;
};

// A column of an item's row and the text written into it.
struct ItemColumn
{
    QString name;
    QString value;
};

namespace NotesRows {

// The columns of an item's row, in the order they are written: all of them
// for a new row (the patient first), the rewritten ones for an existing row.
// consultationId is the record ID of the separator before the item (empty
// for none).
std::vector<ItemColumn> Columns(const CActiveEditorClientItem &item, const QString &consultationId,
    const QString &patientId, bool newRow);
// The values of the rewritten columns: equal values need no write.
QStringList Signature(const CActiveEditorClientItem &item, const QString &consultationId);

} // namespace NotesRows
