// The calendar driven with the mouse and keyboard, offscreen: new appointments
// from a double click, editing, moving, resizing, deleting, and the time scale.
#include "ControlFixture.h"

#include "Calendar/Widgets/MonthView.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QMenu>

using Calendar::Event;
using NewEventDefaults = Calendar::CalendarControl::NewEventDefaults;
using namespace CalendarTest;

namespace {

class View : public ControlFixture
{
};

} // namespace

TEST_F(View, DoubleClickInASlotMakesAnAppointmentForTheCurrentPatientWrittenAtOnce)
{
    m_control.setNewEventDefaults([] { return NewEventDefaults { QStringLiteral("Ana Popescu"), 42 }; });

    DoubleClick(columns(), slotPoint(Wednesday, 10 * 60));
    ASSERT_EQ(m_dialogs->edits.size(), 1u);
    const auto &asked = m_dialogs->edits.front();
    EXPECT_TRUE(asked.isNew);
    EXPECT_EQ(asked.event.subject, QStringLiteral("Ana Popescu"));
    EXPECT_EQ(asked.event.start, QDateTime(Wednesday, QTime(10, 0)));
    EXPECT_EQ(asked.event.end, QDateTime(Wednesday, QTime(10, 30)));

    const QList<Event> saved = onDisk();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).subject, QStringLiteral("Ana Popescu"));
    EXPECT_EQ(saved.at(0).patientId, 42);
    EXPECT_EQ(saved.at(0).start, QDateTime(Wednesday, QTime(10, 0)));
    EXPECT_EQ(m_control.view()->selectedUid(), saved.at(0).uid) << "the new appointment is selected";

    // A cancelled dialog makes nothing; the subject follows the provider.
    m_dialogs->onEdit = [](Event &) { return false; };
    m_control.setNewEventDefaults([] { return NewEventDefaults { QStringLiteral("Mihai Ionescu"), 7 }; });
    DoubleClick(columns(), slotPoint(Wednesday, 14 * 60));
    EXPECT_EQ(m_dialogs->edits.back().event.subject, QStringLiteral("Mihai Ionescu"));
    EXPECT_EQ(m_dialogs->edits.back().event.patientId, 7);
    EXPECT_EQ(onDisk().size(), 1);
    EXPECT_EQ(book().events().size(), 1);
}

TEST_F(View, DoubleClickTakesSeveralSelectedSlotsAndTheAllDayBandMakesAllDayEvents)
{
    // Slots 9:00 to 10:30 selected by dragging, then a double click inside them.
    Drag(columns(), slotPoint(Wednesday, 9 * 60), slotPoint(Wednesday, 10 * 60));
    EXPECT_EQ(columns()->selectedFrom(), 9 * 60);
    EXPECT_EQ(columns()->selectedTo(), 10 * 60 + 30);
    DoubleClick(columns(), slotPoint(Wednesday, 9 * 60 + 30));
    ASSERT_EQ(m_dialogs->edits.size(), 1u);
    EXPECT_EQ(m_dialogs->edits.back().event.start, QDateTime(Wednesday, QTime(9, 0)));
    EXPECT_EQ(m_dialogs->edits.back().event.end, QDateTime(Wednesday, QTime(10, 30)));

    Calendar::AllDayBand *band = m_control.view()->timeGrid()->band();
    const Calendar::TimeGridGeometry grid = columns()->geometry();
    const int thursday = static_cast<int>(grid.days().indexOf(Wednesday.addDays(1)));
    DoubleClick(band, QPointF(grid.columnRect(thursday).center().x(), band->height() - 4));
    ASSERT_EQ(m_dialogs->edits.size(), 2u);
    EXPECT_TRUE(m_dialogs->edits.back().event.allDay);
    EXPECT_EQ(m_dialogs->edits.back().event.start, Wednesday.addDays(1).startOfDay());
    EXPECT_EQ(m_dialogs->edits.back().event.end, Wednesday.addDays(2).startOfDay());
    ASSERT_EQ(onDisk().size(), 2);
    EXPECT_FALSE(band->barRect(onDisk().at(1).uid).isEmpty()) << "shown in the band";
}

