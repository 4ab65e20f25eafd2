#pragma once

#include "richedit/IRichEditCallback.h"
#include "richedit/IRichEditObjectHandler.h"
#include "support/TestSupport.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtGui/QColor>

#include <utility>
#include <vector>

class QTextDocument;

namespace RichEditTest {

// Records what the control reports about objects.
class RecordingCallback : public RichEdit::IRichEditCallback
{
public:
    bool queryInsertObject(int kind, qint64 handle) override;
    void objectDeleted(int kind, qint64 handle) override;
    void objectReinserted(int kind, qint64 handle, int position) override;

    bool acceptInsertions = true;
    std::vector<qint64> queried;
    std::vector<qint64> deleted;
    std::vector<std::pair<qint64, int>> reinserted;
};

// Draws every object as a filled box of one size and counts the calls.
class BoxHandler : public RichEdit::IRichEditObjectHandler
{
public:
    QSizeF size(qint64 handle) override;
    void draw(QPainter *painter, const QRectF &rect, qint64 handle, bool printing) override;

    QSizeF boxSize { 40, 20 };
    QColor color { 0, 128, 0 };
    int screenDraws = 0;
    int printDraws = 0;
};

// The document's text with '\n' between paragraphs (objects stay U+FFFC).
QString plainText(const QTextDocument &document);
// A committed fixture under tests/data/richedit.
QByteArray readFixture(const QString &name);

} // namespace RichEditTest
