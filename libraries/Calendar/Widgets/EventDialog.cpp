#include "Calendar/Widgets/EventDialog.h"
#include "Calendar/Widgets/ViewKind.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace Calendar {

namespace {

QString dateFormat()
{
    return QLocale().dateFormat(QLocale::ShortFormat);
}

QString dateTimeFormat()
{
    return dateFormat() + u' ' + MinuteTimeFormat();
}

} // namespace

EventDialog::EventDialog(const Event &event, bool isNew, QWidget *parent)
    : QDialog(parent)
    , m_event(event)
{
    setWindowTitle(isNew ? tr("New Appointment") : tr("Appointment"));
    m_subject = new QLineEdit(event.subject, this);
    m_start = new QDateTimeEdit(this);
    m_end = new QDateTimeEdit(this);
    for (QDateTimeEdit *edit : { m_start, m_end })
        edit->setCalendarPopup(true);
    m_allDay = new QCheckBox(tr("All &day"), this);
    m_location = new QLineEdit(event.location, this);
    m_notes = new QPlainTextEdit(event.notes, this);
    m_notes->setTabChangesFocus(true);
    m_problem = new QLabel(this);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Subject:"), m_subject);
    form->addRow(tr("S&tart:"), m_start);
    form->addRow(tr("&End:"), m_end);
    form->addRow(QString(), m_allDay);
    form->addRow(tr("&Location:"), m_location);
    form->addRow(tr("&Notes:"), m_notes);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);

    m_allDay->setChecked(event.allDay);
    allDayToggled(event.allDay);
    m_start->setDateTime(event.start);
    m_end->setDateTime(event.allDay ? event.end.addDays(-1) : event.end);
    m_previousStart = m_start->dateTime();

    connect(m_allDay, &QCheckBox::toggled, this, &EventDialog::allDayToggled);
    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, &EventDialog::startChanged);
    connect(m_end, &QDateTimeEdit::dateTimeChanged, this, &EventDialog::validate);
    validate();
    m_subject->setFocus();
    m_subject->selectAll();
}

Event EventDialog::event() const
{
    Event edited = m_event;
    edited.subject = m_subject->text();
    edited.location = m_location->text();
    edited.notes = m_notes->toPlainText();
    edited.allDay = m_allDay->isChecked();
    if (edited.allDay) {
        edited.start = m_start->date().startOfDay();
        edited.end = m_end->date().addDays(1).startOfDay();
    } else {
        // Whole minutes: the editors show no seconds.
        const QTime start = m_start->time(), end = m_end->time();
        edited.start = QDateTime(m_start->date(), QTime(start.hour(), start.minute()));
        edited.end = QDateTime(m_end->date(), QTime(end.hour(), end.minute()));
    }
    return edited;
}

void EventDialog::allDayToggled(bool allDay)
{
    const QString format = allDay ? dateFormat() : dateTimeFormat();
    m_start->setDisplayFormat(format);
    m_end->setDisplayFormat(format);
    validate();
}

void EventDialog::startChanged(const QDateTime &start)
{
    // Moving the start moves the end with it, so the length stays.
    if (m_previousStart.isValid()) {
        const QSignalBlocker block(m_end);
        m_end->setDateTime(m_end->dateTime().addSecs(m_previousStart.secsTo(start)));
    }
    m_previousStart = start;
    validate();
}

void EventDialog::validate()
{
    const Event edited = event();
    const bool valid = edited.end >= edited.start;
    m_problem->setText(valid ? QString() : tr("The end is before the start."));
    m_problem->setVisible(!valid);
    m_ok->setEnabled(valid);
}

} // namespace Calendar
