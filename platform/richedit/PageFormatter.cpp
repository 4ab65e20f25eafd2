#include "richedit/PageFormatter.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QGuiApplication>
#include <QtGui/QPaintDevice>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextLayout>

#include <algorithm>

namespace RichEdit {

namespace {

// The resolution the document layout measures fonts in when it has no device.
qreal layoutDpi()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 100;
}

} // namespace

PageFormatter::PageFormatter(const QTextDocument &source, const ObjectHandlers *handlers)
    : m_document(source.clone())
    , m_renderer(std::make_unique<ObjectRenderer>(handlers, true))
{
    m_document->setDefaultFont(source.defaultFont());
    m_document->setDefaultTextOption(source.defaultTextOption());
    m_document->setIndentWidth(source.indentWidth());
    m_document->setDocumentMargin(0);
    m_document->setUndoRedoEnabled(false);
    m_renderer->install(m_document.get());
}

PageFormatter::~PageFormatter() = default;

int PageFormatter::textEnd() const
{
    return std::max(0, m_document->characterCount() - 1);
}

void PageFormatter::layOut(qreal width)
{
    if (qFuzzyCompare(width, m_width) && !m_lines.empty())
        return;
    m_width = width;
    m_document->setTextWidth(width);
    QAbstractTextDocumentLayout *layout = m_document->documentLayout();
    m_lines.clear();
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const QRectF blockRect = layout->blockBoundingRect(block);
        const QTextLayout *textLayout = block.layout();
        if (!textLayout || textLayout->lineCount() == 0) {
            m_lines.push_back({ block.position(), blockRect.top(), blockRect.bottom() });
            continue;
        }
        for (int i = 0; i < textLayout->lineCount(); ++i) {
            const QTextLine line = textLayout->lineAt(i);
            const QRectF rect = line.rect().translated(blockRect.topLeft());
            // Space before the first and after the last line belongs to them.
            const qreal top = i == 0 ? blockRect.top() : rect.top();
            const qreal bottom = i == textLayout->lineCount() - 1 ? blockRect.bottom() : rect.bottom();
            m_lines.push_back({ block.position() + line.textStart(), top, bottom });
        }
    }
}

int PageFormatter::formatRange(
    QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to)
{
    const int end = textEnd();
    if (to < 0 || to > end)
        to = end;
    if (!device || pageRect.width() <= 0 || pageRect.height() <= 0 || from >= to)
        return std::min(std::max(from, 0), to);
    const qreal scale = device->logicalDpiY() / layoutDpi();
    const qreal scaleX = device->logicalDpiX() / layoutDpi();
    layOut(pageRect.width() / scaleX);
    const qreal pageHeight = pageRect.height() / scale;

    // The line holding `from`, then as many lines as fit.
    auto first = std::upper_bound(m_lines.begin(), m_lines.end(), from,
        [](int position, const Line &line) { return position < line.start; });
    if (first != m_lines.begin())
        --first;
    const qreal top = first->top;
    auto next = first + 1;
    while (next != m_lines.end() && next->start < to && next->bottom - top <= pageHeight)
        ++next;
    const int nextStart = next == m_lines.end() || next->start >= to ? to : next->start;
    const qreal used = (next - 1)->bottom - top;

    if (painter) {
        painter->save();
        painter->translate(pageRect.topLeft());
        painter->scale(scaleX, scale);
        painter->setClipRect(QRectF(0, 0, m_width, used), Qt::IntersectClip);
        painter->translate(0, -top);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, top, m_width, used);
        context.palette.setColor(QPalette::Text, Qt::black);
        m_document->documentLayout()->draw(painter, context);
        painter->restore();
    }
    return nextStart;
}

} // namespace RichEdit
