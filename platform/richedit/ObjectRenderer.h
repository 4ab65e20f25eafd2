#pragma once

#include "richedit_export.h"

#include <QtCore/QObject>
#include <QtGui/QTextObjectInterface>

#include <map>

namespace RichEdit {

class IRichEditObjectHandler;

// The embedder's handlers by object kind; not owned.
using ObjectHandlers = std::map<int, IRichEditObjectHandler *>;

// Sizes and draws embedded objects through the handler of their kind; an
// object without a handler is drawn as an empty box.
class RICHEDIT_EXPORT ObjectRenderer : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    ObjectRenderer(const ObjectHandlers *handlers, bool printing, QObject *parent = nullptr);

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
        const QTextFormat &format) override;

    // Registers the renderer with the document's layout.
    void install(QTextDocument *document);

    static constexpr qreal PlaceholderSize = 16;

private:
    IRichEditObjectHandler *handlerFor(const QTextFormat &format) const;

    const ObjectHandlers *m_handlers;
    bool m_printing;
};

} // namespace RichEdit
