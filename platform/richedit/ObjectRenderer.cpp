#include "richedit/ObjectRenderer.h"

#include "richedit/EmbeddedObjects.h"
#include "richedit/IRichEditObjectHandler.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QPainter>
#include <QtGui/QTextDocument>

namespace RichEdit {

ObjectRenderer::ObjectRenderer(const ObjectHandlers *handlers, bool printing, QObject *parent)
    : QObject(parent)
    , m_handlers(handlers)
    , m_printing(printing)
{ }

IRichEditObjectHandler *ObjectRenderer::handlerFor(const QTextFormat &format) const
{
    if (!m_handlers)
        return nullptr;
    const auto it = m_handlers->find(format.intProperty(ObjectKindProperty));
    return it == m_handlers->end() ? nullptr : it->second;
}

QSizeF ObjectRenderer::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    if (IRichEditObjectHandler *handler = handlerFor(format)) {
        const QSizeF size = handler->size(format.property(ObjectHandleProperty).toLongLong());
        // A hostile or broken size must not stall the layout.
        return QSizeF(qBound(0.0, size.width(), 100000.0), qBound(0.0, size.height(), 100000.0));
    }
    return QSizeF(PlaceholderSize, PlaceholderSize);
}

void ObjectRenderer::drawObject(
    QPainter *painter, const QRectF &rect, QTextDocument *, int, const QTextFormat &format)
{
    if (IRichEditObjectHandler *handler = handlerFor(format)) {
        painter->save();
        handler->draw(painter, rect, format.property(ObjectHandleProperty).toLongLong(), m_printing);
        painter->restore();
        return;
    }
    painter->save();
    painter->setPen(QPen(Qt::gray, 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

void ObjectRenderer::install(QTextDocument *document)
{
    document->documentLayout()->registerHandler(EmbeddedObjectType, this);
}

} // namespace RichEdit
