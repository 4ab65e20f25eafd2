// The appointments file: every change on disk at once, read back whole, and
// every way the file can be unfit, with the old file always kept.
#include "CalendarTestUtil.h"

#include "Calendar/Model/AppointmentBook.h"

#include "support/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtTest/QSignalSpy>

#include <gtest/gtest.h>

using Calendar::AppointmentBook;
using Calendar::Event;
using CalendarTest::Appointment;
using CalendarTest::ReadAll;

namespace {

class Book : public ::testing::Test
{
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("Consultations.xml")); }

    // Files put aside next to the appointments file.
    QStringList keptFiles() const
    {
        return QDir(m_folder.path()).entryList({ QStringLiteral("Consultations.xml.bad-*") }, QDir::Files);
    }

    // Opens a fresh book on the file and returns its events.
    QList<Event> reread(QString *message = nullptr) const
    {
        AppointmentBook book;
        const QString text = book.open(path());
        if (message)
            *message = text;
        return book.events().all();
    }

    TestSupport::TemporaryFolder m_folder;
};

QByteArray xcal(const QByteArray &events)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\"><vcalendar><properties>"
           "<prodid><text>test</text></prodid><version><text>2.0</text></version></properties>"
           "<components>"
        + events + "</components></vcalendar></icalendar>";
}

QByteArray vevent(const QByteArray &uid, const QByteArray &start, const QByteArray &end,
    const QByteArray &summary, const QByteArray &extra = {})
{
    return "<vevent><properties><uid><text>" + uid + "</text></uid>" + "<dtstart>" + start + "</dtstart>"
        + (end.isEmpty() ? QByteArray() : "<dtend>" + end + "</dtend>") + "<summary><text>" + summary
        + "</text></summary>" + extra + "</properties></vevent>";
}

QByteArray at(const char *text)
{
    return QByteArray("<date-time>") + text + "</date-time>";
}

} // namespace

TEST_F(Book, EveryChangeIsOnDiskAtOnceAndReadsBackWhole)
{
    AppointmentBook book;
    QSignalSpy changed(&book, &AppointmentBook::changed);
    EXPECT_EQ(book.open(path()), QString());
    ASSERT_TRUE(QFileInfo::exists(path())) << "a missing file is created empty";
    EXPECT_TRUE(book.events().isEmpty());

    Event visit
        = Appointment(QStringLiteral("Ana María Pérez-Łukasz 😀"), QDate(2024, 3, 5), QTime(9, 30), 45, 42);
    visit.location = QStringLiteral("Room <2> & \"garden\"");
    visit.notes = QStringLiteral("first line\r\nsecond line\n\ttabbed  ");
    QString error, uid;
    ASSERT_TRUE(book.add(visit, &error, &uid)) << error.toStdString();
    EXPECT_FALSE(uid.isEmpty());

    Event holiday;
    holiday.subject = QStringLiteral("Practice closed");
    holiday.allDay = true;
    holiday.start = QDateTime(QDate(2024, 3, 6), QTime(13, 0));
    holiday.end = QDateTime(QDate(2024, 3, 8), QTime(0, 0));
    QString holidayUid;
    ASSERT_TRUE(book.add(holiday, &error, &holidayUid));

    // The file alone holds both, in xCal with the patient as a property.
    const QByteArray file = ReadAll(path());
    EXPECT_TRUE(file.contains("encoding=\"UTF-8\""));
    EXPECT_TRUE(file.contains("<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\">"));
    EXPECT_TRUE(file.contains("<x-verdanta-patient-id>"));
    EXPECT_TRUE(file.contains("<date>2024-03-06</date>"));
    QList<Event> read = reread();
    ASSERT_EQ(read.size(), 2);
    const Event &first = read.at(0);
    EXPECT_EQ(first.uid, uid);
    EXPECT_EQ(first.subject, visit.subject);
    EXPECT_EQ(first.location, visit.location);
    EXPECT_EQ(first.notes, visit.notes);
    EXPECT_EQ(first.start, QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    EXPECT_EQ(first.end, QDateTime(QDate(2024, 3, 5), QTime(10, 15)));
    EXPECT_EQ(first.patientId, 42);
    EXPECT_FALSE(first.allDay);
    EXPECT_TRUE(first.stamp.isValid());
    const Event &second = read.at(1);
    EXPECT_TRUE(second.allDay);
    EXPECT_EQ(second.start, QDate(2024, 3, 6).startOfDay()) << "an all-day event starts at midnight";
    EXPECT_EQ(second.end, QDate(2024, 3, 8).startOfDay());

    Event moved = *book.events().find(uid);
    moved.start = moved.start.addDays(7);
    moved.end = moved.end.addDays(7);
    moved.subject = QStringLiteral("Moved");
    ASSERT_TRUE(book.update(moved, &error));
    read = reread();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read.at(1).subject, QStringLiteral("Moved"));
    EXPECT_EQ(read.at(1).start, QDateTime(QDate(2024, 3, 12), QTime(9, 30)));

    ASSERT_TRUE(book.remove(holidayUid, &error));
    read = reread();
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.at(0).uid, uid);

    EXPECT_FALSE(book.remove(holidayUid, &error)) << "gone already";
    EXPECT_FALSE(book.update(holiday, &error)) << "never stored under that identity";
    EXPECT_EQ(changed.count(), 5); // open, two adds, update, remove
    EXPECT_TRUE(keptFiles().isEmpty());
}

