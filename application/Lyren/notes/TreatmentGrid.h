#pragma once

#include "notes/TreatmentLine.h"

#include "component/DispatchDriver.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QStringList>

class CActiveEditor;
class CActiveEditorSequenceItem;
class CLogicDilutions;
class CLogicMedicines;
struct LogicCommand;

// The treatment page's button grid as the notes keep it: one line per remedy
// of the notes (its identifier the remedy key), each treatment line of the
// notes one sequence on its remedy's line (identifier: the row's ID, empty
// while the line is not stored; index: the item's line index), and a last,
// inactive line "Click here to add -->". The grid is reached through its
// dispatch interface only.
class CTreatmentGrid
{
    Q_DECLARE_TR_FUNCTIONS(CTreatmentGrid)

public:
    // Members of the button grid.
    enum Member : int {
        AddNewLine = 2, // (line id, name, colour)
        AddNewSequence = 5, // (line id, sequence id)
        GetSequenceNo = 6, // (line id) -> long
        SelectDT = 10, // (line id, sequence id, index, date)
        RemoveSequence = 11, // (line id, sequence id, index)
        SetCurrentSequence = 12, // (line id, sequence id, index, align)
        SetSequenceID = 13, // (line id, index, sequence id)
        ResetCurrentSequence = 14,
        RemoveLine = 15, // (line id, index)
        GetLinesNo = 16,
        SetLineData = 17, // (index, line id, name, colour, active)
        Redraw = 25,
    };

    explicit CTreatmentGrid(CActiveEditor &editor);

    // The grid of the treatment page (an empty driver: none); it is filled
    // from the notes at once.
    void SetGrid(const Component::DispatchDriver &grid);
    bool IsValid() const { return m_grid.IsValid(); }
    const Component::DispatchDriver &Grid() const { return m_grid; }

    // Empties the grid and fills it from the items of the notes, the
    // placeholder line last.
    void Rebuild();
    // A prescription entered the notes: its remedy gets a line.
    void AddRemedy(const RemedyRef &remedy);
    // The click in the notes: the selected treatment line (none: nothing)
    // becomes the grid's current sequence, scrolled into view.
    void Select(const CActiveEditorSequenceItem *line);
    // A treatment line left the notes: its sequence goes; the later
    // sequences of its remedy's line move up an index.
    void Remove(const CActiveEditorSequenceItem &line);
    // After a save: stored treatment lines are known to the grid by their IDs.
    void LinkStoredLines();

    // The hub commands of the grid: 10 (a day was clicked on a line), 11 (a
    // treatment line for the line's remedy on that day), 12 (the treatment
    // line of a sequence goes), 13 (a day of a treatment line selected or
    // unselected). command.text: the line id; resultId: the sequence id;
    // subCommand: the sequence index; resultText1: the day (ISO); id: 1 to
    // select, 0 to unselect.
    int OnCommand(LogicCommand &command);

    // The day of a command, invalid when there is none.
    static QDate DayOf(const LogicCommand &command);
    static QString PlaceholderText();

private:
    void EnsureLine(const RemedyRef &remedy);
    void AddPlaceholder();
    void RemovePlaceholder();
    void AddSequence(CActiveEditorSequenceItem &line);
    CActiveEditorSequenceItem *FindLine(const QString &lineId, const QString &sequenceId, int index) const;
    int AddTreatmentLine(const QString &lineId, const QDate &day);
    static QString SequenceIdOf(const CActiveEditorSequenceItem &line);

    CActiveEditor &m_editor;
    Component::DispatchDriver m_grid;
    QStringList m_lineIds; // the remedy lines, in grid order
    bool m_bPlaceholder = false;
    QDate m_clickedDay; // the day of the last click on a line (command 10)
};
