// The "Appointments" window inside the real main window, offscreen: made
// hidden at the start, shown by Ctrl+A and the Patient tab, hidden on close;
// appointments made, moved, resized and deleted with the mouse for the
// current patient and written at once; the time scale; printing; .ics
// exchange; unreadable files; the window's end with the main window.
#include "application/Lyren/patients/record/PatientTestUtil.h"
#include "libraries/Calendar/ControlFixture.h"

#include "appointments/ui/AppointmentDialogs.h"
#include "appointments/ui/AppointmentsWindowUi.h"
#include "appointments/ui/CConsultationsDialog.h"
#include "core/CommandCodes.h"
#include "shell/ui/WindowPresenters.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Widgets/EventDialog.h"

#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtPrintSupport/QPrinter>
#include <QtTest/QTest>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

using Calendar::Event;
using Calendar::ViewKind;
using namespace CalendarTest;

namespace {

class AppointmentsWindow : public PatientTest::FrameFixture
{
protected:
    // Weeks start on Sunday in the pinned locale: 3 to 9 March 2024.
    const QDate Wednesday { 2024, 3, 6 };

    CConsultationsDialog *Window() const { return frame->GetPresenters()->Appointments().Dialog(); }
    Calendar::CalendarControl *Control() const { return Window()->Calendar(); }
    Calendar::AppointmentBook &Book() const { return Control()->book(); }
    Calendar::DayColumnsWidget *Columns() const { return Control()->view()->timeGrid()->columns(); }
    QString FilePath() const { return Root() + QStringLiteral("UserData/Consultations.xml"); }
    QStringList KeptAside() const
    {
        return QDir(Root() + QStringLiteral("UserData"))
            .entryList({ QStringLiteral("Consultations.xml.bad-*") }, QDir::Files);
    }

    // Ctrl+A, then the week of Wednesday.
    void ShowWeek()
    {
        frame->GetAction(QStringLiteral("actionAppointments"))->trigger();
        Control()->setViewKind(ViewKind::Week);
        Control()->showDate(Wednesday);
        QApplication::processEvents();
    }
    // The event dialog is accepted as it opens, its subject noted.
    void AcceptEventDialogs()
    {
        CAppointmentDialogs::Drivers drivers;
        drivers.event = [this](Calendar::EventDialog &dialog) {
            offeredSubjects << dialog.subjectEdit()->text();
            return dialog.okButton()->isEnabled();
        };
        Window()->Dialogs().SetDrivers(std::move(drivers));
    }
    QPointF Slot(QDate day, int hour, int minute = 0) const
    {
        return SlotPoint(Columns(), day, hour * 60 + minute);
    }

    // The appointments as a fresh book reads them from the file.
    QList<Event> OnDisk() const
    {
        Calendar::AppointmentBook reader;
        reader.open(FilePath());
        return reader.events().all();
    }

    Desktop::ScriptedFileDialogs files;
    QStringList offeredSubjects;
};

} // namespace

