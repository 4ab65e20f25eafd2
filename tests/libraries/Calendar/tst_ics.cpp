// .ics export and import through libical: round trips with and without health
// data, files from other programs, and files that must be refused.
#include "CalendarTestUtil.h"

#include "Calendar/Model/IcsExchange.h"

#include "support/TestSupport.h"

#include <QtCore/QTimeZone>

#include <gtest/gtest.h>

using Calendar::Event;
using Calendar::HealthData;
using Calendar::IcsImport;
using CalendarTest::Appointment;
using CalendarTest::ReadAll;

namespace {

QList<Event> sampleEvents()
{
    Event visit = Appointment(QStringLiteral("Popescu, Ana; \"Łucja\" 😀"), QDate(2024, 7, 1), QTime(14, 15),
        50, 9223372036854775807);
    visit.uid = QStringLiteral("visit-1@verdanta");
    visit.location = QStringLiteral("Room 2, first floor");
    visit.notes = QStringLiteral("Migraine since May;\nfollow-up, bring the diary\\notes");
    Event closed;
    closed.uid = QStringLiteral("closed-1");
    closed.subject = QStringLiteral("Practice closed");
    closed.allDay = true;
    closed.start = QDate(2024, 12, 24).startOfDay();
    closed.end = QDate(2024, 12, 27).startOfDay();
    // Winter time, so the conversion to UTC and back crosses a daylight-saving change from July.
    Event winter = Appointment(QStringLiteral("Winter"), QDate(2024, 1, 15), QTime(8, 0), 30);
    winter.uid = QStringLiteral("winter");
    return { visit, closed, winter };
}

class Ics : public ::testing::Test
{
protected:
    QString write(const char *name, const QByteArray &content)
    {
        EXPECT_TRUE(m_folder.writeFile(QString::fromLatin1(name), content));
        return m_folder.filePath(QString::fromLatin1(name));
    }
    TestSupport::TemporaryFolder m_folder;
};

} // namespace

TEST_F(Ics, RoundTripKeepsEverythingWithHealthData)
{
    const QString path = m_folder.filePath(QStringLiteral("out.ics"));
    QString error;
    ASSERT_TRUE(Calendar::ExportIcs(path, sampleEvents(), HealthData::Include, &error))
        << error.toStdString();
    const QByteArray text = ReadAll(path);
    EXPECT_TRUE(text.startsWith("BEGIN:VCALENDAR"));
    EXPECT_TRUE(text.contains("X-VERDANTA-PATIENT-ID:9223372036854775807"));
    EXPECT_TRUE(text.contains("DTSTART;VALUE=DATE:20241224"));
    EXPECT_TRUE(text.contains("\r\n")) << "iCalendar lines end in CRLF";

    IcsImport imported;
    ASSERT_TRUE(Calendar::ImportIcs(path, imported, &error)) << error.toStdString();
    EXPECT_EQ(imported.skipped, 0);
    const QList<Event> expected = sampleEvents();
    ASSERT_EQ(imported.events.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Event &in = imported.events.at(i);
        const Event &out = expected.at(i);
        EXPECT_EQ(in.uid, out.uid);
        EXPECT_EQ(in.subject, out.subject);
        EXPECT_EQ(in.location, out.location);
        EXPECT_EQ(in.notes, out.notes);
        EXPECT_EQ(in.allDay, out.allDay);
        EXPECT_EQ(in.start, out.start) << out.uid.toStdString();
        EXPECT_EQ(in.end, out.end) << out.uid.toStdString();
        EXPECT_EQ(in.patientId, out.patientId);
    }
}

TEST_F(Ics, LeavingOutHealthDataKeepsOnlyTheTimes)
{
    const QString path = m_folder.filePath(QStringLiteral("private.ics"));
    ASSERT_TRUE(Calendar::ExportIcs(path, sampleEvents(), HealthData::LeaveOut));
    const QByteArray text = ReadAll(path);
    for (const char *secret : { "Popescu", "Migraine", "Room 2", "X-VERDANTA-PATIENT-ID", "Practice closed" })
        EXPECT_FALSE(text.contains(secret)) << secret;
    EXPECT_EQ(text.count("SUMMARY:Appointment\r\n"), 3);

    IcsImport imported;
    ASSERT_TRUE(Calendar::ImportIcs(path, imported));
    ASSERT_EQ(imported.events.size(), 3);
    EXPECT_EQ(imported.events.at(0).subject, QStringLiteral("Appointment"));
    EXPECT_EQ(imported.events.at(0).start, sampleEvents().at(0).start);
    EXPECT_EQ(imported.events.at(0).patientId, 0);
    EXPECT_TRUE(imported.events.at(0).notes.isEmpty());
    EXPECT_TRUE(imported.events.at(1).allDay);
}

