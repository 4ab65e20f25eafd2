#include "richedit/RtfReader.h"

#include "richedit/CodePages.h"
#include "richedit/RtfWriter.h"
#include "richedit/TextFormats.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QSet>
#include <QtCore/QStringDecoder>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RichEdit {

namespace {

// Keeps hostile numbers inside what layout and fonts can take.
constexpr int MaxTwips = 31680 * 2;
constexpr int MaxHalfPoints = 3276;
constexpr int MaxTabStops = 64;
constexpr int MaxNameLength = 256;
// Bounds on what a field instruction, a bracketed note or an open field list may hold.
constexpr int MaxInstructionLength = 2048;
constexpr int MaxCollectedLength = 1 << 20;
constexpr int MaxOpenFields = 64;

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    LegacyNumbering,
    FieldInstruction, // collected into the open field's instruction
    Collected, // notes, headers, footers and text boxes, gathered and placed when their group closes
    AnnotationAuthor,
    Shape, // nothing shows but the shape's text box
    NestedTableProperties, // nothing shows, but the nested row ends here
    UnicodeAlternative, // \upr: the ANSI half is skipped, the \ud half read
};

// What a collected group is; it decides how its text is placed.
enum class Collection { Footnote, Endnote, Annotation, Header, Footer, TextBox };

// clang-format off
enum class Kw {
    Unknown,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    // destinations
    FontTable, ColorTable, ListTable, ListOverrideTable, Pn, SkipDestination,
    Field, FldInst, FldRslt, Footnote, FtnAlt, Annotation, AtnAuthor, Header, Footer, Shp, ShpInst, ShpTxt,
    DrawingObject, DpTxbxText, Pict, ShpPict, Object, Upr, Ud, NestTableProps,
    // font and colour tables
    CharSet, CodePage, Red, Green, Blue,
    // list tables
    List, ListId, ListLevel, LevelNfc, LevelStartAt, ListOverride, Ls, Ilvl,
    // legacy numbering
    PnLvlBlt, PnLvlBody, PnLvl, PnDec, PnUcLtr, PnLcLtr, PnUcRm, PnLcRm, PnStart, PnIndent,
    // characters
    Plain, F, Fs, B, I, Ul, UlNone, Strike, Super, Sub, NoSuperSub, Cf, Cb, Highlight,
    // paragraphs
    Pard, Par, Line, Tab, Cell, Row, Page, Sect, Column, Ql, Qc, Qr, Qj, Li, Fi, Ri, Sb, Sa, Tx, Tqc, Tqr, Tqdec, Cbpat,
    // special characters
    Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote, Enspace, Emspace, Qmspace, Zwj, Zwnj, LtrMark, RtlMark,
};
// clang-format on

const std::unordered_map<std::string_view, Kw> &keywords()
{
    // clang-format off
    static const std::unordered_map<std::string_view, Kw> table = [] {
        std::unordered_map<std::string_view, Kw> t {
            { "rtf", Kw::Rtf }, { "ansi", Kw::Ansi }, { "mac", Kw::Mac }, { "pc", Kw::Pc }, { "pca", Kw::Pca },
            { "ansicpg", Kw::AnsiCpg }, { "deff", Kw::Deff }, { "uc", Kw::Uc }, { "u", Kw::U }, { "bin", Kw::Bin },
            { "fonttbl", Kw::FontTable }, { "colortbl", Kw::ColorTable }, { "listtable", Kw::ListTable },
            { "listoverridetable", Kw::ListOverrideTable }, { "pn", Kw::Pn },
            { "field", Kw::Field }, { "fldinst", Kw::FldInst }, { "fldrslt", Kw::FldRslt },
            { "footnote", Kw::Footnote }, { "ftnalt", Kw::FtnAlt }, { "annotation", Kw::Annotation },
            { "atnauthor", Kw::AtnAuthor }, { "header", Kw::Header }, { "headerl", Kw::Header },
            { "headerr", Kw::Header }, { "headerf", Kw::Header }, { "footer", Kw::Footer },
            { "footerl", Kw::Footer }, { "footerr", Kw::Footer }, { "footerf", Kw::Footer },
            { "shp", Kw::Shp }, { "shpinst", Kw::ShpInst }, { "shptxt", Kw::ShpTxt }, { "do", Kw::DrawingObject },
            { "dptxbxtext", Kw::DpTxbxText }, { "pict", Kw::Pict }, { "shppict", Kw::ShpPict },
            { "object", Kw::Object }, { "upr", Kw::Upr }, { "ud", Kw::Ud }, { "nesttableprops", Kw::NestTableProps },
            { "fcharset", Kw::CharSet }, { "cpg", Kw::CodePage }, { "red", Kw::Red }, { "green", Kw::Green },
            { "blue", Kw::Blue }, { "list", Kw::List }, { "listid", Kw::ListId }, { "listlevel", Kw::ListLevel },
            { "levelnfc", Kw::LevelNfc }, { "levelnfcn", Kw::LevelNfc }, { "levelstartat", Kw::LevelStartAt },
            { "listoverride", Kw::ListOverride }, { "ls", Kw::Ls }, { "ilvl", Kw::Ilvl },
            { "pnlvlblt", Kw::PnLvlBlt }, { "pnlvlbody", Kw::PnLvlBody }, { "pnlvl", Kw::PnLvl },
            { "pndec", Kw::PnDec }, { "pnucltr", Kw::PnUcLtr }, { "pnlcltr", Kw::PnLcLtr },
            { "pnucrm", Kw::PnUcRm }, { "pnlcrm", Kw::PnLcRm }, { "pnstart", Kw::PnStart },
            { "pnindent", Kw::PnIndent },
            { "plain", Kw::Plain }, { "f", Kw::F }, { "fs", Kw::Fs }, { "b", Kw::B }, { "i", Kw::I },
            { "ul", Kw::Ul }, { "ulnone", Kw::UlNone }, { "strike", Kw::Strike }, { "super", Kw::Super },
            { "sub", Kw::Sub }, { "nosupersub", Kw::NoSuperSub }, { "cf", Kw::Cf }, { "cb", Kw::Cb },
            { "chcbpat", Kw::Cb }, { "highlight", Kw::Highlight },
            { "pard", Kw::Pard }, { "par", Kw::Par }, { "line", Kw::Line }, { "tab", Kw::Tab },
            { "cell", Kw::Cell }, { "nestcell", Kw::Cell }, { "row", Kw::Row }, { "nestrow", Kw::Row },
            { "page", Kw::Page }, { "sect", Kw::Sect }, { "column", Kw::Column }, { "ql", Kw::Ql }, { "qc", Kw::Qc }, { "qr", Kw::Qr }, { "qj", Kw::Qj },
            { "li", Kw::Li }, { "fi", Kw::Fi }, { "ri", Kw::Ri }, { "sb", Kw::Sb }, { "sa", Kw::Sa },
            { "tx", Kw::Tx }, { "tqc", Kw::Tqc }, { "tqr", Kw::Tqr }, { "tqdec", Kw::Tqdec },
            { "cbpat", Kw::Cbpat },
            { "emdash", Kw::Emdash }, { "endash", Kw::Endash }, { "bullet", Kw::Bullet },
            { "lquote", Kw::Lquote }, { "rquote", Kw::Rquote }, { "ldblquote", Kw::Ldblquote },
            { "rdblquote", Kw::Rdblquote }, { "enspace", Kw::Enspace }, { "emspace", Kw::Emspace },
            { "qmspace", Kw::Qmspace }, { "zwj", Kw::Zwj }, { "zwnj", Kw::Zwnj }, { "ltrmark", Kw::LtrMark },
            { "rtlmark", Kw::RtlMark },
        };
        // Destinations whose content is not visible text: tables of the
        // document, pictures and object data, list numbers (lists are rebuilt),
        // hidden index entries, and the alternatives of things read otherwise
        // (\nonshppict, \shprslt and \nonesttables repeat what was read already).
        for (const std::string_view skipped :
             { "stylesheet", "info", "atnid", "xe", "tc", "tcn", "pntext", "listtext", "pntxta", "pntxtb",
               "revtbl", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles", "datastore",
               "xmlnstbl", "mmathPr", "filetbl", "nonshppict", "shprslt", "nonesttables", "template", "objdata",
               "objclass", "objname", "bkmkstart", "bkmkend", "userprops", "docvar", "pgdsctbl", "fchars",
               "lchars", "operator", "author", "title", "subject", "keywords", "comment", "doccomm", "company",
               "category", "buptim", "creatim", "printim", "revtim", "hlinkbase", "blipuid", "picprop", "sp",
               "sn", "sv", "txe", "private", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "panose", "falt",
               "leveltext", "levelnumbers", "listname", "formfield", "wgrffmtfilter", "ffdeftext", "atnref",
               "atndate", "atnparent", "atnicn", "atntime", "listpicture" })
            t.emplace(skipped, Kw::SkipDestination);
        return t;
    }();
    // clang-format on
    return table;
}

