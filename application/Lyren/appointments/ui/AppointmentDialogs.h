#pragma once

#include "Calendar/Widgets/CalendarDialogs.h"

#include <QtCore/QCoreApplication>

#include <functional>

namespace Calendar {
class EventDialog;
}

// What the calendar asks the person, the program's way: files through the
// desktop's file dialogs, questions and messages through its prompts, the
// calendar's own event dialog, and Qt's print dialog and print preview.
// Tests give drivers that work the real event dialog, or stand for the print
// dialogs, in place of a person.
class CAppointmentDialogs final : public Calendar::ICalendarDialogs
{
    Q_DECLARE_TR_FUNCTIONS(CAppointmentDialogs)

public:
    struct Drivers
    {
        // Works the event dialog; true accepts it.
        std::function<bool(Calendar::EventDialog &dialog)> event;
        // Stands for the print dialog; true prints.
        std::function<bool(QPrinter &printer)> printer;
        // Stands for the print preview.
        std::function<void(QPrinter &printer, const std::function<void(QPrinter *)> &paint)> preview;
    };

    void SetDrivers(Drivers drivers) { m_drivers = std::move(drivers); }

    bool editEvent(QWidget *parent, Calendar::Event &event, bool isNew) override;
    QString chooseExportFile(QWidget *parent, const QString &suggestedPath) override;
    QString chooseImportFile(QWidget *parent) override;
    std::optional<Calendar::HealthData> askHealthData(QWidget *parent) override;
    void showMessage(QWidget *parent, const QString &text) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    void showPrintPreview(
        QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override;

private:
    static QString IcsFilter();

    Drivers m_drivers;
    Calendar::QtCalendarDialogs m_qt;
};
