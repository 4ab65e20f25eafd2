#include "appointments/ui/AppointmentDialogs.h"

#include "Calendar/Widgets/EventDialog.h"
#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"

#include <QtCore/QFileInfo>

QString CAppointmentDialogs::IcsFilter()
{
    return tr("iCalendar files (*.ics)|*.ics|All files (*.*)|*.*||");
}

bool CAppointmentDialogs::editEvent(QWidget *parent, Calendar::Event &event, bool isNew)
{
    Calendar::EventDialog dialog(event, isNew, parent);
    const bool accepted = m_drivers.event ? m_drivers.event(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return false;
    event = dialog.event();
    return true;
}

QString CAppointmentDialogs::chooseExportFile(QWidget *parent, const QString &suggestedPath)
{
    QString path = Desktop::FileDialogs().GetSaveFileName(
        parent, tr("Export Appointments"), suggestedPath, IcsFilter());
    // A name typed without an extension still makes a file other calendars recognise.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ics");
    return path;
}

QString CAppointmentDialogs::chooseImportFile(QWidget *parent)
{
    return Desktop::FileDialogs().GetOpenFileName(parent, tr("Import Appointments"), QString(), IcsFilter());
}

std::optional<Calendar::HealthData> CAppointmentDialogs::askHealthData(QWidget *parent)
{
    // Exported files end up in phones and shared calendars: leaving health
    // data out is the answer offered first.
    const Desktop::Answer answer = Desktop::Prompts().Show(parent,
        tr("Leave out health data?\n\nYes: every appointment is exported as \"Appointment\" with its times "
           "only, without patient names, locations or notes.\nNo: appointments are exported as they are."),
        Desktop::Buttons::YesNoCancel, Desktop::Icon::Question, tr("Export Appointments"));
    switch (answer) {
    case Desktop::Answer::Yes:
        return Calendar::HealthData::LeaveOut;
    case Desktop::Answer::No:
        return Calendar::HealthData::Include;
    default:
        return std::nullopt;
    }
}

void CAppointmentDialogs::showMessage(QWidget *parent, const QString &text)
{
    Desktop::Inform(parent, text, Desktop::Icon::Warning);
}

bool CAppointmentDialogs::choosePrinter(QWidget *parent, QPrinter &printer)
{
    return m_drivers.printer ? m_drivers.printer(printer) : m_qt.choosePrinter(parent, printer);
}

void CAppointmentDialogs::showPrintPreview(
    QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
{
    if (m_drivers.preview)
        m_drivers.preview(printer, paint);
    else
        m_qt.showPrintPreview(parent, printer, paint);
}
