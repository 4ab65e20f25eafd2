#include "Calendar/Widgets/CalendarDialogs.h"
#include "Calendar/Widgets/EventDialog.h"

#include <QtCore/QCoreApplication>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrintPreviewDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace Calendar {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Calendar::QtCalendarDialogs", text);
}

QString icsFilter()
{
    return tr("iCalendar files (*.ics);;All files (*)");
}

} // namespace

bool QtCalendarDialogs::editEvent(QWidget *parent, Event &event, bool isNew)
{
    EventDialog dialog(event, isNew, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    event = dialog.event();
    return true;
}

QString QtCalendarDialogs::chooseExportFile(QWidget *parent, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(parent, tr("Export Appointments"), suggestedPath, icsFilter());
}

QString QtCalendarDialogs::chooseImportFile(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, tr("Import Appointments"), QString(), icsFilter());
}

std::optional<HealthData> QtCalendarDialogs::askHealthData(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, tr("Export Appointments"),
        tr("Leave out health data?\n\nWithout health data every appointment is exported as \"Appointment\" "
           "with its times only: no patient names, locations or notes."),
        QMessageBox::NoButton, parent);
    QPushButton *leaveOut = box.addButton(tr("&Leave Out"), QMessageBox::YesRole);
    QPushButton *include = box.addButton(tr("&Include"), QMessageBox::NoRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(leaveOut);
    box.exec();
    if (box.clickedButton() == leaveOut)
        return HealthData::LeaveOut;
    if (box.clickedButton() == include)
        return HealthData::Include;
    return std::nullopt;
}

void QtCalendarDialogs::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, tr("Appointments"), text);
}

bool QtCalendarDialogs::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtCalendarDialogs::showPrintPreview(
    QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

} // namespace Calendar
