// The calendar on ten years of a busy practice (20,000 appointments):
//   calendar_load_ms          the appointments file read into the book
//   calendar_save_after_change_ms   one appointment moved and the whole file rewritten
//   calendar_file_mib         size of the file
#include "practice/BenchTimer.h"

#include "Calendar/Model/AppointmentBook.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <memory>
#include <vector>

namespace {

constexpr int Appointments = 20000;

QList<Calendar::Event> tenBusyYears()
{
    static const char *const firstNames[]
        = { "Ana", "Mihai", "Elena", "Andrei", "Ioana", "Radu", "Maria", "Cristian", "Laura", "Stefan" };
    static const char *const lastNames[] = { "Popescu", "Ionescu", "Dumitrescu", "Stan", "Gheorghe",
        "Munteanu", "Matei", "Constantin", "Marin", "Tudor" };
    QRandomGenerator random(2009);
    QList<Calendar::Event> events;
    QDate day(2014, 1, 6);
    while (events.size() < Appointments) {
        if (day.dayOfWeek() <= 5) {
            QTime time(8, 0);
            for (int slot = 0; slot < 8 && events.size() < Appointments; ++slot) {
                Calendar::Event event;
                event.uid = Calendar::NewEventUid();
                event.patientId = random.bounded(1, 3000);
                event.subject = QString::fromLatin1(firstNames[event.patientId % 10]) + u' '
                    + QString::fromLatin1(lastNames[(event.patientId / 10) % 10]);
                event.start = QDateTime(day, time);
                event.end = event.start.addSecs(60 * (random.bounded(2) ? 30 : 60));
                if (random.bounded(4) == 0)
                    event.notes = QStringLiteral(
                        "Follow-up: sleep better, headaches less frequent, continue the remedy");
                if (random.bounded(10) == 0)
                    event.location = QStringLiteral("Room 2");
                events.append(event);
                time = time.addSecs(60 * 60);
            }
        }
        day = day.addDays(1);
    }
    return events;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Consultations.xml"));
    {
        Calendar::AppointmentBook book;
        book.open(path);
        book.merge(tenBusyYears());
    }
    Bench::Report(
        "calendar_file_mib", static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0), "MiB");

    // Books are freed after the timing: the program keeps its book until it closes.
    std::vector<std::unique_ptr<Calendar::AppointmentBook>> opened;
    const double load = Bench::MedianMs(5, [&] {
        opened.push_back(std::make_unique<Calendar::AppointmentBook>());
        opened.back()->open(path);
    });
    opened.clear();
    Bench::Report("calendar_load_ms", load, "ms");

    Calendar::AppointmentBook book;
    book.open(path);
    const QList<Calendar::Event> all = book.events().all();
    int next = 0;
    const double save = Bench::MedianMs(9, [&] {
        Calendar::Event event = all.at(next++ * 997 % all.size());
        event.start = event.start.addSecs(1800);
        event.end = event.end.addSecs(1800);
        book.update(event);
    });
    Bench::Report("calendar_save_after_change_ms", save, "ms");
    Bench::Report("calendar_resident_mib", Bench::ResidentMiB(), "MiB");
    return 0;
}
