#include "richedit/CodePages.h"

#include <QtCore/QStringDecoder>

#include <utility>

namespace RichEdit {

namespace {

// The Symbol font's glyphs from 0x20 to 0xFF (0 where the font has none).
// clang-format off
constexpr char16_t SymbolGlyphs[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};
// clang-format on

// The Wingdings glyphs documents use as text (check marks, boxes, bullets).
constexpr std::pair<unsigned char, char16_t> WingdingsGlyphs[] = {
    { 0x4A, 0x263A },
    { 0x4C, 0x2639 },
    { 0x6C, 0x25CF },
    { 0x6E, 0x25A0 },
    { 0x6F, 0x25A1 },
    { 0x71, 0x2751 },
    { 0x75, 0x25C6 },
    { 0x76, 0x2756 },
    { 0xA7, 0x25AA },
    { 0xA8, 0x25FB },
    { 0xD8, 0x27A2 },
    { 0xE8, 0x2794 },
    { 0xFB, 0x2717 },
    { 0xFC, 0x2714 },
    { 0xFD, 0x2612 },
    { 0xFE, 0x2611 },
};

// Compatibility jamo of the Johab initial consonants and of the final ones.
constexpr char16_t JohabInitialJamo[19] = { 0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141, 0x3142,
    0x3143, 0x3145, 0x3146, 0x3147, 0x3148, 0x3149, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E };
constexpr char16_t JohabFinalJamo[28] = { 0, 0x3131, 0x3132, 0x3133, 0x3134, 0x3135, 0x3136, 0x3137, 0x3139,
    0x313A, 0x313B, 0x313C, 0x313D, 0x313E, 0x313F, 0x3140, 0x3141, 0x3142, 0x3144, 0x3145, 0x3146, 0x3147,
    0x3148, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E };

QByteArray decoderName(int codePage)
{
    switch (codePage) {
    case 10000:
        return "macintosh";
    case 10006:
        return "x-mac-greek";
    case 10007:
        return "x-mac-cyrillic";
    case 10029:
        return "x-mac-ce";
    case 10081:
        return "x-mac-turkish";
    case 65001:
        return "UTF-8";
    case 20127:
        return "US-ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 54936:
        return "GB18030";
    case 51949:
        return "EUC-KR";
    case 20932:
    case 51932:
        return "EUC-JP";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28605)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    if (codePage == 874 || codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950)
        return "windows-" + QByteArray::number(codePage);
    if (codePage > 0 && codePage < 1000)
        return "cp" + QByteArray::number(codePage); // the OEM code pages
    return {};
}

std::unique_ptr<QStringDecoder> makeDecoder(const QByteArray &name)
{
    if (name.isEmpty())
        return {};
    auto decoder = std::make_unique<QStringDecoder>(name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder->isValid())
        return {};
    return decoder;
}

void setLeadRange(std::array<bool, 256> &lead, int first, int last)
{
    for (int byte = first; byte <= last; ++byte)
        lead[size_t(byte)] = true;
}

} // namespace

int codePageOfCharset(int charset)
{
    // clang-format off
    static constexpr std::pair<int, int> codePages[] = {
        { 0, 1252 }, { 2, SymbolCodePage }, { 77, 10000 }, { 78, 10001 }, { 79, 10003 }, { 80, 10008 },
        { 81, 10002 }, { 83, 10005 }, { 84, 10004 }, { 85, 10006 }, { 86, 10081 }, { 87, 10021 }, { 88, 10029 },
        { 89, 10007 }, { 128, 932 }, { 129, 949 }, { 130, 1361 }, { 134, 936 }, { 136, 950 }, { 161, 1253 },
        { 162, 1254 }, { 163, 1258 }, { 177, 1255 }, { 178, 1256 }, { 186, 1257 }, { 204, 1251 }, { 222, 874 },
        { 238, 1250 }, { 254, 437 }, { 255, 437 },
    };
    // clang-format on
    for (const auto &[set, codePage] : codePages) {
        if (set == charset)
            return codePage;
    }
    return 0;
}

int symbolCodePageOfFont(const QString &fontName)
{
    const QString name = fontName.trimmed();
    if (name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return SymbolCodePage;
    if (name.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0)
        return WingdingsCodePage;
    return OtherSymbolCodePage;
}

ByteDecoder::ByteDecoder(int codePage)
    : m_codePage(codePage)
{
    for (int byte = 0; byte < 0x80; ++byte)
        m_table[size_t(byte)] = char16_t(byte);
    if (codePage == SymbolCodePage || codePage == WingdingsCodePage || codePage == OtherSymbolCodePage) {
        // Glyphs without a character keep their byte in the private-use area,
        // where Windows puts symbol fonts too: the font still draws them.
        m_kind = Kind::Symbol;
        for (int byte = 0; byte < 256; ++byte)
            m_table[size_t(byte)] = char16_t(0xF000 + byte);
        if (codePage == SymbolCodePage) {
            for (int byte = 0x20; byte < 0x100; ++byte) {
                if (const char16_t glyph = SymbolGlyphs[byte - 0x20])
                    m_table[size_t(byte)] = glyph;
            }
        } else if (codePage == WingdingsCodePage) {
            for (const auto &[byte, glyph] : WingdingsGlyphs)
                m_table[byte] = glyph;
        }
        m_table[0x20] = u' ';
        return;
    }
    if (codePage == 1361) {
        // Johab: Hangul is computed, the other rows are those of EUC-KR.
        m_korean = makeDecoder("EUC-KR");
        if (m_korean) {
            m_kind = Kind::DoubleByte;
            setLeadRange(m_lead, 0x84, 0xD3);
            setLeadRange(m_lead, 0xD8, 0xDE);
            setLeadRange(m_lead, 0xE0, 0xF9);
        }
        return;
    }
    m_decoder = makeDecoder(decoderName(codePage));
    if (!m_decoder)
        return;
    switch (codePage) {
    case 932:
        m_kind = Kind::DoubleByte;
        setLeadRange(m_lead, 0x81, 0x9F);
        setLeadRange(m_lead, 0xE0, 0xFC);
        return;
    case 936:
    case 949:
    case 950:
        m_kind = Kind::DoubleByte;
        setLeadRange(m_lead, 0x81, 0xFE);
        return;
    case 65001:
    case 54936:
    case 51949:
    case 20932:
    case 51932:
        m_kind = Kind::MultiByte;
        return;
    default:
        break;
    }
    m_kind = Kind::SingleByte;
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const char single = char(byte);
        const QString decoded = m_decoder->decode(QByteArrayView(&single, 1));
        m_table[size_t(byte)] = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t(0xFFFD);
    }
}

ByteDecoder::~ByteDecoder() = default;

void ByteDecoder::decode(QByteArrayView bytes, QString &out) const
{
    switch (m_kind) {
    case Kind::SingleByte:
    case Kind::Symbol:
        for (const char byte : bytes)
            out += QChar(m_table[static_cast<unsigned char>(byte)]);
        return;
    case Kind::Unavailable:
        out += QString(bytes.size(), QChar::ReplacementCharacter);
        return;
    case Kind::DoubleByte:
        if (m_korean) {
            decodeJohab(bytes, out);
            return;
        }
        break;
    case Kind::MultiByte:
        break;
    }
    // A lone lead byte at the end of the run has lost its trail.
    bool loneLead = false;
    if (m_kind == Kind::DoubleByte) {
        for (qsizetype i = 0; i < bytes.size(); i += isLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1)
            loneLead = i + 1 == bytes.size() && isLeadByte(static_cast<unsigned char>(bytes[i]));
    }
    out += m_decoder->decode(loneLead ? bytes.chopped(1) : bytes);
    if (loneLead)
        out += QChar::ReplacementCharacter;
}

void ByteDecoder::decodeJohab(QByteArrayView bytes, QString &out) const
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += QChar(char16_t(lead));
            ++i;
            continue;
        }
        if (!isLeadByte(lead) || i + 1 >= bytes.size()) {
            out += QChar::ReplacementCharacter;
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        i += 2;
        char16_t ch = 0xFFFD;
        if (lead <= 0xD3) {
            const int code = (lead << 8) | trail;
            const int initial = (code >> 10) & 0x1F;
            const int medial = (code >> 5) & 0x1F;
            const int final = code & 0x1F;
            static constexpr signed char vowels[32] = { -1, -1, -2, 0, 1, 2, 3, 4, -1, -1, 5, 6, 7, 8, 9, 10,
                -1, -1, 11, 12, 13, 14, 15, 16, -1, -1, 17, 18, 19, 20, -1, -1 };
            const int l = initial >= 2 && initial <= 20 ? initial - 2 : initial == 1 ? -2 : -1;
            const int v = vowels[medial];
            const int t = final == 1        ? 0
                : final >= 2 && final <= 17 ? final - 1
                : final >= 19               ? final - 2
                                            : -1;
            if (l >= 0 && v >= 0 && t >= 0)
                ch = char16_t(0xAC00 + (l * 21 + v) * 28 + t);
            else if (l >= 0 && v == -2 && t == 0)
                ch = JohabInitialJamo[l];
            else if (l == -2 && v >= 0 && t == 0)
                ch = char16_t(0x314F + v);
            else if (l == -2 && v == -2 && t > 0)
                ch = JohabFinalJamo[t];
            else if (l == -2 && v == -2 && t == 0)
                ch = 0x3164;
        } else if (lead != 0xD8 && trail >= 0x31 && (trail < 0x80 || trail >= 0x91) && (trail & 0x7F) != 0x7F
            && !(lead == 0xDA && trail >= 0xA1 && trail <= 0xD3)) {
            // The KS X 1001 symbol and Hanja rows, moved to where EUC-KR has them.
            int row = lead < 0xE0 ? 2 * (lead - 0xD9) : 2 * lead - 0x197;
            int column = trail < 0x91 ? trail - 0x31 : trail - 0x43;
            row += (column < 0x5E ? 0 : 1) + 0x21;
            column = (column < 0x5E ? column : column - 0x5E) + 0x21;
            const char euc[2] = { char(row | 0x80), char(column | 0x80) };
            const QString decoded = m_korean->decode(QByteArrayView(euc, 2));
            if (decoded.size() == 1)
                ch = decoded.at(0).unicode();
        }
        out += QChar(ch);
    }
}

} // namespace RichEdit
