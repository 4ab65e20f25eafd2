#pragma once

#include "Calendar/Model/Event.h"
#include "calendar_export.h"

#include <QtWidgets/QDialog>

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Calendar {

// Edits one appointment: subject, start, end, all day, location and notes.
// An all-day event shows its last day as the end, not the midnight after it.
class CALENDAR_EXPORT EventDialog : public QDialog
{
    Q_OBJECT

public:
    explicit EventDialog(const Event &event, bool isNew, QWidget *parent = nullptr);

    // The event as edited; identity and patient are those it came with.
    Event event() const;

    QLineEdit *subjectEdit() const { return m_subject; }
    QDateTimeEdit *startEdit() const { return m_start; }
    QDateTimeEdit *endEdit() const { return m_end; }
    QCheckBox *allDayBox() const { return m_allDay; }
    QLineEdit *locationEdit() const { return m_location; }
    QPlainTextEdit *notesEdit() const { return m_notes; }
    QPushButton *okButton() const { return m_ok; }

private:
    void allDayToggled(bool allDay);
    void startChanged(const QDateTime &start);
    void validate();

    Event m_event;
    QLineEdit *m_subject = nullptr;
    QDateTimeEdit *m_start = nullptr;
    QDateTimeEdit *m_end = nullptr;
    QCheckBox *m_allDay = nullptr;
    QLineEdit *m_location = nullptr;
    QPlainTextEdit *m_notes = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_ok = nullptr;
    QDateTime m_previousStart;
};

} // namespace Calendar