TEST_F(AppointmentsWindow, MadeHiddenShownByCtrlAOrThePatientTabAndShownAgainAsItWasLeft)
{
    EXPECT_TRUE(QFileInfo::exists(FilePath())) << "made even before the first patient";
    NewPatient(QStringLiteral("Ana"), QStringLiteral("Popescu"));
    CConsultationsDialog *window = Window();
    ASSERT_NE(window, nullptr) << "made when the main window opened";
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), frame.get());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Appointments"));
    EXPECT_EQ(prompts.Count(), 0);

    QAction *action = frame->GetAction(QStringLiteral("actionAppointments"));
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMaximized()) << "maximised the first time";

    // Set up as the person likes it, then closed.
    Control()->setViewKind(ViewKind::Week);
    Control()->showDate(Wednesday);
    Control()->setSlotMinutes(15);
    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(Window(), window) << "closing only hides";

    // The Patient tab's link shows the same window as it was left.
    auto *link = Page()->findChild<QPushButton *>(QStringLiteral("appointmentLink"));
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(link->isEnabled());
    link->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Window(), window);
    EXPECT_EQ(Control()->viewKind(), ViewKind::Week);
    EXPECT_EQ(Control()->shownDate(), Wednesday);
    EXPECT_EQ(Control()->slotMinutes(), 15);

    // Minimised, it comes back as it was.
    window->showMinimized();
    frame->SendCommand(CommandCode::Appointments);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AppointmentsWindow, ADoubleClickMakesAnAppointmentForTheCurrentPatientWrittenAtOnce)
{
    const QString ana = NewPatient(QStringLiteral("Ana"), QStringLiteral("Popescu"));
    const QString mihai = NewPatient(QStringLiteral("Mihai"), QStringLiteral("Ionescu"));
    ShowWeek();
    AcceptEventDialogs();

    DoubleClick(Columns(), Slot(Wednesday, 10));
    QList<Event> saved = OnDisk();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(offeredSubjects, QStringList { QStringLiteral("Mihai Ionescu") });
    EXPECT_EQ(saved.at(0).subject, QStringLiteral("Mihai Ionescu"));
    EXPECT_EQ(saved.at(0).patientId, mihai.toLongLong());
    EXPECT_EQ(saved.at(0).start, QDateTime(Wednesday, QTime(10, 0)));
    EXPECT_EQ(saved.at(0).end, QDateTime(Wednesday, QTime(10, 30)));

    // The window stays open while the main window moves to another patient.
    ASSERT_EQ(frame->SendCommand(CommandCode::Previous), 1);
    DoubleClick(Columns(), Slot(Wednesday, 11));
    saved = OnDisk();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.at(1).subject, QStringLiteral("Ana Popescu"));
    EXPECT_EQ(saved.at(1).patientId, ana.toLongLong());
}

TEST_F(AppointmentsWindow, TheMouseMovesResizesAndDeletesAndTheTimeScaleMenuSetsTheSlots)
{
    NewPatient(QStringLiteral("Radu"), QStringLiteral("Tudor"));
    ShowWeek();
    AcceptEventDialogs();
    DoubleClick(Columns(), Slot(Wednesday, 9));
    ASSERT_EQ(OnDisk().size(), 1);
    const QString uid = OnDisk().at(0).uid;
    const double slot = Columns()->slotHeight();

    // Moved a day later and an hour down.
    const QRectF box = Columns()->eventRect(uid);
    const double dayWidth = Columns()->geometry().columnRect(0).width();
    Drag(Columns(), box.center(), box.center() + QPointF(dayWidth, 2 * slot + 3));
    EXPECT_EQ(OnDisk().at(0).start, QDateTime(Wednesday.addDays(1), QTime(10, 0)));
    EXPECT_EQ(OnDisk().at(0).end, QDateTime(Wednesday.addDays(1), QTime(10, 30)));

    // Its end pulled down an hour.
    const QRectF moved = Columns()->eventRect(uid);
    Drag(Columns(), QPointF(moved.center().x(), moved.bottom() - 2),
        QPointF(moved.center().x(), moved.bottom() - 2 + 2 * slot));
    EXPECT_EQ(OnDisk().at(0).end, QDateTime(Wednesday.addDays(1), QTime(11, 30)));

    // Right-click: the time-scale menu; "&15 Minutes" chosen by its mnemonic.
    QStringList entries;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions())
            entries << action->text();
        QTest::keyClick(menu, Qt::Key_1);
    });
    const QPoint at = Slot(Wednesday, 15).toPoint();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, Columns()->mapToGlobal(at));
    QApplication::sendEvent(Columns(), &rightClick);
    ASSERT_TRUE(
        TestSupport::WaitFor([&] { return !entries.isEmpty() && !QApplication::activePopupWidget(); }));
    EXPECT_EQ(entries,
        QStringList(
            { QStringLiteral("6&0 Minutes"), QStringLiteral("&30 Minutes"), QStringLiteral("&15 Minutes"),
                QStringLiteral("10 &Minutes"), QStringLiteral("&6 Minutes"), QStringLiteral("&5 Minutes") }));
    EXPECT_EQ(Control()->slotMinutes(), 15);
    DoubleClick(Columns(), Slot(Wednesday, 12, 15));
    ASSERT_EQ(OnDisk().size(), 2);
    EXPECT_EQ(OnDisk().at(0).start, QDateTime(Wednesday, QTime(12, 15)));
    EXPECT_EQ(OnDisk().at(0).end, QDateTime(Wednesday, QTime(12, 30)));

    // Selected and Del: gone from the file; the other stays.
    // (The offscreen platform gives the activation back after a pop-up only when asked.)
    Window()->activateWindow();
    ASSERT_TRUE(TestSupport::WaitFor([&] { return QApplication::activeWindow() == Window(); }));
    Click(Columns(), Columns()->eventRect(uid).center());
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    ASSERT_EQ(OnDisk().size(), 1);
    EXPECT_NE(OnDisk().at(0).uid, uid);
    EXPECT_TRUE(Window()->isVisible()) << "the keys belong to the calendar";
}

