#include "TessoryWidget.h"

#include "TessoryCtrl.h"
#include "TessoryIds.h"

#include "TimeGrid/Metrics.h"

#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>

using TimeGrid::GridLayout;
using TimeGrid::kColumnWidth;

namespace Tessory {

namespace {

constexpr int kSwatchWidth = 6;
constexpr int kHeaderPadding = 6;
const QColor kButtonColour(244, 244, 248);
const QColor kWeekendColour(232, 232, 240);
const QColor kTodayColour(255, 240, 205);
const QColor kInactiveText(150, 150, 150);

QColor Blend(const QColor &colour, const QColor &base, double share)
{
    return QColor::fromRgbF(static_cast<float>(colour.redF() * share + base.redF() * (1 - share)),
        static_cast<float>(colour.greenF() * share + base.greenF() * (1 - share)),
        static_cast<float>(colour.blueF() * share + base.blueF() * (1 - share)));
}

} // namespace

TessoryWidget::TessoryWidget(CTessoryCtrl *control, QWidget *parent)
    : GridWidget(&control->View(), Style { kLineHeight, 200, QColor(190, 190, 255) }, parent)
    , m_pControl(control)
{
    setObjectName(QStringLiteral("TessoryWindow"));
}

int TessoryWidget::RowCount() const
{
    return m_pControl->Model().LineCount();
}

int TessoryWidget::LineHeaderWidth() const
{
    qreal wanted = 0;
    for (const Line &line : m_pControl->Model().Lines())
        wanted = std::max(wanted, TextSize(line.name).width());
    wanted += kSwatchWidth + 3 * kHeaderPadding;
    // The container's minimum wins over its maximum, so that it can fix the
    // width by setting both.
    return std::max(m_pControl->MinLineHeaderWidth(),
        std::min(m_pControl->MaxLineHeaderWidth(), static_cast<int>(std::ceil(wanted))));
}

std::pair<QDate, QDate> TessoryWidget::DataSpan() const
{
    return m_pControl->Model().Span();
}

void TessoryWidget::PaintLineHeader(QPainter &painter, const GridLayout &layout)
{
    const auto [firstRow, endRow] = VisibleRows(layout);
    const QRect &header = layout.lineHeader;
    for (int row = firstRow; row < endRow; ++row) {
        const Line &line = m_pControl->Model().Lines()[static_cast<size_t>(row)];
        const QRect cell(header.left(), layout.RowTop(row), header.width(), layout.rowHeight);
        painter.fillRect(QRect(cell.left() + kHeaderPadding, cell.top() + 3, kSwatchWidth, cell.height() - 6),
            Component::ColorFromOle(line.colour));
        const QRect textRect = cell.adjusted(kSwatchWidth + 2 * kHeaderPadding, 0, -kHeaderPadding, 0);
        painter.setPen(line.active ? QColor(Qt::black) : kInactiveText);
        DrawText(
            painter, textRect, Qt::AlignLeft | Qt::AlignVCenter, ElidedName(line.name, textRect.width()));
        painter.setPen(TimeGrid::GridLineColor());
        painter.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }
    painter.drawLine(header.right(), header.top(), header.right(), header.bottom());
}

const QString &TessoryWidget::ElidedName(const QString &name, int width)
{
    if (width != m_elidedWidth || m_elidedNames.size() > 1024) {
        m_elidedNames.clear();
        m_elidedWidth = width;
    }
    auto found = m_elidedNames.constFind(name);
    if (found == m_elidedNames.constEnd())
        found = m_elidedNames.insert(name, QFontMetrics(TextFont()).elidedText(name, Qt::ElideRight, width));
    return found.value();
}

void TessoryWidget::PaintDayButtons(
    QPainter &painter, const GridLayout &layout, int firstRow, int endRow) const
{
    const TimeGrid::DayAxis &axis = Axis();
    const int top = layout.RowTop(firstRow);
    const int height = (endRow - firstRow) * layout.rowHeight;
    const int columns = layout.ColumnCount();
    painter.fillRect(QRect(layout.content.left(), top, layout.content.width(), height), kButtonColour);
    if (axis.zoom == 1) {
        for (int column = 0; column < columns; ++column) {
            if (axis.DayOfColumn(column).dayOfWeek() >= Qt::Saturday)
                painter.fillRect(QRect(layout.ColumnLeft(column), top, kColumnWidth, height), kWeekendColour);
        }
    }
    const int today = axis.ColumnOf(QDate::currentDate());
    if (today >= 0 && today < columns)
        painter.fillRect(QRect(layout.ColumnLeft(today), top, kColumnWidth, height), kTodayColour);
    // The gaps between the buttons.
    painter.setPen(Qt::white);
    for (int column = 0; column <= columns; ++column)
        painter.drawLine(layout.ColumnLeft(column), top, layout.ColumnLeft(column), top + height - 1);
    for (int row = firstRow; row <= endRow; ++row)
        painter.drawLine(
            layout.content.left(), layout.RowTop(row), layout.content.right(), layout.RowTop(row));
}

void TessoryWidget::PaintContent(QPainter &painter, const GridLayout &layout)
{
    const auto [firstRow, endRow] = VisibleRows(layout);
    if (firstRow >= endRow)
        return;
    PaintDayButtons(painter, layout, firstRow, endRow);

    const TimeGrid::DayAxis &axis = Axis();
    const QDate firstDay = axis.firstVisible;
    const QDate lastDay = axis.DayOfColumn(layout.ColumnCount()).addDays(-1);
    for (int row = firstRow; row < endRow; ++row) {
        const Line &line = m_pControl->Model().Lines()[static_cast<size_t>(row)];
        const QColor colour = Component::ColorFromOle(line.colour);
        const QColor tint = Blend(colour, Qt::white, 0.3);
        const int top = layout.RowTop(row);
        for (size_t index = 0; index < line.sequences.size(); ++index) {
            const Sequence &sequence = line.sequences[index];
            if (sequence.end < firstDay || sequence.start > lastDay)
                continue;
            const QDate from = std::max(sequence.start, firstDay);
            const QDate to = std::min(sequence.end, lastDay);
            const int left = layout.ColumnLeft(axis.ColumnOf(from));
            const int right = layout.ColumnLeft(axis.ColumnOf(to) + 1);
            const QRect range(left + 1, top + 2, right - left - 1, layout.rowHeight - 3);
            painter.fillRect(range, tint);
            for (QDate day = from; day <= to; day = day.addDays(1)) {
                if (sequence.selected[static_cast<size_t>(sequence.start.daysTo(day))]) {
                    const int column = axis.ColumnOf(day);
                    painter.fillRect(
                        QRect(layout.ColumnLeft(column) + 3, top + 4, kColumnWidth - 5, layout.rowHeight - 7),
                        colour);
                }
            }
            if (static_cast<int>(index) == line.current) {
                painter.setPen(QPen(colour.darker(160), 2));
                painter.drawRect(range.adjusted(1, 1, -1, -1));
            }
        }
    }
}

QString TessoryWidget::ToolTipAt(const GridLayout &layout, const QPoint &point) const
{
    const int row = layout.firstRow + (point.y() - layout.content.top()) / layout.rowHeight;
    const Line *line = point.y() >= layout.content.top() ? m_pControl->Model().LineAt(row) : nullptr;
    if (!line)
        return {};
    if (layout.lineHeader.contains(point))
        return line->name;
    const int column = layout.ColumnAt(point);
    if (column < 0)
        return {};
    return QStringLiteral("%1    %2").arg(TimeGrid::LongDayText(Axis().DayOfColumn(column)), line->name);
}

void TessoryWidget::LeftPressAt(const GridLayout &layout, const QPoint &point)
{
    const int row = layout.RowAt(point);
    const int column = layout.ColumnAt(point);
    if (row < 0 || row >= RowCount() || column < 0)
        return;
    m_pControl->OnDayClicked(row, Axis().DayOfColumn(column));
}

void TessoryWidget::FirstVisibleChangedByUser()
{
    m_pControl->OnFirstVisibleChangedByUser();
}

} // namespace Tessory
