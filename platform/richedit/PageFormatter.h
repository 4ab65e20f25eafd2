#pragma once

#include "richedit/ObjectRenderer.h"
#include "richedit_export.h"

#include <QtCore/QRectF>

#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QTextDocument;

namespace RichEdit {

// Breaks a document into pages: formats the text from a character position
// into a page rectangle, draws it when asked, and says where the next page
// starts. Works on its own copy of the document, laid out at the page width,
// so the editor on screen is not disturbed. Objects are drawn for printing.
class RICHEDIT_EXPORT PageFormatter
{
public:
    PageFormatter(const QTextDocument &source, const ObjectHandlers *handlers);
    ~PageFormatter();
    PageFormatter(const PageFormatter &) = delete;
    PageFormatter &operator=(const PageFormatter &) = delete;

    // pageRect is in the units of device (painter's device when painter is
    // given). Returns the position where the next page starts; the end of the
    // text (or `to`) when everything from `from` fitted. A page always takes
    // at least one line, so the loop over pages ends.
    int formatRange(QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to = -1);

    // The position just past the last character.
    int textEnd() const;

private:
    struct Line
    {
        int start;
        qreal top;
        qreal bottom;
    };
    void layOut(qreal width);

    std::unique_ptr<QTextDocument> m_document;
    std::unique_ptr<ObjectRenderer> m_renderer;
    std::vector<Line> m_lines;
    qreal m_width = -1;
};

} // namespace RichEdit