TEST_F(AppointmentsWindow, PrintAndPrintPreviewShowTheShownWeek)
{
    Book().add(Appointment(QStringLiteral("Elena Stan"), Wednesday, QTime(9, 0), 60));
    Book().add(Appointment(QStringLiteral("Laura Marin"), Wednesday, QTime(9, 30), 30));
    Book().add(Appointment(QStringLiteral("Next Week"), Wednesday.addDays(7), QTime(9, 0), 30));
    ShowWeek();
    const QString pdf = dir.filePath(QStringLiteral("week.pdf"));
    int printed = 0, previewed = 0;
    CAppointmentDialogs::Drivers drivers;
    drivers.printer = [&](QPrinter &printer) {
        ++printed;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    drivers.preview = [&](QPrinter &printer, const std::function<void(QPrinter *)> &paint) {
        ++previewed;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        paint(&printer);
    };
    Window()->Dialogs().SetDrivers(std::move(drivers));

    for (QPushButton *button : { Control()->printButton(), Control()->printPreviewButton() }) {
        QFile::remove(pdf);
        button->click();
        const QString text = PdfText(pdf);
        EXPECT_TRUE(text.contains(QStringLiteral("Elena Stan"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Laura Marin"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Next Week"))) << text.toStdString();
    }
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(previewed, 1);
}

TEST_F(AppointmentsWindow, IcsExportLeavesOutHealthDataWhenAskedAndImportsBack)
{
    Event visit = Appointment(QStringLiteral("Ana Popescu"), Wednesday, QTime(9, 0), 45, 7);
    visit.notes = QStringLiteral("migraine, third visit");
    Book().add(visit);
    Book().add(Appointment(QStringLiteral("Ștefan Dumitrescu"), Wednesday, QTime(9, 30), 30, 8));
    ShowWeek();

    // Health data left out ("Yes"); a name typed without extension gets ".ics".
    prompts.QueueAnswer(Desktop::Answer::Yes);
    files.QueueFileName(dir.filePath(QStringLiteral("phone")));
    Window()->ExportButton()->click();
    EXPECT_TRUE(prompts.LastText().startsWith(QStringLiteral("Leave out health data?")));
    const QByteArray phone = ReadAll(dir.filePath(QStringLiteral("phone.ics")));
    EXPECT_TRUE(phone.contains("BEGIN:VCALENDAR"));
    EXPECT_EQ(phone.count("SUMMARY:Appointment"), 2);
    EXPECT_FALSE(phone.contains("Popescu"));
    EXPECT_FALSE(phone.contains("migraine"));

    // Kept in ("No").
    const QString full = dir.filePath(QStringLiteral("full.ics"));
    prompts.QueueAnswer(Desktop::Answer::No);
    files.QueueFileName(full);
    Window()->ExportButton()->click();
    EXPECT_TRUE(ReadAll(full).contains("SUMMARY:Ana Popescu"));

    // Cancelled at the question: no file asked for.
    const size_t asked = files.Requests().size();
    prompts.QueueAnswer(Desktop::Answer::Cancel);
    Window()->ExportButton()->click();
    EXPECT_EQ(files.Requests().size(), asked);

    // Imported into an emptied book: the same appointments, in the file at once.
    const QList<Event> before = Book().events().all();
    for (const Event &event : before)
        Book().remove(event.uid);
    ASSERT_TRUE(OnDisk().isEmpty());
    files.QueueFileName(full);
    Window()->ImportButton()->click();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("2 appointment(s) imported")))
        << prompts.LastText().toStdString();
    const QList<Event> back = OnDisk();
    ASSERT_EQ(back.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back.at(i).uid, before.at(i).uid);
        EXPECT_EQ(back.at(i).subject, before.at(i).subject);
        EXPECT_EQ(back.at(i).start, before.at(i).start);
        EXPECT_EQ(back.at(i).end, before.at(i).end);
        EXPECT_EQ(back.at(i).notes, before.at(i).notes);
        EXPECT_EQ(back.at(i).patientId, before.at(i).patientId);
    }

    // A file that is not iCalendar is refused with a warning; nothing changes.
    const QString notes = dir.filePath(QStringLiteral("notes.ics"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("notes.ics"), "Ana Popescu, Wednesday at nine"));
    files.QueueFileName(notes);
    Window()->ImportButton()->click();
    EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Warning);
    EXPECT_EQ(OnDisk().size(), 2);
}

