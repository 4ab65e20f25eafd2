#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QTextCursor>

class CActiveEditorClientItem;
class CActiveEditorSeparatorItem;

// The notes view as the editor logic needs it: the caret and selection (a
// cursor on the editor's own document), showing the caret, the area items are
// sized to, repainting, and the clipboard. Implemented by the Notes tab.
class IActiveEditorView
{
public:
    virtual QTextCursor TextCursor() const = 0;
    virtual void SetTextCursor(const QTextCursor &cursor) = 0;
    // Gives the view the focus and scrolls the caret into sight.
    virtual void ShowCaret() = 0;
    // The text area the items are sized to (the control's formatting rectangle).
    virtual QRect FormattingRect() const = 0;
    virtual void Repaint() = 0;
    virtual void Copy() = 0;
    virtual void Cut() = 0;
    virtual void Paste() = 0;
    // The notes were loaded again: read-only state and notices may have changed.
    virtual void NotesReloaded() = 0;
    // The editor goes (the hub closes): the view lets go of its document.
    virtual void EditorClosing() = 0;
    // Prints the notes (the print dialog first); false when nothing was printed.
    virtual bool Print() = 0;
    // Shows the keywords bar beside the notes, when the frame has one.
    virtual void ShowKeywordsBar() = 0;

protected:
    ~IActiveEditorView() = default;
};

// What the notes editor tells its listener (the notes logic).
class IActiveEditorEvents
{
public:
    // A left button press in the notes.
    virtual void OnClick() = 0;
    // An item's object left the text (deleted, cut, undone, replaced).
    virtual void OnObjectDeleted(CActiveEditorClientItem &item) = 0;
    // An item's object came back into the text (undo or redo).
    virtual void OnObjectReinserted(CActiveEditorClientItem &item) = 0;
    // The person inserted an item.
    virtual void OnItemInserted(CActiveEditorClientItem &item) = 0;
    // The header and the footer format ("%d" current page, "%d" page count) of printed notes.
    virtual bool GetPrintHeaderFooter(QString *header, QString *footerFormat) = 0;
    // A keyword picked in the notes, with the separator that precedes it (none before the first).
    virtual void OnKeyword(CActiveEditorSeparatorItem *separator, const QString &keyword) = 0;

protected:
    ~IActiveEditorEvents() = default;
};
