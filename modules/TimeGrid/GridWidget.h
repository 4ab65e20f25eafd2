#pragma once

#include "TimeGrid/DayAxis.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtGui/QFont>
#include <QtGui/QStaticText>
#include <QtWidgets/QWidget>

class QScrollBar;

namespace TimeGrid {

class DelayedToolTip;

// What a grid control keeps of its view, so that it survives the window and
// answers the container without one: the day axis, the first row shown and the
// layout as last computed.
struct ViewState
{
    DayAxis axis;
    int firstRow = 0;
    GridLayout layout;
};

// The window both time grids share: a column header with the month band and
// the day numbers on top, a line header on the left, the cells in the rest, a
// horizontal scroll bar along the bottom that moves the first visible day and
// a vertical one along the right that is enabled only when the rows do not
// fit. Each control draws its rows and answers presses and tool tips.
class GridWidget : public QWidget
{
    Q_OBJECT

public:
    struct Style
    {
        int rowHeight = 20;
        int toolTipDelayMs = 300;
        QColor toolTipBackground; // invalid: the platform's
    };

    GridWidget(ViewState *view, const Style &style, QWidget *parent);
    ~GridWidget() override;

    // Lays the window out for its size and the current data (into the view
    // state) and brings the scroll bars in line with the view.
    const GridLayout &Relayout();
    // Repaints the headers and the cells. The scroll bars are windows of their
    // own and repaint themselves when they move.
    void UpdateGrid();

    const QFont &TextFont() const { return m_font; }
    QScrollBar *HorizontalBar() const { return m_pHorizontal; }
    QScrollBar *VerticalBar() const { return m_pVertical; }
    DelayedToolTip *ToolTip() const { return m_pToolTip; }

protected:
    virtual int RowCount() const = 0;
    // Width of the line header; 0 when it is not shown.
    virtual int LineHeaderWidth() const = 0;
    virtual bool ShowsColumnHeader() const { return true; }
    // The earliest and latest day that holds data (invalid when none); the
    // scroll range is kept around them.
    virtual std::pair<QDate, QDate> DataSpan() const = 0;
    virtual void PaintLineHeader(QPainter &painter, const GridLayout &layout) = 0;
    virtual void PaintContent(QPainter &painter, const GridLayout &layout) = 0;
    // The tool tip of the cell under the point; empty where there is none.
    virtual QString ToolTipAt(const GridLayout &layout, const QPoint &point) const = 0;
    virtual void LeftPressAt(const GridLayout &layout, const QPoint &point) = 0;
    // The user scrolled to another first visible day.
    virtual void FirstVisibleChangedByUser() = 0;

    const DayAxis &Axis() const { return m_pView->axis; }
    // The rows shown, wholly or in part: from the first to one past the last.
    std::pair<int, int> VisibleRows(const GridLayout &layout) const;
    // A line of text in the text font, aligned in a rectangle; its layout is
    // kept from paint to paint.
    void DrawText(QPainter &painter, const QRect &rect, Qt::Alignment alignment, const QString &text) const;
    QSizeF TextSize(const QString &text) const;
    // The lines between the cells of the rows shown, in the grid's pen.
    void PaintGridLines(QPainter &painter, const GridLayout &layout) const;

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void SyncScrollBars();
    // Today's date, read again at most once a second: reading the local date
    // looks at the system's time zone, and the scroll range is worked out at
    // every change (thousands of times while a container fills the grid).
    QDate Today();
    const QStaticText &PreparedText(const QString &text) const;
    void PaintColumnHeader(QPainter &painter, const GridLayout &layout) const;
    void OnHorizontalScroll(int position);
    void OnVerticalScroll(int position);

    ViewState *m_pView;
    Style m_style;
    QFont m_font;
    QScrollBar *m_pHorizontal;
    QScrollBar *m_pVertical;
    DelayedToolTip *m_pToolTip;
    mutable QHash<QString, QStaticText> m_texts;
    bool m_syncing = false; // scroll bars moved by the control, not the user
    QDate m_today;
    QElapsedTimer m_todayRead;
};

// The grid's pen: 1 pixel of RGB(240,240,240).
QColor GridLineColor();

} // namespace TimeGrid
