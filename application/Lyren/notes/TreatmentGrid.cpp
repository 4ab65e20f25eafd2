#include "notes/TreatmentGrid.h"

#include "notes/ActiveEditorItems.h"
#include "notes/CActiveEditor.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"

#include "core/CommandCodes.h"
#include "core/LogicCommand.h"

#include "common/Identifiers.h"
#include "common/OleDate.h"

namespace {

constexpr quint32 White = 0xFFFFFFu;

// The colour a remedy's line marks its days in (0x00BBGGRR): one of a few
// that read well on the grid, the same for a remedy every time.
quint32 LineColour(const QString &key)
{
    static constexpr quint32 colours[]
        = { 0x00C07830, 0x003C8C3C, 0x002850C8, 0x00A04890, 0x00208CB4, 0x00786428 };
    return colours[qHash(key) % std::size(colours)];
}

} // namespace

CTreatmentGrid::CTreatmentGrid(CActiveEditor &editor)
    : m_editor(editor)
{ }

QString CTreatmentGrid::PlaceholderText()
{
    return tr("Click here to add -->");
}

QDate CTreatmentGrid::DayOf(const LogicCommand &command)
{
    return QDate::fromString(command.resultText1, Qt::ISODate);
}

QString CTreatmentGrid::SequenceIdOf(const CActiveEditorSequenceItem &line)
{
    return line.m_bNew ? QString() : line.m_strRecordId;
}

void CTreatmentGrid::SetGrid(const Component::DispatchDriver &grid)
{
    m_grid = grid;
    m_lineIds.clear();
    m_bPlaceholder = false;
    if (m_grid.IsValid())
        Rebuild();
}

void CTreatmentGrid::Rebuild()
{
    if (!m_grid.IsValid())
        return;
    QVariant lines;
    m_grid.Call(GetLinesNo, {}, &lines);
    for (int index = lines.toInt() - 1; index >= 0; --index)
        m_grid.Call(RemoveLine, { QString(), index });
    m_lineIds.clear();
    m_bPlaceholder = false;
    ItemList items;
    m_editor.CollectItems(items);
    for (CActiveEditorClientItem *item : items) {
        if (item->Kind() == ItemKind::Prescription) {
            EnsureLine(static_cast<CActiveEditorPrescItem *>(item)->m_remedy);
        } else if (item->Kind() == ItemKind::Sequence) {
            auto *line = static_cast<CActiveEditorSequenceItem *>(item);
            EnsureLine(line->m_remedy);
            AddSequence(*line);
        }
    }
    AddPlaceholder();
    m_grid.Call(Redraw);
}

void CTreatmentGrid::EnsureLine(const RemedyRef &remedy)
{
    const QString key = remedy.Key();
    if (key == QStringLiteral("_") || m_lineIds.contains(key))
        return;
    // The placeholder stays the last line.
    const bool placeholder = m_bPlaceholder;
    if (placeholder)
        RemovePlaceholder();
    if (Component::Succeeded(m_grid.Call(AddNewLine,
            { key, remedy.medicineName + QLatin1Char(' ') + remedy.dilutionName, LineColour(key) })))
        m_lineIds << key;
    if (placeholder)
        AddPlaceholder();
}

void CTreatmentGrid::AddPlaceholder()
{
    if (m_bPlaceholder || !m_grid.IsValid())
        return;
    m_grid.Call(AddNewLine, { QString(), PlaceholderText(), White });
    // Inactive: a click on it makes no sequence.
    m_grid.Call(SetLineData, { int(m_lineIds.size()), QString(), PlaceholderText(), White, false });
    m_bPlaceholder = true;
}

void CTreatmentGrid::RemovePlaceholder()
{
    if (!m_bPlaceholder)
        return;
    m_grid.Call(RemoveLine, { QString(), int(m_lineIds.size()) });
    m_bPlaceholder = false;
}

void CTreatmentGrid::AddSequence(CActiveEditorSequenceItem &line)
{
    const QString key = line.m_remedy.Key();
    const QString sequenceId = SequenceIdOf(line);
    m_grid.Call(AddNewSequence, { key, sequenceId });
    QVariant count;
    m_grid.Call(GetSequenceNo, { key }, &count);
    line.m_nLineIndex = std::max(0, count.toInt() - 1);
    // The first day selected moves the new sequence (made on today) there.
    for (const QDate &day : std::as_const(line.m_dates))
        m_grid.Call(SelectDT, { key, sequenceId, line.m_nLineIndex, Verdanta::ToOleDate(day) });
}

void CTreatmentGrid::AddRemedy(const RemedyRef &remedy)
{
    if (!m_grid.IsValid())
        return;
    EnsureLine(remedy);
    m_grid.Call(Redraw);
}

void CTreatmentGrid::Select(const CActiveEditorSequenceItem *line)
{
    if (!m_grid.IsValid())
        return;
    m_grid.Call(ResetCurrentSequence);
    if (line)
        m_grid.Call(
            SetCurrentSequence, { line->m_remedy.Key(), SequenceIdOf(*line), line->m_nLineIndex, true });
    m_grid.Call(Redraw);
}

