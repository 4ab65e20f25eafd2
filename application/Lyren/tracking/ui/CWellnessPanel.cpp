#include "tracking/ui/CWellnessPanel.h"

#include "tracking/CLogicTracking.h"
#include "tracking/TrackingFile.h"

#include "core/CommandCodes.h"
#include "core/LogicCommand.h"
#include "core/UserSettings.h"
#include "shell/CLogicMain.h"

#include "Plenora/PlenoraIds.h"
#include "common/OleDate.h"
#include "component/ControlHost.h"
#include "component/Values.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QVBoxLayout>

namespace {

constexpr int MinimumZoom = 1;
constexpr int MaximumZoom = 10;
constexpr int GraphRows = 10;
constexpr int ScrollBarExtent = 15;

void Identify(QWidget *control, const QString &name, int controlId)
{
    control->setObjectName(name);
    control->setProperty("controlId", controlId);
}

} // namespace

CWellnessPanel::CWellnessPanel(QWidget *parent)
    : QWidget(parent)
    , m_pToggle(new QPushButton(this))
    , m_pArea(new QWidget(this))
    , m_firstVisible(QDate::currentDate().startOfDay())
{
    Identify(m_pToggle, QStringLiteral("wellnessToggle"), ShowToggleId);
    m_pToggle->setCheckable(true);
    m_pArea->setObjectName(QStringLiteral("wellnessArea"));

    auto *areaLayout = new QHBoxLayout(m_pArea);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    CreateGraphGrid();
    areaLayout->addWidget(m_pGraphHost, 1);
    areaLayout->addWidget(CreateControls());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_pToggle);
    layout->addWidget(m_pArea);
    // The panel keeps its own height (the toggle alone while the area is
    // hidden) and leaves the rest of the page to the treatment grid.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // The page starts with the default graphs' names and colours.
    const std::vector<TrackingGraph> defaults = TrackingFile::DefaultGraphs();
    for (int row = 0; row < RowCount; ++row) {
        const TrackingGraph &graph = defaults[static_cast<size_t>(row)];
        ShowRow(row, graph.name, graph.color, graph.visible != 0, row == 0);
    }
    connect(m_pToggle, &QPushButton::clicked, this, &CWellnessPanel::setWellnessShown);
    const bool shown = GetShowWellness() == 1;
    ShowArea(shown);
    Refresh();
}

CWellnessPanel::~CWellnessPanel()
{
    DetachLogic();
}

void CWellnessPanel::CreateGraphGrid()
{
    m_pGraphHost = new Component::ControlHost(m_pArea);
    Identify(m_pGraphHost, QStringLiteral("wellnessGraphGrid"), GraphGridId);
    // The ten rows and the scroll bar under them, no more: the treatment grid
    // above takes the rest of the page.
    m_pGraphHost->setFixedHeight(Plenora::kRowHeight * GraphRows + ScrollBarExtent + 1);
    if (Component::Failed(m_pGraphHost->CreateControl(Plenora::kClsidPlenora)))
        return;
    const Component::DispatchDriver &grid = m_pGraphHost->Dispatch();
    // The dates stand over the treatment grid above, on the same columns.
    grid.Call(Plenora::kDisplayColumnHeader, { false });
    grid.Put(Plenora::kZoom, QVariant::fromValue<qint16>(MinimumZoom));
    m_graphEvents.On(Plenora::kOnFirstVisibleTSChanged, [this](const QVariantList &arguments) {
        const QDateTime day
            = arguments.isEmpty() ? QDateTime() : Verdanta::FromOleDate(arguments[0].toDouble());
        if (!day.isValid())
            return;
        m_firstVisible = day;
        emit firstVisibleDayChanged(day);
    });
    m_graphEvents.Connect(m_pGraphHost->Object().Get());
}