TEST_F(Book, ChangesToALoadedFileTouchOnlyTheirOwnAppointment)
{
    QString keep, change, drop;
    {
        AppointmentBook writer;
        writer.open(path());
        writer.add(
            Appointment(QStringLiteral("Keep"), QDate(2024, 4, 1), QTime(9, 0), 30, 1), nullptr, &keep);
        writer.add(
            Appointment(QStringLiteral("Change"), QDate(2024, 4, 1), QTime(10, 0), 30, 2), nullptr, &change);
        writer.add(
            Appointment(QStringLiteral("Drop"), QDate(2024, 4, 1), QTime(11, 0), 30, 3), nullptr, &drop);
    }
    const QByteArray before = ReadAll(path());
    const qsizetype keepAt = before.indexOf(keep.toUtf8());
    ASSERT_GE(keepAt, 0);
    const QByteArray keptEvent = before.mid(before.lastIndexOf("<vevent>", keepAt), 600);

    AppointmentBook book;
    ASSERT_EQ(book.open(path()), QString());
    Event changed = *book.events().find(change);
    changed.subject = QStringLiteral("Changed");
    changed.end = changed.end.addSecs(900);
    ASSERT_TRUE(book.update(changed));
    ASSERT_TRUE(book.remove(drop));
    ASSERT_TRUE(book.add(Appointment(QStringLiteral("New"), QDate(2024, 4, 2), QTime(9, 0), 60)));

    QStringList subjects;
    for (const Event &event : reread())
        subjects << event.subject;
    EXPECT_EQ(
        subjects, QStringList({ QStringLiteral("Keep"), QStringLiteral("Changed"), QStringLiteral("New") }));
    EXPECT_TRUE(ReadAll(path()).contains(keptEvent.left(keptEvent.indexOf("</vevent>"))))
        << "written as it was read";
    EXPECT_EQ(book.events().find(change)->end, QDateTime(QDate(2024, 4, 1), QTime(10, 45)));
}

