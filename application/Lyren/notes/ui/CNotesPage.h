#pragma once

#include "core/Views.h"

#include <QtWidgets/QWidget>

class CActiveEditorFrame;
class CActiveEditorView;
class CKeywordsBar;
class CLogicNotes;
class QLabel;

// The Notes tab: the notes frame (the view over the notes logic's own
// document, its toolbars and the place of the keywords bar), under a bar
// that tells what the loading of the notes found (notes read-only, kept as
// stored, items put elsewhere).
class CNotesPage final : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 3;

    explicit CNotesPage(QWidget *parent = nullptr);
    ~CNotesPage() override;

    // IPage
    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    CActiveEditorFrame *Frame() const { return m_pFrame; }
    CActiveEditorView *View() const;
    // The view as the rich-text control it is.
    CActiveEditorView *Control() const { return View(); }
    QLabel *NoticeBar() const { return m_pNotice; }
    CKeywordsBar *KeywordsBar() const { return m_pKeywordsBar; }

private:
    void Detach();

    CActiveEditorFrame *m_pFrame;
    QLabel *m_pNotice;
    CKeywordsBar *m_pKeywordsBar;
    CLogicNotes *m_pNotes = nullptr;
};
