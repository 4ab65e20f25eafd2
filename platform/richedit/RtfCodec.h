#pragma once

#include "richedit/RtfReadReport.h"
#include "richedit_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>

class QTextDocument;

namespace RichEdit {

// Receives the next block of a stream out; false stops the stream with an error.
using StreamOutCallback = std::function<bool(const char *data, qsizetype size)>;
// Fills buffer with at most capacity bytes and returns how many; 0 ends the
// stream, a negative count is an error.
using StreamInCallback = std::function<qsizetype(char *buffer, qsizetype capacity)>;

// RTF streaming of a document in blocks, the way the rich-edit control hands
// its content to and from its callers. Works on a bare QTextDocument.
class RICHEDIT_EXPORT RtfCodec
{
public:
    static constexpr qsizetype DefaultBlockSize = 4096;
    // Larger input is refused rather than held in memory.
    static constexpr qsizetype MaximumStreamSize = qsizetype(512) * 1024 * 1024;

    static bool streamOut(const QTextDocument &document, const StreamOutCallback &write,
        qsizetype blockSize = DefaultBlockSize);
    // Reads the whole stream, then replaces the document's content with it.
    // On a stream error, or when the bytes are not RTF, false: the document is
    // untouched and report->error says why. Otherwise report says what could
    // not be represented (RtfReader).
    static bool streamIn(QTextDocument &document, const StreamInCallback &read,
        qsizetype blockSize = DefaultBlockSize, RtfReadReport *report = nullptr);

    // Whole-array conveniences.
    static QByteArray toRtf(const QTextDocument &document);
    static bool fromRtf(QTextDocument &document, const QByteArray &rtf, RtfReadReport *report = nullptr);
};

} // namespace RichEdit
