#include "WellnessTestUtil.h"

namespace WellnessTest {

using namespace KorbelTest;

std::vector<TrackingPoint> PointsInControl(const Component::DispatchDriver &grid, int graph)
{
    const QString id = QString::number(graph);
    QVariant count;
    grid.Call(Plenora::kGetGraphPointsNo, { id }, &count);
    std::vector<TrackingPoint> points;
    for (int k = 0; k < count.toInt(); ++k) {
        QVariantList arguments { id, k, QVariant(), QVariant() };
        EXPECT_EQ(grid.Invoke(Plenora::kGetGraphPoint, Component::InvokeKind::Method, arguments, nullptr),
            Component::S_OK);
        points.push_back({ Verdanta::DateFromOleDate(arguments[2].toDouble()), arguments[3].toInt() });
    }
    return points;
}

QScrollBar *HorizontalBar(QWidget *gridWindow)
{
    for (QScrollBar *bar : gridWindow->findChildren<QScrollBar *>()) {
        if (bar->orientation() == Qt::Horizontal)
            return bar;
    }
    return nullptr;
}

Practice::Practice(const QStringList &patients)
{
    auto source = OpenSource(m_dir.rootWithSeparator() + QStringLiteral("data.mdb"));
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    for (const QString &name : patients)
        m_ids << AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), name } });
}

Practice::~Practice()
{
    Close();
}

QString Practice::PatientFolder(const QString &id) const
{
    return m_dir.rootWithSeparator() + QStringLiteral("UserData/") + id + QLatin1Char('/');
}

bool Practice::Open()
{
    m_pHub
        = std::make_unique<CLogicMain>(m_dir.rootWithSeparator(), m_dir.filePath(QStringLiteral("windows")));
    QString error;
    const bool opened = m_pHub->Open(&error);
    EXPECT_TRUE(opened) << error.toStdString();
    if (!m_pPanel) {
        m_pPanel = std::make_unique<CWellnessPanel>();
        m_pPanel->resize(900, 320);
        m_pPanel->show();
    }
    m_pPanel->Attach(m_pHub.get());
    return opened;
}

void Practice::Close()
{
    // The main window closes: the patient is saved with the panel still there.
    if (m_pHub)
        m_pHub->Close();
    m_pHub.reset();
}

bool Practice::Reopen()
{
    Close();
    return Open();
}

int Practice::Send(int code)
{
    LogicCommand command;
    command.code = code;
    return m_pHub->OnCommand(command);
}

TreatmentWindow::TreatmentWindow()
    : m_pTreatment(new Component::ControlHost(&m_window))
    , m_pPanel(new CWellnessPanel(&m_window))
{
    auto *layout = new QVBoxLayout(&m_window);
    layout->addWidget(m_pTreatment, 1);
    layout->addWidget(m_pPanel);
    m_window.resize(1000, 600);
    EXPECT_EQ(m_pTreatment->CreateControl(Tessory::kClsidTessory), Component::S_OK);
    const Component::DispatchDriver &grid = TreatmentGrid();
    // The two line headers as wide, so that a day stands in the same column in both.
    const int width = m_pPanel->LineHeaderWidth();
    grid.Call(Tessory::kSetMinLineHeaderExtent_Cx, { width });
    grid.Call(Tessory::kSetMaxLineHeaderExtent_Cx, { width });
    grid.Call(Tessory::kAddNewLine, { QStringLiteral("1"), QStringLiteral("Arnica 30C"), 0x00C08000u });
    m_treatmentEvents.On(Tessory::kOnFirstVisibleTSChanged, [this](const QVariantList &arguments) {
        m_pPanel->setFirstVisibleDay(Verdanta::FromOleDate(arguments[0].toDouble()));
    });
    m_treatmentEvents.Connect(m_pTreatment->Object().Get());
    QObject::connect(
        m_pPanel, &CWellnessPanel::firstVisibleDayChanged, m_pPanel, [this](const QDateTime &day) {
            TreatmentGrid().Call(Tessory::kSetFirstVisibleTS, { Verdanta::ToOleDate(day) });
        });
    QObject::connect(m_pPanel, &CWellnessPanel::zoomChanged, m_pPanel, [this](int zoom) {
        TreatmentGrid().Put(Tessory::kZoom, QVariant::fromValue<qint16>(static_cast<qint16>(zoom)));
        TreatmentGrid().Call(Tessory::kRedraw);
    });
    m_window.show();
}

} // namespace WellnessTest
