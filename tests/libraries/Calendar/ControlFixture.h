#pragma once

#include "CalendarTestUtil.h"
#include "ScriptedCalendarDialogs.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Widgets/CalendarControl.h"
#include "Calendar/Widgets/CalendarView.h"
#include "Calendar/Widgets/TimeGridView.h"

#include "support/TestSupport.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

namespace CalendarTest {

// Mouse input sent the way the window system delivers it.
inline void SendMouse(QWidget *widget, QEvent::Type type, const QPointF &position, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Click(QWidget *widget, const QPointF &at)
{
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

inline void DoubleClick(QWidget *widget, const QPointF &at)
{
    Click(widget, at);
    SendMouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// Press, move there in a few steps with the button held, release.
inline void Drag(QWidget *widget, const QPointF &from, const QPointF &to)
{
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        SendMouse(widget, QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// The middle of the slot starting at the minute of the day, in the shown day's column.
inline QPointF SlotPoint(const Calendar::DayColumnsWidget *columns, QDate day, int minute)
{
    const Calendar::TimeGridGeometry grid = columns->geometry();
    const int index = static_cast<int>(grid.days().indexOf(day));
    return QPointF(grid.columnRect(index).left() + 20, grid.yAt(minute) + grid.slotHeight() / 2);
}

// A shown calendar on a file in a throw-away folder, in week view on the week
// of Wednesday 6 March 2024 (weeks start on Sunday in the pinned locale).
class ControlFixture : public ::testing::Test
{
protected:
    const QDate Wednesday { 2024, 3, 6 };

    void SetUp() override
    {
        auto dialogs = std::make_unique<ScriptedCalendarDialogs>();
        m_dialogs = dialogs.get();
        m_control.setDialogs(std::move(dialogs));
        ASSERT_EQ(m_control.openFile(path()), QString());
        m_control.setViewKind(Calendar::ViewKind::Week);
        m_control.showDate(Wednesday);
        m_control.resize(1280, 800);
        m_control.show();
        QApplication::processEvents();
    }

    QString path() const { return m_folder.filePath(QStringLiteral("Consultations.xml")); }
    Calendar::AppointmentBook &book() { return m_control.book(); }
    Calendar::DayColumnsWidget *columns() const { return m_control.view()->timeGrid()->columns(); }

    QPointF slotPoint(QDate day, int minute) const { return SlotPoint(columns(), day, minute); }

    QString add(const QString &subject, QDate day, QTime start, int minutes)
    {
        QString uid;
        EXPECT_TRUE(book().add(Appointment(subject, day, start, minutes), nullptr, &uid));
        return uid;
    }

    // The events as a fresh book reads them from the file.
    QList<Calendar::Event> onDisk() const
    {
        Calendar::AppointmentBook reader;
        reader.open(path());
        return reader.events().all();
    }

    TestSupport::TemporaryFolder m_folder;
    Calendar::CalendarControl m_control;
    ScriptedCalendarDialogs *m_dialogs = nullptr;
};

} // namespace CalendarTest
