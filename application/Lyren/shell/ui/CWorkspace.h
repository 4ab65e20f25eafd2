#pragma once

#include <QtWidgets/QWidget>

#include <array>

class CPageContainer;
class CWorkspaceView;
class QSplitter;

// The workspace below the header band: panes in the first row and the first
// column of a four-by-four grid (the top-left pane belongs to both lines),
// each shown or hidden by the "Workspace Layout" toggles. Every visible row and
// column gets an equal share of the workspace, at least 10 pixels.
class CWorkspace : public QWidget
{
    Q_OBJECT

public:
    enum class Line { Row, Column };
    static constexpr int LineLength = 4;
    static constexpr int MinimumExtent = 10;

    explicit CWorkspace(CPageContainer *container, QWidget *parent = nullptr);

    // Shows or hides the pane at 'index' of the first row or the first column
    // (index 0 is the top-left pane in both). Hiding the last visible pane of
    // its line is refused: false, and the pane stays.
    bool SetPaneVisible(Line line, int index, bool visible);
    bool IsPaneVisible(Line line, int index) const;
    int VisiblePaneCount() const;
    int VisibleInLine(Line line) const;
    CWorkspaceView *Pane(Line line, int index) const;

    // The size of each row or column: the workspace's extent divided by the
    // number of visible panes, at least MinimumExtent.
    static int PaneExtent(int workspaceExtent, int visiblePanes);
    void Relayout();
    // Every visible pane shows its selected page (once the pages exist).
    void ShowPages();

signals:
    void PaneVisibilityChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QSplitter *m_pRows; // the first row's splitter, then the first column's lower panes
    QSplitter *m_pFirstRow;
    std::array<CWorkspaceView *, LineLength> m_rowPanes {}; // the first row, [0] the top-left pane
    std::array<CWorkspaceView *, LineLength> m_columnPanes {}; // the first column, [0] the top-left pane
    std::array<bool, LineLength> m_rowVisible {};
    std::array<bool, LineLength> m_columnVisible {};
};