TEST_F(AppointmentsWindow, AnUnreadableFileIsToldKeptAsideAndNeverOverwritten)
{
    const QList<QPair<const char *, QByteArray>> unfit {
        { "empty", QByteArray() },
        { "truncated",
            "<?xml version=\"1.0\"?><icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\"><vcalendar>"
            "<components><vevent><properties><summary><text>Ana" },
        { "entity expansion",
            "<?xml version=\"1.0\"?><!DOCTYPE icalendar [<!ENTITY a \"aaaaaaaaaa\">"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
            "<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\">&c;</icalendar>" },
        { "another program's calendar",
            "<?xml version=\"1.0\"?><Calendar><Event><Subject>Ana</Subject></Event></Calendar>" },
    };
    for (const auto &[label, bytes] : unfit) {
        CloseFrame();
        for (const QString &name : KeptAside())
            QFile::remove(Root() + QStringLiteral("UserData/") + name);
        ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/Consultations.xml"), bytes)) << label;
        prompts.Clear();
        ASSERT_TRUE(OpenFrame()) << label;

        ASSERT_EQ(prompts.Count(), 1) << label;
        EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Warning) << label;
        ASSERT_EQ(KeptAside().size(), 1) << label;
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("could not be read")))
            << label << ": " << prompts.LastText().toStdString();
        EXPECT_TRUE(prompts.LastText().contains(KeptAside().first())) << label;
        EXPECT_TRUE(Book().events().isEmpty()) << label;

        // The calendar works on; the kept file is never touched again.
        const QString kept = Root() + QStringLiteral("UserData/") + KeptAside().first();
        ASSERT_TRUE(Book().add(Appointment(QStringLiteral("New"), Wednesday, QTime(8, 0), 15))) << label;
        CloseFrame();
        EXPECT_EQ(ReadAll(kept), bytes) << label;
        EXPECT_EQ(OnDisk().size(), 1) << label;
        OpenFrame();
        EXPECT_EQ(prompts.Count(), 1) << label << ": the new file reads whole";
        EXPECT_EQ(Book().events().size(), 1) << label;
    }
}

TEST_F(AppointmentsWindow, TheWindowIsSavedAndDestroyedWithTheMainWindow)
{
    NewPatient(QStringLiteral("Ioana"), QStringLiteral("Matei"));
    ShowWeek();
    AcceptEventDialogs();
    DoubleClick(Columns(), Slot(Wednesday, 16));
    const QPointer<CConsultationsDialog> window = Window();

    frame->close();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(frame->GetPresenters()->Appointments().Dialog(), nullptr);
    ASSERT_EQ(OnDisk().size(), 1);
    EXPECT_EQ(OnDisk().at(0).subject, QStringLiteral("Ioana Matei"));

    // A main window destroyed without being closed takes its window along.
    frame.reset();
    ASSERT_TRUE(OpenFrame());
    const QPointer<CConsultationsDialog> second = Window();
    ASSERT_FALSE(second.isNull());
    frame.reset();
    EXPECT_TRUE(second.isNull());
}
