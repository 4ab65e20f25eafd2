#include "richedit/TextFormats.h"

#include <QtGui/QFont>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

namespace RichEdit {

namespace {

std::optional<QColor> brushColor(const QTextFormat &format, int property)
{
    if (!format.hasProperty(property))
        return std::nullopt;
    const QBrush brush = format.brushProperty(property);
    if (brush.style() == Qt::NoBrush)
        return std::nullopt;
    return brush.color();
}

int pointSizeTwips(const QTextCharFormat &format, const QFont &defaultFont)
{
    if (format.hasProperty(QTextFormat::FontPointSize))
        return qRound(format.fontPointSize() * TwipsPerPoint);
    if (format.hasProperty(QTextFormat::FontPixelSize))
        return qRound(format.intProperty(QTextFormat::FontPixelSize) * 0.75 * TwipsPerPoint);
    return qRound(defaultFont.pointSizeF() * TwipsPerPoint);
}

} // namespace

QString fontFamilyOf(const QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

CharFormat CharFormat::fromQt(const QTextCharFormat &format, const QFont &defaultFont)
{
    CharFormat result;
    result.mask = AllFields;
    result.face = fontFamilyOf(format);
    if (result.face.isEmpty())
        result.face = defaultFont.family();
    result.sizeTwips = pointSizeTwips(format, defaultFont);
    result.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                              : defaultFont.bold();
    result.italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic();
    result.underline = format.fontUnderline();
    result.textColor = brushColor(format, QTextFormat::ForegroundBrush);
    result.backgroundColor = brushColor(format, QTextFormat::BackgroundBrush);
    return result;
}

void CharFormat::applyTo(QTextCharFormat &format) const
{
    if (mask & Face)
        format.setFontFamilies({ face });
    if (mask & Size)
        format.setFontPointSize(double(sizeTwips) / TwipsPerPoint);
    if (mask & Bold)
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    if (mask & Italic)
        format.setFontItalic(italic);
    if (mask & Underline)
        format.setFontUnderline(underline);
    if (mask & TextColor) {
        if (textColor)
            format.setForeground(*textColor);
        else
            format.clearForeground();
    }
    if (mask & BackgroundColor) {
        if (backgroundColor)
            format.setBackground(*backgroundColor);
        else
            format.clearBackground();
    }
}

Qt::Alignment horizontalAlignment(const QTextBlockFormat &format)
{
    return format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
}

int listStyleFor(ParagraphFormat::NumberingKind kind)
{
    switch (kind) {
    case ParagraphFormat::NumberingKind::Bullet:
        return QTextListFormat::ListDisc;
    case ParagraphFormat::NumberingKind::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case ParagraphFormat::NumberingKind::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case ParagraphFormat::NumberingKind::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case ParagraphFormat::NumberingKind::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case ParagraphFormat::NumberingKind::Arabic:
    case ParagraphFormat::NumberingKind::None:
        break;
    }
    return QTextListFormat::ListDecimal;
}

ParagraphFormat::NumberingKind numberingKindFor(int listStyle)
{
    switch (listStyle) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return ParagraphFormat::NumberingKind::Bullet;
    case QTextListFormat::ListLowerAlpha:
        return ParagraphFormat::NumberingKind::LowerLetter;
    case QTextListFormat::ListUpperAlpha:
        return ParagraphFormat::NumberingKind::UpperLetter;
    case QTextListFormat::ListLowerRoman:
        return ParagraphFormat::NumberingKind::LowerRoman;
    case QTextListFormat::ListUpperRoman:
        return ParagraphFormat::NumberingKind::UpperRoman;
    default:
        return ParagraphFormat::NumberingKind::Arabic;
    }
}

ParagraphFormat ParagraphFormat::fromBlock(const QTextBlock &block)
{
    ParagraphFormat result;
    result.mask = AllFields;
    const QTextBlockFormat format = block.blockFormat();
    // First line at startIndent, later lines offset further: left margin = start + offset.
    result.offset = pixelsToTwips(-format.textIndent());
    result.startIndent = pixelsToTwips(format.leftMargin()) - result.offset;
    switch (horizontalAlignment(format)) {
    case Qt::AlignHCenter:
        result.alignment = Align::Center;
        break;
    case Qt::AlignRight:
        result.alignment = Align::Right;
        break;
    case Qt::AlignJustify:
        result.alignment = Align::Justify;
        break;
    default:
        result.alignment = Align::Left;
    }
    result.shading = brushColor(format, QTextFormat::BackgroundBrush);
    if (const QTextList *list = block.textList()) {
        const QTextListFormat listFormat = list->format();
        result.numbering = numberingKindFor(listFormat.style());
        if (listFormat.hasProperty(ListNumberingStartProperty))
            result.numberingStart = listFormat.intProperty(ListNumberingStartProperty);
        result.numberingTab = listFormat.intProperty(ListNumberingTabProperty);
    }
    return result;
}

CharFormat selectionCharFormat(const QTextCursor &cursor, const QFont &defaultFont)
{
    if (!cursor.hasSelection())
        return CharFormat::fromQt(cursor.charFormat(), defaultFont);
    const QTextDocument *document = cursor.document();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<CharFormat> combined;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            const CharFormat current = CharFormat::fromQt(fragment.charFormat(), defaultFont);
            if (!combined) {
                combined = current;
                continue;
            }
            CharFormat &c = *combined;
            if (c.face != current.face)
                c.mask &= ~CharFormat::Face;
            if (c.sizeTwips != current.sizeTwips)
                c.mask &= ~CharFormat::Size;
            if (c.bold != current.bold)
                c.mask &= ~CharFormat::Bold;
            if (c.italic != current.italic)
                c.mask &= ~CharFormat::Italic;
            if (c.underline != current.underline)
                c.mask &= ~CharFormat::Underline;
            if (c.textColor != current.textColor)
                c.mask &= ~CharFormat::TextColor;
            if (c.backgroundColor != current.backgroundColor)
                c.mask &= ~CharFormat::BackgroundColor;
        }
    }
    // A selection of paragraph marks only has the format at its start.
    return combined ? *combined : CharFormat::fromQt(cursor.charFormat(), defaultFont);
}

