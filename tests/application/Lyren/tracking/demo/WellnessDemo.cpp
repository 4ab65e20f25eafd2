// Shows the wellness panel of a patient with ten years of scores under a
// treatment grid, joined as the treatment page joins them, and saves a
// picture of the window. Run it under a virtual X server:
//   xvfb-run -s "-screen 0 1280x800x24" wellness_demo wellness.png
#include "tracking/CLogicTracking.h"
#include "tracking/TrackingFile.h"
#include "tracking/ui/CWellnessPanel.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicCommand.h"
#include "shell/CLogicMain.h"

#include "Sylvan/XmlPlatform.h"
#include "Tessory/TessoryIds.h"
#include "common/OleDate.h"
#include "component/ControlHost.h"
#include "component/Events.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("wellness.png");
    Sylvan::PlatformScope xml;
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    CLogicMain hub(root, root + QStringLiteral("windows"));
    QString error;
    if (!hub.Open(&error)) {
        qWarning("%s", qPrintable(error));
        return 2;
    }
    LogicCommand command;
    command.code = CommandCode::NewPatient;
    hub.OnCommand(command);

    // Ten years of scores that wander slowly, one graph a little behind the other.
    TrackingDocument document { 0, TrackingFile::DefaultGraphs() };
    document.graphs[3].name = QStringLiteral("SLEEP");
    document.graphs[3].visible = 1;
    const QDate today = QDate::currentDate();
    for (size_t graph = 0; graph < 4; ++graph) {
        for (int day = 3650; day >= 0; --day) {
            const double wave = std::sin((day + 9.0 * double(graph)) / 7.0) + std::sin(day / 23.0);
            document.graphs[graph].points.push_back(
                { today.addDays(-day), std::clamp(int(4.5 + 2.2 * wave) + int(graph) - 1, 0, 9) });
        }
    }
    TrackingFile::Write(hub.GetLogicFolders()->GetPatientFolder() + TrackingFile::FileName, document);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Treatment"));
    auto *treatment = new Component::ControlHost(&window);
    auto *panel = new CWellnessPanel(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(treatment, 1);
    layout->addWidget(panel);
    if (Component::Failed(treatment->CreateControl(Tessory::kClsidTessory)))
        return 3;
    const Component::DispatchDriver &grid = treatment->Dispatch();
    grid.Call(Tessory::kSetMinLineHeaderExtent_Cx, { panel->LineHeaderWidth() });
    grid.Call(Tessory::kSetMaxLineHeaderExtent_Cx, { panel->LineHeaderWidth() });
    grid.Call(Tessory::kAddNewLine, { QStringLiteral("1"), QStringLiteral("Arnica 30C"), 0x00C08000u });
    grid.Call(Tessory::kAddNewLine, { QStringLiteral("2"), QStringLiteral("Nux vomica 200C"), 0x000080C0u });
    Component::EventSink events;
    events.On(Tessory::kOnFirstVisibleTSChanged, [panel](const QVariantList &arguments) {
        panel->setFirstVisibleDay(Verdanta::FromOleDate(arguments[0].toDouble()));
    });
    events.Connect(treatment->Object().Get());
    QObject::connect(panel, &CWellnessPanel::firstVisibleDayChanged, panel, [&grid](const QDateTime &day) {
        grid.Call(Tessory::kSetFirstVisibleTS, { Verdanta::ToOleDate(day) });
    });
    QObject::connect(panel, &CWellnessPanel::zoomChanged, panel, [&grid](int zoom) {
        grid.Put(Tessory::kZoom, QVariant::fromValue<qint16>(static_cast<qint16>(zoom)));
        grid.Call(Tessory::kRedraw);
    });
    panel->Attach(&hub);
    // The last four weeks, both grids on the same days.
    const QDateTime first = today.addDays(-28).startOfDay();
    panel->setFirstVisibleDay(first);
    grid.Call(Tessory::kSetFirstVisibleTS, { Verdanta::ToOleDate(first) });
    window.resize(1200, 720);
    window.show();

    int status = 0;
    QTimer::singleShot(800, &app, [&] {
        status = window.grab().save(output) ? 0 : 6;
        app.quit();
    });
    app.exec();
    panel->Attach(nullptr);
    hub.Close();
    return status;
}
