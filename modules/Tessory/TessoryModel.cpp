#include "TessoryModel.h"

#include <algorithm>

namespace Tessory {

bool Sequence::IsSelected(const QDate &day) const
{
    if (!Contains(day))
        return false;
    return selected[static_cast<size_t>(start.daysTo(day))];
}

bool Sequence::HasSelection() const
{
    return std::find(selected.begin(), selected.end(), true) != selected.end();
}

bool ApplySelect(Sequence &sequence, const QDate &day)
{
    if (!sequence.HasSelection()) {
        sequence.start = day;
        sequence.end = day;
        sequence.selected.assign(1, true);
        return true;
    }
    if (day < sequence.start) {
        sequence.selected.insert(
            sequence.selected.begin(), static_cast<size_t>(day.daysTo(sequence.start)), false);
        sequence.start = day;
        sequence.selected.front() = true;
        return true;
    }
    if (day > sequence.end) {
        sequence.selected.resize(
            sequence.selected.size() + static_cast<size_t>(sequence.end.daysTo(day)), false);
        sequence.end = day;
        sequence.selected.back() = true;
        return true;
    }
    const auto flag = sequence.selected.begin() + sequence.start.daysTo(day);
    *flag = !*flag;
    if (*flag)
        return true;
    if (!sequence.HasSelection()) {
        sequence.start = day;
        sequence.end = day;
        sequence.selected.assign(1, false);
    }
    return false;
}

Line *TessoryModel::LineAt(int index)
{
    return index >= 0 && index < LineCount() ? &m_lines[static_cast<size_t>(index)] : nullptr;
}

const Line *TessoryModel::LineAt(int index) const
{
    return index >= 0 && index < LineCount() ? &m_lines[static_cast<size_t>(index)] : nullptr;
}

int TessoryModel::FindLine(const QString &id) const
{
    const auto found
        = std::find_if(m_lines.begin(), m_lines.end(), [&id](const Line &line) { return line.id == id; });
    return found == m_lines.end() ? -1 : static_cast<int>(found - m_lines.begin());
}

int TessoryModel::FindLine(const QString &id, int index) const
{
    if (!id.isEmpty())
        return FindLine(id);
    return LineAt(index) ? index : -1;
}

int TessoryModel::FindSequence(const Line &line, const QString &idText, int index)
{
    if (idText.isEmpty())
        return index >= 0 && index < static_cast<int>(line.sequences.size()) ? index : -1;
    qint64 id = 0;
    if (!ParseSequenceId(idText, &id))
        return -1;
    const auto found = std::find_if(line.sequences.begin(), line.sequences.end(),
        [id](const Sequence &sequence) { return sequence.id == id; });
    return found == line.sequences.end() ? -1 : static_cast<int>(found - line.sequences.begin());
}

int TessoryModel::FindSequenceByKey(const Line &line, quint64 key)
{
    const auto found = std::find_if(line.sequences.begin(), line.sequences.end(),
        [key](const Sequence &sequence) { return sequence.key == key; });
    return found == line.sequences.end() ? -1 : static_cast<int>(found - line.sequences.begin());
}

bool TessoryModel::AddLine(const QString &id, const QString &name, Component::OLE_COLOR colour)
{
    if (FindLine(id) >= 0)
        return false;
    Line line;
    line.id = id;
    line.name = name;
    line.colour = colour;
    m_lines.push_back(std::move(line));
    return true;
}

bool TessoryModel::SetLineData(
    int index, const QString &id, const QString &name, Component::OLE_COLOR colour, bool active)
{
    Line *line = LineAt(index);
    const int owner = FindLine(id);
    if (!line || (owner >= 0 && owner != index))
        return false;
    line->id = id;
    line->name = name;
    line->colour = colour;
    line->active = active;
    return true;
}

void TessoryModel::RemoveLine(int index)
{
    if (LineAt(index))
        m_lines.erase(m_lines.begin() + index);
}

Sequence &TessoryModel::AppendSequence(Line &line, qint64 id, const QDate &day)
{
    Sequence sequence;
    sequence.id = id;
    sequence.start = day;
    sequence.end = day;
    sequence.selected.assign(1, false);
    sequence.key = m_nextKey++;
    line.sequences.push_back(std::move(sequence));
    return line.sequences.back();
}

void TessoryModel::RemoveSequence(Line &line, int index)
{
    if (index < 0 || index >= static_cast<int>(line.sequences.size()))
        return;
    line.sequences.erase(line.sequences.begin() + index);
    if (line.current == index)
        line.current = -1;
    else if (line.current > index)
        --line.current;
}

void TessoryModel::ResetCurrentSequences()
{
    for (Line &line : m_lines)
        line.current = -1;
}

std::pair<QDate, QDate> TessoryModel::Span() const
{
    QDate earliest;
    QDate latest;
    for (const Line &line : m_lines) {
        for (const Sequence &sequence : line.sequences) {
            if (!earliest.isValid() || sequence.start < earliest)
                earliest = sequence.start;
            if (!latest.isValid() || sequence.end > latest)
                latest = sequence.end;
        }
    }
    return { earliest, latest };
}

bool ParseSequenceId(const QString &text, qint64 *id)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        *id = 0;
        return true;
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok, 10);
    if (ok)
        *id = value;
    return ok;
}

QString SequenceIdText(qint64 id)
{
    return QString::number(id);
}

} // namespace Tessory
