#include "richedit/RtfWriter.h"

#include "richedit/EmbeddedObjects.h"
#include "richedit/TextFormats.h"

#include <QtCore/QHash>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

#include <vector>

namespace RichEdit {

namespace {

// Code page 1252 bytes 0x80..0x9f; zero where the code page has a hole.
constexpr char16_t Cp1252High[32] = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

} // namespace

unsigned char toCodePage1252(char16_t ch)
{
    if (ch >= 0xA0 && ch <= 0xFF)
        return static_cast<unsigned char>(ch);
    if (ch < 0x80)
        return 0;
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

char16_t fromCodePage1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && Cp1252High[byte - 0x80] != 0)
        return Cp1252High[byte - 0x80];
    return byte;
}

namespace {

struct RunState
{
    int font = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int valign = 0; // 0 normal, 1 superscript, 2 subscript
    int foreground = 0; // colour table index, 0 automatic
    int background = 0;
    bool object = false; // written as blanks, never compared
};

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
        , m_defaultFont(document.defaultFont())
    {
        fontIndex(m_defaultFont.family());
    }

    QByteArray run()
    {
        // Room for escapes and paragraph words, so the buffer is not moved while it grows.
        m_body.reserve(qsizetype(m_document.characterCount()) * 3 / 2 + m_document.blockCount() * 48 + 4096);
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            writeBlock(block);
        QByteArray out;
        out.reserve(m_body.size() + 512);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f";
            appendNumber(out, i);
            out += "\\fnil\\fcharset0 ";
            appendFontName(out, m_fonts.at(i));
            out += ";}";
        }
        out += "}{\\colortbl ;";
        for (const QRgb rgb : std::as_const(m_colors)) {
            out += "\\red";
            appendNumber(out, qRed(rgb));
            out += "\\green";
            appendNumber(out, qGreen(rgb));
            out += "\\blue";
            appendNumber(out, qBlue(rgb));
            out += ';';
        }
        out += "}\\viewkind4\r\n";
        out += m_body;
        out += "}\r\n";
        return out;
    }

