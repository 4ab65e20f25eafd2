#include "richedit/RtfReader.h"

#include "richedit/RtfWriter.h"
#include "richedit/TextFormats.h"

#include <QtCore/QCoreApplication>
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

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    LegacyNumbering,
};

// clang-format off
enum class Kw {
    Unknown,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    // destinations
    FontTable, ColorTable, ListTable, ListOverrideTable, Pn, SkipDestination,
    // font and colour tables
    CharSet, CodePage, Red, Green, Blue,
    // list tables
    List, ListId, ListLevel, LevelNfc, LevelStartAt, ListOverride, Ls, Ilvl,
    // legacy numbering
    PnLvlBlt, PnLvlBody, PnLvl, PnDec, PnUcLtr, PnLcLtr, PnUcRm, PnLcRm, PnStart, PnIndent,
    // characters
    Plain, F, Fs, B, I, Ul, UlNone, Strike, Super, Sub, NoSuperSub, Cf, Cb, Highlight,
    // paragraphs
    Pard, Par, Line, Tab, Cell, Row, Page, Ql, Qc, Qr, Qj, Li, Fi, Ri, Sb, Sa, Tx, Tqc, Tqr, Tqdec, Cbpat,
    // special characters
    Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote, Enspace, Emspace, Qmspace, Zwj, Zwnj,
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
            { "page", Kw::Page }, { "ql", Kw::Ql }, { "qc", Kw::Qc }, { "qr", Kw::Qr }, { "qj", Kw::Qj },
            { "li", Kw::Li }, { "fi", Kw::Fi }, { "ri", Kw::Ri }, { "sb", Kw::Sb }, { "sa", Kw::Sa },
            { "tx", Kw::Tx }, { "tqc", Kw::Tqc }, { "tqr", Kw::Tqr }, { "tqdec", Kw::Tqdec },
            { "cbpat", Kw::Cbpat },
            { "emdash", Kw::Emdash }, { "endash", Kw::Endash }, { "bullet", Kw::Bullet },
            { "lquote", Kw::Lquote }, { "rquote", Kw::Rquote }, { "ldblquote", Kw::Ldblquote },
            { "rdblquote", Kw::Rdblquote }, { "enspace", Kw::Enspace }, { "emspace", Kw::Emspace },
            { "qmspace", Kw::Qmspace }, { "zwj", Kw::Zwj }, { "zwnj", Kw::Zwnj },
        };
        // Destinations whose content is not body text, read or not.
        for (const std::string_view skipped :
             { "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl",
               "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "xe", "tc", "tcn", "pntext",
               "listtext", "pntxta", "pntxtb", "revtbl", "rsidtbl", "generator", "themedata",
               "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "mmathPr", "filetbl", "nonshppict",
               "fldinst", "template", "objdata", "objclass", "objname", "shp", "shpinst", "bkmkstart", "bkmkend",
               "do", "userprops", "docvar", "pgdsctbl", "fchars", "lchars", "operator", "author", "title",
               "subject", "keywords", "comment", "doccomm", "company", "category", "buptim", "creatim",
               "printim", "revtim", "hlinkbase", "blipuid", "picprop", "sp", "sn", "sv", "txe", "private",
               "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "upr", "panose", "falt", "leveltext",
               "levelnumbers", "listname", "formfield", "wgrffmtfilter", "ffdeftext" })
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
    CharProps chr;
    ParaProps para;
    int unicodeSkip = 1;
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0: the document's
};

