#pragma once

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

class CPageContainer;
class QTabBar;

// One pane of the workspace: a tab strip over the nine patient pages. The
// selected tab's page is taken from the page container and shown below the
// tabs; a page is in one pane at a time.
class CWorkspaceView : public QWidget
{
    Q_OBJECT

public:
    CWorkspaceView(CPageContainer *container, int initialTab, QWidget *parent = nullptr);

    QTabBar *TabBar() const { return m_pTabs; }
    int CurrentTab() const;
    void SetCurrentTab(int index);
    // The page this pane shows now (none when another pane took it).
    QWidget *ShownPage() const;
    // Takes the selected tab's page into this pane and shows it.
    void ShowSelectedPage();

protected:
    void showEvent(QShowEvent *event) override;

private:
    CPageContainer *m_pContainer;
    QTabBar *m_pTabs;
    QWidget *m_pArea;
    QPointer<QWidget> m_pShown;
};
