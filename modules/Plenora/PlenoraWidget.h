#pragma once

#include "TimeGrid/GridWidget.h"

#include <QtGui/QImage>

namespace Plenora {

class CPlenoraCtrl;

// The window of the graph grid: ten score rows labelled "10" down to "1"
// against days; each visible graph a chain of dots in its colour, joined by
// lines (2 pixels wide for the current graph).
class PlenoraWidget : public TimeGrid::GridWidget
{
public:
    PlenoraWidget(CPlenoraCtrl *control, QWidget *parent);

protected:
    int RowCount() const override;
    int LineHeaderWidth() const override;
    bool ShowsColumnHeader() const override;
    std::pair<QDate, QDate> DataSpan() const override;
    void PaintLineHeader(QPainter &painter, const TimeGrid::GridLayout &layout) override;
    void PaintContent(QPainter &painter, const TimeGrid::GridLayout &layout) override;
    QString ToolTipAt(const TimeGrid::GridLayout &layout, const QPoint &point) const override;
    void LeftPressAt(const TimeGrid::GridLayout &layout, const QPoint &point) override;
    void FirstVisibleChangedByUser() override;

private:
    // A graph's dot, drawn once per colour: a filled ellipse in the cell less
    // its margins.
    const QImage &Dot(const QColor &colour, const QSize &cell);

    CPlenoraCtrl *m_pControl; // outlives its window
    QHash<QRgb, QImage> m_dots;
};

} // namespace Plenora