struct ListDefinition
{
    int id = 0;
    int levels = 0;
    std::array<int, 9> nfc {};
    std::array<int, 9> start { 1, 1, 1, 1, 1, 1, 1, 1, 1 };
};

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0;
    }
}

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
    Reader(const QByteArray &data, QTextDocument &document)
        : m_data(data.constData())
        , m_end(data.constData() + data.size())
        , m_cursor(&document)
    { }

    void run()
    {
        m_text.reserve(256);
        m_stack.reserve(64);
        m_stack.push_back(State());
        const char *p = m_data;
        while (p < m_end && !m_finished) {
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
                } else if (isPlainText(c) && m_unicodeSkipLeft == 0 && m_bytes.isEmpty()
                    && state().destination == Destination::Text) {
                    const char *end = p + 1;
                    while (end < m_end && isPlainText(*end))
                        ++end;
                    deliverAscii(p, end - p);
                    p = end;
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

    void pushGroup()
    {
        m_unicodeSkipLeft = 0;
        flushBytes();
        if (int(m_stack.size()) >= RtfReader::MaximumDepth) {
            ++m_overflowDepth;
            return;
        }
        m_stack.push_back(m_stack.back());
    }

    void popGroup()
    {
        m_unicodeSkipLeft = 0;
        flushBytes();
        if (m_overflowDepth > 0) {
            --m_overflowDepth;
            return;
        }
        if (m_stack.size() <= 1) {
            // The closing brace of the document (or one too many): nothing after it counts.
            m_finished = true;
            return;
        }
        const State closed = m_stack.back();
        m_stack.pop_back();
        if (closed.destination == Destination::FontTable)
            finishFontName();
        if (closed.destination == Destination::LegacyNumbering && state().destination == Destination::Text) {
            ParaProps &para = state().para;
            para.numbering = closed.para.numbering;
            para.numberingStart = closed.para.numberingStart;
            para.numberingTab = closed.para.numberingTab;
            para.listOverride = 0;
        }
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
            flushBytes();
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
            if (digits == 2)
                textByte(static_cast<unsigned char>(byte), true);
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
            flushBytes();
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
        return p + std::min<qint64>(count, m_end - p);
    }

    void startDestination(Destination destination) { state().destination = destination; }

    void control(Kw keyword, int value, bool hasParameter)
    {
        State &s = state();
        // A group marked \* whose first word we do not know is skipped whole.
        if (keyword == Kw::Unknown) {
            if (m_ignorableNext)
                startDestination(Destination::Skip);
            return;
        }
        if (s.destination == Destination::Skip)
            return;
        if (m_unicodeSkipLeft > 0 && keyword != Kw::U) {
            --m_unicodeSkipLeft;
            return;
        }
        switch (s.destination) {
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
            break;
        case Kw::Mac:
            m_codePage = 10000;
            break;
        case Kw::Pc:
            m_codePage = 437;
            break;
        case Kw::Pca:
            m_codePage = 850;
            break;
        case Kw::AnsiCpg:
            m_codePage = value > 0 ? value : 1252;
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
        case Kw::Row:
        case Kw::Page:
            // Table cells and page breaks end a paragraph that has something in it.
            if (keyword == Kw::Cell || !m_paragraphEmpty)
                endParagraph();
            break;
        case Kw::Line:
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
            m_fonts[m_currentFont].codePage = codePageOfCharset(value);
            break;
        case Kw::CodePage:
            m_fonts[m_currentFont].codePage = value;
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

    int codePageNow()
    {
        const int font = state().chr.font >= 0 ? state().chr.font : m_defaultFont;
        const auto it = m_fonts.find(font);
        if (it != m_fonts.end() && it->second.codePage > 0)
            return it->second.codePage;
        return m_codePage;
    }

    // A byte of text in the code page of the current font; \'hh bytes of other
    // code pages wait in m_bytes so that double-byte characters decode whole.
    void textByte(unsigned char byte, bool escaped = false)
    {
        if (m_unicodeSkipLeft > 0) {
            --m_unicodeSkipLeft;
            return;
        }
        const Destination destination = state().destination;
        if (destination == Destination::Skip || destination == Destination::ListTable
            || destination == Destination::ListOverrideTable || destination == Destination::LegacyNumbering)
            return;
        if (byte < 0x80 && !escaped) {
            flushBytes();
            deliver(byte);
            return;
        }
        const int codePage = codePageNow();
        if (codePage == 1252 || (byte < 0x80 && m_bytes.isEmpty())) {
            flushBytes();
            deliver(fromCodePage1252(byte));
            return;
        }
        if (m_bytesCodePage != codePage)
            flushBytes();
        m_bytesCodePage = codePage;
        m_bytes.append(char(byte));
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        QStringDecoder *decoder = decoderFor(m_bytesCodePage);
        const QString decoded = decoder ? decoder->decode(m_bytes) : QString();
        if (decoder)
            decoder->resetState();
        QByteArray bytes;
        bytes.swap(m_bytes);
        if (decoder) {
            for (const QChar ch : decoded)
                deliver(ch.unicode());
        } else {
            for (const char b : std::as_const(bytes))
                deliver(fromCodePage1252(static_cast<unsigned char>(b)));
        }
    }

    QStringDecoder *decoderFor(int codePage)
    {
        auto it = m_decoders.find(codePage);
        if (it == m_decoders.end()) {
            const QByteArray name = codePage == 10000 ? QByteArray("macintosh")
                : (codePage == 437 || codePage == 850 || codePage == 932 || codePage == 936 || codePage == 949
                      || codePage == 950)
                ? "cp" + QByteArray::number(codePage)
                : "windows-" + QByteArray::number(codePage);
            auto decoder = std::make_unique<QStringDecoder>(name.constData());
            if (!decoder->isValid())
                decoder.reset();
            it = m_decoders.emplace(codePage, std::move(decoder)).first;
        }
        return it->second.get();
    }

    void unicodeChar(int value)
    {
        // A \uN outside the 16-bit range is not a character; its fallback is still skipped.
        if (value >= -32768 && value <= 65535)
            deliver(char16_t(value < 0 ? value + 65536 : value));
        m_unicodeSkipLeft = state().unicodeSkip;
    }

    void textChar(char16_t ch)
    {
        if (state().destination == Destination::Text)
            deliver(ch);
    }

    void deliver(char16_t ch)
    {
        switch (state().destination) {
        case Destination::Text:
            break;
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

    // Text is coming: open the pending paragraph, and start a new run when the format changed.
    void prepareText()
    {
        if (m_paragraphPending)
            startParagraph();
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
        if (state().destination != Destination::Text)
            return;
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
        flushBytes();
        if (m_paragraphPending)
            return; // the last paragraph mark closes the last paragraph
        flushRun();
        if (!m_empty || !m_paragraphEmpty)
            applyParagraph(state().para);
    }

    const char *m_data;
    const char *m_end;
    QTextCursor m_cursor;
    std::vector<State> m_stack;
    int m_overflowDepth = 0;
    bool m_finished = false;
    bool m_ignorableNext = false;
    int m_unicodeSkipLeft = 0;

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

    QByteArray m_bytes;
    int m_bytesCodePage = 0;
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;

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

bool looksLikeRtf(const QByteArray &data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
        && (data.at(i) == ' ' || data.at(i) == '\t' || data.at(i) == '\r' || data.at(i) == '\n'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf");
}

} // namespace

bool RtfReader::read(const QByteArray &data, QTextDocument &document, QString *error)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    const bool rtf = looksLikeRtf(data);
    if (rtf) {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        Reader reader(data, document);
        reader.run();
        cursor.endEditBlock();
    } else if (error) {
        *error = QCoreApplication::translate("RichEdit::RtfReader", "The text is not in rich text format.");
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return rtf;
}

} // namespace RichEdit