void CTreatmentGrid::Remove(const CActiveEditorSequenceItem &line)
{
    const QString key = line.m_remedy.Key();
    if (m_grid.IsValid()) {
        m_grid.Call(RemoveSequence, { key, SequenceIdOf(line), line.m_nLineIndex });
        m_grid.Call(Redraw);
    }
    // The sequences after it on the grid line moved up one index.
    ItemList items;
    m_editor.CollectItems(items);
    for (CActiveEditorClientItem *item : items) {
        if (item->Kind() != ItemKind::Sequence || item == &line)
            continue;
        auto *other = static_cast<CActiveEditorSequenceItem *>(item);
        if (other->m_remedy.Key() == key && other->m_nLineIndex > line.m_nLineIndex)
            --other->m_nLineIndex;
    }
}

void CTreatmentGrid::LinkStoredLines()
{
    if (!m_grid.IsValid())
        return;
    ItemList items;
    m_editor.CollectItems(items);
    for (CActiveEditorClientItem *item : items) {
        if (item->Kind() != ItemKind::Sequence || item->m_bNew)
            continue;
        const auto *line = static_cast<CActiveEditorSequenceItem *>(item);
        m_grid.Call(SetSequenceID, { line->m_remedy.Key(), line->m_nLineIndex, line->m_strRecordId });
    }
}

CActiveEditorSequenceItem *CTreatmentGrid::FindLine(
    const QString &lineId, const QString &sequenceId, int index) const
{
    // A stored line by its row's ID; a line not stored yet (sequence id empty
    // or 0) by its remedy and index.
    const qint64 id = Verdanta::ParseId(sequenceId);
    ItemList items;
    m_editor.CollectItems(items);
    CActiveEditorSequenceItem *byIndex = nullptr;
    for (CActiveEditorClientItem *item : items) {
        if (item->Kind() != ItemKind::Sequence)
            continue;
        auto *line = static_cast<CActiveEditorSequenceItem *>(item);
        if (line->m_remedy.Key() != lineId)
            continue;
        if (id > 0 && !line->m_bNew && Verdanta::ParseId(line->m_strRecordId) == id)
            return line;
        if (line->m_nLineIndex == index && !byIndex)
            byIndex = line;
    }
    return byIndex;
}

int CTreatmentGrid::AddTreatmentLine(const QString &lineId, const QDate &day)
{
    // The placeholder line (no remedy) adds nothing; the sequence a click made
    // on it goes again.
    const qsizetype separator = lineId.indexOf(QLatin1Char('_'));
    if (lineId.isEmpty() || separator <= 0 || m_editor.IsReadOnly() || !day.isValid()) {
        if (m_grid.IsValid() && lineId.isEmpty()) {
            QVariant count;
            m_grid.Call(GetSequenceNo, { lineId }, &count);
            if (count.toInt() > 0)
                m_grid.Call(RemoveSequence, { lineId, QString(), count.toInt() - 1 });
        }
        return 0;
    }
    std::unique_ptr<CActiveEditorClientItem> made = m_editor.CreateTemplate(ItemProxy::InhProxy);
    if (!made)
        return 0;
    auto &line = static_cast<CActiveEditorSequenceItem &>(*made);
    line.m_remedy.medicineId = lineId.left(separator);
    line.m_remedy.dilutionId = lineId.mid(separator + 1);
    if (CLogicMedicines *remedies = m_editor.Document().m_references.remedies)
        remedies->GetName(Verdanta::ParseId(line.m_remedy.medicineId), &line.m_remedy.medicineName);
    if (CLogicDilutions *dilutions = m_editor.Document().m_references.dilutions)
        dilutions->GetValue(Verdanta::ParseId(line.m_remedy.dilutionId), &line.m_remedy.dilutionName);
    line.m_dates = { day };
    line.m_strTextAfter = QStringLiteral("  ");
    // The grid made the sequence of the click last on the line.
    QVariant count;
    m_grid.Call(GetSequenceNo, { lineId }, &count);
    line.m_nLineIndex = std::max(0, count.toInt() - 1);
    CActiveEditorClientItem *inserted = nullptr;
    if (!m_editor.InsertFromTemplate(line, &inserted))
        return 0;
    m_editor.UpdateView();
    return 1;
}

int CTreatmentGrid::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::TreatmentGrid:
        m_clickedDay = DayOf(command);
        return 1;
    case CommandCode::TreatmentLineAdd: {
        const QDate day = DayOf(command).isValid() ? DayOf(command) : m_clickedDay;
        return AddTreatmentLine(command.text, day);
    }
    case CommandCode::TreatmentLineRemove: {
        CActiveEditorSequenceItem *line = FindLine(command.text, command.resultId, command.subCommand);
        if (!line || m_editor.IsReadOnly())
            return 0;
        const int position = m_editor.Document().Rich().positionOf(line->m_nHandle);
        if (position < 0)
            return 0;
        // The text lets go of the item; the notes then drop its sequence.
        m_editor.DeleteRange(position, position + 1);
        m_editor.UpdateView();
        return 1;
    }
    case CommandCode::TreatmentDateToggle: {
        CActiveEditorSequenceItem *line = FindLine(command.text, command.resultId, command.subCommand);
        const QDate day = DayOf(command);
        if (!line || !day.isValid() || m_editor.IsReadOnly())
            return 0;
        line->SelectDay(day, command.id != 0);
        m_editor.UpdateView();
        return 1;
    }
    default:
        return 0;
    }
}
