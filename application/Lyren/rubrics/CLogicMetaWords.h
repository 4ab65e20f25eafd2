#pragma once

#include "rubrics/MetaWord.h"

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPoint>

#include <memory>
#include <vector>

class LogicContext;

// The window that shows the lines, as the logic needs it.
class IMetaWordsView
{
public:
    // A keyword arrived: the lines are shown.
    virtual void ShowLines() = 0;
    // The logic goes (the hub closes): the view lets go of it.
    virtual void MetaWordsClosing() = 0;

protected:
    ~IMetaWordsView() = default;
};

// The current patient's possible-rubrics lines (codes 65 and 66): keywords
// picked in the notes, the chief complaints and the questionnaire gather on
// one line per consultation, are shown in the keywords bar's list, and are
// kept in "WordSearch.xml" in the patient's folder.
//
// The list shows a row per line, then the placeholder row "Click here to
// start a new rubrics line..."; clicking the placeholder starts an empty line
// that takes the next keyword, whatever its consultation. Without lines the
// list shows one row that says how keywords are picked.
//
// The lines live here, apart from the list: they are read and written with
// the patient whether a list shows them or not.
class CLogicMetaWords final : public ILogicObject,
                              public IPatientParticipant,
                              private Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicMetaWords)

public:
    using Lines = std::vector<std::unique_ptr<MetaWord>>;

    // The entries of the list's context menu.
    enum class MenuChoice { None, SendLine, SendConsultation, Hide };

    explicit CLogicMetaWords(LogicContext &context);
    ~CLogicMetaWords() override;
    CLogicMetaWords(const CLogicMetaWords &) = delete;
    CLogicMetaWords &operator=(const CLogicMetaWords &) = delete;

    // The keywords bar's list (not owned; none lets it go): this object
    // becomes its callback and fills it with the lines.
    void Attach(Korbel::IXListCtrl *list);
    Korbel::IXListCtrl *List() const { return m_pList; }
    // The window that shows the lines (not owned; none lets it go).
    void SetView(IMetaWordsView *view) { m_pView = view; }

    // Reads the current patient's file and fills the list; 1 when the lines
    // were read (a new patient starts without lines and gives 1 too).
    int Load() override;
    // Writes the lines to the patient's file (after the commit inside a
    // patient save); 1 on success.
    int Save() override;
    // A new patient is being made: its (missing) file is not read until its
    // first successful save.
    int PrepareNew() override;
    // Removes the current patient's file (after the commit inside a delete).
    int DeletePatientRows() override;
    void MarkNewPatient() { m_bNewPatient = true; }
    bool IsNewPatient() const { return m_bNewPatient; }
    // The patient's folder + "WordSearch.xml"; empty without a patient.
    QString GetFilePath() const;

    int OnCommand(LogicCommand &command) override;
    // Adds a keyword (code 65): the identifier as decimal text, the stamp as
    // "%d/%m/%Y %H:%M:%S". A keyword of blanks changes nothing.
    int AddKeyword(const QString &sourceId, const QString &keyword, const QString &stamp);
    // A click in the list (code 66).
    int ListClicked();

    // The lines in display order.
    const Lines &GetLines() const { return m_lines; }
    // The line a list row holds, null for the other rows.
    const MetaWord *LineAt(int row) const;
    // The position of a line among the lines, -1 when it is not one.
    int IndexOf(const MetaWord *line) const;

    // The list's context menu at a point of the screen: sends the selected
    // line (or its consultation's lines) to the repertory program through the
    // hub (code 64), or asks to hide the bar. Returns the choice.
    MenuChoice ContextMenu(QWidget *parent, const QPoint &globalPosition);

    // The texts of the list.
    static QString EmptyStateText();
    static QString PlaceholderText();
    static QString HeadingEmpty();
    static QString HeadingWithLines();
    static QString LineToolTip();

private:
    // Korbel::IXListCtrlCallback
    void BeginEdit(int row, int column) override;
    void EndEdit(int row, int column, bool accepted) override;
    bool DeleteRow(int row) override;
    void AfterDelete() override;
    void ListDestroyed() override { m_pList = nullptr; }

    MetaWord *NewLine(qint64 sourceId, const QString &keyword, const QDateTime &stamp);
    MetaWord *LineOfRow(int row) const;
    // Shows a line in its row (selected), or in a new row at the end.
    void RefreshLine(MetaWord *line);
    void ShowLineInRow(int row, const MetaWord &line, bool freshRow = false);
    void AppendPlaceholder();
    // Shows the lines again from scratch; 1 when there are lines.
    int RebuildList();
    bool ReadFile(const QString &path);

    LogicContext &m_context;
    Lines m_lines;
    Korbel::IXListCtrl *m_pList = nullptr;
    IMetaWordsView *m_pView = nullptr;
    bool m_bNewPatient = false;
    // The patient's file exists but could not be read: it is kept aside
    // before the next save writes over it.
    bool m_bUnreadable = false;
    // The file of the patient whose lines are held, empty before a load.
    QString m_strLoadedPath;
    int m_nEditedRow = -1;
};
