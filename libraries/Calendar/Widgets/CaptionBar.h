#pragma once

#include "Calendar/Widgets/ViewKind.h"
#include "calendar_export.h"

#include <QtWidgets/QWidget>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QToolButton;

namespace Calendar {

// The bar over the calendar view: the shown range, back, forward and today,
// and the choice of view.
class CALENDAR_EXPORT CaptionBar : public QWidget
{
    Q_OBJECT

public:
    explicit CaptionBar(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const;
    void setViewKind(ViewKind kind);

    QToolButton *backButton() const { return m_back; }
    QToolButton *forwardButton() const { return m_forward; }
    QToolButton *todayButton() const { return m_today; }
    QAbstractButton *viewButton(ViewKind kind) const;

Q_SIGNALS:
    void stepRequested(int steps);
    void todayRequested();
    void viewKindRequested(Calendar::ViewKind kind);

private:
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_today;
    QLabel *m_caption;
    QButtonGroup *m_kinds;
};

} // namespace Calendar
