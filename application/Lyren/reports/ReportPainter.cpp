#include "reports/ReportPainter.h"

#include "common/LocaleDates.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPainter>

#include <algorithm>
#include <optional>

namespace Reports {

namespace {

// Lines measured to size the columns: enough to see the widest values of
// ordinary reports without measuring every line of a long one.
constexpr size_t kMeasuredLines = 400;

class PagePainter
{
public:
    PagePainter(const Table &table, const Layout &layout, QPagedPaintDevice *device, QPainter &painter,
        const QLocale &locale)
        : m_table(table)
        , m_layout(layout)
        , m_device(device)
        , m_painter(painter)
        , m_locale(locale)
    {
        m_body = painter.font();
        m_body.setPointSizeF(9);
        m_bold = m_body;
        m_bold.setBold(true);
        m_title = m_bold;
        m_title.setPointSizeF(14);
        m_small = m_body;
        m_small.setPointSizeF(7.5);
        const QFontMetrics metrics(m_body, device);
        m_lineHeight = metrics.height() * 13 / 10;
        m_gap = metrics.averageCharWidth() * 2;
        m_width = device->width();
        m_height = device->height();
        m_footer = QFontMetrics(m_small, device).height() * 2;
        m_bodyMetrics.emplace(m_body, device);
        m_boldMetrics.emplace(m_bold, device);
        sizeColumns();
    }

    void Paint()
    {
        startPage(true);
        const auto &lines = m_layout.Lines();
        for (const Line &line : lines) {
            if (m_y + m_lineHeight > m_height - m_footer) {
                endPage();
                m_device->newPage();
                startPage(false);
            }
            paintLine(line);
        }
        if (m_table.rows.empty()) {
            m_painter.setFont(m_body);
            m_painter.drawText(QRect(0, m_y, m_width, m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                Layout::tr("No rows match the parameters."));
        }
        endPage();
    }

private:
    void sizeColumns()
    {
        const QFontMetrics body(m_body, m_device);
        const QFontMetrics bold(m_bold, m_device);
        const QStringList headings = m_layout.Headings();
        m_columnWidths.assign(static_cast<size_t>(headings.size()), 0);
        for (int i = 0; i < headings.size(); ++i)
            m_columnWidths[static_cast<size_t>(i)] = bold.horizontalAdvance(headings[i]);
        const auto &lines = m_layout.Lines();
        auto measure = [&](const Line &line) {
            if (line.kind == Line::Heading)
                return;
            const QFontMetrics &metrics = line.kind == Line::Detail ? body : bold;
            for (int i = 0; i < line.cells.size() && i < headings.size(); ++i) {
                int &width = m_columnWidths[static_cast<size_t>(i)];
                width = std::max(width, metrics.horizontalAdvance(line.cells[i]));
            }
        };
        for (size_t i = 0; i < lines.size() && i < kMeasuredLines; ++i)
            measure(lines[i]);
        for (const Line &line : lines) {
            if (line.kind == Line::Subtotal || line.kind == Line::Total)
                measure(line);
        }
        int total = 0;
        for (int &width : m_columnWidths) {
            width += m_gap;
            total += width;
        }
        if (total > m_width && total > 0) {
            // Narrow every column in proportion; texts that no longer fit are elided.
            for (int &width : m_columnWidths)
                width = static_cast<int>(static_cast<qint64>(width) * m_width / total);
        } else if (!m_columnWidths.empty()) {
            // The spare width goes to the first column (names, months, types).
            m_columnWidths.front() += m_width - total;
        }
    }

    void startPage(bool first)
    {
        ++m_page;
        m_y = 0;
        if (first) {
            m_painter.setFont(m_title);
            const int titleHeight = QFontMetrics(m_title, m_device).height() * 3 / 2;
            m_painter.drawText(
                QRect(0, 0, m_width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, m_table.title);
            m_y += titleHeight;
            m_painter.setFont(m_body);
            for (const QString &parameter : m_table.parameters) {
                m_painter.drawText(
                    QRect(0, m_y, m_width, m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter, parameter);
                m_y += m_lineHeight;
            }
            m_y += m_lineHeight / 2;
        }
        m_painter.setFont(m_bold);
        paintCells(m_layout.Headings());
        m_y += m_lineHeight;
        m_painter.drawLine(0, m_y, m_width, m_y);
        m_y += m_lineHeight / 4;
    }

    void endPage()
    {
        m_painter.setFont(m_small);
        const QRect foot(0, m_height - m_footer / 2, m_width, m_footer / 2);
        m_painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
            Layout::tr("Printed %1").arg(Verdanta::FormatLocaleDate(QDate::currentDate(), m_locale)));
        m_painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, Layout::tr("Page %1").arg(m_page));
    }

    // Texts are placed on their baseline with precomputed offsets: the
    // rectangle-and-flags form lays every text out again, which costs more
    // than drawing it in long reports.
    void paintCells(const QStringList &cells)
    {
        const QFontMetrics &metrics = m_painter.font().bold() ? *m_boldMetrics : *m_bodyMetrics;
        const int baseline = m_y + (m_lineHeight + metrics.ascent() - metrics.descent()) / 2;
        int x = 0;
        for (int i = 0; i < cells.size() && i < static_cast<int>(m_columnWidths.size()); ++i) {
            const int width = m_columnWidths[static_cast<size_t>(i)];
            const int inner = width - m_gap;
            QString text = cells[i];
            if (!text.isEmpty()) {
                int advance = metrics.horizontalAdvance(text);
                if (advance > inner) {
                    text = metrics.elidedText(text, Qt::ElideRight, inner);
                    advance = metrics.horizontalAdvance(text);
                }
                const int left = m_layout.RightAligned(i) ? x + width - advance : x;
                m_painter.drawText(QPoint(left, baseline), text);
            }
            x += width;
        }
    }

    void paintLine(const Line &line)
    {
        switch (line.kind) {
        case Line::Heading:
            m_y += m_lineHeight / 3;
            m_painter.setFont(m_bold);
            m_painter.drawText(
                QRect(0, m_y, m_width, m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line.cells.value(0));
            break;
        case Line::Detail:
            m_painter.setFont(m_body);
            paintCells(line.cells);
            break;
        case Line::Subtotal:
        case Line::Total:
            m_painter.setFont(m_bold);
            m_painter.drawLine(0, m_y, m_width, m_y);
            if (line.kind == Line::Total)
                m_painter.drawLine(0, m_y + 3, m_width, m_y + 3);
            paintCells(line.cells);
            break;
        }
        m_y += m_lineHeight;
    }

    const Table &m_table;
    const Layout &m_layout;
    QPagedPaintDevice *m_device;
    QPainter &m_painter;
    QLocale m_locale;
    QFont m_body, m_bold, m_title, m_small;
    std::optional<QFontMetrics> m_bodyMetrics, m_boldMetrics;
    std::vector<int> m_columnWidths;
    int m_lineHeight = 0;
    int m_gap = 0;
    int m_width = 0;
    int m_height = 0;
    int m_footer = 0;
    int m_y = 0;
    int m_page = 0;
};

} // namespace

bool PaintReport(const Table &table, QPagedPaintDevice *device, const QLocale &locale)
{
    const Layout layout(table, locale);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    PagePainter(table, layout, device, painter, locale).Paint();
    return painter.end();
}

} // namespace Reports
