#pragma once

#include "tracking/TrackingFile.h"

#include "core/LogicCommand.h"

#include "component/DispatchDriver.h"

class IWellnessView;
class LogicContext;

// The wellness graphs of the current patient: up to five graphs of daily
// scores, kept in "Tracking.xml" in the patient's folder, shown in the graph
// grid control and the wellness controls of the treatment page. Points are
// edited in the control only; the logic reads them back when the patient is
// saved. Commands 68 ("Show All"), 69 (a current-graph radio button) and 70
// (a visibility box) carry the clicked control's identifier as their id.
class CLogicTracking final : public ILogicObject
{
public:
    explicit CLogicTracking(LogicContext &context);
    ~CLogicTracking() override;
    CLogicTracking(const CLogicTracking &) = delete;
    CLogicTracking &operator=(const CLogicTracking &) = delete;

    // The treatment page connects its wellness controls and the graph grid
    // (reached through its dispatch interface): the default graphs are made
    // and the current patient's graphs loaded into them. Detach forgets both.
    void Attach(IWellnessView *view, const Component::DispatchDriver &graphGrid);
    void Detach();
    bool IsAttached() const { return m_pView && m_graphGrid.IsValid(); }

    // Loads the current patient's graphs and shows them. A patient without a
    // file (or with one that cannot be read) gets the default graphs without
    // points. Without the page there is nothing to show: 1.
    int Load();
    // Reads the graphs back from the page and rewrites the file whole (after
    // the save's commit when a patient save is running). Without the page
    // nothing was shown or edited, so nothing is written: 1.
    int Save();
    // A new patient: the control is emptied, every graph loses its points and
    // the first graph becomes the current one.
    void MarkNewPatient();
    bool IsNewPatient() const { return m_bNewPatient; }

    int OnCommand(LogicCommand &command) override;
    // "Show All" checked: every graph drawn and none current; unchecked: each
    // graph as its visibility box says, and the current graph again.
    void ShowAll(bool checked);

    const std::vector<TrackingGraph> &Graphs() const { return m_document.graphs; }
    int CurrentGraph() const { return m_document.currentGraph; }

private:
    QString FilePath() const;
    void ClearPoints();
    void PushToControl();
    void ReadBack();
    void Redraw() const;
    void SetCurrentInControl(int index) const;

    LogicContext &m_context;
    TrackingDocument m_document;
    bool m_bNewPatient = false;
    // The patient whose graphs are shown; saves go to no other patient.
    qint64 m_loadedFor = 0;
    // Per graph, the scores the control refused (outside its rows, from a
    // file written elsewhere): written back unless the day got a new score.
    std::vector<std::vector<TrackingPoint>> m_refused;
    // The file on disk could not be read: it is set aside before it is replaced.
    bool m_bUnreadableOnDisk = false;
    IWellnessView *m_pView = nullptr;
    Component::DispatchDriver m_graphGrid;
};
