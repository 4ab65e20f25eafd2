#include "rubrics/ui/CKeywordsBar.h"

#include "rubrics/CLogicMetaWords.h"
#include "shell/CLogicMain.h"

#include "core/CommandCodes.h"
#include "core/UserSettings.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtGui/QAction>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

CKeywordsBar::CKeywordsBar(QWidget *parent)
    : QWidget(parent)
    , m_pList(new Korbel::CXListCtrl(this))
    , m_pHidden(new QWidget(this))
    , m_pToggle(new QAction(ToggleText(), this))
{
    setObjectName(QStringLiteral("keywordsBar"));
    m_pList->setObjectName(QStringLiteral("keywordsList"));
    m_pList->setProperty("controlId", ListControlId);
    m_pHidden->setObjectName(QStringLiteral("keywordsHidden"));
    m_pHidden->setProperty("controlId", HiddenControlId);
    m_pHidden->hide();

    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setShowGrid(true);
    m_pList->InsertColumn(0, tr("Consultation"));
    m_pList->InsertColumn(1, tr("Possible rubrics"));
    m_pList->SetColumnMinWidth(1, 85);
    m_pList->EnableToolTips(true);
    m_pList->horizontalHeader()->setStretchLastSection(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pList);

    m_pToggle->setObjectName(QStringLiteral("actionToggleKeywords"));
    m_pToggle->setToolTip(tr("Possible Rubrics"));
    m_pToggle->setCheckable(true);
    m_pToggle->setEnabled(false);
    connect(m_pToggle, &QAction::triggered, this, [this] { Toggle(); });
    connect(m_pList, &Korbel::CXListCtrl::itemClicked, this, [this] { OnClicked(); });
    connect(m_pList, &Korbel::CXListCtrl::itemContextMenu, this,
        [this](int, int, const QPoint &globalPosition) { OnContextMenu(globalPosition); });
}

CKeywordsBar::~CKeywordsBar()
{
    Attach(nullptr);
}

QString CKeywordsBar::ToggleText()
{
    return tr("Show or hide possible rubrics window");
}

void CKeywordsBar::Attach(CLogicMain *hub)
{
    if (m_pMetaWords) {
        m_pMetaWords->SetView(nullptr);
        if (m_pMetaWords->List() == m_pList)
            m_pMetaWords->Attach(nullptr);
    }
    m_pHub = hub;
    m_pMetaWords = hub ? hub->Services().Get<CLogicMetaWords>() : nullptr;
    m_pToggle->setEnabled(m_pMetaWords != nullptr);
    if (isVisible())
        Show(false);
    if (!m_pMetaWords)
        return;
    m_pMetaWords->Attach(m_pList);
    m_pMetaWords->SetView(this);
}

void CKeywordsBar::MetaWordsClosing()
{
    // The hub goes with its logic: nothing fills the list any more.
    m_pMetaWords = nullptr;
    m_pHub = nullptr;
    m_pToggle->setEnabled(false);
}

void CKeywordsBar::Show(bool on, bool remember)
{
    // Nothing to show while no logic fills the list.
    on = on && m_pMetaWords;
    setVisible(on);
    m_pToggle->setChecked(on);
    if (remember)
        SetShowKeywords(on ? 1 : 0);
    if (on) {
        LayoutColumns();
        m_pList->viewport()->update();
    }
    emit shownChanged(on);
}

void CKeywordsBar::Toggle()
{
    Show(isHidden(), true);
}

void CKeywordsBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutColumns();
}

void CKeywordsBar::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    LayoutColumns();
}

void CKeywordsBar::LayoutColumns()
{
    // The consultation's date takes 15 % of the width; the keywords the rest.
    const int width = m_pList->ClientWidth();
    const int first = width * 15 / 100;
    m_pList->SetColumnWidth(0, first);
    m_pList->resizeColumnToContents(1);
    const int fill = width - first - 2;
    if (fill > m_pList->GetColumnWidth(1))
        m_pList->SetColumnWidth(1, fill);
}

void CKeywordsBar::OnClicked()
{
    if (!m_pHub)
        return;
    LogicCommand command;
    command.code = CommandCode::RubricsListClicked;
    command.control = m_pList;
    command.window = window();
    m_pHub->OnCommand(command);
}

void CKeywordsBar::OnContextMenu(const QPoint &globalPosition)
{
    if (!m_pMetaWords)
        return;
    if (m_pMetaWords->ContextMenu(this, globalPosition) == CLogicMetaWords::MenuChoice::Hide)
        Show(false, true);
}
