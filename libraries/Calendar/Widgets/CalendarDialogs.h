#pragma once

#include "Calendar/Model/Event.h"
#include "Calendar/Model/IcsExchange.h"
#include "calendar_export.h"

#include <QtCore/QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace Calendar {

// Everything the calendar asks a person. The calendar uses QtCalendarDialogs
// unless its host gives it another implementation (the program's own prompts,
// or a scripted one in tests).
class CALENDAR_EXPORT ICalendarDialogs
{
public:
    virtual ~ICalendarDialogs() = default;

    // Lets the person edit the event; false when they cancel.
    virtual bool editEvent(QWidget *parent, Event &event, bool isNew) = 0;
    // The .ics file to write or read; empty when they cancel.
    virtual QString chooseExportFile(QWidget *parent, const QString &suggestedPath) = 0;
    virtual QString chooseImportFile(QWidget *parent) = 0;
    // Whether the export leaves out health data; nothing when they cancel.
    virtual std::optional<HealthData> askHealthData(QWidget *parent) = 0;
    // Tells the person something went wrong (a save that failed).
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    // The print dialog; false when they cancel.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
    // Shows the pages that paint draws on the printer it is given.
    virtual void showPrintPreview(
        QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
        = 0;
};

// The dialogs of the desktop: the event dialog, file dialogs, message boxes,
// the print dialog and the print preview.
class CALENDAR_EXPORT QtCalendarDialogs final : public ICalendarDialogs
{
public:
    bool editEvent(QWidget *parent, Event &event, bool isNew) override;
    QString chooseExportFile(QWidget *parent, const QString &suggestedPath) override;
    QString chooseImportFile(QWidget *parent) override;
    std::optional<HealthData> askHealthData(QWidget *parent) override;
    void showMessage(QWidget *parent, const QString &text) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    void showPrintPreview(
        QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override;
};

} // namespace Calendar
