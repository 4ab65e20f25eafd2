#include "RichEditTestSupport.h"

#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtGui/QPainter>
#include <QtGui/QTextDocument>

namespace RichEditTest {

bool RecordingCallback::queryInsertObject(int, qint64 handle)
{
    queried.push_back(handle);
    return acceptInsertions;
}

void RecordingCallback::objectDeleted(int, qint64 handle)
{
    deleted.push_back(handle);
}

void RecordingCallback::objectReinserted(int, qint64 handle, int position)
{
    reinserted.emplace_back(handle, position);
}

QSizeF BoxHandler::size(qint64)
{
    return boxSize;
}

void BoxHandler::draw(QPainter *painter, const QRectF &rect, qint64, bool printing)
{
    ++(printing ? printDraws : screenDraws);
    painter->fillRect(rect, color);
}

QString plainText(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QByteArray readFixture(const QString &name)
{
    QFile file(TestSupport::TestDataFolder() + QStringLiteral("/richedit/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace RichEditTest
