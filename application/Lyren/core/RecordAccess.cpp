#include "core/RecordAccess.h"

#include "common/Identifiers.h"

namespace Records {

FieldPtr OpenField(Korbel::ITable *table, const QString &name)
{
    Korbel::IField *field = nullptr;
    if (!table || !table->GetField(name, &field))
        return {};
    return FieldPtr(field);
}

QString ReadText(Korbel::ITable *table, const QString &name, bool *ok)
{
    const bool readable = table && table->CurrentPosition() >= 0;
    FieldPtr field = readable ? OpenField(table, name) : FieldPtr();
    if (ok)
        *ok = static_cast<bool>(field);
    return field ? field->GetAsString() : QString();
}

bool WriteText(Korbel::ITable *table, const QString &name, const QString &text)
{
    FieldPtr field = OpenField(table, name);
    return field && field->SetFromString(text);
}

bool LocateId(Korbel::ITable *table, qint64 id)
{
    return table && table->Locate(QStringLiteral("ID"), Korbel::LocateEqual, Verdanta::FormatId(id)) == 1;
}

qint64 CurrentId(Korbel::ITable *table)
{
    bool ok = false;
    const QString text = ReadText(table, QStringLiteral("ID"), &ok);
    return ok ? Verdanta::ParseId(text) : 0;
}

bool BeginAddOrEdit(Korbel::ITable *table, bool isNew, qint64 id)
{
    if (!table)
        return false;
    if (isNew)
        return table->AddNew() == 1;
    return LocateId(table, id) && table->Edit() == 1;
}

bool FinishWrite(Korbel::ITable *table, bool written)
{
    if (written && table->Update() != 0)
        return true;
    table->CancelUpdate();
    return false;
}

bool ReadKeyAndText(Korbel::ITable *table, const QString &field, qint64 *id, QString *text)
{
    bool ok = false;
    const QString value = ReadText(table, field, &ok);
    if (!ok)
        return false;
    if (text)
        *text = value;
    if (id)
        *id = CurrentId(table);
    return true;
}

bool MoveAndRead(Korbel::ITable *table, int kind, const QString &field, qint64 *id, QString *text)
{
    return table && table->Move(kind) == 1 && ReadKeyAndText(table, field, id, text);
}

TablePtr OpenOrdered(Korbel::IDataSource *source, const QString &table, const QString &orderBy)
{
    if (!source)
        return {};
    if (orderBy.isEmpty())
        return TablePtr(source->OpenTable(table));
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return {};
    query->SetTable(table);
    query->OrderBy(orderBy);
    return TablePtr(query->Open());
}

TablePtr OpenPatientRows(
    Korbel::IDataSource *source, const QString &table, qint64 patientId, const QString &orderBy)
{
    if (!source || patientId <= 0)
        return {};
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return {};
    query->SetTable(table);
    query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, Verdanta::FormatId(patientId));
    if (!orderBy.isEmpty())
        query->OrderBy(orderBy);
    return TablePtr(query->Open());
}

bool DeleteAllRows(Korbel::ITable *table)
{
    if (!table)
        return false;
    while (table->Move(Korbel::MoveFirst) == 1) {
        if (table->Delete() <= 0)
            return false;
    }
    return true;
}

} // namespace Records