private:
    static void appendNumber(QByteArray &out, qint64 value)
    {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        quint64 magnitude = negative ? quint64(-(value + 1)) + 1 : quint64(value);
        do {
            digits[n++] = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (negative)
            out += '-';
        while (n)
            out += digits[--n];
    }

    void word(const char *controlWord, qint64 value)
    {
        m_body += controlWord;
        appendNumber(m_body, value);
    }

    int fontIndex(const QString &family)
    {
        const auto it = m_fontIndex.constFind(family);
        if (it != m_fontIndex.cend())
            return *it;
        const int index = int(m_fonts.size());
        m_fonts.append(family);
        m_fontIndex.insert(family, index);
        return index;
    }

    int colorIndex(const QTextFormat &format, int property)
    {
        if (!format.hasProperty(property))
            return 0;
        const QBrush brush = format.brushProperty(property);
        if (brush.style() == Qt::NoBrush)
            return 0;
        const QRgb rgb = brush.color().rgb() | 0xff000000u;
        const auto it = m_colorIndex.constFind(rgb);
        if (it != m_colorIndex.cend())
            return *it;
        m_colors.append(rgb);
        const int index = int(m_colors.size());
        m_colorIndex.insert(rgb, index);
        return index;
    }

    // Text of font tables: no escapes beyond those RTF needs, ';' ends a name.
    static void appendFontName(QByteArray &out, const QString &name)
    {
        for (const QChar ch : name) {
            const char16_t u = ch.unicode();
            if (u == ';')
                continue;
            appendChar(out, u);
        }
    }

    static void appendChar(QByteArray &out, char16_t u)
    {
        if (u >= 0x20 && u < 0x80) {
            if (u == '\\' || u == '{' || u == '}')
                out += '\\';
            out += char(u);
            return;
        }
        if (u < 0x20) {
            // Control characters have no place in rich text; keep the position.
            out += ' ';
            return;
        }
        if (const unsigned char byte = toCodePage1252(u)) {
            static const char hex[] = "0123456789abcdef";
            out += "\\'";
            out += hex[byte >> 4];
            out += hex[byte & 0xf];
            return;
        }
        out += "\\u";
        appendNumber(out, qint16(u));
        out += '?';
    }

    void writeParagraphFormat(const QTextBlock &block)
    {
        // Paragraphs outside lists with one format write the same words.
        const QTextList *list = block.textList();
        const int index = block.blockFormatIndex();
        if (!list) {
            const auto cached = m_paragraphWords.constFind(index);
            if (cached != m_paragraphWords.cend()) {
                m_body += *cached;
                return;
            }
        }
        const qsizetype start = m_body.size();
        const QTextBlockFormat format = block.blockFormat();
        m_body += "\\pard";
        if (list)
            writeNumbering(block, *list);
        switch (horizontalAlignment(format)) {
        case Qt::AlignHCenter:
            m_body += "\\qc";
            break;
        case Qt::AlignRight:
            m_body += "\\qr";
            break;
        case Qt::AlignJustify:
            m_body += "\\qj";
            break;
        default:
            break;
        }
        if (const int li = pixelsToTwips(format.leftMargin()))
            word("\\li", li);
        if (const int fi = pixelsToTwips(format.textIndent()))
            word("\\fi", fi);
        if (const int ri = pixelsToTwips(format.rightMargin()))
            word("\\ri", ri);
        if (const int sb = pixelsToTwips(format.topMargin()))
            word("\\sb", sb);
        if (const int sa = pixelsToTwips(format.bottomMargin()))
            word("\\sa", sa);
        for (const QTextOption::Tab &tab : format.tabPositions()) {
            if (tab.type == QTextOption::CenterTab)
                m_body += "\\tqc";
            else if (tab.type == QTextOption::RightTab)
                m_body += "\\tqr";
            else if (tab.type == QTextOption::DelimiterTab)
                m_body += "\\tqdec";
            word("\\tx", pixelsToTwips(tab.position));
        }
        if (const int shading = colorIndex(format, QTextFormat::BackgroundBrush))
            word("\\cbpat", shading);
        // A space ends the last control word; after a group it would be text.
        if (!m_body.endsWith('}'))
            m_body += ' ';
        if (!list)
            m_paragraphWords.insert(index, m_body.sliced(start));
    }

    void writeNumbering(const QTextBlock &block, const QTextList &list)
    {
        const QTextListFormat format = list.format();
        const ParagraphFormat::NumberingKind kind = numberingKindFor(format.style());
        const int tab = format.intProperty(ListNumberingTabProperty);
        if (kind == ParagraphFormat::NumberingKind::Bullet) {
            m_body += "{\\pntext\\u8226?\\tab}{\\*\\pn\\pnlvlblt";
            word("\\pnindent", tab);
            m_body += "{\\pntxtb\\u8226?}}";
            return;
        }
        m_body += "{\\pntext ";
        for (const QChar ch : list.itemText(block))
            appendChar(m_body, ch.unicode());
        m_body += "\\tab}{\\*\\pn\\pnlvlbody";
        word("\\pnindent", tab);
        word("\\pnstart",
            format.hasProperty(ListNumberingStartProperty) ? format.intProperty(ListNumberingStartProperty)
                                                           : 1);
        switch (kind) {
        case ParagraphFormat::NumberingKind::LowerLetter:
            m_body += "\\pnlcltr";
            break;
        case ParagraphFormat::NumberingKind::UpperLetter:
            m_body += "\\pnucltr";
            break;
        case ParagraphFormat::NumberingKind::LowerRoman:
            m_body += "\\pnlcrm";
            break;
        case ParagraphFormat::NumberingKind::UpperRoman:
            m_body += "\\pnucrm";
            break;
        default:
            m_body += "\\pndec";
        }
        m_body += "{\\pntxta.}}";
    }

    RunState stateOf(const QTextCharFormat &format)
    {
        RunState state;
        const QString family = fontFamilyOf(format);
        state.font = family.isEmpty() ? 0 : fontIndex(family);
        double points = m_defaultFont.pointSizeF();
        if (format.hasProperty(QTextFormat::FontPointSize))
            points = format.fontPointSize();
        else if (format.hasProperty(QTextFormat::FontPixelSize))
            points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
        state.halfPoints = points > 0 ? qRound(points * 2) : 24;
        state.bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                                 : m_defaultFont.bold();
        state.italic
            = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : m_defaultFont.italic();
        state.underline = format.fontUnderline();
        state.strike = format.fontStrikeOut();
        switch (format.verticalAlignment()) {
        case QTextCharFormat::AlignSuperScript:
            state.valign = 1;
            break;
        case QTextCharFormat::AlignSubScript:
            state.valign = 2;
            break;
        default:
            state.valign = 0;
        }
        state.foreground = colorIndex(format, QTextFormat::ForegroundBrush);
        state.background = colorIndex(format, QTextFormat::BackgroundBrush);
        return state;
    }

    void switchTo(const RunState &next)
    {
        const size_t before = size_t(m_body.size());
        if (next.font != m_state.font)
            word("\\f", next.font);
        if (next.halfPoints != m_state.halfPoints)
            word("\\fs", next.halfPoints);
        if (next.bold != m_state.bold || !m_started)
            m_body += next.bold ? "\\b" : "\\b0";
        if (next.italic != m_state.italic || !m_started)
            m_body += next.italic ? "\\i" : "\\i0";
        if (next.underline != m_state.underline)
            m_body += next.underline ? "\\ul" : "\\ulnone";
        if (next.strike != m_state.strike)
            m_body += next.strike ? "\\strike" : "\\strike0";
        if (next.valign != m_state.valign)
            m_body += next.valign == 1 ? "\\super" : next.valign == 2 ? "\\sub" : "\\nosupersub";
        if (next.foreground != m_state.foreground)
            word("\\cf", next.foreground);
        if (next.background != m_state.background)
            word("\\highlight", next.background);
        if (size_t(m_body.size()) != before)
            m_body += ' ';
        m_state = next;
        m_started = true;
    }

    // The run state of a format, looked up by the format's index in the document.
    const RunState &cachedState(const QTextFragment &fragment)
    {
        const int index = fragment.charFormatIndex();
        if (index >= 0 && size_t(index) < m_stateOfFormat.size() && m_stateOfFormat[size_t(index)].known)
            return m_stateOfFormat[size_t(index)].state;
        const QTextCharFormat format = fragment.charFormat();
        RunState state = stateOf(format);
        state.object = isEmbeddedObject(format);
        if (index < 0)
            return m_uncached = state;
        if (size_t(index) >= m_stateOfFormat.size())
            m_stateOfFormat.resize(size_t(index) + 1);
        m_stateOfFormat[size_t(index)] = { state, true };
        return m_stateOfFormat[size_t(index)].state;
    }

    void writeText(const QString &text, bool object)
    {
        const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
        const qsizetype size = text.size();
        qsizetype i = 0;
        while (i < size) {
            // Most text is plain ASCII: copy a run of it in one go, escape the rest.
            qsizetype end = i;
            while (end < size && !object && in[end] >= 0x20 && in[end] < 0x80 && in[end] != '\\'
                && in[end] != '{' && in[end] != '}')
                ++end;
            if (end > i) {
                const qsizetype start = m_body.size();
                m_body.resize(start + (end - i));
                char *out = m_body.data() + start;
                for (qsizetype k = i; k < end; ++k)
                    *out++ = char(in[k]);
                i = end;
                continue;
            }
            writeSpecial(in[i], object);
            ++i;
        }
    }

    void writeSpecial(char16_t u, bool object)
    {
        switch (u) {
        case u'\t':
            m_body += "\\tab ";
            break;
        case 0x2028: // QChar::LineSeparator
            m_body += "\\line ";
            break;
        case 0x00A0:
            m_body += "\\~";
            break;
        case 0xFFFC: // QChar::ObjectReplacementCharacter
            m_body += ' ';
            break;
        default:
            if (object)
                m_body += ' ';
            else
                appendChar(m_body, u);
        }
    }

    void writeBlock(const QTextBlock &block)
    {
        writeParagraphFormat(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const RunState &state = cachedState(fragment);
            switchTo(state);
            writeText(fragment.text(), state.object);
        }
        m_body += "\\par\r\n";
    }

    struct CachedState
    {
        RunState state;
        bool known = false;
    };
    std::vector<CachedState> m_stateOfFormat;
    QHash<int, QByteArray> m_paragraphWords;
    RunState m_uncached;

    const QTextDocument &m_document;
    const QFont m_defaultFont;
    QByteArray m_body;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    RunState m_state;
    bool m_started = false;
};

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace RichEdit
