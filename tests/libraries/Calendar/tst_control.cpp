// The composite calendar: its parts, navigation, printing to PDF, .ics export
// and import through its dialogs, and what the person is told when a save fails.
#include "ControlFixture.h"

#include "Calendar/Widgets/CaptionBar.h"

#include <QtGui/QTextCharFormat>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>

using Calendar::Event;
using Calendar::ViewKind;
using namespace CalendarTest;

namespace {

class Control : public ControlFixture
{
};

} // namespace

TEST_F(Control, HasItsPartsWithTheirTexts)
{
    EXPECT_EQ(m_control.hintLabel()->text(),
        QStringLiteral(
            " Double click inside the time slot to add/modify an appointment.    Select and hit 'Del' to "
            "delete an appointment.    Right-click to set the time scale."));
    EXPECT_EQ(m_control.printButton()->text(), QStringLiteral("Print"));
    EXPECT_EQ(m_control.printPreviewButton()->text(), QStringLiteral("Print preview"));
    EXPECT_TRUE(m_control.navigator()->isVisible());
    EXPECT_TRUE(m_control.captionBar()->isVisible());
    EXPECT_LT(m_control.navigator()->geometry().right(), m_control.view()->geometry().left())
        << "navigator on the left";

    // A host's button joins the row, before the print buttons.
    auto *extra = new QPushButton(QStringLiteral("Export..."));
    m_control.addButton(extra);
    QApplication::processEvents(); // a widget added to a shown layout is shown by a queued call
    m_control.layout()->activate();
    EXPECT_EQ(extra->parentWidget(), &m_control);
    EXPECT_TRUE(extra->isVisible());
    EXPECT_EQ(extra->geometry().top(), m_control.printButton()->geometry().top());
    EXPECT_LT(extra->geometry().right(), m_control.printButton()->geometry().left());
}

TEST_F(Control, NavigatorCaptionBarAndViewFollowEachOther)
{
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("3 \u2013 9 March 2024"));
    EXPECT_EQ(m_control.view()->shownDays().size(), 7);
    EXPECT_EQ(m_control.navigator()->selectedDate(), Wednesday);

    m_control.captionBar()->forwardButton()->click();
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("10 \u2013 16 March 2024"));
    EXPECT_EQ(m_control.navigator()->selectedDate(), Wednesday.addDays(7));

    m_control.navigator()->setSelectedDate(QDate(2024, 4, 30)); // as a click on the navigator does
    EXPECT_EQ(m_control.shownDate(), QDate(2024, 4, 30));
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("28 April \u2013 4 May 2024"));

    m_control.captionBar()->viewButton(ViewKind::WorkWeek)->click();
    EXPECT_EQ(m_control.view()->shownDays(),
        QList<QDate>({ QDate(2024, 4, 29), QDate(2024, 4, 30), QDate(2024, 5, 1), QDate(2024, 5, 2),
            QDate(2024, 5, 3) }));
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("29 April \u2013 3 May 2024"));
    m_control.captionBar()->viewButton(ViewKind::Day)->click();
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("Tuesday, April 30, 2024"));
    m_control.captionBar()->viewButton(ViewKind::Month)->click();
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("April 2024"));
    EXPECT_EQ(m_control.view()->shownDays().first(), QDate(2024, 3, 31));
    m_control.captionBar()->backButton()->click();
    EXPECT_EQ(m_control.captionBar()->caption(), QStringLiteral("March 2024"));

    // Days with appointments are bold in the navigator.
    m_control.showDate(Wednesday);
    add(QStringLiteral("Busy"), Wednesday.addDays(1), QTime(9, 0), 30);
    EXPECT_EQ(m_control.navigator()->dateTextFormat(Wednesday.addDays(1)).fontWeight(), QFont::Bold);
    EXPECT_NE(m_control.navigator()->dateTextFormat(Wednesday).fontWeight(), QFont::Bold);
}

