#pragma once

#include "richedit_export.h"

#include <QtGui/QTextFormat>

class QTextDocument;

namespace RichEdit {

// An embedded object is one U+FFFC character whose character format carries
// this object type, the embedder's kind of object and its handle. The control
// never owns what the handle stands for.
inline constexpr int EmbeddedObjectType = QTextFormat::UserObject + 1;
inline constexpr int ObjectKindProperty = QTextFormat::UserProperty + 1;
inline constexpr int ObjectHandleProperty = QTextFormat::UserProperty + 2;

struct EmbeddedObject
{
    int kind = 0;
    qint64 handle = 0;
    int position = -1;

    friend bool operator==(const EmbeddedObject &, const EmbeddedObject &) = default;
};

RICHEDIT_EXPORT bool isEmbeddedObject(const QTextFormat &format);
RICHEDIT_EXPORT QTextCharFormat embeddedObjectFormat(QTextCharFormat base, int kind, qint64 handle);
// The format without the object's properties, for text typed next to an object.
RICHEDIT_EXPORT QTextCharFormat withoutObject(QTextCharFormat format);

// Every embedded object in [from, to) in text order (to = -1: to the end).
RICHEDIT_EXPORT QList<EmbeddedObject> scanEmbeddedObjects(
    const QTextDocument &document, int from = 0, int to = -1);

} // namespace RichEdit
