#pragma once

#include "PlenoraModel.h"

#include "TimeGrid/GridControl.h"

namespace Plenora {

// The graph grid control: daily score graphs on ten rows against days. The
// container fills it through _DPlenora; clicks edit the current graph. The
// state lives here so that it outlasts the window.
class CPlenoraCtrl : public TimeGrid::GridControl
{
public:
    CPlenoraCtrl();
    ~CPlenoraCtrl() override;

    const PlenoraModel &Model() const { return m_model; }
    // Index of the graph clicks edit; may name no graph (-1 or out of range).
    int CurrentGraph() const { return m_currentGraph; }
    bool ShowsLineHeader() const { return m_showLineHeader; }
    bool ShowsColumnHeader() const { return m_showColumnHeader; }

    // A left click on the cell of a day and a row, from the window.
    void OnCellClicked(const QDate &day, int row);

protected:
    QWidget *CreateWidget(QWidget *parent) override;

private:
    void AddGraphMembers();
    void AddViewMembers();
    // SelectDT: false for an absent graph, a row outside the rows or an invalid day.
    bool SelectDT(const QString &graphId, const QDate &day, int row);

    PlenoraModel m_model;
    int m_currentGraph = -1;
    bool m_showLineHeader = true;
    bool m_showColumnHeader = true;
};

} // namespace Plenora