TEST_F(Control, PrintsTheShownRangeToPdf)
{
    add(QStringLiteral("Popescu Ana"), Wednesday, QTime(9, 0), 60);
    add(QStringLiteral("Evening Stan"), Wednesday, QTime(21, 0), 30); // outside working hours: still printed
    add(QStringLiteral("Marin"), Wednesday.addDays(7), QTime(9, 0), 30);
    Event allDay = Appointment(QStringLiteral("Seminar Day"), Wednesday, QTime(0, 0), 0);
    allDay.allDay = true;
    book().add(allDay);

    m_dialogs->printFile = m_folder.filePath(QStringLiteral("week.pdf"));
    m_control.printButton()->click();
    EXPECT_EQ(m_dialogs->printDialogs, 1);
    const QString week = PdfText(m_dialogs->printFile);
    EXPECT_TRUE(week.contains(QStringLiteral("3 \u2013 9 March 2024"))
        || week.contains(QStringLiteral("3 - 9 March 2024")))
        << week.toStdString();
    EXPECT_TRUE(week.contains(QStringLiteral("Popescu Ana"))) << week.toStdString();
    EXPECT_TRUE(week.contains(QStringLiteral("Evening Stan"))) << week.toStdString();
    EXPECT_TRUE(week.contains(QStringLiteral("Seminar Day"))) << week.toStdString();
    EXPECT_FALSE(week.contains(QStringLiteral("Next week"))) << "only the shown range";

    m_control.setViewKind(ViewKind::Month);
    m_dialogs->printFile = m_folder.filePath(QStringLiteral("month.pdf"));
    m_control.printPreviewButton()->click();
    EXPECT_EQ(m_dialogs->previews, 1);
    const QString month = PdfText(m_dialogs->printFile);
    EXPECT_TRUE(month.contains(QStringLiteral("March 2024"))) << month.toStdString();
    EXPECT_TRUE(month.contains(QStringLiteral("Marin"))) << month.toStdString();
}

TEST_F(Control, ExportsAndImportsIcsThroughItsDialogs)
{
    Event visit = Appointment(QStringLiteral("Ana Popescu"), Wednesday, QTime(9, 0), 45, 7);
    visit.notes = QStringLiteral("migraine");
    book().add(visit);

    // Without health data.
    const QString privateFile = m_folder.filePath(QStringLiteral("private.ics"));
    m_dialogs->healthAnswer = Calendar::HealthData::LeaveOut;
    m_dialogs->files.push_back(privateFile);
    QString message;
    ASSERT_TRUE(m_control.exportIcs(&message)) << message.toStdString();
    QByteArray text = ReadAll(privateFile);
    EXPECT_FALSE(text.contains("Popescu"));
    EXPECT_FALSE(text.contains("migraine"));
    EXPECT_TRUE(text.contains("SUMMARY:Appointment"));

    // With it.
    const QString fullFile = m_folder.filePath(QStringLiteral("full.ics"));
    m_dialogs->healthAnswer = Calendar::HealthData::Include;
    m_dialogs->files.push_back(fullFile);
    ASSERT_TRUE(m_control.exportIcs(&message));
    EXPECT_TRUE(ReadAll(fullFile).contains("SUMMARY:Ana Popescu"));

    // Cancelled at the question or at the file: nothing written, nothing said.
    m_dialogs->healthAnswer.reset();
    EXPECT_FALSE(m_control.exportIcs(&message));
    EXPECT_TRUE(message.isEmpty());

    // Imported into an empty calendar: the same appointment, saved at once.
    book().remove(book().events().all().first().uid);
    m_dialogs->files.push_back(fullFile);
    ASSERT_TRUE(m_control.importIcs(&message)) << message.toStdString();
    EXPECT_EQ(message, QStringLiteral("1 appointment(s) imported."));
    const QList<Event> saved = onDisk();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).subject, QStringLiteral("Ana Popescu"));
    EXPECT_EQ(saved.at(0).notes, QStringLiteral("migraine"));
    EXPECT_EQ(saved.at(0).patientId, 7);
    EXPECT_EQ(saved.at(0).start, QDateTime(Wednesday, QTime(9, 0)));

    // Importing the same file again updates instead of doubling.
    ASSERT_TRUE(m_control.importIcs(fullFile, &message));
    EXPECT_EQ(book().events().size(), 1);

    EXPECT_FALSE(m_control.importIcs(m_folder.filePath(QStringLiteral("missing.ics")), &message));
    EXPECT_TRUE(message.contains(QStringLiteral("could not be imported")));
}

TEST_F(Control, AFailedSaveIsToldToThePersonAndTheAppointmentStays)
{
    Calendar::CalendarControl control;
    auto dialogs = std::make_unique<ScriptedCalendarDialogs>();
    ScriptedCalendarDialogs *scripted = dialogs.get();
    control.setDialogs(std::move(dialogs));
    const QString message = control.openFile(m_folder.filePath(QStringLiteral("gone/Consultations.xml")));
    EXPECT_TRUE(message.contains(QStringLiteral("could not be created")));
    control.setViewKind(ViewKind::Day);
    control.showDate(Wednesday);
    control.resize(800, 600);
    control.show();
    QApplication::processEvents();

    Calendar::DayColumnsWidget *day = control.view()->timeGrid()->columns();
    const Calendar::TimeGridGeometry grid = day->geometry();
    DoubleClick(day, QPointF(grid.columnRect(0).center().x(), grid.yAt(9 * 60) + 3));
    ASSERT_EQ(scripted->messages.size(), 1);
    EXPECT_TRUE(scripted->messages.first().contains(QStringLiteral("could not be saved")))
        << scripted->messages.first().toStdString();
    EXPECT_EQ(control.book().events().size(), 1);
}
