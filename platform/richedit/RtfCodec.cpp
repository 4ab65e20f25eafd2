#include "richedit/RtfCodec.h"

#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QTextDocument>

namespace RichEdit {

bool RtfCodec::streamOut(const QTextDocument &document, const StreamOutCallback &write, qsizetype blockSize)
{
    if (!write || blockSize <= 0)
        return false;
    const QByteArray rtf = RtfWriter::write(document);
    for (qsizetype offset = 0; offset < rtf.size(); offset += blockSize) {
        if (!write(rtf.constData() + offset, std::min(blockSize, rtf.size() - offset)))
            return false;
    }
    return true;
}

bool RtfCodec::streamIn(
    QTextDocument &document, const StreamInCallback &read, qsizetype blockSize, RtfReadReport *report)
{
    QByteArray data;
    bool failed = !read || blockSize <= 0;
    while (!failed) {
        if (data.size() + blockSize > MaximumStreamSize) {
            failed = true;
            break;
        }
        const qsizetype before = data.size();
        data.resize(before + blockSize);
        const qsizetype got = read(data.data() + before, blockSize);
        if (got < 0 || got > blockSize) {
            failed = true;
            break;
        }
        data.resize(before + got);
        if (got == 0)
            break;
    }
    if (failed) {
        if (report) {
            *report = RtfReadReport();
            report->error
                = QCoreApplication::translate("RichEdit::RtfCodec", "The rich text could not be read.");
        }
        return false;
    }
    return RtfReader::read(data, document, report);
}

QByteArray RtfCodec::toRtf(const QTextDocument &document)
{
    return RtfWriter::write(document);
}

bool RtfCodec::fromRtf(QTextDocument &document, const QByteArray &rtf, RtfReadReport *report)
{
    return RtfReader::read(rtf, document, report);
}

} // namespace RichEdit