// The characters that control words stand for.
char16_t specialCharacter(Kw keyword)
{
    // clang-format off
    static constexpr std::pair<Kw, char16_t> characters[] = {
        { Kw::Emdash, 0x2014 }, { Kw::Endash, 0x2013 }, { Kw::Bullet, 0x2022 }, { Kw::Lquote, 0x2018 },
        { Kw::Rquote, 0x2019 }, { Kw::Ldblquote, 0x201C }, { Kw::Rdblquote, 0x201D }, { Kw::Enspace, 0x2002 },
        { Kw::Emspace, 0x2003 }, { Kw::Qmspace, 0x2005 }, { Kw::Zwj, 0x200D }, { Kw::Zwnj, 0x200C },
        { Kw::LtrMark, 0x200E }, { Kw::RtlMark, 0x200F },
    };
    // clang-format on
    for (const auto &[word, ch] : characters) {
        if (word == keyword)
            return ch;
    }
    return 0;
}

struct CharProps
{
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int valign = 0;
    int foreground = 0;
    int background = 0;

    bool operator==(const CharProps &) const = default;
};

struct ParaProps
{
    int alignment = 0; // 0 left, 1 centre, 2 right, 3 justify
    int leftIndent = 0;
    int firstIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int shading = 0;
    int tabSet = -1; // index into the reader's tab sets
    int pendingTabType = 0;
    // Numbering: the legacy form sets kind directly, the list form sets listOverride.
    ParagraphFormat::NumberingKind numbering = ParagraphFormat::NumberingKind::None;
    int numberingStart = 1;
    int numberingTab = 0;
    int listOverride = 0;
    int listLevel = 0;
};

struct State
{
    Destination destination = Destination::Text;
    // The destination the \ud half of a \upr group reads into.
    Destination unicodeAlternativeOf = Destination::Text;
    CharProps chr;
    ParaProps para;
    int unicodeSkip = 1;
    bool inObject = false; // an object's result: its pictures belong to the object
};

struct FontEntry
{
    QString name;
    int charset = -1; // -1: none given
    int codePage = 0; // \cpg, which wins over the charset; 0: none given
};

// An open \field group: its instruction, and whether its result showed anything.
struct OpenField
{
    size_t depth = 0;
    QString instruction;
    bool hasResult = false;
};

// An open group whose text is gathered and placed when it closes.
struct OpenCollection
{
    size_t depth = 0;
    Collection kind = Collection::Footnote;
    QString text;
    QString author;
};

struct ListDefinition
{
    int id = 0;
    int levels = 0;
    std::array<int, 9> nfc {};
    std::array<int, 9> start { 1, 1, 1, 1, 1, 1, 1, 1, 1 };
};

ParagraphFormat::NumberingKind numberingOfNfc(int nfc)
{
    switch (nfc) {
    case 1:
        return ParagraphFormat::NumberingKind::UpperRoman;
    case 2:
        return ParagraphFormat::NumberingKind::LowerRoman;
    case 3:
        return ParagraphFormat::NumberingKind::UpperLetter;
    case 4:
        return ParagraphFormat::NumberingKind::LowerLetter;
    case 23:
    case 255:
        return ParagraphFormat::NumberingKind::Bullet;
    default:
        return ParagraphFormat::NumberingKind::Arabic;
    }
}

class Reader
{
public:
    Reader(const QByteArray &data, QTextDocument &document, RtfReadReport &report)
        : m_data(data.constData())
        , m_end(data.constData() + data.size())
        , m_cursor(&document)
        , m_report(report)
    { }

    void run()
    {
        m_text.reserve(256);
        m_stack.reserve(64);
        m_stack.push_back(State());
        const char *p = m_data;
        while (p < m_end) {
            const char c = *p;
            switch (c) {
            case '{':
                ++p;
                pushGroup();
                break;
            case '}':
                ++p;
                popGroup();
                break;
            case '\\':
                p = controlSequence(p + 1);
                break;
            case '\r':
            case '\n':
                ++p;
                break;
            default:
                if (c == '\t') {
                    ++p;
                    control(Kw::Tab, 0, false);
                } else if (isPlainText(c) && m_unicodeSkipLeft == 0 && m_bytes.isEmpty() && !m_skipTrail
                    && state().destination == Destination::Text && decoderNow().asciiCompatible()) {
                    const char *end = p + 1;
                    while (end < m_end && isPlainText(*end))
                        ++end;
                    deliverAscii(p, end - p);
                    p = end;
                } else if (static_cast<unsigned char>(c) < 0x20) {
                    // Raw control bytes are not RTF; NUL padding after the document is expected.
                    ++p;
                    if (!m_documentClosed)
                        ++m_controlBytes;
                } else {
                    ++p;
                    textByte(static_cast<unsigned char>(c));
                }
            }
        }
        finish();
    }

private:
    State &state() { return m_stack.back(); }

    // Text bytes waiting to be decoded end here: a lone lead byte stays alone.
    void breakText()
    {
        flushBytes();
        m_skipTrail = false;
    }

    void pushGroup()
    {
        m_unicodeSkipLeft = 0;
        breakText();
        if (int(m_stack.size()) >= RtfReader::MaximumDepth) {
            ++m_overflowDepth;
            ++m_flattenedGroups;
            return;
        }
        m_stack.push_back(m_stack.back());
    }

