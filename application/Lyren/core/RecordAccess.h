#pragma once

// Small helpers over the data library's record sets, shared by every logic
// object: named field reads and writes on the current row, and
// positioning on a row by its key.

#include "Korbel/DataSource.h"

#include <QtCore/QString>

namespace Records {

using FieldPtr = Korbel::ReleasePtr<Korbel::IField>;
using TablePtr = Korbel::ReleasePtr<Korbel::ITable>;

// The field object of a column, null when the table has no such field.
FieldPtr OpenField(Korbel::ITable *table, const QString &name);

// Text of a field of the current row; ok tells whether the field could be
// read (the table has the field and a current row).
QString ReadText(Korbel::ITable *table, const QString &name, bool *ok = nullptr);

// Stores text into the pending edit or new row.
bool WriteText(Korbel::ITable *table, const QString &name, const QString &text);

// Makes the row with the given key current.
bool LocateId(Korbel::ITable *table, qint64 id);

// The key of the current row, 0 when there is none.
qint64 CurrentId(Korbel::ITable *table);

// Starts a new row (isNew) or the edit of the row with the given key.
bool BeginAddOrEdit(Korbel::ITable *table, bool isNew, qint64 id);
// Writes the pending row when every field was set (written), and drops it
// otherwise or when the write fails, so that no row is left half written.
bool FinishWrite(Korbel::ITable *table, bool written);

// Reads the key and one text field of the current row; false when the row or
// the field cannot be read. Either output may be null.
bool ReadKeyAndText(Korbel::ITable *table, const QString &field, qint64 *id, QString *text);

// Moves (Korbel::MoveFirst or MoveNext) and reads as ReadKeyAndText: the
// First/Next walks of the logic objects.
bool MoveAndRead(Korbel::ITable *table, int kind, const QString &field, qint64 *id, QString *text);

// Opens a table ordered by one field (table order when orderBy is empty).
TablePtr OpenOrdered(Korbel::IDataSource *source, const QString &table, const QString &orderBy);

// Opens the rows of a child table that belong to a patient (PATIENT_ID),
// ordered by one field (table order when orderBy is empty); none without a
// patient or when the query fails.
TablePtr OpenPatientRows(
    Korbel::IDataSource *source, const QString &table, qint64 patientId, const QString &orderBy = QString());

// Deletes every row of a table, each time its first; false at the first row
// that cannot be deleted.
bool DeleteAllRows(Korbel::ITable *table);

} // namespace Records
