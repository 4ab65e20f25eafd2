#include "TimeGrid/GridWidget.h"

#include "TimeGrid/DelayedToolTip.h"
#include "TimeGrid/Metrics.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cmath>

namespace TimeGrid {

namespace {

// The scroll bar's range before the first layout: every day up to the year 2099.
constexpr int kInitialScrollRange = 73000;
constexpr int kWheelStep = 120;
// Texts whose layout is kept: day numbers, month labels, row and line names.
constexpr qsizetype kTextCacheSize = 2048;

} // namespace

QColor GridLineColor()
{
    return QColor(240, 240, 240);
}

GridWidget::GridWidget(ViewState *view, const Style &style, QWidget *parent)
    : QWidget(parent)
    , m_pView(view)
    , m_style(style)
    , m_font(QStringLiteral("Arial"))
    , m_pHorizontal(new QScrollBar(Qt::Horizontal, this))
    , m_pVertical(new QScrollBar(Qt::Vertical, this))
    , m_pToolTip(new DelayedToolTip(this, style.toolTipDelayMs, style.toolTipBackground))
{
    m_style.rowHeight = std::max(1, m_style.rowHeight);
    m_font.setPixelSize(kFontPixelSize);
    setFont(m_font);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_syncing = true;
    m_pHorizontal->setRange(0, kInitialScrollRange);
    m_pHorizontal->setValue(m_pView->axis.ScrollPositionOf(QDate::currentDate()));
    m_pVertical->setEnabled(false);
    m_syncing = false;
    connect(m_pHorizontal, &QScrollBar::valueChanged, this, &GridWidget::OnHorizontalScroll);
    connect(m_pVertical, &QScrollBar::valueChanged, this, &GridWidget::OnVerticalScroll);
}

GridWidget::~GridWidget() = default;

const GridLayout &GridWidget::Relayout()
{
    GridLayout &layout = m_pView->layout;
    const int width = std::max(0, this->width() - kScrollBarExtent);
    const int height = std::max(0, this->height() - kScrollBarExtent);
    const int lineHeaderWidth = std::clamp(LineHeaderWidth(), 0, width);
    const int columnHeaderHeight = ShowsColumnHeader() ? std::min(kColumnHeaderHeight, height) : 0;
    layout.lineHeader = QRect(0, columnHeaderHeight, lineHeaderWidth, height - columnHeaderHeight);
    layout.columnHeader = QRect(lineHeaderWidth, 0, width - lineHeaderWidth, columnHeaderHeight);
    layout.content
        = QRect(lineHeaderWidth, columnHeaderHeight, width - lineHeaderWidth, height - columnHeaderHeight);
    layout.horizontalBar = QRect(0, height, width, kScrollBarExtent);
    layout.verticalBar = QRect(width, 0, kScrollBarExtent, height);
    layout.rowHeight = m_style.rowHeight;

    const int rows = RowCount();
    const int wholeRowsShown = std::max(1, layout.content.height() / layout.rowHeight);
    layout.verticalScrolling = static_cast<qint64>(rows) * layout.rowHeight > layout.content.height();
    layout.firstRow
        = layout.verticalScrolling ? std::clamp(m_pView->firstRow, 0, std::max(0, rows - wholeRowsShown)) : 0;
    m_pView->firstRow = layout.firstRow;

    if (m_pHorizontal->geometry() != layout.horizontalBar)
        m_pHorizontal->setGeometry(layout.horizontalBar);
    if (m_pVertical->geometry() != layout.verticalBar)
        m_pVertical->setGeometry(layout.verticalBar);
    SyncScrollBars();
    return layout;
}

void GridWidget::UpdateGrid()
{
    update(QRect(0, 0, std::max(0, width() - kScrollBarExtent), std::max(0, height() - kScrollBarExtent)));
}

void GridWidget::SyncScrollBars()
{
    const GridLayout &layout = m_pView->layout;
    const DayAxis &axis = m_pView->axis;
    auto [earliest, latest] = DataSpan();
    // The first visible day stays reachable even when the container scrolled
    // beyond the data, so the scroll bar never misreports the view.
    earliest = earliest.isValid() ? std::min(earliest, axis.firstVisible) : axis.firstVisible;
    latest = latest.isValid() ? std::max(latest, axis.firstVisible) : axis.firstVisible;
    const auto [low, high] = axis.ScrollRange(earliest, latest, Today());

    m_syncing = true;
    m_pHorizontal->setRange(low, high);
    m_pHorizontal->setPageStep(std::max(1, layout.ColumnCount() - 1));
    m_pHorizontal->setValue(axis.ScrollPosition());
    m_pVertical->setEnabled(layout.verticalScrolling);
    if (layout.verticalScrolling) {
        const int wholeRowsShown = std::max(1, layout.content.height() / layout.rowHeight);
        m_pVertical->setRange(0, std::max(0, RowCount() - wholeRowsShown));
        m_pVertical->setPageStep(wholeRowsShown);
        m_pVertical->setValue(layout.firstRow);
    } else {
        m_pVertical->setRange(0, 0);
    }
    m_syncing = false;
}

QDate GridWidget::Today()
{
    if (!m_today.isValid() || !m_todayRead.isValid() || m_todayRead.elapsed() >= 1000) {
        m_today = QDate::currentDate();
        m_todayRead.start();
    }
    return m_today;
}

void GridWidget::OnHorizontalScroll(int position)
{
    if (m_syncing)
        return;
    const QDate day = m_pView->axis.DayOfScrollPosition(position);
    if (day == m_pView->axis.firstVisible)
        return;
    m_pView->axis.firstVisible = day;
    m_pToolTip->Hide();
    UpdateGrid();
    FirstVisibleChangedByUser();
}

void GridWidget::OnVerticalScroll(int position)
{
    if (m_syncing)
        return;
    m_pView->firstRow = position;
    m_pToolTip->Hide();
    UpdateGrid();
}

const QStaticText &GridWidget::PreparedText(const QString &text) const
{
    auto found = m_texts.constFind(text);
    if (found == m_texts.constEnd()) {
        if (m_texts.size() >= kTextCacheSize)
            m_texts.clear();
        QStaticText prepared(text);
        prepared.setTextFormat(Qt::PlainText);
        prepared.prepare(QTransform(), m_font);
        found = m_texts.insert(text, prepared);
    }
    return found.value();
}

QSizeF GridWidget::TextSize(const QString &text) const
{
    return PreparedText(text).size();
}

void GridWidget::DrawText(
    QPainter &painter, const QRect &rect, Qt::Alignment alignment, const QString &text) const
{
    const QStaticText &prepared = PreparedText(text);
    const QSizeF size = prepared.size();
    qreal x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.left() + rect.width() - size.width();
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - size.width()) / 2;
    qreal y = rect.top();
    if (alignment & Qt::AlignBottom)
        y = rect.top() + rect.height() - size.height();
    else if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - size.height()) / 2;
    painter.drawStaticText(QPointF(std::round(x), std::round(y)), prepared);
}