TEST_F(Book, WithoutAFileChangesStayInMemoryAndSaySo)
{
    AppointmentBook book;
    EXPECT_FALSE(book.open(QString()).isEmpty());
    QString error;
    EXPECT_FALSE(book.add(Appointment(QStringLiteral("x"), QDate(2024, 1, 1), QTime(9, 0), 30), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(book.events().size(), 1);
}

TEST_F(Book, RepairsWhatCallersHandIn)
{
    AppointmentBook book;
    book.open(path());
    Event backwards = Appointment(QStringLiteral("Backwards"), QDate(2024, 1, 2), QTime(11, 0), -60);
    QString uid;
    ASSERT_TRUE(book.add(backwards, nullptr, &uid));
    const Event *stored = book.events().find(uid);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->end, stored->start) << "an end before the start is pulled up to it";

    Event noStart;
    EXPECT_FALSE(book.add(noStart));
    Event twice = *stored;
    EXPECT_FALSE(book.add(twice)) << "the identity is taken";
    EXPECT_EQ(book.events().size(), 1);
}

TEST_F(Book, ForPatientFindsOnlyThatPatientsAppointments)
{
    AppointmentBook book;
    book.open(path());
    book.add(Appointment(QStringLiteral("A1"), QDate(2024, 1, 2), QTime(9, 0), 30, 7));
    book.add(Appointment(QStringLiteral("B"), QDate(2024, 1, 2), QTime(10, 0), 30, 8));
    book.add(Appointment(QStringLiteral("A2"), QDate(2023, 12, 1), QTime(9, 0), 30, 7));
    book.add(Appointment(QStringLiteral("Nobody"), QDate(2024, 1, 3), QTime(9, 0), 30));
    const QList<Event> forSeven = book.events().forPatient(7);
    ASSERT_EQ(forSeven.size(), 2);
    EXPECT_EQ(forSeven.at(0).subject, QStringLiteral("A2"));
    EXPECT_EQ(forSeven.at(1).subject, QStringLiteral("A1"));
}

TEST_F(Book, UnreadableFilesLoadEmptyAreKeptAsideAndNeverOverwritten)
{
    QByteArray huge = xcal(vevent("h", at("2024-01-01T09:00:00"), at("2024-01-01T10:00:00"), "x"));
    huge.append(QByteArray(65 * 1024 * 1024, ' '));
    const QList<QPair<const char *, QByteArray>> unfit {
        { "empty", QByteArray() },
        { "truncated",
            xcal(vevent("a", at("2024-01-01T09:00:00"), at("2024-01-01T10:00:00"), "Ana")).left(200) },
        { "entity expansion",
            "<?xml version=\"1.0\"?><!DOCTYPE icalendar [<!ENTITY a \"aaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
            "<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\">&c;</icalendar>" },
        { "external entity",
            "<?xml version=\"1.0\"?><!DOCTYPE icalendar [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
            "<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\">&x;</icalendar>" },
        { "huge", huge },
        { "foreign XML",
            "<?xml version=\"1.0\"?><Calendar><Event><Subject>Ana</Subject></Event></Calendar>" },
        { "right name, wrong namespace", "<icalendar xmlns=\"urn:example\"><vcalendar/></icalendar>" },
        { "binary", QByteArray("\x00\x01\x02\xFF\xFE", 5) },
    };

    for (const auto &[label, bytes] : unfit) {
        for (const QString &name : keptFiles())
            QFile::remove(m_folder.filePath(name));
        ASSERT_TRUE(m_folder.writeFile(QStringLiteral("Consultations.xml"), bytes)) << label;

        AppointmentBook book;
        const QString message = book.open(path());
        EXPECT_TRUE(book.events().isEmpty()) << label;
        ASSERT_EQ(keptFiles().size(), 1) << label;
        const QString kept = m_folder.filePath(keptFiles().first());
        EXPECT_EQ(book.keptAsidePath(), kept) << label;
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(kept)))
            << label << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("could not be read"))) << label;
        EXPECT_EQ(ReadAll(kept), bytes) << label;

        // The book works on, and the next save does not touch the bad file.
        ASSERT_TRUE(book.add(Appointment(QStringLiteral("New"), QDate(2024, 2, 1), QTime(8, 0), 15)))
            << label;
        EXPECT_EQ(ReadAll(kept), bytes) << label;
        ASSERT_EQ(reread().size(), 1) << label;
    }
}

