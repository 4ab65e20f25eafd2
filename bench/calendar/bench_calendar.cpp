// The calendar on ten years of a busy practice: 20,000 appointments, eight a
// working day, ending in the shown week.
//   calendar_file_mib                 size of the appointments file
//   calendar_first_show_ms            in a fresh process with a window up: the
//                                     composite widget made, the file loaded and
//                                     the week view shown and painted
//   calendar_next_week_ms             the caption bar's forward button: the next
//                                     week's appointments found, laid out, painted
//   calendar_save_after_change_ms     one appointment changed and the file rewritten
//   calendar_drag_to_new_time_ms      an appointment dragged with the mouse: the
//                                     change, the file rewritten, the view painted
//   calendar_resident_mib             resident memory of that process, calendar shown
//   calendar_open_file_ms             the file alone read into a book
// Each figure is a median; "_cpu_ms" figures are the process's CPU time for
// the same work, which other programs on the machine do not inflate.
#include "CalendarBench.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Widgets/CaptionBar.h"
#include "Calendar/Widgets/TimeGridView.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace CalendarBench;

void showCalendar(Calendar::CalendarControl &control, const QString &path, QDate shown)
{
    control.openFile(path);
    control.setViewKind(Calendar::ViewKind::Week);
    control.showDate(shown);
    control.resize(1280, 800);
    control.show();
    PaintNow(&control);
}

// In a fresh process: a window of the program is already up (Qt's styles and
// fonts are loaded), then the calendar is made, its file read and its week
// painted. Prints the wall and CPU milliseconds.
int firstShow(const QString &path, QDate shown)
{
    QWidget window;
    window.resize(400, 300);
    window.show();
    PaintNow(&window);

    Calendar::CalendarControl *control = nullptr;
    const double before = CpuMs();
    const double wall = Bench::OnceMs([&] {
        control = new Calendar::CalendarControl;
        showCalendar(*control, path, shown);
    });
    std::printf("%.3f %.3f %.1f\n", wall, CpuMs() - before, Bench::ResidentMiB());
    delete control;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--first-show") == 0)
        return firstShow(
            QString::fromLocal8Bit(argv[2]), QDate::fromString(QString::fromLatin1(argv[3]), Qt::ISODate));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Consultations.xml"));
    const QDate shown = ThisWednesday();
    {
        Calendar::AppointmentBook book;
        book.open(path);
        book.merge(TenBusyYears(shown.addDays(2)));
    }
    Bench::Report(
        "calendar_file_mib", static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0), "MiB");

    // The first show is timed in fresh processes, as the program opens the
    // calendar once after its start.
    std::vector<double> wall, cpu;
    double resident = 0;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--first-show"), path, shown.toString(Qt::ISODate) });
        child.waitForFinished(60000);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() == 3) {
            wall.push_back(figures.at(0).toDouble());
            cpu.push_back(figures.at(1).toDouble());
            resident = figures.at(2).toDouble();
        }
    }
    if (!wall.empty()) {
        Report("calendar_first_show_ms", { Median(wall), Median(cpu) });
        Bench::Report("calendar_resident_mib", resident, "MiB");
    }

    auto shownControl = std::make_unique<Calendar::CalendarControl>();
    showCalendar(*shownControl, path, shown);
    Calendar::CalendarControl &control = *shownControl;
    Calendar::DayColumnsWidget *columns = control.view()->timeGrid()->columns();

    Report("calendar_next_week_ms", Measure(21, [&] {
        control.captionBar()->forwardButton()->click();
        PaintNow(control.view());
    }));
    control.showDate(shown);
    PaintNow(&control);

    const QList<Calendar::Event> week = control.view()->timeGrid()->isVisible()
        ? control.book().events().between(shown.addDays(-3).startOfDay(), shown.addDays(4).startOfDay())
        : QList<Calendar::Event>();
    int next = 0;
    Report("calendar_save_after_change_ms", Measure(11, [&] {
        Calendar::Event event = week.at(next++ % week.size());
        event.notes += QStringLiteral(" Changed.");
        control.book().update(event);
    }));

    const double slot = columns->geometry().slotHeight();
    int dragged = 0;
    Report("calendar_drag_to_new_time_ms", Measure(11, [&] {
        const QString uid = week.at(dragged++ % week.size()).uid;
        const QRectF box = columns->eventRect(uid);
        DragWithMouse(columns, box.center(), box.center() + QPointF(0, (dragged % 2 ? 2 : -2) * slot));
        PaintNow(control.view());
    }));

    std::unique_ptr<Calendar::AppointmentBook> book;
    Report("calendar_open_file_ms",
        Measure(
            5,
            [&] {
                book = std::make_unique<Calendar::AppointmentBook>();
                book->open(path);
            },
            [&] { book.reset(); }));
    return 0;
}
