#pragma once

// A practice in a throw-away folder with its hub and a wellness panel over
// the real graph grid control, and the panel beside a real treatment grid
// control, joined as the treatment page joins them.
#include "tracking/CLogicTracking.h"
#include "tracking/TrackingFile.h"
#include "tracking/ui/CWellnessPanel.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CurrentPatient.h"
#include "core/LogicCommand.h"
#include "shell/CLogicMain.h"

#include "Plenora/PlenoraIds.h"
#include "Sylvan/XmlPlatform.h"
#include "Tessory/TessoryIds.h"
#include "common/OleDate.h"
#include "component/ControlHost.h"
#include "component/Events.h"
#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/TestSupport.h"

#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace WellnessTest {

// The points of a graph as the control holds them.
std::vector<TrackingPoint> PointsInControl(const Component::DispatchDriver &grid, int graph);
// The horizontal scroll bar of a grid control's window.
QScrollBar *HorizontalBar(QWidget *gridWindow);

class Practice
{
public:
    explicit Practice(const QStringList &patients = { QStringLiteral("Anna"), QStringLiteral("Ben") });
    ~Practice();

    const QStringList &PatientIds() const { return m_ids; }
    QString PatientFolder(const QString &id) const;
    QString TrackingPath(const QString &id) const { return PatientFolder(id) + TrackingFile::FileName; }

    // Opens the hub (as a start does) and attaches the panel to it.
    bool Open();
    void Close();
    bool Reopen();

    CLogicMain &Hub() { return *m_pHub; }
    CLogicTracking &Tracking() { return *m_pHub->Services().Get<CLogicTracking>(); }
    CWellnessPanel &Panel() { return *m_pPanel; }
    const Component::DispatchDriver &Grid() const { return m_pPanel->GraphGrid(); }
    int Send(int code);
    int Save() { return Send(CommandCode::SavePatient); }
    int GoTo(const QString &id) { return m_pHub->GetLogicPatient()->GoTo(id); }

private:
    Sylvan::PlatformScope m_xml;
    TestSupport::TemporaryFolder m_dir;
    QStringList m_ids;
    std::unique_ptr<CWellnessPanel> m_pPanel;
    std::unique_ptr<CLogicMain> m_pHub;
};

// A window with a treatment grid control above a wellness panel, joined in
// both directions as the treatment page joins them: days scroll together and
// the zoom bar zooms both.
class TreatmentWindow
{
public:
    TreatmentWindow();

    QWidget &Window() { return m_window; }
    CWellnessPanel &Panel() { return *m_pPanel; }
    const Component::DispatchDriver &TreatmentGrid() const { return m_pTreatment->Dispatch(); }
    QWidget *TreatmentGridWindow() const { return m_pTreatment->ControlWindow(); }

private:
    QWidget m_window;
    Component::ControlHost *m_pTreatment;
    CWellnessPanel *m_pPanel;
    Component::EventSink m_treatmentEvents;
};

} // namespace WellnessTest
