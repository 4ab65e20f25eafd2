#pragma once

#include "richedit_export.h"

#include <QtCore/QByteArray>

class QTextDocument;

namespace RichEdit {

// Writes a document as RTF: fonts and colours, character and paragraph
// formats, bullets and numbering (the legacy \pn form every reader knows),
// tabs, line breaks and all of Unicode (code page 1252 as \'hh, the rest as
// \uN with a '?' fallback). Every embedded object is written as exactly one
// blank, so text positions survive a round trip through the reader.
class RICHEDIT_EXPORT RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);
};

// The code page 1252 byte for a character, or 0 when it has none.
RICHEDIT_EXPORT unsigned char toCodePage1252(char16_t ch);
// The character of a code page 1252 byte (undefined bytes map to themselves).
RICHEDIT_EXPORT char16_t fromCodePage1252(unsigned char byte);

} // namespace RichEdit