ParagraphFormat selectionParagraphFormat(const QTextCursor &cursor)
{
    const QTextDocument *document = cursor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    ParagraphFormat combined = ParagraphFormat::fromBlock(first);
    for (QTextBlock block = first.next(); block.isValid() && block.blockNumber() <= last.blockNumber();
         block = block.next()) {
        const ParagraphFormat current = ParagraphFormat::fromBlock(block);
        if (current.numbering != combined.numbering)
            combined.mask &= ~ParagraphFormat::Numbering;
        if (current.numberingStart != combined.numberingStart)
            combined.mask &= ~ParagraphFormat::NumberingStart;
        if (current.numberingTab != combined.numberingTab)
            combined.mask &= ~ParagraphFormat::NumberingTab;
        if (current.startIndent != combined.startIndent)
            combined.mask &= ~ParagraphFormat::StartIndent;
        if (current.offset != combined.offset)
            combined.mask &= ~ParagraphFormat::Offset;
        if (current.alignment != combined.alignment)
            combined.mask &= ~ParagraphFormat::Alignment;
        if (current.shading != combined.shading)
            combined.mask &= ~ParagraphFormat::Shading;
    }
    return combined;
}

void applyParagraphFormat(QTextCursor cursor, const ParagraphFormat &format)
{
    QTextDocument *document = cursor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    QTextList *newList = nullptr;
    for (QTextBlock block = first; block.isValid() && block.blockNumber() <= last.blockNumber();
         block = block.next()) {
        const ParagraphFormat current = ParagraphFormat::fromBlock(block);
        QTextCursor at(block);
        QTextBlockFormat blockFormat = block.blockFormat();
        const int startIndent
            = (format.mask & ParagraphFormat::StartIndent) ? format.startIndent : current.startIndent;
        const int offset = (format.mask & ParagraphFormat::Offset) ? format.offset : current.offset;
        blockFormat.setLeftMargin(twipsToPixels(startIndent + offset));
        blockFormat.setTextIndent(twipsToPixels(-offset));
        if (format.mask & ParagraphFormat::Alignment) {
            static constexpr Qt::Alignment alignments[] = { Qt::AlignLeft | Qt::AlignAbsolute,
                Qt::AlignHCenter, Qt::AlignRight | Qt::AlignAbsolute, Qt::AlignJustify };
            blockFormat.setAlignment(alignments[int(format.alignment)]);
        }
        if (format.mask & ParagraphFormat::Shading) {
            if (format.shading)
                blockFormat.setBackground(*format.shading);
            else
                blockFormat.clearBackground();
        }
        at.setBlockFormat(blockFormat);

        const bool numberingChanges = (format.mask & ParagraphFormat::Numbering)
            || (current.numbering != ParagraphFormat::NumberingKind::None
                && (format.mask & (ParagraphFormat::NumberingStart | ParagraphFormat::NumberingTab)));
        if (!numberingChanges)
            continue;
        const ParagraphFormat::NumberingKind kind
            = (format.mask & ParagraphFormat::Numbering) ? format.numbering : current.numbering;
        if (QTextList *list = block.textList()) {
            list->remove(block);
            // Leaving a list would otherwise keep its indent as a block indent.
            QTextBlockFormat unlisted = block.blockFormat();
            unlisted.setIndent(0);
            at.setBlockFormat(unlisted);
        }
        if (kind == ParagraphFormat::NumberingKind::None)
            continue;
        if (!newList) {
            QTextListFormat listFormat;
            listFormat.setStyle(QTextListFormat::Style(listStyleFor(kind)));
            listFormat.setIndent(1);
            listFormat.setProperty(ListNumberingStartProperty,
                (format.mask & ParagraphFormat::NumberingStart) ? format.numberingStart
                                                                : current.numberingStart);
            listFormat.setProperty(ListNumberingTabProperty,
                (format.mask & ParagraphFormat::NumberingTab) ? format.numberingTab : current.numberingTab);
            newList = at.createList(listFormat);
        } else {
            newList->add(block);
        }
    }
    cursor.endEditBlock();
}

} // namespace RichEdit