QWidget *CWellnessPanel::CreateControls()
{
    auto *controls = new QWidget(m_pArea);
    controls->setObjectName(QStringLiteral("wellnessControls"));
    auto *grid = new QGridLayout(controls);
    grid->setContentsMargins(4, 0, 4, 0);
    m_pCurrentGroup = new QButtonGroup(this);
    for (int row = 0; row < RowCount; ++row) {
        RowControls &controlsOfRow = m_rows[static_cast<size_t>(row)];
        controlsOfRow.visible = new QCheckBox(controls);
        Identify(controlsOfRow.visible, QStringLiteral("wellnessVisible%1").arg(row), VisibleBoxId + row);
        controlsOfRow.visible->setToolTip(tr("Show this graph"));
        controlsOfRow.name = new QLineEdit(controls);
        Identify(controlsOfRow.name, QStringLiteral("wellnessName%1").arg(row), NameFieldId + row);
        controlsOfRow.name->setMaxLength(100);
        controlsOfRow.current = new QRadioButton(controls);
        Identify(controlsOfRow.current, QStringLiteral("wellnessCurrent%1").arg(row), CurrentRadioId + row);
        controlsOfRow.current->setToolTip(tr("Clicks in the graphs set this graph's scores"));
        m_pCurrentGroup->addButton(controlsOfRow.current, row);
        grid->addWidget(controlsOfRow.visible, row, 0);
        grid->addWidget(controlsOfRow.name, row, 1);
        grid->addWidget(controlsOfRow.current, row, 2);
        QCheckBox *box = controlsOfRow.visible;
        connect(box, &QCheckBox::clicked, this,
            [this, box, row] { Send(CommandCode::WellnessGraphVisible, box, VisibleBoxId + row); });
        QRadioButton *radio = controlsOfRow.current;
        connect(radio, &QRadioButton::clicked, this,
            [this, radio, row] { Send(CommandCode::WellnessCurrentGraph, radio, CurrentRadioId + row); });
    }
    m_pShowAll = new QCheckBox(tr("Show All"), controls);
    Identify(m_pShowAll, QStringLiteral("wellnessShowAll"), ShowAllBoxId);
    connect(m_pShowAll, &QCheckBox::clicked, this,
        [this] { Send(CommandCode::WellnessShowAll, m_pShowAll, ShowAllBoxId); });
    grid->addWidget(m_pShowAll, RowCount, 0, 1, 3);

    auto *zoomLabel = new QLabel(tr("Zoom level:"), controls);
    m_pZoom = new QSlider(Qt::Horizontal, controls);
    Identify(m_pZoom, QStringLiteral("wellnessZoom"), ZoomBarId);
    m_pZoom->setRange(MinimumZoom, MaximumZoom);
    m_pZoom->setPageStep(1);
    m_pZoom->setTickPosition(QSlider::TicksBelow);
    zoomLabel->setBuddy(m_pZoom);
    connect(m_pZoom, &QSlider::valueChanged, this, &CWellnessPanel::OnZoom);
    grid->addWidget(zoomLabel, RowCount + 1, 0, 1, 3);
    grid->addWidget(m_pZoom, RowCount + 2, 0, 1, 3);
    grid->setRowStretch(RowCount + 3, 1);
    return controls;
}

void CWellnessPanel::Attach(CLogicMain *hub)
{
    DetachLogic();
    m_pHub = hub;
    // Only logic attached to the panel tells it when it closes; without the
    // graph grid (its module missing) the panel stays detached, or it would
    // keep a pointer to logic that is gone.
    CLogicTracking *tracking = hub ? hub->Services().Get<CLogicTracking>() : nullptr;
    if (tracking && GraphGrid().IsValid()) {
        m_pTracking = tracking;
        m_pTracking->Attach(this, GraphGrid());
    }
    Refresh();
}

void CWellnessPanel::DetachLogic()
{
    if (m_pTracking)
        m_pTracking->Detach();
    m_pTracking = nullptr;
    m_pHub = nullptr;
}

void CWellnessPanel::TrackingClosed()
{
    m_pTracking = nullptr;
    m_pHub = nullptr;
    Refresh();
}

