#include "CalendarBench.h"

#include <QtCore/QRandomGenerator>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

namespace CalendarBench {

QList<Calendar::Event> TenBusyYears(QDate lastDay)
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

QDate ThisWednesday()
{
    return QDate::currentDate().addDays(-(QDate::currentDate().dayOfWeek() - 3));
}

double CpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> &figures)
{
    if (figures.empty())
        return 0;
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

std::pair<double, double> Measure(
    int runs, const std::function<void()> &operation, const std::function<void()> &prepare)
{
    std::vector<double> wall, cpu;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
        const double before = CpuMs();
        wall.push_back(Bench::OnceMs(operation));
        cpu.push_back(CpuMs() - before);
    }
    return { Median(wall), Median(cpu) };
}

void Report(const char *name, const std::pair<double, double> &figures)
{
    Bench::Report(name, figures.first, "ms");
    const std::string cpuName = std::string(name).replace(std::string(name).rfind("_ms"), 3, "_cpu_ms");
    Bench::Report(cpuName.c_str(), figures.second, "ms");
}

void PaintNow(QWidget *widget)
{
    widget->repaint();
    QApplication::processEvents();
}

void DragWithMouse(QWidget *widget, QPointF from, QPointF to)
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

} // namespace CalendarBench
