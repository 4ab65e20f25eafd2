#pragma once

#include "core/Views.h"

#include "component/DispatchDriver.h"
#include "component/Events.h"

#include <QtCore/QDateTime>
#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

class CLogicMain;
struct LogicCommand;

namespace Component {
class ControlHost;
}

// The "Treatment" tab: the button grid (control 1068) in the upper part, one
// line per remedy of the notes with the treatment lines as sequences, and
// below it the area of the wellness graphs. A click in the grid goes to the
// notes as the hub commands 10 to 13. The grid's first visible day is
// reported and can be set, so that the graphs below show the same days.
class CWellnessPanel;

class CTreatmentPage final : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 4;
    static constexpr int GridControlId = 1068;

    explicit CTreatmentPage(QWidget *parent = nullptr);
    ~CTreatmentPage() override;

    // IPage: the grid goes to the hub's notes logic, which fills it.
    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    // Below the grid: an empty widget with a vertical layout, for the
    // wellness graphs and their controls.
    QWidget *WellnessArea() const { return m_pWellness; }
    CWellnessPanel *Wellness() const { return m_pWellnessPanel; }
    // The button grid's window and its dispatch interface (empty when the
    // grid's server is missing).
    Component::ControlHost *GridHost() const { return m_pGridHost; }
    const Component::DispatchDriver &TreatmentGrid() const;

public slots:
    // Scrolls the grid so that day is its first visible day.
    void setFirstVisibleDay(const QDateTime &day);
    // Days per column, 1 to 20.
    void setZoom(int daysPerColumn);

signals:
    // The grid was scrolled: its first visible day.
    void firstVisibleDayChanged(const QDateTime &day);

private:
    int Send(LogicCommand &command);

    Component::ControlHost *m_pGridHost;
    QWidget *m_pWellness;
    CWellnessPanel *m_pWellnessPanel;
    Component::EventSink m_gridEvents;
    CLogicMain *m_pHub = nullptr;
};