TEST_F(View, DoubleClickOnAnAppointmentEditsIt)
{
    const QString uid = add(QStringLiteral("Elena Stan"), Wednesday, QTime(11, 0), 60);
    m_dialogs->onEdit = [](Event &event) {
        event.subject = QStringLiteral("Elena Stan (follow-up)");
        event.notes = QStringLiteral("bring the diary");
        return true;
    };
    const QRectF box = columns()->eventRect(uid);
    ASSERT_FALSE(box.isEmpty());
    DoubleClick(columns(), box.center());
    ASSERT_EQ(m_dialogs->edits.size(), 1u);
    EXPECT_FALSE(m_dialogs->edits.front().isNew);
    EXPECT_EQ(m_dialogs->edits.front().event.uid, uid);
    const QList<Event> saved = onDisk();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).subject, QStringLiteral("Elena Stan (follow-up)"));
    EXPECT_EQ(saved.at(0).notes, QStringLiteral("bring the diary"));
}

TEST_F(View, TheMouseMovesAndResizesAppointmentsOnTheSlotGrid)
{
    const QString uid = add(QStringLiteral("Radu Tudor"), Wednesday, QTime(9, 0), 30);
    const double slot = columns()->geometry().slotHeight();

    // Grabbed in the middle, dropped a day later and two slots lower.
    const QRectF box = columns()->eventRect(uid);
    const double dayWidth = columns()->geometry().columnRect(0).width();
    Drag(columns(), box.center(), box.center() + QPointF(dayWidth, 2 * slot + 3));
    Event moved = *book().events().find(uid);
    EXPECT_EQ(moved.start, QDateTime(Wednesday.addDays(1), QTime(10, 0)));
    EXPECT_EQ(moved.end, QDateTime(Wednesday.addDays(1), QTime(10, 30)));
    EXPECT_EQ(onDisk().at(0).start, moved.start) << "written at once";

    // The bottom edge pulled down an hour.
    QRectF now = columns()->eventRect(uid);
    Drag(columns(), QPointF(now.center().x(), now.bottom() - 2),
        QPointF(now.center().x(), now.bottom() - 2 + 2 * slot));
    moved = *book().events().find(uid);
    EXPECT_EQ(moved.start, QDateTime(Wednesday.addDays(1), QTime(10, 0)));
    EXPECT_EQ(moved.end, QDateTime(Wednesday.addDays(1), QTime(11, 30)));

    // The top edge pulled past the end stops one slot before it.
    now = columns()->eventRect(uid);
    Drag(columns(), QPointF(now.center().x(), now.top() + 2),
        QPointF(now.center().x(), now.bottom() + 4 * slot));
    moved = *book().events().find(uid);
    EXPECT_EQ(moved.start, QDateTime(Wednesday.addDays(1), QTime(11, 0)));
    EXPECT_EQ(moved.end, QDateTime(Wednesday.addDays(1), QTime(11, 30)));
    EXPECT_EQ(onDisk().at(0).end, moved.end);

    // A click without moving changes nothing.
    const QByteArray before = ReadAll(path());
    Click(columns(), columns()->eventRect(uid).center());
    EXPECT_EQ(ReadAll(path()), before);
}

TEST_F(View, OverlappingAppointmentsStandSideBySide)
{
    const QString first = add(QStringLiteral("First"), Wednesday, QTime(9, 0), 60);
    const QString second = add(QStringLiteral("Second"), Wednesday, QTime(9, 30), 60);
    const QString third = add(QStringLiteral("Third"), Wednesday, QTime(10, 0), 30);
    const QString alone = add(QStringLiteral("Alone"), Wednesday, QTime(14, 0), 30);
    const QRectF a = columns()->eventRect(first), b = columns()->eventRect(second),
                 c = columns()->eventRect(third), d = columns()->eventRect(alone);
    EXPECT_FALSE(a.intersects(b));
    EXPECT_FALSE(b.intersects(c));
    EXPECT_LT(a.right(), b.left() + 1);
    EXPECT_NEAR(a.left(), c.left(), 0.5) << "the first column is free again at 10:00";
    EXPECT_NEAR(a.width(), b.width(), 0.5);
    EXPECT_GT(d.width(), 1.8 * a.width()) << "alone it takes the whole column";
}

