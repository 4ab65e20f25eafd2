#include "notes/NotesTables.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "common/LocaleDates.h"

namespace {

const QString Id = QStringLiteral("ID");

} // namespace

bool NotesTable::Open(Korbel::IDataSource *source, const QString &name, qint64 patientId)
{
    Close();
    m_pSource = source;
    m_strName = name;
    if (!source || patientId <= 0)
        return false;
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return false;
    query->SetTable(name);
    query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, Verdanta::FormatId(patientId));
    m_pTable.reset(query->Open());
    return static_cast<bool>(m_pTable);
}

void NotesTable::Close()
{
    m_fields.clear();
    m_pTable.reset();
}

Korbel::IField *NotesTable::Field(const QString &name) const
{
    auto found = m_fields.find(name);
    if (found == m_fields.end())
        found = m_fields.emplace(name, Records::OpenField(m_pTable.get(), name)).first;
    return found->second.get();
}

QString NotesTable::Read(const QString &field, bool *ok) const
{
    Korbel::IField *value = m_pTable && m_pTable->CurrentPosition() >= 0 ? Field(field) : nullptr;
    if (ok)
        *ok = value != nullptr;
    return value ? value->GetAsString() : QString();
}

bool NotesTable::Write(const QString &field, const QString &text)
{
    Korbel::IField *value = m_pTable ? Field(field) : nullptr;
    return value && value->SetFromString(text);
}

bool NotesTable::Locate(qint64 id) const
{
    return id > 0 && Records::LocateId(m_pTable.get(), id);
}

bool NotesTable::RowExists(qint64 id) const
{
    if (!m_pSource || id <= 0)
        return false;
    Korbel::ReleasePtr<Korbel::IQuery> query(m_pSource->CreateQuery());
    if (!query)
        return false;
    query->SetTable(m_strName);
    query->Where(Id, Korbel::Compare::Equal, Verdanta::FormatId(id));
    Records::TablePtr rows(query->Open());
    return rows && rows->RecordCount() > 0;
}

bool NotesTable::DeleteRow(qint64 id)
{
    if (!m_pTable)
        return false;
    if (Locate(id) && m_pTable->Delete() > 0)
        return true;
    return !RowExists(id);
}

namespace NotesRows {

std::vector<ItemColumn> Columns(
    const CActiveEditorClientItem &item, const QString &consultationId, const QString &patientId, bool newRow)
{
    std::vector<ItemColumn> columns;
    if (newRow)
        columns.push_back({ QStringLiteral("PATIENT_ID"), patientId });
    columns.push_back({ QStringLiteral("CHAR_POS"), QString::number(item.m_nCharPos) });
    switch (item.Kind()) {
    case ItemKind::Separator: {
        const auto &separator = static_cast<const CActiveEditorSeparatorItem &>(item);
        const QDateTime &date = separator.m_consultationDate;
        const QDateTime &next = separator.m_nextDate;
        columns.push_back(
            { QStringLiteral("DATE"), date.isValid() ? Verdanta::FormatLocaleDate(date.date()) : QString() });
        columns.push_back({ QStringLiteral("NEXT_DATE"),
            next.isValid() ? Verdanta::FormatLocaleDate(next.date()) : QString() });
        break;
    }
    case ItemKind::Image:
        columns.push_back({ QStringLiteral("CONSULTATION_ID"), consultationId });
        columns.push_back(
            { QStringLiteral("FILE_PATH"), static_cast<const CActiveEditorImageItem &>(item).m_strFilePath });
        break;
    case ItemKind::Audio:
    case ItemKind::Video:
        columns.push_back({ QStringLiteral("CONSULTATION_ID"), consultationId });
        columns.push_back(
            { QStringLiteral("FILE_PATH"), static_cast<const CActiveEditorMediaItem &>(item).m_strFilePath });
        columns.push_back({ QStringLiteral("IS_VIDEO"),
            item.Kind() == ItemKind::Video ? QStringLiteral("1") : QStringLiteral("0") });
        break;
    case ItemKind::Sequence: {
        const auto &line = static_cast<const CActiveEditorSequenceItem &>(item);
        columns.push_back({ QStringLiteral("CONSULTATION_ID"), consultationId });
        columns.push_back({ QStringLiteral("MEDICINE_ID"), line.m_remedy.medicineId });
        columns.push_back({ QStringLiteral("DILUTION_ID"), line.m_remedy.dilutionId });
        columns.push_back({ QStringLiteral("SEQUENCE"), TreatmentDays::Format(line.m_dates) });
        break;
    }
    case ItemKind::Prescription: {
        const auto &prescription = static_cast<const CActiveEditorPrescItem &>(item);
        columns.push_back({ QStringLiteral("CONSULTATION_ID"), consultationId });
        columns.push_back({ QStringLiteral("MEDICINE_ID"), prescription.m_remedy.medicineId });
        columns.push_back({ QStringLiteral("STATUS_ID"), Verdanta::FormatId(prescription.m_nStatusId) });
        columns.push_back({ QStringLiteral("DILUTION_ID"), prescription.m_remedy.dilutionId });
        columns.push_back({ QStringLiteral("QUANTITY"), QString::number(prescription.m_nQuantity) });
        if (newRow) {
            columns.push_back({ QStringLiteral("INVOICING_ID"), prescription.m_strInvoicingId });
            columns.push_back({ QStringLiteral("CREATION_DT"), prescription.m_strCreationDate });
        }
        break;
    }
    }
    return columns;
}

QStringList Signature(const CActiveEditorClientItem &item, const QString &consultationId)
{
    QStringList values;
    for (const ItemColumn &column : Columns(item, consultationId, QString(), false))
        values << column.value;
    return values;
}

} // namespace NotesRows
