#include "PlenoraWidget.h"

#include "PlenoraCtrl.h"
#include "PlenoraIds.h"

#include <QtGui/QPainter>

#include <algorithm>

using TimeGrid::GridLayout;

namespace Plenora {

namespace {

// A dot fills its cell less this margin on each side.
constexpr int kDotMarginX = 9;
constexpr int kDotMarginY = 6;

} // namespace

PlenoraWidget::PlenoraWidget(CPlenoraCtrl *control, QWidget *parent)
    : GridWidget(&control->View(), Style { kRowHeight, 300, QColor() }, parent)
    , m_pControl(control)
{
    setObjectName(QStringLiteral("PlenoraWindow"));
}

int PlenoraWidget::RowCount() const
{
    return m_pControl->Model().RowCount();
}

int PlenoraWidget::LineHeaderWidth() const
{
    return m_pControl->ShowsLineHeader() ? kLineHeaderWidth : 0;
}

bool PlenoraWidget::ShowsColumnHeader() const
{
    return m_pControl->ShowsColumnHeader();
}

std::pair<QDate, QDate> PlenoraWidget::DataSpan() const
{
    return m_pControl->Model().Span();
}

void PlenoraWidget::PaintLineHeader(QPainter &painter, const GridLayout &layout)
{
    const auto [firstRow, endRow] = VisibleRows(layout);
    const QRect &header = layout.lineHeader;
    for (int row = firstRow; row < endRow; ++row) {
        const QRect cell(header.left(), layout.RowTop(row), header.width(), layout.rowHeight);
        painter.setPen(Qt::black);
        DrawText(painter, cell.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
            m_pControl->Model().RowLabel(row));
        painter.setPen(TimeGrid::GridLineColor());
        painter.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }
    painter.drawLine(header.right(), header.top(), header.right(), header.bottom());
}

void PlenoraWidget::PaintContent(QPainter &painter, const GridLayout &layout)
{
    PaintGridLines(painter, layout);
    const auto [firstRow, endRow] = VisibleRows(layout);
    const int columns = layout.ColumnCount();
    const TimeGrid::DayAxis &axis = Axis();
    const auto &graphs = m_pControl->Model().Graphs();
    for (size_t index = 0; index < graphs.size(); ++index) {
        const Plenora::Graph &graph = graphs[index];
        if (!graph.visible)
            continue;
        const QColor colour = Component::ColorFromOle(graph.colour);
        const QPen linePen(colour, static_cast<int>(index) == m_pControl->CurrentGraph() ? 2 : 1);
        bool previousShown = false;
        QPoint previousCentre;
        for (const Point &point : graph.points) {
            const int column = axis.ColumnOf(point.day);
            const bool shown = column >= 0 && column < columns && point.row >= firstRow && point.row < endRow;
            if (shown) {
                const QRect cell = layout.CellRect(point.row, column);
                painter.drawImage(
                    cell.topLeft() + QPoint(kDotMarginX, kDotMarginY), Dot(colour, cell.size()));
                if (previousShown) {
                    painter.setPen(linePen);
                    painter.drawLine(previousCentre, cell.center());
                }
                previousCentre = cell.center();
            }
            previousShown = shown;
        }
    }
}

const QImage &PlenoraWidget::Dot(const QColor &colour, const QSize &cell)
{
    auto found = m_dots.constFind(colour.rgb());
    if (found == m_dots.constEnd()) {
        QImage dot(cell.width() - 2 * kDotMarginX, cell.height() - 2 * kDotMarginY,
            QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::transparent);
        QPainter painter(&dot);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(dot.rect());
        found = m_dots.insert(colour.rgb(), dot);
    }
    return found.value();
}

QString PlenoraWidget::ToolTipAt(const GridLayout &layout, const QPoint &point) const
{
    const int row = layout.RowAt(point);
    const int column = layout.ColumnAt(point);
    if (row < 0 || row >= RowCount() || column < 0)
        return {};
    return QStringLiteral("%1    %2")
        .arg(TimeGrid::LongDayText(Axis().DayOfColumn(column)), m_pControl->Model().RowLabel(row));
}

void PlenoraWidget::LeftPressAt(const GridLayout &layout, const QPoint &point)
{
    const int row = layout.RowAt(point);
    const int column = layout.ColumnAt(point);
    if (row < 0 || row >= RowCount() || column < 0)
        return;
    m_pControl->OnCellClicked(Axis().DayOfColumn(column), row);
}

void PlenoraWidget::FirstVisibleChangedByUser()
{
    m_pControl->OnFirstVisibleChangedByUser();
}

} // namespace Plenora