    void popGroup()
    {
        m_unicodeSkipLeft = 0;
        breakText();
        if (m_overflowDepth > 0) {
            --m_overflowDepth;
            return;
        }
        if (m_stack.size() <= 1) {
            // A closing brace too many: what follows is read all the same.
            ++m_strayBraces;
            return;
        }
        const State closed = m_stack.back();
        m_stack.pop_back();
        if (m_stack.size() == 1)
            m_documentClosed = true;
        if (closed.destination == Destination::FontTable)
            finishFontName();
        if (closed.destination == Destination::LegacyNumbering && state().destination == Destination::Text) {
            ParaProps &para = state().para;
            para.numbering = closed.para.numbering;
            para.numberingStart = closed.para.numberingStart;
            para.numberingTab = closed.para.numberingTab;
            para.listOverride = 0;
        }
        while (!m_collections.empty() && m_collections.back().depth > m_stack.size())
            closeCollection();
        while (!m_fields.empty() && m_fields.back().depth > m_stack.size())
            closeField();
        m_charPropsDirty = true;
    }

    const char *controlSequence(const char *p)
    {
        if (p >= m_end)
            return p;
        const char c = *p;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            const char *nameStart = p;
            while (p < m_end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
                ++p;
            const std::string_view name(nameStart, size_t(std::min<ptrdiff_t>(p - nameStart, 32)));
            bool hasParameter = false;
            bool negative = false;
            qint64 value = 0;
            if (p < m_end && *p == '-') {
                negative = true;
                ++p;
            }
            while (p < m_end && *p >= '0' && *p <= '9') {
                hasParameter = true;
                if (value < 100000000000LL)
                    value = value * 10 + (*p - '0');
                ++p;
            }
            if (p < m_end && *p == ' ')
                ++p;
            value = std::clamp<qint64>(negative ? -value : value, -2147483647LL, 2147483647LL);
            const auto it = keywords().find(name);
            const Kw keyword = it == keywords().end() ? Kw::Unknown : it->second;
            if (keyword == Kw::Bin)
                return skipBinary(p, hasParameter ? value : 0);
            breakText();
            control(keyword, int(value), hasParameter);
            m_ignorableNext = false;
            return p;
        }
        ++p;
        switch (c) {
        case '\'': {
            int byte = 0;
            int digits = 0;
            while (digits < 2 && p < m_end) {
                const char h = *p;
                int v = -1;
                if (h >= '0' && h <= '9')
                    v = h - '0';
                else if (h >= 'a' && h <= 'f')
                    v = h - 'a' + 10;
                else if (h >= 'A' && h <= 'F')
                    v = h - 'A' + 10;
                if (v < 0)
                    break;
                byte = byte * 16 + v;
                ++digits;
                ++p;
            }
            if (digits == 2) {
                textByte(static_cast<unsigned char>(byte), true);
            } else if (takesText(state().destination) && m_unicodeSkipLeft == 0) {
                // A broken escape stood for a character we cannot know.
                breakText();
                ++m_undecodable;
                deliver(QChar::ReplacementCharacter);
            } else if (m_unicodeSkipLeft > 0) {
                --m_unicodeSkipLeft;
            }
            break;
        }
        case '*':
            m_ignorableNext = true;
            break;
        case '\\':
        case '{':
        case '}':
            textByte(static_cast<unsigned char>(c));
            break;
        case '~':
            textChar(0x00A0);
            break;
        case '_':
            textChar(0x2011);
            break;
        case '-':
            break; // optional hyphen: nothing to show
        case '\r':
        case '\n':
            breakText();
            control(Kw::Par, 0, false);
            break;
        default:
            break;
        }
        return p;
    }

    const char *skipBinary(const char *p, qint64 count)
    {
        if (count < 0)
            count = 0;
        if (count > m_end - p)
            m_truncated = true;
        return p + std::min<qint64>(count, m_end - p);
    }

    void startDestination(Destination destination) { state().destination = destination; }

