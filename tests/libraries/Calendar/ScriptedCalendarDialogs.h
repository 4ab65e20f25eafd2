#pragma once

#include "Calendar/Widgets/CalendarDialogs.h"

#include <QtCore/QStringList>
#include <QtPrintSupport/QPrinter>

#include <deque>
#include <functional>

namespace CalendarTest {

// Answers the calendar's dialogs in place of a person and records what it was asked.
class ScriptedCalendarDialogs final : public Calendar::ICalendarDialogs
{
public:
    struct Edit
    {
        Calendar::Event event; // as it was handed to the dialog
        bool isNew = false;
    };

    // Edits made "in the dialog"; accepts unchanged when not set.
    std::function<bool(Calendar::Event &)> onEdit;
    std::deque<QString> files; // answers of the file dialogs; empty cancels
    std::optional<Calendar::HealthData> healthAnswer = Calendar::HealthData::LeaveOut;
    QString printFile; // where the print dialog "prints"

    std::vector<Edit> edits;
    QStringList messages;
    int printDialogs = 0;
    int previews = 0;

    bool editEvent(QWidget *, Calendar::Event &event, bool isNew) override
    {
        edits.push_back({ event, isNew });
        return onEdit ? onEdit(event) : true;
    }
    QString chooseExportFile(QWidget *, const QString &) override { return next(); }
    QString chooseImportFile(QWidget *) override { return next(); }
    std::optional<Calendar::HealthData> askHealthData(QWidget *) override { return healthAnswer; }
    void showMessage(QWidget *, const QString &text) override { messages << text; }
    bool choosePrinter(QWidget *, QPrinter &printer) override
    {
        ++printDialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        return !printFile.isEmpty();
    }
    void showPrintPreview(QWidget *, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        ++previews;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        paint(&printer);
    }

private:
    QString next()
    {
        if (files.empty())
            return {};
        const QString file = files.front();
        files.pop_front();
        return file;
    }
};

} // namespace CalendarTest
