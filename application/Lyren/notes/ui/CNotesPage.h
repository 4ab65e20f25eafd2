#pragma once

#include "core/Views.h"
#include "notes/ActiveEditorInterfaces.h"

#include <QtWidgets/QWidget>

class CKeywordsBar;
class CLogicNotes;
class QLabel;

namespace RichEdit {
class RichEditControl;
}

// The Notes tab: the current patient's consultation notes in the rich-edit
// control, over the notes logic's own document, with a bar that tells what
// the loading of the notes found (notes read-only, kept as stored, items put
// elsewhere).
class CNotesPage final : public QWidget, public IPage, public IActiveEditorView
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 3;

    explicit CNotesPage(QWidget *parent = nullptr);
    ~CNotesPage() override;

    // IPage
    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    RichEdit::RichEditControl *Control() const { return m_pControl; }
    QLabel *NoticeBar() const { return m_pNotice; }
    CKeywordsBar *KeywordsBar() const { return m_pKeywordsBar; }

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Detach();
    void ShowEnd();
    void AddKeywordsBar(QWidget *notes);

    RichEdit::RichEditControl *m_pControl;
    QLabel *m_pNotice;
    CKeywordsBar *m_pKeywordsBar;
    CLogicNotes *m_pNotes = nullptr;
    int m_nWidth = 0;
    bool m_bCaretToEnd = false;
};
