#pragma once

#include <QtCore/QPointer>
#include <QtWidgets/QMainWindow>

class CActiveEditorView;
class CFormatBar;
class QAction;
class QDockWidget;
class QToolBar;

// The frame of the notes: the view with the "Standard" toolbar and the
// "Formatting" bar, both dockable on every side, and a place on the right
// for the keywords bar of the possible rubrics, with the command that shows
// or hides it. The frame lives as long as the page that holds it: a close
// request is ignored.
class CActiveEditorFrame final : public QMainWindow
{
    Q_OBJECT

public:
    // The keywords bar's toggle, from the menu and from the bar itself.
    static constexpr int ToggleKeywordsCommand = 32838;
    static constexpr int ToggleKeywordsBarCommand = 1046;

    explicit CActiveEditorFrame(QWidget *parent = nullptr);
    ~CActiveEditorFrame() override;

    CActiveEditorView *View() const { return m_pView; }
    QToolBar *StandardBar() const { return m_pStandard; }
    CFormatBar *FormatBar() const { return m_pFormat; }

    // Docks a keywords bar beside the view (the frame takes it; none removes
    // the one there). Without a bar the toggle is disabled.
    void SetKeywordsBar(QWidget *bar);
    QWidget *KeywordsBar() const { return m_pKeywordsBar; }
    QAction *KeywordsToggle() const { return m_pToggleKeywords; }
    bool IsKeywordsBarVisible() const;
    void ShowKeywordsBar(bool show);
    void ToggleKeywordsBar() { ShowKeywordsBar(!IsKeywordsBarVisible()); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void UpdateKeywordsToggle();

    CActiveEditorView *m_pView;
    QToolBar *m_pStandard;
    CFormatBar *m_pFormat;
    QDockWidget *m_pKeywordsDock;
    QPointer<QWidget> m_pKeywordsBar;
    QAction *m_pToggleKeywords;
};