TEST_F(View, DelDeletesTheSelectedAppointmentOnly)
{
    const QString keep = add(QStringLiteral("Keep"), Wednesday, QTime(9, 0), 30);
    const QString drop = add(QStringLiteral("Drop"), Wednesday, QTime(11, 0), 30);

    // Nothing selected: Del does nothing.
    Click(columns(), slotPoint(Wednesday, 15 * 60));
    QTest::keyClick(columns(), Qt::Key_Delete);
    EXPECT_EQ(book().events().size(), 2);

    Click(columns(), columns()->eventRect(drop).center());
    EXPECT_EQ(m_control.view()->selectedUid(), drop);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    ASSERT_EQ(book().events().size(), 1);
    EXPECT_TRUE(book().events().contains(keep));
    const QList<Event> saved = onDisk();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).uid, keep);
    EXPECT_TRUE(m_control.view()->selectedUid().isEmpty());
}

TEST_F(View, RightClickOpensTheTimeScaleMenu)
{
    EXPECT_EQ(m_control.slotMinutes(), 30);
    const int heightAt30 = columns()->height();

    QStringList texts;
    QString checked;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            texts << action->text();
            if (action->isChecked())
                checked = action->text();
        }
        QTest::keyClick(menu, Qt::Key_1); // the mnemonic of "&15 Minutes"
    });
    const QPoint at = slotPoint(Wednesday, 12 * 60).toPoint();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, columns()->mapToGlobal(at));
    QApplication::sendEvent(columns(), &rightClick);
    ASSERT_TRUE(TestSupport::WaitFor([&] { return !texts.isEmpty() && !QApplication::activePopupWidget(); }));

    EXPECT_EQ(texts,
        QStringList(
            { QStringLiteral("6&0 Minutes"), QStringLiteral("&30 Minutes"), QStringLiteral("&15 Minutes"),
                QStringLiteral("10 &Minutes"), QStringLiteral("&6 Minutes"), QStringLiteral("&5 Minutes") }));
    EXPECT_EQ(checked, QStringLiteral("&30 Minutes"));
    EXPECT_EQ(m_control.slotMinutes(), 15);
    EXPECT_EQ(columns()->height(), heightAt30 * 2) << "twice the slots";

    // The new scale makes new appointments of its length.
    DoubleClick(columns(), slotPoint(Wednesday, 12 * 60 + 15));
    ASSERT_EQ(m_dialogs->edits.size(), 1u);
    EXPECT_EQ(m_dialogs->edits.back().event.start, QDateTime(Wednesday, QTime(12, 15)));
    EXPECT_EQ(m_dialogs->edits.back().event.end, QDateTime(Wednesday, QTime(12, 30)));

    for (int minutes : { 60, 10, 6, 5 }) {
        m_control.setSlotMinutes(minutes);
        EXPECT_EQ(m_control.slotMinutes(), minutes);
    }
    m_control.setSlotMinutes(7);
    EXPECT_EQ(m_control.slotMinutes(), 5) << "only the offered intervals";
}

TEST_F(View, MonthViewListsMovesAndMakesAppointments)
{
    const QString uid = add(QStringLiteral("Laura Marin"), Wednesday, QTime(16, 0), 45);
    m_control.setViewKind(Calendar::ViewKind::Month);
    Calendar::MonthView *month = m_control.view()->monthView();
    QApplication::processEvents();
    const QRectF line = month->lineRect(uid);
    ASSERT_FALSE(line.isEmpty());

    // Dragged a week down: the same time a week later.
    const Calendar::MonthGeometry grid = month->geometry();
    const int from = static_cast<int>(grid.days().indexOf(Wednesday));
    Drag(month, line.center(), grid.cellRect(from + 7).center());
    EXPECT_EQ(book().events().find(uid)->start, QDateTime(Wednesday.addDays(7), QTime(16, 0)));
    EXPECT_EQ(onDisk().at(0).end, QDateTime(Wednesday.addDays(7), QTime(16, 45)));

    // A double click on an empty part of a day: the first slot of the working day.
    DoubleClick(month, grid.cellRect(from + 1).center());
    ASSERT_EQ(m_dialogs->edits.size(), 1u);
    EXPECT_EQ(m_dialogs->edits.back().event.start, QDateTime(Wednesday.addDays(1), QTime(8, 0)));
    EXPECT_EQ(m_dialogs->edits.back().event.end, QDateTime(Wednesday.addDays(1), QTime(8, 30)));

    // Del works here too.
    Click(month, month->lineRect(uid).center());
    QTest::keyClick(month, Qt::Key_Delete);
    EXPECT_FALSE(book().events().contains(uid));
}