std::pair<int, int> GridWidget::VisibleRows(const GridLayout &layout) const
{
    const int rowsShown = (layout.content.height() + layout.rowHeight - 1) / layout.rowHeight;
    return { layout.firstRow, std::min(RowCount(), layout.firstRow + rowsShown) };
}

void GridWidget::PaintGridLines(QPainter &painter, const GridLayout &layout) const
{
    const auto [firstRow, endRow] = VisibleRows(layout);
    if (firstRow >= endRow)
        return;
    const QRect &content = layout.content;
    const int bottom = std::min(content.bottom(), layout.RowTop(endRow) - 1);
    painter.setPen(GridLineColor());
    const int columns = layout.ColumnCount();
    for (int column = 0; column <= columns; ++column) {
        const int x = layout.ColumnLeft(column);
        painter.drawLine(x, content.top(), x, bottom);
    }
    for (int row = firstRow + 1; row <= endRow; ++row)
        painter.drawLine(content.left(), layout.RowTop(row) - 1, content.right(), layout.RowTop(row) - 1);
}

void GridWidget::PaintColumnHeader(QPainter &painter, const GridLayout &layout) const
{
    const QRect &band = layout.columnHeader;
    if (band.isEmpty())
        return;
    const DayAxis &axis = m_pView->axis;
    const int zoom = ClampZoom(axis.zoom);
    painter.save();
    painter.setClipRect(band);
    const QRect monthBand(band.left(), band.top(), band.width(), std::min(kMonthBandHeight, band.height()));
    const QRect dayBand(
        band.left(), monthBand.bottom() + 1, band.width(), band.height() - monthBand.height());
    const QPen gridPen(GridLineColor());
    const QPen textPen(Qt::black);

    // Month band: each month from its first shown day to its last, labelled
    // with its name and year, or only the initial when that does not fit.
    const int columns = layout.ColumnCount();
    const QDate firstDay = axis.firstVisible;
    const QDate endDay = axis.DayOfColumn(columns); // the day after the last one shown
    const auto xOfDay = [&](const QDate &day) {
        return band.left() + static_cast<int>(firstDay.daysTo(day) * kColumnWidth / zoom);
    };
    for (QDate month(firstDay.year(), firstDay.month(), 1); month < endDay; month = month.addMonths(1)) {
        const int left = xOfDay(std::max(month, firstDay));
        const int right = xOfDay(std::min(month.addMonths(1), endDay));
        const QRect cell(left, monthBand.top(), right - left, monthBand.height());
        painter.setPen(gridPen);
        painter.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
        const QString name = EnglishMonthName(month.month());
        QString text = QStringLiteral("%1, %2").arg(name).arg(month.year());
        if (TextSize(text).width() + 10 > cell.width())
            text = QStringLiteral("%1, %2").arg(name.left(1)).arg(month.year());
        painter.setPen(textPen);
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        DrawText(painter, cell.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        painter.restore();
    }

    // Day numbers: the first day of every column.
    for (int column = 0; column < columns; ++column) {
        const QRect cell(layout.ColumnLeft(column), dayBand.top(), kColumnWidth, dayBand.height());
        painter.setPen(gridPen);
        painter.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
        painter.setPen(textPen);
        DrawText(painter, cell, Qt::AlignCenter, QString::number(axis.DayOfColumn(column).day()));
    }
    painter.setPen(gridPen);
    painter.drawLine(band.left(), monthBand.bottom(), band.right(), monthBand.bottom());
    painter.drawLine(band.left(), band.bottom(), band.right(), band.bottom());
    painter.restore();
}

void GridWidget::paintEvent(QPaintEvent *)
{
    const GridLayout &layout = Relayout();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(GridLineColor());
    painter.setFont(m_font);
    PaintColumnHeader(painter, layout);
    if (!layout.lineHeader.isEmpty()) {
        painter.save();
        painter.setClipRect(layout.lineHeader);
        PaintLineHeader(painter, layout);
        painter.restore();
    }
    if (!layout.content.isEmpty()) {
        painter.save();
        painter.setClipRect(layout.content);
        PaintContent(painter, layout);
        painter.restore();
    }
}

void GridWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void GridWidget::mousePressEvent(QMouseEvent *event)
{
    m_pToolTip->Hide();
    if (event->button() != Qt::LeftButton)
        return;
    const GridLayout &layout = Relayout();
    LeftPressAt(layout, event->position().toPoint());
}

void GridWidget::mouseReleaseEvent(QMouseEvent *event)
{
    m_pToolTip->Hide();
    QWidget::mouseReleaseEvent(event);
}

void GridWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    m_pToolTip->Track(ToolTipAt(m_pView->layout, point), event->globalPosition().toPoint());
}

void GridWidget::leaveEvent(QEvent *event)
{
    m_pToolTip->Track(QString(), QPoint());
    QWidget::leaveEvent(event);
}

void GridWidget::wheelEvent(QWheelEvent *event)
{
    // The wheel scrolls the rows when they do not fit, the days otherwise;
    // with Shift (or a sideways wheel) always the days.
    const QPoint delta = event->angleDelta();
    const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int steps = (sideways ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y()) / kWheelStep;
    if (steps == 0)
        return;
    QScrollBar *bar = !sideways && m_pVertical->isEnabled() ? m_pVertical : m_pHorizontal;
    bar->setValue(bar->value() - steps * bar->singleStep());
    event->accept();
}

void GridWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        m_pHorizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        m_pHorizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        m_pHorizontal->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        m_pHorizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Up:
        m_pVertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        m_pVertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Home: // back to today
        m_pHorizontal->setValue(m_pView->axis.ScrollPositionOf(QDate::currentDate()));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace TimeGrid
