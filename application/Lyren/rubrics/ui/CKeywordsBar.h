#pragma once

#include "rubrics/CLogicMetaWords.h"

#include <QtWidgets/QWidget>

class CLogicMain;
class QAction;

namespace Korbel {
class CXListCtrl;
}

// The keywords bar: the current patient's possible-rubrics lines in a list
// beside the notes. A click in the list may start a new line (code 66), its
// context menu sends lines to the repertory program or hides the bar. The
// bar is one self-contained widget: whoever docks it gives it the hub
// (Attach) and shows its toggle action.
class CKeywordsBar final : public QWidget, private IMetaWordsView
{
    Q_OBJECT

public:
    // The ids of the bar's controls: the list and a second control kept hidden.
    static constexpr int ListControlId = 1179;
    static constexpr int HiddenControlId = 1046;

    explicit CKeywordsBar(QWidget *parent = nullptr);
    ~CKeywordsBar() override;

    // Gives the list to the possible-rubrics logic of the hub (none lets it
    // go). The bar is hidden; Show puts it back.
    void Attach(CLogicMain *hub);
    // Shows or hides the bar; a person's choice is kept in the user setting
    // "ShowKeywords" for the next start.
    void Show(bool on, bool remember = false);
    void Toggle();
    // Checked while the bar is visible; disabled while no logic fills the bar.
    QAction *ToggleAction() const { return m_pToggle; }

    Korbel::CXListCtrl *List() const { return m_pList; }

    // The text of the toggle.
    static QString ToggleText();

signals:
    // The bar was shown or hidden (a keyword arrived, the menu hid it, the
    // setting at attach); whoever docks it shows or hides the dock alike.
    void shownChanged(bool on);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // IMetaWordsView
    void ShowLines() override { Show(true); }
    void MetaWordsClosing() override;

    void LayoutColumns();
    void OnClicked();
    void OnContextMenu(const QPoint &globalPosition);

    Korbel::CXListCtrl *m_pList;
    QWidget *m_pHidden;
    QAction *m_pToggle;
    CLogicMain *m_pHub = nullptr;
    CLogicMetaWords *m_pMetaWords = nullptr;
};
