#include "shell/ui/CWorkspaceView.h"

#include "shell/ui/CPageContainer.h"

#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

CWorkspaceView::CWorkspaceView(CPageContainer *container, int initialTab, QWidget *parent)
    : QWidget(parent)
    , m_pContainer(container)
    , m_pTabs(new QTabBar(this))
    , m_pArea(new QWidget(this))
{
    for (const QString &label : CPageContainer::TabLabels())
        m_pTabs->addTab(label);
    m_pTabs->setExpanding(false);
    m_pTabs->setUsesScrollButtons(true);
    m_pTabs->setCurrentIndex(initialTab);

    auto *areaLayout = new QVBoxLayout(m_pArea);
    areaLayout->setContentsMargins(1, 0, 1, 5);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pArea, 1);
    setMinimumSize(10, 10);

    connect(m_pTabs, &QTabBar::currentChanged, this, &CWorkspaceView::ShowSelectedPage);
    // A click on the selected tab brings back its page when another pane took it.
    connect(m_pTabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == m_pTabs->currentIndex())
            ShowSelectedPage();
    });
}

int CWorkspaceView::CurrentTab() const
{
    return m_pTabs->currentIndex();
}

void CWorkspaceView::SetCurrentTab(int index)
{
    m_pTabs->setCurrentIndex(index);
}

QWidget *CWorkspaceView::ShownPage() const
{
    return m_pShown && m_pShown->parentWidget() == m_pArea ? m_pShown.data() : nullptr;
}

void CWorkspaceView::ShowSelectedPage()
{
    QWidget *page = m_pContainer ? m_pContainer->GetPageWindow(m_pTabs->currentIndex()) : nullptr;
    if (QWidget *previous = ShownPage(); previous && previous != page)
        previous->hide();
    m_pShown = page;
    if (!page)
        return;
    if (page->parentWidget() != m_pArea) {
        page->setParent(m_pArea);
        m_pArea->layout()->addWidget(page);
    }
    page->show();
}

void CWorkspaceView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A pane shown again takes back its page unless another pane shows it.
    QWidget *page = m_pContainer ? m_pContainer->GetPageWindow(m_pTabs->currentIndex()) : nullptr;
    if (page && page->parentWidget() != m_pArea && page->isVisible())
        return;
    ShowSelectedPage();
}
