#include "shell/ui/CWorkspace.h"

#include "shell/ui/CWorkspaceView.h"

#include <QtWidgets/QSplitter>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

CWorkspace::CWorkspace(CPageContainer *container, QWidget *parent)
    : QWidget(parent)
    , m_pRows(new QSplitter(Qt::Vertical, this))
    , m_pFirstRow(new QSplitter(Qt::Horizontal, m_pRows))
{
    m_pRows->setChildrenCollapsible(false);
    m_pFirstRow->setChildrenCollapsible(false);
    m_pRows->addWidget(m_pFirstRow);
    // Each pane starts on its own tab: the first row on the first four pages,
    // the first column below it on the next three.
    for (int i = 0; i < LineLength; ++i) {
        m_rowPanes[static_cast<size_t>(i)] = new CWorkspaceView(container, i, m_pFirstRow);
        m_pFirstRow->addWidget(m_rowPanes[static_cast<size_t>(i)]);
    }
    m_columnPanes[0] = m_rowPanes[0];
    for (int i = 1; i < LineLength; ++i) {
        m_columnPanes[static_cast<size_t>(i)] = new CWorkspaceView(container, LineLength - 1 + i, m_pRows);
        m_pRows->addWidget(m_columnPanes[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < LineLength; ++i) {
        m_rowPanes[static_cast<size_t>(i)]->setObjectName(QStringLiteral("rowPane%1").arg(i));
        m_columnPanes[static_cast<size_t>(i)]->setObjectName(QStringLiteral("columnPane%1").arg(i));
    }
    // At first only the top-left pane is shown.
    m_rowVisible[0] = m_columnVisible[0] = true;
    for (int i = 1; i < LineLength; ++i) {
        m_rowPanes[static_cast<size_t>(i)]->hide();
        m_columnPanes[static_cast<size_t>(i)]->hide();
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pRows);
}

CWorkspaceView *CWorkspace::Pane(Line line, int index) const
{
    if (index < 0 || index >= LineLength)
        return nullptr;
    return line == Line::Row ? m_rowPanes[static_cast<size_t>(index)]
                             : m_columnPanes[static_cast<size_t>(index)];
}

bool CWorkspace::IsPaneVisible(Line line, int index) const
{
    if (index < 0 || index >= LineLength)
        return false;
    return line == Line::Row ? m_rowVisible[static_cast<size_t>(index)]
                             : m_columnVisible[static_cast<size_t>(index)];
}

int CWorkspace::VisibleInLine(Line line) const
{
    const auto &visible = line == Line::Row ? m_rowVisible : m_columnVisible;
    return static_cast<int>(std::count(visible.begin(), visible.end(), true));
}

int CWorkspace::VisiblePaneCount() const
{
    // The top-left pane belongs to both lines and counts once.
    return VisibleInLine(Line::Row) + VisibleInLine(Line::Column) - (m_rowVisible[0] ? 1 : 0);
}

bool CWorkspace::SetPaneVisible(Line line, int index, bool visible)
{
    if (index < 0 || index >= LineLength)
        return false;
    if (IsPaneVisible(line, index) == visible)
        return true;
    if (!visible && VisibleInLine(line) < 2)
        return false;
    auto &flags = line == Line::Row ? m_rowVisible : m_columnVisible;
    flags[static_cast<size_t>(index)] = visible;
    if (index == 0) {
        m_rowVisible[0] = m_columnVisible[0] = visible;
    }
    Pane(line, index)->setVisible(visible);
    // The first row's splitter goes when none of its panes is shown.
    m_pFirstRow->setVisible(VisibleInLine(Line::Row) > 0);
    Relayout();
    emit PaneVisibilityChanged();
    return true;
}

int CWorkspace::PaneExtent(int workspaceExtent, int visiblePanes)
{
    if (visiblePanes < 1)
        visiblePanes = 1;
    return std::max(MinimumExtent, workspaceExtent / visiblePanes);
}

void CWorkspace::Relayout()
{
    const int panes = VisiblePaneCount();
    const int width = PaneExtent(m_pRows->width(), panes);
    const int height = PaneExtent(m_pRows->height(), panes);
    m_pFirstRow->setSizes(QList<int>(LineLength, width));
    m_pRows->setSizes(QList<int>(LineLength, height));
}

void CWorkspace::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void CWorkspace::ShowPages()
{
    for (int i = 0; i < LineLength; ++i) {
        for (Line line : { Line::Row, Line::Column }) {
            if (IsPaneVisible(line, i))
                Pane(line, i)->ShowSelectedPage();
        }
    }
}