    void control(Kw keyword, int value, bool hasParameter)
    {
        State &s = state();
        // A group marked \* whose first word we do not know is skipped whole.
        if (keyword == Kw::Unknown && m_ignorableNext)
            startDestination(Destination::Skip);
        if (s.destination == Destination::Skip)
            return;
        if (m_unicodeSkipLeft > 0 && keyword != Kw::U) {
            --m_unicodeSkipLeft;
            return;
        }
        if (keyword == Kw::Unknown)
            return;
        switch (s.destination) {
        case Destination::Shape:
            // Only the text box of a shape shows.
            if (keyword == Kw::ShpTxt || keyword == Kw::DpTxbxText)
                openCollection(Collection::TextBox);
            else if (keyword == Kw::SkipDestination || keyword == Kw::Pict)
                startDestination(Destination::Skip);
            return;
        case Destination::NestedTableProperties:
            // The row belongs to the destination around the properties (the body after a stray brace).
            if (keyword == Kw::Row)
                endRow(m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].destination : Destination::Text);
            return;
        case Destination::UnicodeAlternative:
            if (keyword == Kw::Ud)
                startDestination(s.unicodeAlternativeOf);
            return;
        case Destination::FontTable:
            fontTableControl(keyword, value);
            return;
        case Destination::ColorTable:
            colorTableControl(keyword, value);
            return;
        case Destination::ListTable:
            listTableControl(keyword, value);
            return;
        case Destination::ListOverrideTable:
            listOverrideControl(keyword, value);
            return;
        case Destination::LegacyNumbering:
            legacyNumberingControl(keyword, value, hasParameter);
            return;
        default:
            break;
        }
        CharProps &chr = s.chr;
        ParaProps &para = s.para;
        const bool on = !hasParameter || value != 0;
        switch (keyword) {
        case Kw::Ansi:
            m_codePage = 1252;
            ++m_fontGeneration;
            break;
        case Kw::Mac:
            m_codePage = 10000;
            ++m_fontGeneration;
            break;
        case Kw::Pc:
            m_codePage = 437;
            ++m_fontGeneration;
            break;
        case Kw::Pca:
            m_codePage = 850;
            ++m_fontGeneration;
            break;
        case Kw::AnsiCpg:
            m_codePage = value > 0 ? value : 1252;
            ++m_fontGeneration;
            break;
        case Kw::Deff:
            m_defaultFont = value;
            break;
        case Kw::Uc:
            s.unicodeSkip = std::clamp(value, 0, 8);
            break;
        case Kw::U:
            unicodeChar(value);
            break;
        case Kw::FontTable:
            startDestination(Destination::FontTable);
            break;
        case Kw::ColorTable:
            startDestination(Destination::ColorTable);
            m_colors.clear();
            m_colorComponents = {};
            m_colorHasComponents = false;
            break;
        case Kw::ListTable:
            startDestination(Destination::ListTable);
            break;
        case Kw::ListOverrideTable:
            startDestination(Destination::ListOverrideTable);
            break;
        case Kw::Pn:
            startDestination(Destination::LegacyNumbering);
            para.numbering = ParagraphFormat::NumberingKind::Arabic;
            para.numberingStart = 1;
            para.numberingTab = 0;
            break;
        case Kw::SkipDestination:
            startDestination(Destination::Skip);
            break;
        case Kw::Ls:
            para.listOverride = value;
            para.numbering = ParagraphFormat::NumberingKind::None;
            break;
        case Kw::Ilvl:
            para.listLevel = std::clamp(value, 0, 8);
            break;
        case Kw::Plain:
            chr = CharProps();
            break;
        case Kw::F:
            chr.font = value;
            break;
        case Kw::Fs:
            chr.halfPoints = std::clamp(hasParameter ? value : 24, 2, MaxHalfPoints);
            break;
        case Kw::B:
            chr.bold = on;
            break;
        case Kw::I:
            chr.italic = on;
            break;
        case Kw::Ul:
            chr.underline = on;
            break;
        case Kw::UlNone:
            chr.underline = false;
            break;
        case Kw::Strike:
            chr.strike = on;
            break;
        case Kw::Super:
            chr.valign = 1;
            break;
        case Kw::Sub:
            chr.valign = 2;
            break;
        case Kw::NoSuperSub:
            chr.valign = 0;
            break;
        case Kw::Cf:
            chr.foreground = value;
            break;
        case Kw::Cb:
        case Kw::Highlight:
            chr.background = value;
            break;
        case Kw::Pard:
            para = ParaProps();
            break;
        case Kw::Par:
            endParagraph();
            break;
        case Kw::Cell:
            // Cells of a row become one line with a tab between cells.
            if (s.destination == Destination::Collected)
                collect(u'\t');
            else if (s.destination == Destination::Text)
                ++m_pendingCells;
            break;
        case Kw::Row:
            endRow(s.destination);
            break;
        case Kw::Page:
        case Kw::Sect:
        case Kw::Column:
            // Page, section and column breaks end a paragraph that has something in it.
            if (s.destination == Destination::Collected)
                collect(u'\n');
            else if (!m_paragraphEmpty)
                endParagraph();
            break;
        case Kw::Field:
            if (takesText(s.destination) && m_fields.size() < MaxOpenFields)
                m_fields.push_back(OpenField { m_stack.size(), QString(), false });
            break;
        case Kw::FldInst:
            startDestination(!m_fields.empty() && takesText(s.destination) ? Destination::FieldInstruction
                                                                           : Destination::Skip);
            break;
        case Kw::FldRslt:
            break; // the result reads where the field stands
        case Kw::Footnote:
            openCollection(Collection::Footnote);
            break;
        case Kw::FtnAlt:
            if (!m_collections.empty() && m_collections.back().kind == Collection::Footnote)
                m_collections.back().kind = Collection::Endnote;
            break;
        case Kw::Annotation:
            openCollection(Collection::Annotation);
            if (!m_collections.empty() && m_collections.back().kind == Collection::Annotation)
                m_collections.back().author = std::exchange(m_annotationAuthor, QString()).trimmed();
            break;
        case Kw::AtnAuthor:
            m_annotationAuthor.clear();
            startDestination(Destination::AnnotationAuthor);
            break;
        case Kw::Header:
        case Kw::Footer:
            openCollection(keyword == Kw::Header ? Collection::Header : Collection::Footer);
            break;
        case Kw::Shp:
        case Kw::ShpInst:
        case Kw::DrawingObject:
            startDestination(Destination::Shape);
            break;
        case Kw::ShpTxt:
        case Kw::DpTxbxText:
            openCollection(Collection::TextBox);
            break;
        case Kw::Pict:
            if (!s.inObject
                && (s.destination == Destination::Text || s.destination == Destination::Collected))
                ++m_pictures;
            startDestination(Destination::Skip);
            break;
        case Kw::Object:
            if (!s.inObject
                && (s.destination == Destination::Text || s.destination == Destination::Collected))
                ++m_objects;
            s.inObject = true;
            break;
        case Kw::Upr:
            s.unicodeAlternativeOf = s.destination;
            startDestination(Destination::UnicodeAlternative);
            break;
        case Kw::NestTableProps:
            startDestination(Destination::NestedTableProperties);
            break;
        case Kw::Line:
            if (s.destination == Destination::Collected)
                collect(u'\n');
            else
                textChar(QChar::LineSeparator);
            break;
        case Kw::Tab:
            textChar(u'\t');
            break;
        case Kw::Ql:
            para.alignment = 0;
            break;
        case Kw::Qc:
            para.alignment = 1;
            break;
        case Kw::Qr:
            para.alignment = 2;
            break;
        case Kw::Qj:
            para.alignment = 3;
            break;
        case Kw::Li:
            para.leftIndent = std::clamp(value, -MaxTwips, MaxTwips);
            break;
        case Kw::Fi:
            para.firstIndent = std::clamp(value, -MaxTwips, MaxTwips);
            break;
        case Kw::Ri:
            para.rightIndent = std::clamp(value, -MaxTwips, MaxTwips);
            break;
        case Kw::Sb:
            para.spaceBefore = std::clamp(value, 0, MaxTwips);
            break;
        case Kw::Sa:
            para.spaceAfter = std::clamp(value, 0, MaxTwips);
            break;
        case Kw::Tqc:
            para.pendingTabType = 1;
            break;
        case Kw::Tqr:
            para.pendingTabType = 2;
            break;
        case Kw::Tqdec:
            para.pendingTabType = 3;
            break;
        case Kw::Tx:
            addTabStop(para, std::clamp(value, 0, MaxTwips));
            break;
        case Kw::Cbpat:
            para.shading = value;
            break;
        default:
            if (const char16_t ch = specialCharacter(keyword))
                textChar(ch);
            break;
        }
        if (s.destination == Destination::Text)
            m_charPropsDirty = true;
    }

    void addTabStop(ParaProps &para, int twips)
    {
        std::vector<QTextOption::Tab> tabs;
        if (para.tabSet >= 0)
            tabs = m_tabSets[size_t(para.tabSet)];
        if (int(tabs.size()) < MaxTabStops) {
            static constexpr QTextOption::TabType types[] = { QTextOption::LeftTab, QTextOption::CenterTab,
                QTextOption::RightTab, QTextOption::DelimiterTab };
            tabs.emplace_back(twipsToPixels(twips), types[para.pendingTabType]);
        }
        para.pendingTabType = 0;
        m_tabSets.push_back(std::move(tabs));
        para.tabSet = int(m_tabSets.size()) - 1;
    }

    void fontTableControl(Kw keyword, int value)
    {
        switch (keyword) {
        case Kw::F:
            finishFontName();
            m_currentFont = value;
            break;
        case Kw::CharSet:
            m_fonts[m_currentFont].charset = value;
            ++m_fontGeneration;
            break;
        case Kw::CodePage:
            m_fonts[m_currentFont].codePage = std::max(value, 0);
            ++m_fontGeneration;
            break;
        case Kw::SkipDestination:
            startDestination(Destination::Skip);
            break;
        case Kw::U:
            unicodeChar(value);
            break;
        default:
            break;
        }
    }

    void finishFontName()
    {
        if (!m_fontName.isEmpty()) {
            FontEntry &entry = m_fonts[m_currentFont];
            if (entry.name.isEmpty())
                entry.name = m_fontName.trimmed();
            ++m_fontGeneration;
        }
        m_fontName.clear();
    }

    void fontTableText(char16_t ch)
    {
        if (ch == ';') {
            finishFontName();
            return;
        }
        if (m_fontName.size() < MaxNameLength)
            m_fontName.append(QChar(ch));
    }

    void colorTableControl(Kw keyword, int value)
    {
        const int component = std::clamp(value, 0, 255);
        switch (keyword) {
        case Kw::Red:
            m_colorComponents[0] = component;
            m_colorHasComponents = true;
            break;
        case Kw::Green:
            m_colorComponents[1] = component;
            m_colorHasComponents = true;
            break;
        case Kw::Blue:
            m_colorComponents[2] = component;
            m_colorHasComponents = true;
            break;
        default:
            break;
        }
    }

    void colorTableText(char16_t ch)
    {
        if (ch != ';')
            return;
        if (m_colorHasComponents)
            m_colors.push_back(QColor(m_colorComponents[0], m_colorComponents[1], m_colorComponents[2]));
        else
            m_colors.push_back(QColor()); // automatic
        m_colorComponents = {};
        m_colorHasComponents = false;
    }

    void listTableControl(Kw keyword, int value)
    {
        switch (keyword) {
        case Kw::List:
            m_lists.emplace_back();
            break;
        case Kw::ListId:
            if (!m_lists.empty())
                m_lists.back().id = value;
            break;
        case Kw::ListLevel:
            if (!m_lists.empty())
                ++m_lists.back().levels;
            break;
        case Kw::LevelNfc:
        case Kw::LevelStartAt:
            if (!m_lists.empty() && m_lists.back().levels >= 1 && m_lists.back().levels <= 9) {
                ListDefinition &list = m_lists.back();
                (keyword == Kw::LevelNfc ? list.nfc : list.start)[size_t(list.levels - 1)] = value;
            }
            break;
        case Kw::SkipDestination:
            startDestination(Destination::Skip);
            break;
        default:
            break;
        }
    }

    void listOverrideControl(Kw keyword, int value)
    {
        switch (keyword) {
        case Kw::ListOverride:
            m_overrideListId = 0;
            break;
        case Kw::ListId:
            m_overrideListId = value;
            break;
        case Kw::Ls:
            m_overrides[value] = m_overrideListId;
            break;
        default:
            break;
        }
    }

    void legacyNumberingControl(Kw keyword, int value, bool hasParameter)
    {
        ParaProps &para = state().para;
        switch (keyword) {
        case Kw::PnLvlBlt:
            para.numbering = ParagraphFormat::NumberingKind::Bullet;
            break;
        case Kw::PnLvlBody:
        case Kw::PnLvl:
        case Kw::PnDec:
            if (para.numbering != ParagraphFormat::NumberingKind::Bullet || keyword == Kw::PnDec)
                para.numbering = ParagraphFormat::NumberingKind::Arabic;
            break;
        case Kw::PnUcLtr:
            para.numbering = ParagraphFormat::NumberingKind::UpperLetter;
            break;
        case Kw::PnLcLtr:
            para.numbering = ParagraphFormat::NumberingKind::LowerLetter;
            break;
        case Kw::PnUcRm:
            para.numbering = ParagraphFormat::NumberingKind::UpperRoman;
            break;
        case Kw::PnLcRm:
            para.numbering = ParagraphFormat::NumberingKind::LowerRoman;
            break;
        case Kw::PnStart:
            para.numberingStart = hasParameter ? std::clamp(value, 0, 32767) : 1;
            break;
        case Kw::PnIndent:
            para.numberingTab = std::clamp(value, -MaxTwips, MaxTwips);
            break;
        case Kw::SkipDestination:
            startDestination(Destination::Skip);
            break;
        default:
            break;
        }
    }

    static bool takesText(Destination destination)
    {
        switch (destination) {
        case Destination::Text:
        case Destination::FontTable:
        case Destination::ColorTable:
        case Destination::FieldInstruction:
        case Destination::Collected:
        case Destination::AnnotationAuthor:
            return true;
        default:
            return false;
        }
    }

    // The code page of a font: its \cpg, else its character set, else the document's.
    int codePageOf(int font) const
    {
        const auto it = m_fonts.find(font);
        if (it == m_fonts.end())
            return m_codePage;
        const FontEntry &entry = it->second;
        if (entry.codePage > 0)
            return entry.codePage;
        if (entry.charset == 2)
            return symbolCodePageOfFont(entry.name);
        if (const int codePage = entry.charset >= 0 ? codePageOfCharset(entry.charset) : 0)
            return codePage;
        return m_codePage;
    }

    // The decoder of the font text is in now (in the font table: of the font being defined).
    const ByteDecoder &decoderNow()
    {
        const State &s = state();
        const int font = s.destination == Destination::FontTable ? m_currentFont
            : s.chr.font >= 0                                    ? s.chr.font
                                                                 : m_defaultFont;
        const bool fontTable = s.destination == Destination::FontTable;
        if (!m_decoderNow || font != m_decoderFont || m_fontGeneration != m_decoderGeneration
            || fontTable != m_decoderForFontTable) {
            int codePage = codePageOf(font);
            // The names of symbol fonts are plain text.
            if (fontTable
                && (codePage == SymbolCodePage || codePage == WingdingsCodePage
                    || codePage == OtherSymbolCodePage))
                codePage = m_codePage;
            m_decoderNow = &decoderFor(codePage);
            m_decoderFont = font;
            m_decoderGeneration = m_fontGeneration;
            m_decoderForFontTable = fontTable;
        }
        return *m_decoderNow;
    }

    const ByteDecoder &decoderFor(int codePage)
    {
        auto it = m_decoders.find(codePage);
        if (it == m_decoders.end())
            it = m_decoders.emplace(codePage, std::make_unique<ByteDecoder>(codePage)).first;
        return *it->second;
    }

    // A byte of text. Single-byte code pages decode at once; double-byte
    // characters wait in m_bytes until their trail byte (escaped or not) came.
    void textByte(unsigned char byte, bool escaped = false)
    {
        if (!takesText(state().destination))
            return;
        const ByteDecoder &decoder = decoderNow();
        if (m_unicodeSkipLeft > 0) {
            skipFallbackByte(byte, decoder);
            return;
        }
        if (m_skipTrail) {
            m_skipTrail = false;
            return;
        }
        if (m_leadPending) {
            m_bytes.append(char(byte));
            m_leadPending = false;
            return;
        }
        const bool ascii = byte < 0x80 && !escaped;
        switch (decoder.kind()) {
        case ByteDecoder::Kind::SingleByte:
            flushBytes();
            deliver(decoder.character(byte));
            if (decoder.character(byte) == QChar::ReplacementCharacter)
                ++m_undecodable;
            return;
        case ByteDecoder::Kind::Symbol: {
            flushBytes();
            const char16_t ch = decoder.character(byte);
            if (ch >= 0xF000 && ch <= 0xF0FF)
                ++m_privateSymbols;
            deliver(ch);
            return;
        }
        case ByteDecoder::Kind::DoubleByte:
        case ByteDecoder::Kind::MultiByte:
            if (ascii) {
                flushBytes();
                deliver(byte);
                return;
            }
            if (m_bytesDecoder != &decoder)
                flushBytes();
            m_bytesDecoder = &decoder;
            m_bytes.append(char(byte));
            m_leadPending = decoder.kind() == ByteDecoder::Kind::DoubleByte && decoder.isLeadByte(byte);
            return;
        case ByteDecoder::Kind::Unavailable:
            flushBytes();
            if (ascii) {
                deliver(byte);
            } else {
                ++m_unavailable[decoder.codePage()];
                deliver(QChar::ReplacementCharacter);
            }
            return;
        }
    }

    // A byte of the fallback after \uN. A double-byte character counts as one,
    // as writers of double-byte text count it.
    void skipFallbackByte(unsigned char byte, const ByteDecoder &decoder)
    {
        --m_unicodeSkipLeft;
        if (m_skipPairTrail) {
            m_skipPairTrail = false;
            return;
        }
        if (decoder.kind() == ByteDecoder::Kind::DoubleByte && decoder.isLeadByte(byte)) {
            if (m_unicodeSkipLeft == 0)
                m_skipTrail = true;
            else
                m_skipPairTrail = true;
        }
    }

    void flushBytes()
    {
        m_leadPending = false;
        m_skipPairTrail = false;
        if (m_bytes.isEmpty())
            return;
        QString decoded;
        m_bytesDecoder->decode(m_bytes, decoded);
        m_bytes.clear();
        for (const QChar ch : std::as_const(decoded)) {
            if (ch == QChar::ReplacementCharacter)
                ++m_undecodable;
            deliver(ch.unicode());
        }
    }

    void unicodeChar(int value)
    {
        flushBytes();
        // A \uN outside the 16-bit range is not a character; its fallback is still skipped.
        if (value >= -32768 && value <= 65535) {
            char16_t ch = char16_t(value < 0 ? value + 65536 : value);
            // Symbol fonts written as Unicode use the private-use area, as their bytes do.
            const ByteDecoder &decoder = decoderNow();
            if (ch >= 0xF020 && ch <= 0xF0FF && decoder.kind() == ByteDecoder::Kind::Symbol)
                ch = decoder.character(static_cast<unsigned char>(ch & 0xFF));
            deliver(ch);
        } else {
            ++m_undecodable;
            deliver(QChar::ReplacementCharacter);
        }
        m_unicodeSkipLeft = state().unicodeSkip;
    }

    void textChar(char16_t ch)
    {
        if (m_unicodeSkipLeft > 0) {
            --m_unicodeSkipLeft;
            return;
        }
        flushBytes();
        if (state().destination == Destination::Text || state().destination == Destination::Collected)
            deliver(ch);
    }

    void deliver(char16_t ch)
    {
        switch (state().destination) {
        case Destination::Text:
            break;
        case Destination::Collected:
            collect(ch);
            return;
        case Destination::FieldInstruction:
            if (!m_fields.empty() && m_fields.back().instruction.size() < MaxInstructionLength)
                m_fields.back().instruction.append(QChar(ch));
            return;
        case Destination::AnnotationAuthor:
            if (m_annotationAuthor.size() < MaxNameLength)
                m_annotationAuthor.append(QChar(ch));
            return;
        case Destination::FontTable:
            fontTableText(ch);
            return;
        case Destination::ColorTable:
            colorTableText(ch);
            return;
        default:
            return;
        }
        // Characters the document uses for its own structure never come from outside.
        if (ch < 0x20 && ch != u'\t')
            return;
        if (ch == QChar::ParagraphSeparator) {
            endParagraph();
            return;
        }
        if (ch == QChar::ObjectReplacementCharacter || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFEFF)
            ch = QChar::ReplacementCharacter;
        prepareText();
        m_text.append(QChar(ch));
        m_paragraphEmpty = false;
    }

    void deliverString(const QString &text)
    {
        for (const QChar ch : text)
            deliver(ch.unicode());
    }

    // Text of a collected group; the open field inside it has a result.
    void collect(char16_t ch)
    {
        if (m_collections.empty())
            return;
        if (!m_fields.empty())
            m_fields.back().hasResult = true;
        QString &text = m_collections.back().text;
        if (text.size() < MaxCollectedLength)
            text.append(QChar(ch));
    }

    void openCollection(Collection kind)
    {
        const Destination destination = state().destination;
        if (destination != Destination::Text && destination != Destination::Collected
            && destination != Destination::Shape) {
            startDestination(Destination::Skip);
            return;
        }
        m_collections.push_back(OpenCollection { m_stack.size(), kind, QString(), QString() });
        startDestination(Destination::Collected);
    }

    // A collected group closed: notes go in brackets where they stood, headers,
    // footers and text boxes become paragraphs of their own.
    void closeCollection()
    {
        const OpenCollection closed = std::move(m_collections.back());
        m_collections.pop_back();
        auto label
            = [](const char *text) { return QCoreApplication::translate("RichEdit::RtfReader", text); };
        if (closed.kind == Collection::Footnote || closed.kind == Collection::Endnote
            || closed.kind == Collection::Annotation) {
            const QString text = closed.text.simplified();
            if (text.isEmpty())
                return;
            QString marked;
            if (closed.kind == Collection::Footnote)
                marked = label("[Footnote: %1]").arg(text);
            else if (closed.kind == Collection::Endnote)
                marked = label("[Endnote: %1]").arg(text);
            else if (closed.author.isEmpty())
                marked = label("[Comment: %1]").arg(text);
            else
                marked = label("[Comment by %1: %2]").arg(closed.author, text);
            ++m_notes;
            deliverString(marked);
            return;
        }
        QStringList lines;
        for (const QString &line : closed.text.split(u'\n')) {
            if (const QString trimmed = line.trimmed(); !trimmed.isEmpty())
                lines << trimmed;
        }
        if (lines.isEmpty())
            return;
        if (closed.kind == Collection::Header || closed.kind == Collection::Footer) {
            // Headers repeat on every page, and left, right and first-page ones often agree.
            const QString text = lines.join(QChar::LineSeparator);
            if (m_placedHeaders.contains(text))
                return;
            m_placedHeaders.insert(text);
            ++m_headersFooters;
            lines = QStringList {
                (closed.kind == Collection::Header ? label("[Header: %1]") : label("[Footer: %1]")).arg(text)
            };
        } else {
            ++m_textBoxes;
        }
        placeParagraphs(lines);
    }

    // Lines that stand as paragraphs of their own at the current place.
    void placeParagraphs(const QStringList &lines)
    {
        if (state().destination == Destination::Collected) {
            for (const QString &line : lines) {
                deliverString(line);
                collect(u'\n');
            }
            return;
        }
        // A shape's text box stands in the body text around the shape.
        State &s = state();
        const Destination destination = s.destination;
        if (destination == Destination::Shape)
            s.destination = Destination::Text;
        if (s.destination == Destination::Text) {
            if (!m_paragraphEmpty)
                endParagraph();
            for (const QString &line : lines) {
                deliverString(line);
                endParagraph();
            }
        }
        s.destination = destination;
    }

    // A field closed: a field that showed nothing shows what its instruction names.
    void closeField()
    {
        const OpenField closed = std::move(m_fields.back());
        m_fields.pop_back();
        const QString instruction = closed.instruction.trimmed();
        const QString kind = instruction.section(u' ', 0, 0, QString::SectionSkipEmpty).toUpper();
        if (kind == QLatin1String("HYPERLINK"))
            ++m_links;
        if (closed.hasResult)
            return;
        if (kind == QLatin1String("HYPERLINK")) {
            deliverString(fieldArgument(instruction));
        } else if (kind == QLatin1String("SYMBOL")) {
            if (const char16_t ch = symbolOfField(instruction))
                deliver(ch);
        }
    }

    static bool isSymbolFont(const QString &name)
    {
        for (const char *symbolic : { "Symbol", "ding", "Marlett", "MT Extra" }) {
            if (name.contains(QLatin1String(symbolic), Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    // The first argument of a field instruction that is not a switch, unquoted.
    static QString fieldArgument(const QString &instruction)
    {
        const QString rest = instruction.section(u' ', 1, -1, QString::SectionSkipEmpty).trimmed();
        if (rest.startsWith(u'"'))
            return rest.mid(1).section(u'"', 0, 0);
        return rest.section(u' ', 0, 0);
    }

    // SYMBOL n [\f "font"] [\u]: the character n in that font.
    char16_t symbolOfField(const QString &instruction)
    {
        const QString number = fieldArgument(instruction);
        bool ok = false;
        const uint code = number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
            ? number.mid(2).toUInt(&ok, 16)
            : number.toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0xFFFF)
            return 0;
        const qsizetype fontSwitch = instruction.indexOf(QLatin1String("\\f"));
        const QString font = fontSwitch < 0 ? QString() : fieldArgument(instruction.mid(fontSwitch));
        if (instruction.contains(QLatin1String("\\u")) || code > 0xFF)
            return char16_t(code);
        if (isSymbolFont(font))
            return decoderFor(symbolCodePageOfFont(font)).character(static_cast<unsigned char>(code));
        const ByteDecoder &decoder = decoderNow();
        return decoder.kind() == ByteDecoder::Kind::SingleByte
            ? decoder.character(static_cast<unsigned char>(code))
            : char16_t(code);
    }

    void endRow(Destination destination)
    {
        if (destination == Destination::Collected) {
            collect(u'\n');
            return;
        }
        if (destination != Destination::Text)
            return;
        ++m_tableRows;
        closeParagraph();
    }

    // Text is coming: open the pending paragraph, and start a new run when the format changed.
    void prepareText()
    {
        if (m_paragraphPending)
            startParagraph();
        if (m_pendingCells > 0) {
            m_text.append(QString(m_pendingCells, u'\t'));
            m_pendingCells = 0;
        }
        if (!m_fields.empty())
            m_fields.back().hasResult = true;
        if (m_charPropsDirty) {
            m_charPropsDirty = false;
            if (!(state().chr == m_runProps)) {
                flushRun();
                m_runProps = state().chr;
            }
        }
    }

    static bool isPlainText(char c) { return c >= 0x20 && c < 0x7f && c != '\\' && c != '{' && c != '}'; }

    // A run of printable ASCII text in the body: the same as deliver() per character.
    void deliverAscii(const char *text, qsizetype length)
    {
        prepareText();
        m_text.append(QLatin1StringView(text, length));
        m_paragraphEmpty = false;
    }

    QTextCharFormat charFormat(const CharProps &props)
    {
        for (const auto &[cachedProps, cachedFormat] : m_formatCache) {
            if (cachedProps == props)
                return cachedFormat;
        }
        QTextCharFormat format;
        const int font = props.font >= 0 ? props.font : m_defaultFont;
        const auto it = m_fonts.find(font);
        if (it != m_fonts.end() && !it->second.name.isEmpty())
            format.setFontFamilies({ it->second.name });
        format.setFontPointSize(props.halfPoints / 2.0);
        if (props.bold)
            format.setFontWeight(QFont::Bold);
        if (props.italic)
            format.setFontItalic(true);
        if (props.underline)
            format.setFontUnderline(true);
        if (props.strike)
            format.setFontStrikeOut(true);
        if (props.valign == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (props.valign == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (const QColor color = colorAt(props.foreground); color.isValid())
            format.setForeground(color);
        if (const QColor color = colorAt(props.background); color.isValid())
            format.setBackground(color);
        // A few formats alternate throughout a document; keep the latest ones.
        if (m_formatCache.size() >= 32)
            m_formatCache.pop_back();
        m_formatCache.emplace(m_formatCache.begin(), props, format);
        return format;
    }

    QColor colorAt(int index) const
    {
        if (index <= 0 || size_t(index) >= m_colors.size())
            return QColor();
        return m_colors[size_t(index)];
    }

    void flushRun()
    {
        if (m_text.isEmpty())
            return;
        // Unpaired surrogates cannot be laid out; show them as replacement characters.
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar ch = m_text.at(i);
            if (ch.isHighSurrogate() && i + 1 < m_text.size() && m_text.at(i + 1).isLowSurrogate())
                ++i;
            else if (ch.isSurrogate())
                m_text[i] = QChar::ReplacementCharacter;
        }
        m_cursor.insertText(m_text, charFormat(m_runProps));
        m_text.clear();
    }

    void startParagraph()
    {
        m_paragraphPending = false;
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(state().chr));
        m_emptyBlockFormatIndex = m_cursor.block().blockFormatIndex();
    }

    void endParagraph()
    {
        if (state().destination == Destination::Collected)
            collect(u'\n');
        if (state().destination == Destination::Text)
            closeParagraph();
    }

    void closeParagraph()
    {
        m_pendingCells = 0;
        if (m_paragraphPending)
            startParagraph();
        flushRun();
        applyParagraph(state().para);
        m_paragraphPending = true;
        m_paragraphEmpty = true;
    }

    void applyParagraph(const ParaProps &para)
    {
        QTextBlockFormat format;
        static constexpr Qt::Alignment alignments[] = { Qt::AlignLeft | Qt::AlignAbsolute, Qt::AlignHCenter,
            Qt::AlignRight | Qt::AlignAbsolute, Qt::AlignJustify };
        if (para.alignment)
            format.setAlignment(alignments[para.alignment]);
        if (para.leftIndent)
            format.setLeftMargin(twipsToPixels(para.leftIndent));
        if (para.firstIndent)
            format.setTextIndent(twipsToPixels(para.firstIndent));
        if (para.rightIndent)
            format.setRightMargin(twipsToPixels(para.rightIndent));
        if (para.spaceBefore)
            format.setTopMargin(twipsToPixels(para.spaceBefore));
        if (para.spaceAfter)
            format.setBottomMargin(twipsToPixels(para.spaceAfter));
        if (para.tabSet >= 0)
            format.setTabPositions(QList<QTextOption::Tab>(
                m_tabSets[size_t(para.tabSet)].begin(), m_tabSets[size_t(para.tabSet)].end()));
        if (const QColor color = colorAt(para.shading); color.isValid())
            format.setBackground(color);
        QTextBlock block = m_cursor.block();
        // New blocks start with an empty format; most paragraphs keep it.
        if (!format.properties().isEmpty() || block.blockFormatIndex() != m_emptyBlockFormatIndex)
            m_cursor.setBlockFormat(format);
        if (m_empty)
            m_cursor.setBlockCharFormat(charFormat(m_runProps));
        m_empty = false;
        applyNumbering(para, block);
    }

    void applyNumbering(const ParaProps &para, const QTextBlock &block)
    {
        ParagraphFormat::NumberingKind kind = para.numbering;
        int start = para.numberingStart;
        int tab = para.numberingTab;
        // The list a paragraph belongs to: an override number, or the legacy numbering itself.
        qint64 key = 0;
        if (para.listOverride > 0) {
            kind = ParagraphFormat::NumberingKind::Arabic;
            start = 1;
            const auto override = m_overrides.find(para.listOverride);
            const int listId = override == m_overrides.end() ? 0 : override->second;
            for (const ListDefinition &list : m_lists) {
                if (list.id == listId) {
                    kind = numberingOfNfc(list.nfc[size_t(para.listLevel)]);
                    start = list.start[size_t(para.listLevel)];
                }
            }
            key = (qint64(para.listOverride) << 8) | para.listLevel;
        } else if (kind != ParagraphFormat::NumberingKind::None) {
            key = -(qint64(kind) << 8) - 1;
        }
        if (!key) {
            m_previousListKey = 0;
            return;
        }
        QTextList *&list = m_listsByKey[key];
        // Legacy numbering continues only over consecutive paragraphs; list overrides continue throughout.
        if (!list || (key < 0 && m_previousListKey != key)) {
            QTextListFormat format;
            format.setStyle(QTextListFormat::Style(listStyleFor(kind)));
            format.setIndent(para.listLevel + 1);
            format.setProperty(ListNumberingStartProperty, start);
            format.setProperty(ListNumberingTabProperty, tab);
            QTextCursor at(block);
            list = at.createList(format);
        } else {
            list->add(block);
        }
        m_previousListKey = key;
    }

    void finish()
    {
        // Data that ends inside groups (cut off, or braces lost) closes them here,
        // so that notes and fields still open are placed.
        if (m_stack.size() > 1 || m_overflowDepth > 0)
            m_truncated = true;
        m_overflowDepth = 0;
        while (m_stack.size() > 1)
            popGroup();
        breakText();
        if (!m_paragraphPending) { // else the last paragraph mark closed the last paragraph
            flushRun();
            if (!m_empty || !m_paragraphEmpty)
                applyParagraph(state().para);
        }
        report();
    }

    void report()
    {
        using Issue = RtfReadReport::Issue;
        m_report.add(Issue::TablesFlattened, m_tableRows);
        m_report.add(Issue::PicturesDropped, m_pictures);
        m_report.add(Issue::ObjectsDropped, m_objects);
        m_report.add(Issue::LinksAsText, m_links);
        m_report.add(Issue::NotesInBrackets, m_notes);
        m_report.add(Issue::HeadersFootersInBrackets, m_headersFooters);
        m_report.add(Issue::TextBoxesAsParagraphs, m_textBoxes);
        m_report.add(Issue::SymbolsAsPrivateUse, m_privateSymbols);
        m_report.add(Issue::UnbalancedBraces, m_strayBraces);
        m_report.add(Issue::NestingTooDeep, m_flattenedGroups);
        m_report.add(Issue::ControlBytesIgnored, m_controlBytes);
        for (const auto &[codePage, count] : m_unavailable)
            m_report.add(Issue::CodePageUnavailable, count, codePage);
        m_report.add(Issue::UndecodableCharacters, m_undecodable);
        m_report.add(Issue::Truncated, m_truncated ? 1 : 0);
    }

    const char *m_data;
    const char *m_end;
    QTextCursor m_cursor;
    RtfReadReport &m_report;
    std::vector<State> m_stack;
    int m_overflowDepth = 0;
    bool m_documentClosed = false;
    bool m_ignorableNext = false;
    int m_unicodeSkipLeft = 0;
    bool m_skipPairTrail = false; // the fallback's next byte is the trail of a skipped lead byte
    bool m_skipTrail = false; // the fallback ended on a lead byte: its trail goes too

    int m_codePage = 1252;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    int m_currentFont = 0;
    QString m_fontName;
    std::vector<QColor> m_colors;
    std::array<int, 3> m_colorComponents {};
    bool m_colorHasComponents = false;
    std::vector<ListDefinition> m_lists;
    std::map<int, int> m_overrides;
    int m_overrideListId = 0;
    std::vector<std::vector<QTextOption::Tab>> m_tabSets;

    // Decoders per code page, and the one of the current font.
    std::map<int, std::unique_ptr<ByteDecoder>> m_decoders;
    const ByteDecoder *m_decoderNow = nullptr;
    int m_decoderFont = 0;
    int m_fontGeneration = 0;
    int m_decoderGeneration = -1;
    bool m_decoderForFontTable = false;
    // Bytes of a multi-byte code page waiting to be decoded together.
    QByteArray m_bytes;
    const ByteDecoder *m_bytesDecoder = nullptr;
    bool m_leadPending = false;

    std::vector<OpenField> m_fields;
    std::vector<OpenCollection> m_collections;
    QString m_annotationAuthor;
    QSet<QString> m_placedHeaders;
    int m_pendingCells = 0;

    // What the report counts.
    int m_tableRows = 0;
    int m_pictures = 0;
    int m_objects = 0;
    int m_links = 0;
    int m_notes = 0;
    int m_headersFooters = 0;
    int m_textBoxes = 0;
    int m_privateSymbols = 0;
    int m_strayBraces = 0;
    int m_flattenedGroups = 0;
    int m_controlBytes = 0;
    int m_undecodable = 0;
    std::map<int, int> m_unavailable;
    bool m_truncated = false;

    QString m_text;
    CharProps m_runProps;
    bool m_charPropsDirty = true;
    std::vector<std::pair<CharProps, QTextCharFormat>> m_formatCache;
    bool m_paragraphPending = false;
    int m_emptyBlockFormatIndex = -2;
    bool m_paragraphEmpty = true;
    bool m_empty = true;
    std::map<qint64, QTextList *> m_listsByKey;
    qint64 m_previousListKey = 0;
};

qsizetype rtfStart(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
        && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r' || data.at(i) == '\n'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf") ? i : -1;
}

} // namespace

bool RtfReader::isRtf(const QByteArray &data)
{
    return rtfStart(data) >= 0;
}

bool RtfReader::read(const QByteArray &data, QTextDocument &document, RtfReadReport *report)
{
    RtfReadReport local;
    RtfReadReport &result = report ? *report : local;
    result = RtfReadReport();
    if (!isRtf(data)) {
        const bool blank
            = std::all_of(data.cbegin(), data.cend(), [](char c) { return QChar::isSpace(uchar(c)); });
        result.error = blank
            ? QCoreApplication::translate("RichEdit::RtfReader", "There is no rich text to read.")
            : QCoreApplication::translate(
                "RichEdit::RtfReader", "The data is not rich text: it does not begin with \"{\\rtf\".");
        return false;
    }
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        Reader reader(data, document, result);
        reader.run();
        cursor.endEditBlock();
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    result.read = true;
    return true;
}

QString RtfReader::asPlainText(const QByteArray &data)
{
    // Stored bytes shown as they are: UTF-8 when they are, else code page 1252.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text.clear();
        text.reserve(data.size());
        for (const char byte : data)
            text += QChar(fromCodePage1252(static_cast<unsigned char>(byte)));
    }
    for (QChar &ch : text) {
        if (ch.unicode() < 0x20 && ch != u'\t' && ch != u'\n' && ch != u'\r')
            ch = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace RichEdit
