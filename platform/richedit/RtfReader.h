#pragma once

#include "richedit_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

class QTextDocument;

namespace RichEdit {

// Reads RTF written by this codec and by word processors into a document.
// Unknown destinations and control words are skipped, pictures, objects' data,
// headers and footers are left out, tables come in as plain paragraphs and
// lists as the numbering Qt offers. Damaged input loads what can be read; a
// byte sequence that is not RTF at all leaves the document empty.
class RICHEDIT_EXPORT RtfReader
{
public:
    // Replaces the content of document; false (document empty) when data is not RTF.
    static bool read(const QByteArray &data, QTextDocument &document, QString *error = nullptr);

    // Groups nested deeper than this are read as if they were not groups.
    static constexpr int MaximumDepth = 1024;
};

} // namespace RichEdit