void CWellnessPanel::Refresh()
{
    // A box or button whose command reaches no logic would do nothing.
    const auto enable = [this](QWidget *control, int code) {
        control->setProperty("verdantaCommand", code);
        control->setEnabled(m_pTracking && m_pHub && m_pHub->Reaches(code));
    };
    for (const RowControls &row : m_rows) {
        enable(row.visible, CommandCode::WellnessGraphVisible);
        enable(row.current, CommandCode::WellnessCurrentGraph);
        row.name->setEnabled(m_pTracking != nullptr);
    }
    enable(m_pShowAll, CommandCode::WellnessShowAll);
}

void CWellnessPanel::Send(int code, QObject *control, int controlId)
{
    if (!m_pHub)
        return;
    LogicCommand command;
    command.code = code;
    command.id = controlId;
    command.control = control;
    command.window = this;
    m_pHub->OnCommand(command);
}

const Component::DispatchDriver &CWellnessPanel::GraphGrid() const
{
    return m_pGraphHost->Dispatch();
}

QWidget *CWellnessPanel::GraphGridWindow() const
{
    return m_pGraphHost->ControlWindow();
}

int CWellnessPanel::LineHeaderWidth() const
{
    if (!GraphGrid().IsValid())
        return 0;
    // Until the control is shown its layout is that of a window of no size:
    // it will have its usual width.
    const QWidget *window = GraphGridWindow();
    if (!window || !window->isVisible())
        return Plenora::kLineHeaderWidth;
    QVariantList extent { QVariant(), QVariant() };
    GraphGrid().Invoke(Plenora::kGetLineHeaderExtent, Component::InvokeKind::Method, extent, nullptr);
    return extent[0].toInt();
}

int CWellnessPanel::Zoom() const
{
    return m_pZoom->value();
}

bool CWellnessPanel::IsWellnessShown() const
{
    return m_pToggle->isChecked();
}

void CWellnessPanel::ShowRow(int row, const QString &name, quint32 color, bool visible, bool current)
{
    if (row < 0 || row >= RowCount)
        return;
    const RowControls &controls = m_rows[static_cast<size_t>(row)];
    controls.visible->setChecked(visible);
    controls.name->setText(name);
    controls.name->setCursorPosition(0);
    QPalette palette = controls.name->palette();
    palette.setColor(QPalette::Text, Component::ColorFromOle(color));
    controls.name->setPalette(palette);
    // Exclusive radio buttons cannot all be unchecked: for a moment they are not exclusive.
    m_pCurrentGroup->setExclusive(false);
    controls.current->setChecked(current);
    m_pCurrentGroup->setExclusive(true);
}

std::optional<IWellnessView::Row> CWellnessPanel::ReadRow(int row) const
{
    if (row < 0 || row >= RowCount)
        return std::nullopt;
    const RowControls &controls = m_rows[static_cast<size_t>(row)];
    return Row { controls.visible->isChecked(), controls.name->text(), controls.current->isChecked() };
}

bool CWellnessPanel::IsShowAllChecked() const
{
    return m_pShowAll->isChecked();
}

void CWellnessPanel::setFirstVisibleDay(const QDateTime &day)
{
    if (!day.isValid())
        return;
    m_firstVisible = day;
    GraphGrid().Call(Plenora::kSetFirstVisibleTS, { Verdanta::ToOleDate(day) });
}

void CWellnessPanel::setWellnessShown(bool shown)
{
    SetShowWellness(shown ? 1 : 0);
    ShowArea(shown);
    emit wellnessShownChanged(shown);
}

void CWellnessPanel::ShowArea(bool shown)
{
    m_pToggle->setChecked(shown);
    m_pArea->setVisible(shown);
    UpdateToggleText();
}

void CWellnessPanel::UpdateToggleText()
{
    m_pToggle->setText(
        m_pToggle->isChecked() ? tr("Wellness: (click to hide)") : tr("Click here to show Wellness."));
}

void CWellnessPanel::OnZoom(int zoom)
{
    GraphGrid().Put(Plenora::kZoom, QVariant::fromValue<qint16>(static_cast<qint16>(zoom)));
    GraphGrid().Call(Plenora::kRedraw);
    emit zoomChanged(zoom);
}
