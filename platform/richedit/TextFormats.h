#pragma once

#include "richedit_export.h"

#include <QtCore/QFlags>
#include <QtGui/QColor>
#include <QtGui/QTextFormat>

#include <optional>

class QTextCursor;
class QTextBlock;
class QFont;

namespace RichEdit {

// Layout units are pixels at 96 dots per inch: 15 twips each.
inline constexpr double TwipsPerPixel = 15.0;
inline constexpr int TwipsPerPoint = 20;
inline double twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}
inline int pixelsToTwips(double pixels)
{
    return qRound(pixels * TwipsPerPixel);
}

// List properties Qt has no field for, kept for the paragraph format and RTF.
inline constexpr int ListNumberingTabProperty = QTextFormat::UserProperty + 10;
inline constexpr int ListNumberingStartProperty = QTextFormat::UserProperty + 11;

// A character format as the formatting commands see it; mask says which
// fields are set (when applying) or the same over the whole selection (when read).
struct RICHEDIT_EXPORT CharFormat
{
    enum Field {
        Face = 0x1,
        Size = 0x2,
        Bold = 0x4,
        Italic = 0x8,
        Underline = 0x10,
        TextColor = 0x20,
        BackgroundColor = 0x40,
        AllFields = 0x7f
    };
    Q_DECLARE_FLAGS(Fields, Field)

    Fields mask;
    QString face;
    int sizeTwips = 200;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<QColor> textColor; // empty: automatic
    std::optional<QColor> backgroundColor; // empty: automatic (none)

    static CharFormat fromQt(const QTextCharFormat &format, const QFont &defaultFont);
    // Merges the masked fields into format.
    void applyTo(QTextCharFormat &format) const;
};

struct RICHEDIT_EXPORT ParagraphFormat
{
    enum Field {
        Numbering = 0x1,
        NumberingStart = 0x2,
        NumberingTab = 0x4,
        StartIndent = 0x8,
        Offset = 0x10,
        Alignment = 0x20,
        Shading = 0x40,
        AllFields = 0x7f
    };
    Q_DECLARE_FLAGS(Fields, Field)
    // The numbering kinds a paragraph can carry.
    enum class NumberingKind { None, Bullet, Arabic, LowerLetter, UpperLetter, LowerRoman, UpperRoman };
    enum class Align { Left, Center, Right, Justify };

    Fields mask;
    NumberingKind numbering = NumberingKind::None;
    int numberingStart = 1;
    int numberingTab = 0; // twips between the number and the text
    int startIndent = 0; // twips, first line
    int offset = 0; // twips, later lines relative to the first
    Align alignment = Align::Left;
    std::optional<QColor> shading; // empty: none

    static ParagraphFormat fromBlock(const QTextBlock &block);
};

// The character format of the selection of cursor (of the insertion point
// when nothing is selected), with the mask of the fields that agree.
RICHEDIT_EXPORT CharFormat selectionCharFormat(const QTextCursor &cursor, const QFont &defaultFont);
// The paragraph format of the paragraphs the selection touches, likewise.
RICHEDIT_EXPORT ParagraphFormat selectionParagraphFormat(const QTextCursor &cursor);
// Applies the masked fields to every paragraph the selection touches, as one undo step.
RICHEDIT_EXPORT void applyParagraphFormat(QTextCursor cursor, const ParagraphFormat &format);

// The family a character format names, if any.
RICHEDIT_EXPORT QString fontFamilyOf(const QTextCharFormat &format);

// The horizontal alignment of a block format, without the absolute flag.
RICHEDIT_EXPORT Qt::Alignment horizontalAlignment(const QTextBlockFormat &format);

RICHEDIT_EXPORT int listStyleFor(ParagraphFormat::NumberingKind kind);
RICHEDIT_EXPORT ParagraphFormat::NumberingKind numberingKindFor(int listStyle);

} // namespace RichEdit

Q_DECLARE_OPERATORS_FOR_FLAGS(RichEdit::CharFormat::Fields)
Q_DECLARE_OPERATORS_FOR_FLAGS(RichEdit::ParagraphFormat::Fields)
