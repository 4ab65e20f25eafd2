#pragma once

#include "tracking/WellnessView.h"

#include "component/DispatchDriver.h"
#include "component/Events.h"

#include <QtCore/QDateTime>
#include <QtWidgets/QWidget>

#include <array>

class CLogicMain;
class CLogicTracking;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace Component {
class ControlHost;
}

// The wellness area of the treatment page, under the treatment grid: the
// graph grid control (made through the component layer) and, beside it, per
// graph a visibility box, a name field drawn in the graph's colour and a
// current-graph radio button, "Show All" and the zoom bar; above them the
// toggle that shows or hides the area (remembered as "ShowWellness").
//
// The page keeps its treatment grid on the same days: it connects
// firstVisibleDayChanged to its grid's first visible day and its grid's
// scrolling to setFirstVisibleDay, and zoomChanged to its grid's zoom (the
// panel zooms its own graph grid). Each control carries its identifier in the
// property "controlId".
class CWellnessPanel final : public QWidget, public IWellnessView
{
    Q_OBJECT

public:
    explicit CWellnessPanel(QWidget *parent = nullptr);
    ~CWellnessPanel() override;

    // Connects the controls to the hub's wellness logic, which loads the
    // current patient's graphs into them; null disconnects.
    void Attach(CLogicMain *hub);
    // Enables the controls whose commands reach the logic.
    void Refresh();

    // The graph grid control; empty when no server offers it.
    const Component::DispatchDriver &GraphGrid() const;
    QWidget *GraphGridWindow() const;
    // The width of the graph grid's line header, to which the treatment grid
    // aligns its own so that the days of both stand in the same columns.
    int LineHeaderWidth() const;
    int Zoom() const;
    QDateTime FirstVisibleDay() const { return m_firstVisible; }
    bool IsWellnessShown() const;

    QCheckBox *VisibleBox(int row) const { return m_rows[static_cast<size_t>(row)].visible; }
    QLineEdit *NameField(int row) const { return m_rows[static_cast<size_t>(row)].name; }
    QRadioButton *CurrentRadio(int row) const { return m_rows[static_cast<size_t>(row)].current; }
    QCheckBox *ShowAllBox() const { return m_pShowAll; }
    QSlider *ZoomBar() const { return m_pZoom; }
    QPushButton *ShowToggle() const { return m_pToggle; }

    // IWellnessView
    void ShowRow(int row, const QString &name, quint32 color, bool visible, bool current) override;
    std::optional<Row> ReadRow(int row) const override;
    bool IsShowAllChecked() const override;
    void TrackingClosed() override;

public slots:
    // Scrolls the graph grid to that first visible day (as the treatment grid
    // scrolled); no firstVisibleDayChanged follows.
    void setFirstVisibleDay(const QDateTime &day);
    // The toggle: shows or hides the wellness area and remembers it.
    void setWellnessShown(bool shown);

signals:
    // The person scrolled the graph grid.
    void firstVisibleDayChanged(const QDateTime &day);
    // The person moved the zoom bar (days per column, 1 to 10).
    void zoomChanged(int zoom);
    // The area was shown or hidden: the page gives the space to its grid.
    void wellnessShownChanged(bool shown);

private:
    struct RowControls
    {
        QCheckBox *visible = nullptr;
        QLineEdit *name = nullptr;
        QRadioButton *current = nullptr;
    };

    QWidget *CreateControls();
    void CreateGraphGrid();
    void Send(int code, QObject *control, int controlId);
    void OnZoom(int zoom);
    void ShowArea(bool shown);
    void UpdateToggleText();
    void DetachLogic();

    CLogicMain *m_pHub = nullptr;
    CLogicTracking *m_pTracking = nullptr;
    QPushButton *m_pToggle;
    QWidget *m_pArea;
    Component::ControlHost *m_pGraphHost = nullptr;
    Component::EventSink m_graphEvents;
    std::array<RowControls, RowCount> m_rows {};
    QButtonGroup *m_pCurrentGroup = nullptr;
    QCheckBox *m_pShowAll = nullptr;
    QSlider *m_pZoom = nullptr;
    QDateTime m_firstVisible;
};
