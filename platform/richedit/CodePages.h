#pragma once

#include "richedit_export.h"

#include <QtCore/QByteArrayView>
#include <QtCore/QString>

#include <array>
#include <memory>

class QStringDecoder;

namespace RichEdit {

// Code pages that are not Windows code page numbers: the symbol fonts, whose
// bytes name glyphs rather than characters.
inline constexpr int SymbolCodePage = 42; // the Symbol font (Greek and mathematics)
inline constexpr int WingdingsCodePage = -2; // Wingdings: a few glyphs have Unicode equivalents
inline constexpr int OtherSymbolCodePage = -3; // any other symbol font: private-use characters

// The code page a font's character set stands for, 0 when the font takes the
// document's code page (character set 1, "default", and unknown values).
RICHEDIT_EXPORT int codePageOfCharset(int charset);
// The code page of a symbol font (character set 2) by the font's name.
RICHEDIT_EXPORT int symbolCodePageOfFont(const QString &fontName);

// Turns bytes of one code page into text. Single-byte code pages go through a
// table; double-byte ones know their lead bytes so that a character split by
// the writer into two \'hh escapes, or into an escape and a plain byte, is
// put together again. A code page this system cannot decode gives one
// replacement character per byte.
class RICHEDIT_EXPORT ByteDecoder
{
public:
    enum class Kind {
        SingleByte, // one byte, one character; bytes below 0x80 are ASCII
        Symbol, // one byte, one character, ASCII bytes included
        DoubleByte, // lead bytes take the next byte as their trail
        MultiByte, // stateful: runs of bytes from 0x80 up decode together (UTF-8 and the like)
        Unavailable, // no decoder here
    };

    explicit ByteDecoder(int codePage);
    ~ByteDecoder();
    ByteDecoder(const ByteDecoder &) = delete;
    ByteDecoder &operator=(const ByteDecoder &) = delete;

    int codePage() const { return m_codePage; }
    Kind kind() const { return m_kind; }
    bool isLeadByte(unsigned char byte) const { return m_lead[byte]; }
    // Bytes below 0x80 that are not escaped stand for themselves.
    bool asciiCompatible() const { return m_kind != Kind::Symbol; }
    // The character of one byte of a single-byte or symbol code page.
    char16_t character(unsigned char byte) const { return m_table[byte]; }
    // Decodes a run of bytes (whole double-byte characters and single bytes)
    // onto out; a lone lead byte and an invalid sequence become U+FFFD.
    void decode(QByteArrayView bytes, QString &out) const;

private:
    void decodeJohab(QByteArrayView bytes, QString &out) const;

    int m_codePage;
    Kind m_kind = Kind::Unavailable;
    std::array<char16_t, 256> m_table {};
    std::array<bool, 256> m_lead {};
    std::unique_ptr<QStringDecoder> m_decoder;
    std::unique_ptr<QStringDecoder> m_korean; // Johab's non-Hangul rows go through EUC-KR
};

} // namespace RichEdit
