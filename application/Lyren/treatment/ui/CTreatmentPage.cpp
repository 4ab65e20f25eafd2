#include "treatment/ui/CTreatmentPage.h"

#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"
#include "tracking/ui/CWellnessPanel.h"

#include "core/CommandCodes.h"

#include "common/OleDate.h"
#include "component/ControlHost.h"

#include <QtWidgets/QVBoxLayout>

namespace {

const QString GridProgId = QStringLiteral("TESSORY.TessoryCtrl.1");

// Members and events of the button grid.
enum : int {
    Zoom = 1,
    SetMinLineHeaderExtent = 22,
    SetMaxLineHeaderExtent = 23,
    SetFirstVisibleTS = 24,
    Redraw = 25,
};
enum : int {
    OnSequenceNew = 1, // (line)
    OnSelectEvent = 2, // (line, day)
    OnSequenceDeleted = 3, // (line, sequence, index)
    OnSelectSequence = 4, // (line, sequence, index, day, select)
    OnFirstVisibleTSChanged = 5, // (day)
};

QString DayText(const QVariant &oleDate)
{
    return Verdanta::FromOleDate(oleDate.toDouble()).date().toString(Qt::ISODate);
}

} // namespace

CTreatmentPage::CTreatmentPage(QWidget *parent)
    : QWidget(parent)
    , m_pGridHost(new Component::ControlHost(this))
    , m_pWellness(new QWidget(this))
    , m_pWellnessPanel(new CWellnessPanel(m_pWellness))
{
    m_pGridHost->setObjectName(QStringLiteral("treatmentGrid"));
    m_pGridHost->setProperty("controlId", GridControlId);
    m_pWellness->setObjectName(QStringLiteral("wellnessArea"));
    auto *wellness = new QVBoxLayout(m_pWellness);
    wellness->setContentsMargins(0, 0, 0, 0);
    wellness->addWidget(m_pWellnessPanel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pGridHost, 1);
    layout->addWidget(m_pWellness, 0);
    // The two grids share the day axis: scrolling one scrolls the other, the
    // zoom applies to both (neither setter signals back, so nothing loops).
    connect(
        m_pWellnessPanel, &CWellnessPanel::firstVisibleDayChanged, this, &CTreatmentPage::setFirstVisibleDay);
    connect(
        this, &CTreatmentPage::firstVisibleDayChanged, m_pWellnessPanel, &CWellnessPanel::setFirstVisibleDay);
    connect(m_pWellnessPanel, &CWellnessPanel::zoomChanged, this, &CTreatmentPage::setZoom);

    if (Component::Failed(m_pGridHost->CreateControl(GridProgId)))
        return;
    // The same line-header width in both grids puts each day in one column.
    const int header = m_pWellnessPanel->LineHeaderWidth();
    TreatmentGrid().Call(SetMinLineHeaderExtent, { header });
    TreatmentGrid().Call(SetMaxLineHeaderExtent, { header });
    // A click on a day of a line, a sequence made, changed or emptied: the
    // notes keep their treatment lines in step.
    m_gridEvents.On(OnSelectEvent, [this](const QVariantList &arguments) {
        LogicCommand command;
        command.code = CommandCode::TreatmentGrid;
        command.text = arguments.value(0).toString();
        command.resultText1 = DayText(arguments.value(1));
        Send(command);
    });
    m_gridEvents.On(OnSequenceNew, [this](const QVariantList &arguments) {
        LogicCommand command;
        command.code = CommandCode::TreatmentLineAdd;
        command.text = arguments.value(0).toString();
        Send(command);
    });
    m_gridEvents.On(OnSequenceDeleted, [this](const QVariantList &arguments) {
        LogicCommand command;
        command.code = CommandCode::TreatmentLineRemove;
        command.text = arguments.value(0).toString();
        command.resultId = arguments.value(1).toString();
        command.subCommand = arguments.value(2).toInt();
        Send(command);
    });
    m_gridEvents.On(OnSelectSequence, [this](const QVariantList &arguments) {
        LogicCommand command;
        command.code = CommandCode::TreatmentDateToggle;
        command.text = arguments.value(0).toString();
        command.resultId = arguments.value(1).toString();
        command.subCommand = arguments.value(2).toInt();
        command.resultText1 = DayText(arguments.value(3));
        command.id = arguments.value(4).toBool() ? 1 : 0;
        Send(command);
    });
    m_gridEvents.On(OnFirstVisibleTSChanged, [this](const QVariantList &arguments) {
        emit firstVisibleDayChanged(Verdanta::FromOleDate(arguments.value(0).toDouble()));
    });
    m_gridEvents.Connect(m_pGridHost->Object().Get());
}

CTreatmentPage::~CTreatmentPage()
{
    m_gridEvents.Disconnect();
}

const Component::DispatchDriver &CTreatmentPage::TreatmentGrid() const
{
    return m_pGridHost->Dispatch();
}

void CTreatmentPage::Attach(CLogicMain *hub)
{
    m_pHub = hub;
    m_pWellnessPanel->Attach(hub);
    if (CLogicNotes *notes = hub ? hub->Services().Get<CLogicNotes>() : nullptr)
        notes->SetTreatmentGrid(TreatmentGrid());
}

void CTreatmentPage::Refresh()
{
    m_pWellnessPanel->Refresh();
}

int CTreatmentPage::Send(LogicCommand &command)
{
    command.window = this;
    return m_pHub ? m_pHub->OnCommand(command) : 0;
}

void CTreatmentPage::setFirstVisibleDay(const QDateTime &day)
{
    TreatmentGrid().Call(SetFirstVisibleTS, { Verdanta::ToOleDate(day) });
    TreatmentGrid().Call(Redraw);
}

void CTreatmentPage::setZoom(int daysPerColumn)
{
    TreatmentGrid().Put(Zoom, QVariant::fromValue<qint16>(qint16(std::clamp(daysPerColumn, 1, 20))));
    TreatmentGrid().Call(Redraw);
}
