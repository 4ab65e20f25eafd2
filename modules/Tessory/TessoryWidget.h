#pragma once

#include "TimeGrid/GridWidget.h"

namespace Tessory {

class CTessoryCtrl;

// The window of the button grid: each line a row of day buttons with its
// name in the line header; a sequence's days are tinted in the line's
// colour, selected days filled with it, and the current sequence framed.
class TessoryWidget : public TimeGrid::GridWidget
{
public:
    TessoryWidget(CTessoryCtrl *control, QWidget *parent);

protected:
    int RowCount() const override;
    int LineHeaderWidth() const override;
    std::pair<QDate, QDate> DataSpan() const override;
    void PaintLineHeader(QPainter &painter, const TimeGrid::GridLayout &layout) override;
    void PaintContent(QPainter &painter, const TimeGrid::GridLayout &layout) override;
    QString ToolTipAt(const TimeGrid::GridLayout &layout, const QPoint &point) const override;
    void LeftPressAt(const TimeGrid::GridLayout &layout, const QPoint &point) override;
    void FirstVisibleChangedByUser() override;

private:
    void PaintDayButtons(
        QPainter &painter, const TimeGrid::GridLayout &layout, int firstRow, int endRow) const;

    // A line's name cut to the width of the line header, kept per width.
    const QString &ElidedName(const QString &name, int width);

    CTessoryCtrl *m_pControl; // outlives its window
    QHash<QString, QString> m_elidedNames;
    int m_elidedWidth = -1;
};

} // namespace Tessory
