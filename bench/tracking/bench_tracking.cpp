// The wellness graphs of a patient with five graphs of 3,650 daily scores
// (ten years), in the wellness panel over the real graph grid control:
//   load_and_push_ms    "Tracking.xml" read and every point pushed into the
//                       control with the panel's rows filled
//   readback_and_save_ms every point read back from the control and the file
//                       written whole
//   file_kib            the size of the file
// Figures are medians over the runs.
#include "practice/BenchTimer.h"

#include "tracking/CLogicTracking.h"
#include "tracking/TrackingFile.h"
#include "tracking/ui/CWellnessPanel.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicCommand.h"
#include "shell/CLogicMain.h"

#include "Sylvan/XmlPlatform.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VERDANTA_MODULES_DIR"))
        qputenv("VERDANTA_MODULES_DIR", VERDANTA_MODULES_OUTPUT_DIRECTORY);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VerdantaBench"));
    QApplication::setApplicationName(QStringLiteral("VerdantaBench"));
    Sylvan::PlatformScope xml;
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    CLogicMain hub(root, root + QStringLiteral("windows"));
    QString error;
    if (!hub.Open(&error)) {
        std::fprintf(stderr, "cannot open the practice: %s\n", qPrintable(error));
        return 2;
    }
    LogicCommand command;
    command.code = CommandCode::NewPatient;
    hub.OnCommand(command);

    constexpr int Days = 3650;
    TrackingDocument document { 0, TrackingFile::DefaultGraphs() };
    const QDate last = QDate::currentDate();
    for (size_t graph = 0; graph < document.graphs.size(); ++graph) {
        for (int day = Days - 1; day >= 0; --day)
            document.graphs[graph].points.push_back({ last.addDays(-day), int((day * 7 + graph * 3) % 10) });
    }
    const QString path = hub.GetLogicFolders()->GetPatientFolder() + TrackingFile::FileName;
    if (!TrackingFile::Write(path, document)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 3;
    }

    CWellnessPanel panel;
    panel.resize(1200, 320);
    panel.show();
    QCoreApplication::processEvents();
    auto *tracking = hub.Services().Get<CLogicTracking>();
    if (!panel.GraphGrid().IsValid() || !tracking) {
        std::fprintf(stderr, "no graph grid control in %s\n",
            qPrintable(qEnvironmentVariable("VERDANTA_MODULES_DIR")));
        return 4;
    }
    panel.Attach(&hub);
    size_t points = 0;
    for (const TrackingGraph &graph : tracking->Graphs())
        points += graph.points.size();
    if (points != document.graphs.size() * Days) {
        std::fprintf(stderr, "loaded %zu points\n", points);
        return 5;
    }

    Bench::Report("load_and_push_ms", Bench::MedianMs(15, [tracking] { tracking->Load(); }), "ms");
    Bench::Report("readback_and_save_ms", Bench::MedianMs(15, [tracking] { tracking->Save(); }), "ms");
    Bench::Report("file_kib", double(QFileInfo(path).size()) / 1024.0, "KiB");
    panel.Attach(nullptr);
    hub.Close();
    return 0;
}
