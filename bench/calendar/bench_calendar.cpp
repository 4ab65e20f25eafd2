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
#include "practice/BenchTimer.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Widgets/CaptionBar.h"
#include "Calendar/Widgets/TimeGridView.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int Appointments = 20000;

QList<Calendar::Event> tenBusyYears(QDate lastDay)
{
    static const char *const firstNames[]
        = { "Ana", "Mihai", "Elena", "Andrei", "Ioana", "Radu", "Maria", "Cristian", "Laura", "Stefan" };
    static const char *const lastNames[] = { "Popescu", "Ionescu", "Dumitrescu", "Stan", "Gheorghe",
        "Munteanu", "Matei", "Constantin", "Marin", "Tudor" };
    QRandomGenerator random(2009);
    QList<Calendar::Event> events;
    for (QDate day = lastDay; events.size() < Appointments; day = day.addDays(-1)) {
        if (day.dayOfWeek() > 5)
            continue;
        for (int slot = 0; slot < 8 && events.size() < Appointments; ++slot) {
            Calendar::Event event;
            event.uid = Calendar::NewEventUid();
            event.patientId = random.bounded(1, 3000);
            event.subject = QString::fromLatin1(firstNames[event.patientId % 10]) + u' '
                + QString::fromLatin1(lastNames[(event.patientId / 10) % 10]);
            event.start = QDateTime(day, QTime(8 + slot, random.bounded(2) * 30));
            event.end = event.start.addSecs(60 * (random.bounded(2) ? 30 : 60));
            if (random.bounded(4) == 0)
                event.notes = QStringLiteral(
                    "Follow-up: sleeps better, headaches less frequent, continue the remedy");
            if (random.bounded(10) == 0)
                event.location = QStringLiteral("Room 2");
            events.append(event);
        }
    }
    return events;
}

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Median wall and CPU milliseconds of runs of the operation; prepare runs
// before each, outside the timing.
std::pair<double, double> measure(
    int runs, const std::function<void()> &operation, const std::function<void()> &prepare = {})
{
    std::vector<double> wall, cpu;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
        const double before = cpuMs();
        wall.push_back(Bench::OnceMs(operation));
        cpu.push_back(cpuMs() - before);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

void report(const char *name, const std::pair<double, double> &figures)
{
    Bench::Report(name, figures.first, "ms");
    const std::string cpuName = std::string(name).replace(std::string(name).rfind("_ms"), 3, "_cpu_ms");
    Bench::Report(cpuName.c_str(), figures.second, "ms");
}

// Paints the widget now, as the window system's expose would.
void paintNow(QWidget *widget)
{
    widget->repaint();
    QApplication::processEvents();
}

void dragWithMouse(QWidget *widget, QPointF from, QPointF to)
{
    const auto send
        = [widget](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
              QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
              QApplication::sendEvent(widget, &event);
          };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void showCalendar(Calendar::CalendarControl &control, const QString &path, QDate shown)
{
    control.openFile(path);
    control.setViewKind(Calendar::ViewKind::Week);
    control.showDate(shown);
    control.resize(1280, 800);
    control.show();
    paintNow(&control);
}

// In a fresh process: a window of the program is already up (Qt's styles and
// fonts are loaded), then the calendar is made, its file read and its week
// painted. Prints the wall and CPU milliseconds.
int firstShow(const QString &path, QDate shown)
{
    QWidget window;
    window.resize(400, 300);
    window.show();
    paintNow(&window);

    Calendar::CalendarControl *control = nullptr;
    const double before = cpuMs();
    const double wall = Bench::OnceMs([&] {
        control = new Calendar::CalendarControl;
        showCalendar(*control, path, shown);
    });
    std::printf("%.3f %.3f %.1f\n", wall, cpuMs() - before, Bench::ResidentMiB());
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
    const QDate shown
        = QDate::currentDate().addDays(-(QDate::currentDate().dayOfWeek() - 3)); // this Wednesday
    {
        Calendar::AppointmentBook book;
        book.open(path);
        book.merge(tenBusyYears(shown.addDays(2)));
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
        std::sort(wall.begin(), wall.end());
        std::sort(cpu.begin(), cpu.end());
        report("calendar_first_show_ms", { wall[wall.size() / 2], cpu[cpu.size() / 2] });
        Bench::Report("calendar_resident_mib", resident, "MiB");
    }

    auto shownControl = std::make_unique<Calendar::CalendarControl>();
    showCalendar(*shownControl, path, shown);
    Calendar::CalendarControl &control = *shownControl;
    Calendar::DayColumnsWidget *columns = control.view()->timeGrid()->columns();

    report("calendar_next_week_ms", measure(21, [&] {
        control.captionBar()->forwardButton()->click();
        paintNow(control.view());
    }));
    control.showDate(shown);
    paintNow(&control);

    const QList<Calendar::Event> week = control.view()->timeGrid()->isVisible()
        ? control.book().events().between(shown.addDays(-3).startOfDay(), shown.addDays(4).startOfDay())
        : QList<Calendar::Event>();
    int next = 0;
    report("calendar_save_after_change_ms", measure(11, [&] {
        Calendar::Event event = week.at(next++ % week.size());
        event.notes += QStringLiteral(" Changed.");
        control.book().update(event);
    }));

    const double slot = columns->geometry().slotHeight();
    int dragged = 0;
    report("calendar_drag_to_new_time_ms", measure(11, [&] {
        const QString uid = week.at(dragged++ % week.size()).uid;
        const QRectF box = columns->eventRect(uid);
        dragWithMouse(columns, box.center(), box.center() + QPointF(0, (dragged % 2 ? 2 : -2) * slot));
        paintNow(control.view());
    }));

    std::unique_ptr<Calendar::AppointmentBook> book;
    report("calendar_open_file_ms",
        measure(
            5,
            [&] {
                book = std::make_unique<Calendar::AppointmentBook>();
                book->open(path);
            },
            [&] { book.reset(); }));
    return 0;
}
