#pragma once

#include "component/Values.h"

#include <QtCore/QDate>
#include <QtCore/QString>

#include <utility>
#include <vector>

namespace Tessory {

// A period of a line from a start day to an end day, with one selection flag
// per day.
struct Sequence
{
    qint64 id = 0;
    QDate start;
    QDate end;
    std::vector<bool> selected; // day start + i
    quint64 key = 0; // the control's own handle, stable while events run

    bool Contains(const QDate &day) const { return day >= start && day <= end; }
    bool IsSelected(const QDate &day) const;
    bool HasSelection() const;
};

// Selects a day in a sequence: a day before the start moves the start there
// and a day after the end moves the end (the days in between stay
// unselected); a day inside toggles. A sequence without any selected day has
// no range worth keeping, so it moves to the day. When the last selected day
// is cleared the range shrinks to that day. Returns whether the day is
// selected afterwards.
bool ApplySelect(Sequence &sequence, const QDate &day);

// One named, coloured row of the grid.
struct Line
{
    QString id;
    QString name;
    Component::OLE_COLOR colour = 0;
    bool active = true;
    std::vector<Sequence> sequences;
    int current = -1; // index of the current sequence, -1 for none
};

// The lines and their sequences, with the lookups the members share.
class TessoryModel
{
public:
    const std::vector<Line> &Lines() const { return m_lines; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    Line *LineAt(int index);
    const Line *LineAt(int index) const;
    int FindLine(const QString &id) const;
    // By identifier when the text is not empty, otherwise by index; -1 when absent.
    int FindLine(const QString &id, int index) const;
    // The same for sequences; a text that is no decimal number finds nothing.
    static int FindSequence(const Line &line, const QString &idText, int index);
    // The position of a sequence by its handle, -1 when it is gone.
    static int FindSequenceByKey(const Line &line, quint64 key);

    // False when the identifier is taken.
    bool AddLine(const QString &id, const QString &name, Component::OLE_COLOR colour);
    // False when the index is out of range or the identifier belongs to another line.
    bool SetLineData(
        int index, const QString &id, const QString &name, Component::OLE_COLOR colour, bool active);
    void RemoveLine(int index);

    Sequence &AppendSequence(Line &line, qint64 id, const QDate &day);
    void RemoveSequence(Line &line, int index);
    void ResetCurrentSequences();

    // The earliest start and the latest end of all sequences (invalid when none).
    std::pair<QDate, QDate> Span() const;

private:
    std::vector<Line> m_lines;
    quint64 m_nextKey = 1;
};

// Sequence identifiers as decimal text: an empty text is 0; anything else
// must be a whole decimal number in the 64-bit range.
bool ParseSequenceId(const QString &text, qint64 *id);
QString SequenceIdText(qint64 id);

} // namespace Tessory
