#include "richedit/EmbeddedObjects.h"

#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>

namespace RichEdit {

bool isEmbeddedObject(const QTextFormat &format)
{
    return format.objectType() == EmbeddedObjectType;
}

QTextCharFormat embeddedObjectFormat(QTextCharFormat base, int kind, qint64 handle)
{
    base.setObjectType(EmbeddedObjectType);
    base.setProperty(ObjectKindProperty, kind);
    base.setProperty(ObjectHandleProperty, handle);
    return base;
}

QTextCharFormat withoutObject(QTextCharFormat format)
{
    format.clearProperty(QTextFormat::ObjectType);
    format.clearProperty(QTextFormat::ObjectIndex);
    format.clearProperty(ObjectKindProperty);
    format.clearProperty(ObjectHandleProperty);
    return format;
}

QList<EmbeddedObject> scanEmbeddedObjects(const QTextDocument &document, int from, int to)
{
    QList<EmbeddedObject> found;
    if (to < 0)
        to = document.characterCount();
    if (from >= to)
        return found;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position();
            if (start >= to)
                break;
            if (start + fragment.length() <= from)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (!isEmbeddedObject(format))
                continue;
            const QString text = fragment.text();
            const int kind = format.intProperty(ObjectKindProperty);
            const qint64 handle = format.property(ObjectHandleProperty).toLongLong();
            for (int i = 0; i < text.size(); ++i) {
                const int position = start + i;
                if (text.at(i) == QChar::ObjectReplacementCharacter && position >= from && position < to)
                    found.append({ kind, handle, position });
            }
        }
    }
    return found;
}

} // namespace RichEdit
