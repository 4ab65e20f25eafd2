// The program's "Appointments" window on ten years of a busy practice: 20,000
// appointments in UserData/Consultations.xml, the main window up, a screen of
// 1920x1080 on which the window opens maximised.
//   appointments_startup_added_ms      what the appointments add to the main
//                                      window's open sequence (the window made
//                                      hidden, the file read): the open with
//                                      the 20,000-appointment file less the
//                                      open with an empty one
//   appointments_first_show_ms         Ctrl+A in a fresh process: the window
//                                      shown maximised on this week and painted
//   appointments_next_week_ms          the caption bar's forward button: the
//                                      next week found, laid out and painted
//   appointments_save_after_change_ms  one appointment changed and the file
//                                      rewritten
//   appointments_resident_mib          resident memory of the whole program
//                                      once the window is shown
// Fresh-process figures are medians over five processes, the others over
// repeated runs; "_cpu_ms" figures are the process's CPU time for the same work.
#include "CalendarBench.h"

#include "appointments/ui/AppointmentsWindowUi.h"
#include "appointments/ui/CConsultationsDialog.h"
#include "core/CommandCodes.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/WindowPresenters.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Widgets/CaptionBar.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>

#include <cstdio>
#include <vector>

namespace {

using namespace CalendarBench;

CConsultationsDialog *AppointmentsWindow(const CMainFrame &frame)
{
    return frame.GetPresenters()->Appointments().Dialog();
}

// In a fresh process: the main window opens on the practice in root and is
// shown, then Ctrl+A shows the appointments. Prints the open's and the first
// show's wall and CPU milliseconds, and the resident memory.
int FirstShow(const QString &root)
{
    CMainFrame frame(root, root + QStringLiteral("windows"));
    frame.resize(1366, 768);
    const double openCpu = CpuMs();
    const double open = Bench::OnceMs([&] { frame.Initialize(); });
    const double openCpuMs = CpuMs() - openCpu;
    frame.show();
    PaintNow(&frame);

    const double before = CpuMs();
    const double wall = Bench::OnceMs([&] {
        frame.SendCommand(CommandCode::Appointments);
        PaintNow(AppointmentsWindow(frame));
    });
    std::printf("%.3f %.3f %.3f %.3f %.1f\n", open, openCpuMs, wall, CpuMs() - before, Bench::ResidentMiB());
    frame.close();
    return 0;
}

struct ProcessFigures
{
    std::vector<double> open, openCpu, show, showCpu;
    double resident = 0;
};

ProcessFigures RunFreshProcesses(const QString &root, int runs)
{
    ProcessFigures figures;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--first-show"), root });
        child.waitForFinished(120000);
        const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
        if (values.size() != 5)
            continue;
        figures.open.push_back(values.at(0).toDouble());
        figures.openCpu.push_back(values.at(1).toDouble());
        figures.show.push_back(values.at(2).toDouble());
        figures.showCpu.push_back(values.at(3).toDouble());
        figures.resident = values.at(4).toDouble();
    }
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    // A full-HD screen for the maximised window, and settings of its own.
    QTemporaryDir environment;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString screens = environment.filePath(QStringLiteral("screens.json"));
        QFile file(screens);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    }
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(environment.filePath(QStringLiteral("config"))));
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--first-show") == 0)
        return FirstShow(QString::fromLocal8Bit(argv[2]));

    // Two practices: one with ten busy years of appointments, one with none.
    QTemporaryDir busy, idle;
    const QString busyRoot = busy.path() + u'/', idleRoot = idle.path() + u'/';
    const QDate shown = ThisWednesday();
    QDir(busyRoot).mkpath(QStringLiteral("UserData"));
    {
        Calendar::AppointmentBook book;
        book.open(busyRoot + QStringLiteral("UserData/Consultations.xml"));
        book.merge(TenBusyYears(shown.addDays(2)));
    }

    ProcessFigures empty = RunFreshProcesses(idleRoot, 5);
    ProcessFigures full = RunFreshProcesses(busyRoot, 5);
    Report("appointments_startup_added_ms",
        { Median(full.open) - Median(empty.open), Median(full.openCpu) - Median(empty.openCpu) });
    Report("appointments_first_show_ms", { Median(full.show), Median(full.showCpu) });
    Bench::Report("appointments_resident_mib", full.resident, "MiB");

    CMainFrame frame(busyRoot, busyRoot + QStringLiteral("windows"));
    frame.resize(1366, 768);
    frame.Initialize();
    frame.show();
    frame.SendCommand(CommandCode::Appointments);
    CConsultationsDialog *window = AppointmentsWindow(frame);
    PaintNow(window);
    Calendar::CalendarControl &control = *window->Calendar();
    std::fprintf(stderr, "window %dx%d, %s view\n", window->width(), window->height(),
        control.viewKind() == Calendar::ViewKind::WorkWeek ? "work-week" : "other");

    Report("appointments_next_week_ms", Measure(21, [&] {
        control.captionBar()->forwardButton()->click();
        PaintNow(control.view());
    }));
    control.showDate(shown);
    PaintNow(window);

    const QList<Calendar::Event> week
        = control.book().events().between(shown.addDays(-3).startOfDay(), shown.addDays(4).startOfDay());
    int next = 0;
    Report("appointments_save_after_change_ms", Measure(11, [&] {
        Calendar::Event event = week.at(next++ % week.size());
        event.notes += QStringLiteral(" Changed.");
        control.book().update(event);
    }));
    frame.close();
    return 0;
}