TEST_F(Ics, ImportsWhatOtherProgramsWrite)
{
    const QString path = write("other.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\n"
        "BEGIN:VTIMEZONE\r\nTZID:Custom/Plus5\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0500\r\nTZOFFSETTO:+0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
        "BEGIN:VEVENT\r\nUID:zoned\r\nDTSTART;TZID=Custom/Plus5:20240301T100000\r\n"
        "DTEND;TZID=Custom/Plus5:20240301T110000\r\nSUMMARY:Zoned with defin\r\n ition\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:berlin\r\nDTSTART;TZID=Europe/Berlin:20240301T100000\r\nDURATION:PT45M\r\n"
        "SUMMARY:Named zone only\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:floating\r\nDTSTART:20240302T090000\r\nSUMMARY:Floating\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:day\r\nDTSTART;VALUE=DATE:20240303\r\nSUMMARY:Whole day\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:weekly\r\nDTSTART:20240304T080000Z\r\nDTEND:20240304T083000Z\r\n"
        "RRULE:FREQ=WEEKLY;COUNT=4\r\nSUMMARY:Weekly\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:cancelled\r\nDTSTART:20240305T080000Z\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:nostart\r\nSUMMARY:No start\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:badstart\r\nDTSTART:20240230T250000\r\nSUMMARY:Bad\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nUID:todo\r\nSUMMARY:Not an event\r\nEND:VTODO\r\n"
        "END:VCALENDAR\r\n");
    IcsImport imported;
    QString error;
    ASSERT_TRUE(Calendar::ImportIcs(path, imported, &error)) << error.toStdString();
    ASSERT_EQ(imported.events.size(), 5);
    EXPECT_EQ(imported.skipped, 3);
    EXPECT_EQ(imported.recurring, 1);

    const Event &zoned = imported.events.at(0);
    EXPECT_EQ(zoned.subject, QStringLiteral("Zoned with definition")) << "folded lines are joined";
    const QDateTime plus5 = QDateTime(QDate(2024, 3, 1), QTime(10, 0), QTimeZone(5 * 3600)).toLocalTime();
    EXPECT_EQ(zoned.start, plus5);
    EXPECT_EQ(zoned.end, plus5.addSecs(3600));

    const Event &berlin = imported.events.at(1);
    const QDateTime inBerlin
        = QDateTime(QDate(2024, 3, 1), QTime(10, 0), QTimeZone("Europe/Berlin")).toLocalTime();
    EXPECT_EQ(berlin.start, inBerlin);
    EXPECT_EQ(berlin.end, inBerlin.addSecs(45 * 60));

    EXPECT_EQ(imported.events.at(2).start, QDateTime(QDate(2024, 3, 2), QTime(9, 0)));
    EXPECT_EQ(imported.events.at(2).end, imported.events.at(2).start);
    EXPECT_TRUE(imported.events.at(3).allDay);
    EXPECT_EQ(imported.events.at(3).end, QDate(2024, 3, 4).startOfDay()) << "a date alone lasts one day";
    EXPECT_EQ(imported.events.at(4).start, QDateTime(QDate(2024, 3, 4), QTime(8, 0), Qt::UTC).toLocalTime());
}

TEST_F(Ics, RefusesFilesThatAreNotCalendarsOrAreHostile)
{
    QByteArray deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 100000; ++i)
        deep += "BEGIN:VEVENT\r\n";
    const QString huge = m_folder.filePath(QStringLiteral("huge.ics"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCALENDAR\r\n");
        ASSERT_TRUE(file.resize(qint64(65) * 1024 * 1024));
    }
    const QStringList refused { write("plain.ics", "just some words\nand more"), write("empty.ics", ""),
        write("xml.ics", "<icalendar/>"), write("deep.ics", deep), huge,
        m_folder.filePath(QStringLiteral("missing.ics")), m_folder.path() };
    for (const QString &path : refused) {
        IcsImport imported;
        QString error;
        EXPECT_FALSE(Calendar::ImportIcs(path, imported, &error)) << path.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("could not be imported"))) << error.toStdString();
        EXPECT_TRUE(imported.events.isEmpty());
    }

    QString error;
    EXPECT_FALSE(Calendar::ExportIcs(
        m_folder.filePath(QStringLiteral("no/folder/x.ics")), sampleEvents(), HealthData::Include, &error));
    EXPECT_FALSE(error.isEmpty());
}
