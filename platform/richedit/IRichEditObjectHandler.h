#pragma once

#include <QtCore/QRectF>
#include <QtCore/QSizeF>

class QPainter;

namespace RichEdit {

// Sizes and draws the embedder's objects of one kind. Sizes and rectangles are
// in layout units (pixels at 96 dots per inch); when printing, the painter is
// scaled to the printer.
class IRichEditObjectHandler
{
public:
    virtual ~IRichEditObjectHandler() = default;

    virtual QSizeF size(qint64 handle) = 0;
    virtual void draw(QPainter *painter, const QRectF &rect, qint64 handle, bool printing) = 0;
};

} // namespace RichEdit
