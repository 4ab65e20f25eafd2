#pragma once

#include "richedit/RtfReadReport.h"
#include "richedit_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

class QTextDocument;

namespace RichEdit {

// Reads RTF written by this codec and by word processors into a document.
// Every piece of visible text arrives: field results, table cells (a tab
// between cells, a paragraph per row), footnotes and comments in brackets where
// they stood, headers, footers and text boxes as paragraphs, text in unknown
// control words' groups; bytes are decoded in the code page of their font's
// character set. Pictures, objects' data and ignorable destinations carry no
// text and are left out. Damaged input loads what can be read, and the report
// says what was approximated and whether text may be missing.
class RICHEDIT_EXPORT RtfReader
{
public:
    // Replaces the content of document with data. Data that is not RTF at
    // all (empty, or not beginning with "{\rtf") leaves the document untouched
    // and returns false with report->error saying why.
    static bool read(const QByteArray &data, QTextDocument &document, RtfReadReport *report = nullptr);

    // Whether data begins as RTF does (after white space or a UTF-8 mark).
    static bool isRtf(const QByteArray &data);
    // Bytes that could not be read as RTF, as text to show read-only.
    static QString asPlainText(const QByteArray &data);

    // Groups nested deeper than this are read as if they were not groups.
    static constexpr int MaximumDepth = 1024;
};

} // namespace RichEdit
