#pragma once

#include "notes/ActiveEditorInterfaces.h"

#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QHash>

#include <functional>

class CActiveEditor;
class QAction;
class QPagedPaintDevice;

// The view the consultation notes are written in: the rich-text control over
// the notes editor's document, with character and paragraph formatting, the
// insertion of images, prescriptions and media files, the protection of the
// embedded items against accidental deletion and partial copying, the
// hand-off of picked keywords, and printing. Its commands are actions the
// frame puts on its bars; each is enabled only while it can do something.
class CActiveEditorView final : public RichEdit::RichEditControl, public IActiveEditorView
{
    Q_OBJECT

public:
    // The view's commands.
    enum Command : int {
        Bold = 32781,
        Italic = 32782,
        Underline = 32783,
        Numbering = 32784,
        Bullets = 32785,
        Color = 32786,
        Highlight = 32787,
        InsertImage = 32789,
        InsertPrescription = 32791,
        ImportMedia = 32841,
        PrintPrescription = 32842,
        EditClear = 57632,
        EditCopy = 57634,
        EditCut = 57635,
        EditPaste = 57637,
        EditUndo = 57643,
        EditRedo = 57644,
        FilePrint = 57607,
        FilePrintPreview = 57609,
        FilePrintToPdf = 57608,
    };

    // Width between number and text of numbered paragraphs, in twips.
    static constexpr int NumberingTab = 250;
    // Print margins in twips.
    static constexpr int MarginLeft = 1440;
    static constexpr int MarginTop = 1440;
    static constexpr int MarginRight = 720;
    static constexpr int MarginBottom = 720;

    explicit CActiveEditorView(QWidget *parent = nullptr);
    ~CActiveEditorView() override;

    // The notes editor shown (not owned; none lets go of it). The first one
    // given runs the initial update.
    void SetEditor(CActiveEditor *editor);
    CActiveEditor *Editor() const { return m_pEditor; }
    // Whether a command code reaches a logic object now (the hub's answer);
    // the keyword hand-off (65), image insertion (82), media import (83) and
    // printing through the hub follow it.
    void SetReach(std::function<bool(int)> reaches);

    QAction *Action(int command) const { return m_actions.value(command); }
    // Enables and checks every command for the current selection.
    void UpdateCommandUI();
    // Whether the numbering command shows its third state (the selected
    // paragraphs differ in numbering).
    bool IsNumberingIndeterminate() const { return m_bNumberingMixed; }

    // The formatting commands.
    void ToggleNumbering();
    void ToggleBullets();
    void ToggleHighlight();
    void ChooseColor();
    // The formatting bar's notifications: the character format of the
    // selection, and a format to apply to it.
    RichEdit::CharFormat SelectionFormat() const { return selectionCharFormat(); }
    void ApplyFormat(const RichEdit::CharFormat &format);

    // The notes on pages of device, with header and footer; the number of
    // pages printed (0 for notes of fewer than two characters).
    int PrintNotes(QPagedPaintDevice &device);
    // The notes printed into a PDF file, written whole or not at all;
    // pages receives their number.
    bool PrintToPdf(const QString &path, int *pages = nullptr);
    void PrintPreview();
    // Today's prescription on the printer the print dialog chooses.
    bool PrintTodaysPrescription();
    // The prescription text on pages of device, in the platform's
    // sans-serif font of 10 points; the number of pages.
    static int PrintPrescriptionText(QPagedPaintDevice &device, const QString &text);

    // IActiveEditorView
    QTextCursor TextCursor() const override;
    void SetTextCursor(const QTextCursor &cursor) override;
    void ShowCaret() override;
    QRect FormattingRect() const override;
    void Repaint() override;
    void Copy() override;
    void Cut() override;
    void Paste() override;
    void NotesReloaded() override;
    void EditorClosing() override;
    bool Print() override;
    void ShowKeywordsBar() override;

signals:
    // The notes were loaded again or the editor went: the page shows what it says of them.
    void notesReloaded();
    // The listener asks for the keywords bar.
    void keywordsBarRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateActions();
    QAction *AddAction(int command, const QString &text, const QString &prompt, bool checkable = false);
    void InitialUpdate();
    void EditCommand(int command);
    void Undo(bool redo);
    bool Reaches(int code) const { return m_reaches && m_reaches(code); }
    bool Writable() const;
    bool KeywordHandOffReaches() const;
    void ShowEnd();

    CActiveEditor *m_pEditor = nullptr;
    std::function<bool(int)> m_reaches;
    QHash<int, QAction *> m_actions;
    bool m_bInitialized = false;
    bool m_bNumberingMixed = false;
    bool m_bCaretToEnd = false;
    bool m_bClipboardHasData = false;
    int m_nWidth = 0;
};