TEST_F(Book, DamagedAppointmentsAreKeptOrSkippedAndTheFileCopiedAside)
{
    const QByteArray content
        = xcal(vevent("good", at("2024-01-10T09:00:00"), at("2024-01-10T09:30:00"), "Good")
            + vevent("backwards", at("2024-01-10T11:00:00"), at("2024-01-10T10:00:00"), "Backwards")
            + vevent("impossible", at("2023-02-30T09:00:00"), at("2023-02-30T10:00:00"), "Impossible")
            + vevent("garbage", at("next tuesday"), QByteArray(), "Garbage")
            + vevent("good", at("2024-01-11T09:00:00"), at("2024-01-11T09:30:00"), "Same identity")
            + vevent("", at("2024-01-12T09:00:00"), at("2024-01-12T09:30:00"), "No identity")
            + vevent("unknown", at("2024-01-13T09:00:00"), at("2024-01-13T09:30:00"), "With unknowns",
                "<categories><text>x</text></categories><x-other><unknown>1</unknown></x-other>")
            + "<vtodo><properties/></vtodo>"
            + vevent("badend", at("2024-01-14T09:00:00"), at("2024-01-14T25:00:00"), "Bad end"));
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("Consultations.xml"), content));

    AppointmentBook book;
    const QString message = book.open(path());
    const QList<Event> events = book.events().all();
    QStringList subjects;
    for (const Event &event : events)
        subjects << event.subject;
    EXPECT_EQ(subjects,
        QStringList({ QStringLiteral("Good"), QStringLiteral("Backwards"), QStringLiteral("Same identity"),
            QStringLiteral("No identity"), QStringLiteral("With unknowns"), QStringLiteral("Bad end") }));
    EXPECT_EQ(events.at(1).end, events.at(1).start) << "an end before the start is pulled up to the start";
    EXPECT_EQ(events.at(5).end, events.at(5).start) << "an unreadable end makes an event without duration";
    QSet<QString> uids;
    for (const Event &event : events)
        uids.insert(event.uid);
    EXPECT_EQ(uids.size(), events.size()) << "every event has its own identity";
    EXPECT_FALSE(uids.contains(QString()));

    ASSERT_EQ(keptFiles().size(), 1);
    const QString kept = m_folder.filePath(keptFiles().first());
    EXPECT_EQ(ReadAll(kept), content);
    EXPECT_TRUE(message.contains(QStringLiteral("read in part")));
    EXPECT_TRUE(message.contains(QStringLiteral("2 appointment(s) without a readable start")));
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(kept)));

    // Rewriting the file keeps the copy as it was; the rewritten file reads cleanly.
    ASSERT_TRUE(book.save());
    EXPECT_EQ(ReadAll(kept), content);
    QString again;
    EXPECT_EQ(reread(&again).size(), 6);
    EXPECT_EQ(again, QString());
}

TEST_F(Book, ReadsXCalWrittenByOthers)
{
    // A namespace prefix, UTC times, a duration instead of an end, parameters.
    const QByteArray content
        = "<x:icalendar xmlns:x=\"urn:ietf:params:xml:ns:icalendar-2.0\"><x:vcalendar><x:components>"
          "<x:vevent><x:properties><x:uid><x:text>u1</x:text></x:uid>"
          "<x:dtstart><x:parameters><x:tzid><x:text>Etc/UTC</x:text></x:tzid></x:parameters>"
          "<x:date-time>2024-05-01T08:00:00Z</x:date-time></x:dtstart>"
          "<x:duration><x:duration>PT1H30M</x:duration></x:duration>"
          "<x:summary><x:text>Remote</x:text></x:summary></x:properties></x:vevent>"
          "</x:components></x:vcalendar></x:icalendar>";
    ASSERT_TRUE(m_folder.writeFile(QStringLiteral("Consultations.xml"), content));
    QString message;
    const QList<Event> events = reread(&message);
    EXPECT_EQ(message, QString());
    ASSERT_EQ(events.size(), 1);
    const QDateTime start = QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC).toLocalTime();
    EXPECT_EQ(events.at(0).start, start);
    EXPECT_EQ(events.at(0).end, start.addSecs(90 * 60));
    EXPECT_EQ(events.at(0).subject, QStringLiteral("Remote"));
}

TEST_F(Book, AFailedWriteKeepsTheChangeAndSaysWhy)
{
    AppointmentBook book;
    const QString unreachable = m_folder.filePath(QStringLiteral("no/such/folder/Consultations.xml"));
    const QString message = book.open(unreachable);
    EXPECT_TRUE(message.contains(QStringLiteral("could not be created"))) << message.toStdString();

    QString error;
    EXPECT_FALSE(book.add(Appointment(QStringLiteral("Kept"), QDate(2024, 1, 2), QTime(9, 0), 30), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(book.events().size(), 1) << "the change stays in the book";

    // Once the folder exists, the next save writes what the book holds.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(unreachable).path()));
    ASSERT_TRUE(book.save(&error)) << error.toStdString();
    AppointmentBook again;
    again.open(unreachable);
    EXPECT_EQ(again.events().size(), 1);
}
