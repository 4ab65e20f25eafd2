#pragma once

#include "Calendar/Widgets/CalendarPainting.h"
#include "Calendar/Widgets/ViewState.h"
#include "calendar_export.h"

#include <QtWidgets/QWidget>

namespace Calendar {

// The month view: six weeks of days, each listing its events. Events move to
// another day with the mouse; a double click opens an event, makes one on an
// empty part of a day, or shows the day of a "more" line.
class CALENDAR_EXPORT MonthView : public QWidget
{
    Q_OBJECT

public:
    MonthView(const Detail::ViewState *state, Detail::ViewActions *actions, QWidget *parent = nullptr);

    void refresh();
    MonthGeometry geometry() const;
    // The line an event is listed on in its first shown day; empty if not listed.
    QRectF lineRect(const QString &uid) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    const MonthLine *lineAt(const QPointF &point) const;

    const Detail::ViewState *m_state;
    Detail::ViewActions *m_actions;
    QList<MonthLine> m_lines;
    Detail::DayDrag m_drag;
};

} // namespace Calendar
