#include "RichEditTestSupport.h"

#include "richedit/EmbeddedObjects.h"
#include "richedit/RtfCodec.h"
#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"
#include "richedit/TextFormats.h"

#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

#include <gtest/gtest.h>

#include <optional>

using namespace RichEdit;
using RichEditTest::plainText;

namespace {

QTextCharFormat charFormatAt(const QTextDocument &document, int position)
{
    // The format of the character at position (a cursor reports the one before it).
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QTextDocument *roundTrip(const QTextDocument &source, QTextDocument &target)
{
    target.setDefaultFont(source.defaultFont());
    EXPECT_TRUE(RtfReader::read(RtfWriter::write(source), target));
    return &target;
}

// A notes-like document: formatted runs, paragraphs, a list, and objects.
class FormattedDocument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
        QTextCursor cursor(&document);
        QTextCharFormat plain;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat colored;
        colored.setForeground(QColor(200, 10, 20));
        colored.setBackground(QColor(255, 255, 0));
        colored.setFontItalic(true);
        colored.setFontUnderline(true);
        QTextCharFormat big;
        big.setFontPointSize(16);
        big.setFontFamilies({ QStringLiteral("Times New Roman") });
        cursor.insertText(QStringLiteral("Head "), bold);
        cursor.insertText(QStringLiteral("ache {since} \\Monday\\"), plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("Pulse\tfast"), colored);
        cursor.insertText(QString(QChar::LineSeparator) + QStringLiteral("and "), plain);
        cursor.insertText(QStringLiteral("weak"), big);
        cursor.insertBlock();
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(centred);
        cursor.insertText(QStringLiteral("Centred line with a few more words to reach forty characters"));
    }

    void insertObjectAt(int position, qint64 handle)
    {
        QTextCursor cursor(&document);
        cursor.setPosition(position);
        cursor.insertText(
            QString(QChar::ObjectReplacementCharacter), embeddedObjectFormat(cursor.charFormat(), 1, handle));
    }

    QTextDocument document;
};

} // namespace

TEST_F(FormattedDocument, ObjectsBecomeOneBlankEachAndAllPositionsSurvive)
{
    const int end = document.characterCount() - 1;
    insertObjectAt(end, 5);
    for (const int position : { 40, 12, 5, 0 })
        insertObjectAt(position, position + 100);
    ASSERT_EQ(scanEmbeddedObjects(document).size(), 5);

    QTextDocument loaded;
    roundTrip(document, loaded);
    QString expected = plainText(document);
    expected.replace(QChar::ObjectReplacementCharacter, u' ');
    EXPECT_EQ(plainText(loaded), expected);
    EXPECT_EQ(loaded.characterCount(), document.characterCount());
    for (const EmbeddedObject &object : scanEmbeddedObjects(document))
        EXPECT_EQ(loaded.characterAt(object.position), u' ') << object.position;
    EXPECT_TRUE(scanEmbeddedObjects(loaded).isEmpty());
}

TEST_F(FormattedDocument, CharacterAndParagraphFormatsSurvive)
{
    QTextDocument loaded;
    roundTrip(document, loaded);
    ASSERT_EQ(plainText(loaded), plainText(document));
    const QString text = plainText(loaded);

    const QTextCharFormat head = charFormatAt(loaded, 0);
    EXPECT_EQ(head.fontWeight(), QFont::Bold);
    EXPECT_EQ(fontFamilyOf(head), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(head.fontPointSize(), 10.0);
    EXPECT_NE(charFormatAt(loaded, 6).fontWeight(), QFont::Bold);

    const QTextCharFormat pulse = charFormatAt(loaded, int(text.indexOf(QStringLiteral("Pulse"))));
    EXPECT_EQ(pulse.foreground().color(), QColor(200, 10, 20));
    EXPECT_EQ(pulse.background().color(), QColor(255, 255, 0));
    EXPECT_TRUE(pulse.fontItalic());
    EXPECT_TRUE(pulse.fontUnderline());
    const QTextCharFormat after = charFormatAt(loaded, int(text.indexOf(QStringLiteral("and"))));
    EXPECT_FALSE(after.hasProperty(QTextFormat::ForegroundBrush)) << "automatic colour stays automatic";
    EXPECT_FALSE(after.hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_FALSE(after.fontUnderline());

    const QTextCharFormat weak = charFormatAt(loaded, int(text.indexOf(QStringLiteral("weak"))));
    EXPECT_DOUBLE_EQ(weak.fontPointSize(), 16.0);
    EXPECT_EQ(fontFamilyOf(weak), QStringLiteral("Times New Roman"));

    EXPECT_EQ(loaded.blockCount(), 3);
    EXPECT_EQ(loaded.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(text.contains(QChar::LineSeparator));
    EXPECT_TRUE(text.contains(u'\t'));
}

TEST(RtfCodec, BulletsNumberingAndIndentsRoundTrip)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Plan"));
    for (const QString &line : { QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") }) {
        cursor.insertBlock();
        cursor.insertText(line);
    }
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("dot"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("indented"));

    auto formatBlocks = [&](int first, int last, const ParagraphFormat &format) {
        QTextCursor range(document.findBlockByNumber(first));
        range.setPosition(document.findBlockByNumber(last).position(), QTextCursor::KeepAnchor);
        applyParagraphFormat(range, format);
    };
    ParagraphFormat numbered;
    numbered.mask = ParagraphFormat::Numbering | ParagraphFormat::NumberingTab;
    numbered.numbering = ParagraphFormat::NumberingKind::Arabic;
    numbered.numberingTab = 250;
    formatBlocks(1, 3, numbered);
    ParagraphFormat bullet;
    bullet.mask = ParagraphFormat::Numbering;
    bullet.numbering = ParagraphFormat::NumberingKind::Bullet;
    formatBlocks(4, 4, bullet);
    ParagraphFormat indent;
    indent.mask = ParagraphFormat::StartIndent | ParagraphFormat::Offset | ParagraphFormat::Alignment
        | ParagraphFormat::Shading;
    indent.startIndent = 720;
    indent.offset = 360;
    indent.alignment = ParagraphFormat::Align::Right;
    indent.shading = QColor(220, 220, 255);
    formatBlocks(5, 5, indent);

    QTextDocument loaded;
    roundTrip(document, loaded);
    ASSERT_EQ(plainText(loaded), plainText(document));
    const QTextBlock one = loaded.findBlockByNumber(1);
    ASSERT_NE(one.textList(), nullptr);
    EXPECT_EQ(one.textList()->count(), 3) << "the three numbered paragraphs stay one list";
    EXPECT_EQ(one.textList()->itemText(loaded.findBlockByNumber(3)), QStringLiteral("3."));
    const ParagraphFormat numberedAfter = ParagraphFormat::fromBlock(one);
    EXPECT_EQ(numberedAfter.numbering, ParagraphFormat::NumberingKind::Arabic);
    EXPECT_EQ(numberedAfter.numberingTab, 250);
    EXPECT_EQ(ParagraphFormat::fromBlock(loaded.findBlockByNumber(4)).numbering,
        ParagraphFormat::NumberingKind::Bullet);
    EXPECT_EQ(loaded.findBlockByNumber(0).textList(), nullptr);
    const ParagraphFormat indented = ParagraphFormat::fromBlock(loaded.findBlockByNumber(5));
    EXPECT_EQ(indented.numbering, ParagraphFormat::NumberingKind::None);
    EXPECT_EQ(indented.startIndent, 720);
    EXPECT_EQ(indented.offset, 360);
    EXPECT_EQ(indented.alignment, ParagraphFormat::Align::Right);
    EXPECT_EQ(indented.shading, QColor(220, 220, 255));
}

TEST(RtfCodec, UnicodeRoundTripsAndLatinTextStaysReadable)
{
    const QString text = QStringLiteral(
        "Ελληνικά Кириллица 漢字かな 🌿🙂 café €5 naïve – “quotes”");
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    const QByteArray rtf = RtfWriter::write(document);
    // Seven-bit output: Latin text in code page 1252, the rest as \uN.
    for (const char byte : rtf)
        ASSERT_LT(static_cast<unsigned char>(byte), 0x80);
    EXPECT_TRUE(rtf.contains("caf\\'e9")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\'80"));
    EXPECT_TRUE(rtf.contains("\\u-10179?")) << "emoji as a surrogate pair";

    QTextDocument loaded;
    ASSERT_TRUE(RtfReader::read(rtf, loaded));
    EXPECT_EQ(plainText(loaded), text);
}

TEST(RtfCodec, EmptyDocumentsAndTrailingEmptyParagraphsKeepTheirLength)
{
    for (const QString &text :
        { QString(), QStringLiteral("a\n"), QStringLiteral("\n\n"), QStringLiteral("x") }) {
        QTextDocument document;
        QTextCursor(&document).insertText(text);
        QTextDocument loaded;
        roundTrip(document, loaded);
        EXPECT_EQ(plainText(loaded), plainText(document)) << text.toStdString();
        EXPECT_EQ(loaded.blockCount(), document.blockCount());
    }
}

TEST(RtfCodec, StreamsInBlocksOfTheRequestedSize)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    for (int i = 0; i < 200; ++i) {
        cursor.insertText(QStringLiteral("Line %1 with some text").arg(i));
        cursor.insertBlock();
    }
    QByteArray streamed;
    qsizetype largest = 0;
    int blocks = 0;
    ASSERT_TRUE(RtfCodec::streamOut(
        document,
        [&](const char *data, qsizetype size) {
            streamed.append(data, size);
            largest = std::max(largest, size);
            ++blocks;
            return true;
        },
        1000));
    EXPECT_EQ(streamed, RtfCodec::toRtf(document));
    EXPECT_EQ(largest, 1000);
    EXPECT_EQ(blocks, (streamed.size() + 999) / 1000);

    qsizetype offset = 0;
    std::vector<qsizetype> asked;
    QTextDocument loaded;
    ASSERT_TRUE(RtfCodec::streamIn(
        loaded,
        [&](char *buffer, qsizetype capacity) {
            asked.push_back(capacity);
            const qsizetype count = std::min<qsizetype>(capacity, streamed.size() - offset);
            memcpy(buffer, streamed.constData() + offset, size_t(count));
            offset += count;
            return count;
        },
        333));
    EXPECT_EQ(plainText(loaded), plainText(document));
    EXPECT_TRUE(std::all_of(asked.begin(), asked.end(), [](qsizetype c) { return c == 333; }));

    // A failing writer or reader ends the stream with an error; the document keeps its text.
    EXPECT_FALSE(RtfCodec::streamOut(document, [](const char *, qsizetype) { return false; }));
    RtfReadReport report;
    EXPECT_FALSE(RtfCodec::streamIn(
        loaded, [](char *, qsizetype) { return qsizetype(-1); }, 100, &report));
    EXPECT_EQ(plainText(loaded), plainText(document));
    EXPECT_FALSE(report.read);
    EXPECT_FALSE(report.error.isEmpty());
}

TEST(RtfReader, ReadsCodePagesUnicodeSkipsAndSpecialCharacters)
{
    struct Case
    {
        const char *rtf;
        QString text;
    };
    const Case cases[] = {
        { R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})", QStringLiteral("Привет") },
        { R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset161 Greek;}}\f1 \'e1\'e2\f0  \'e1})",
            QStringLiteral("αβ á") },
        { R"({\rtf1\uc2 \u955\'3f\'3fx\uc0\u956 y})", QStringLiteral("λxμy") },
        { R"({\rtf1 a{\uc3\u955 ?}b\u-3913?})", QStringLiteral("aλb\uF0B7") },
        { R"({\rtf1 \ldblquote x\rdblquote\~\emdash\endash\bullet\lquote\rquote\tab z})",
            QStringLiteral("“x”\u00A0—–•‘’\tz") },
        { R"({\rtf1\ansi\ansicpg932 \'93\'fa\'96\'7b})", QStringLiteral("日本") },
        { "{\\rtf1 one\\line two\\\nthree}", QStringLiteral("one\u2028two\nthree") },
        { R"({\rtf1 a\u55357?\u56447?b\u55357?c})", QStringLiteral("a\U0001F47Fb\uFFFDc") },
    };
    for (const Case &c : cases) {
        QTextDocument document;
        ASSERT_TRUE(RtfReader::read(QByteArray(c.rtf), document)) << c.rtf;
        EXPECT_EQ(plainText(document), c.text) << c.rtf;
    }
}

TEST(RtfReader, SkipsWhatIsNotBodyText)
{
    // Pictures, field instructions, unknown \* destinations, binary data,
    // style sheets and information groups leave no text; field results and
    // object results do. Line ends in RTF are not text.
    const QByteArray rtf
        = R"({\rtf1\ansi{\fonttbl{\f0\fswiss Arial;}}{\stylesheet{\s1 Heading;}}{\info{\title T}}
{\*\generator Writer;}{\*\unknownthing {nested} text}
A{\pict\pngblip\picw10 89504e47}B{\*\shppict{\pict 0102}}{\nonshppict{\pict 0304}}
C{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}D\bin4 {}}xE{\object{\*\objdata 0102}{\result shown}}F
\unknownword G\par})";
    QTextDocument document;
    RtfReadReport report;
    ASSERT_TRUE(RtfReader::read(rtf, document, &report));
    EXPECT_EQ(plainText(document), QStringLiteral("ABClinkDEshownFG"));
    EXPECT_EQ(report.count(RtfReadReport::Issue::PicturesDropped), 2)
        << "the alternative picture is not counted";
    EXPECT_EQ(report.count(RtfReadReport::Issue::ObjectsDropped), 1);
    EXPECT_EQ(report.count(RtfReadReport::Issue::LinksAsText), 1);
    EXPECT_FALSE(report.textMayBeLost);
}

TEST(RtfReader, ReadsTablesAsParagraphsAndWordListsAsLists)
{
    const QByteArray rtf = R"({\rtf1\ansi
{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc23\levelstartat1{\leveltext\'01\u8226 ?;}{\levelnumbers;}}\listid7}
{\list{\listlevel\levelnfc0\levelstartat3{\leveltext\'02\'00.;}{\levelnumbers\'01;}}\listid8}}
{\*\listoverridetable{\listoverride\listid7\listoverridecount0\ls1}{\listoverride\listid8\listoverridecount0\ls2}}
\trowd\cellx1000\cellx2000\pard\intbl A1\cell B1\cell\row
\pard\ls1{\listtext \u8226 ?\tab}first\par
{\listtext \u8226 ?\tab}second\par
\pard\ls2{\listtext 3.\tab}third\par
\pard plain\par})";
    QTextDocument document;
    ASSERT_TRUE(RtfReader::read(rtf, document));
    EXPECT_EQ(plainText(document), QStringLiteral("A1\tB1\nfirst\nsecond\nthird\nplain"));
    const QTextBlock first = document.findBlockByNumber(1);
    ASSERT_NE(first.textList(), nullptr);
    EXPECT_EQ(first.textList(), document.findBlockByNumber(2).textList());
    EXPECT_EQ(ParagraphFormat::fromBlock(first).numbering, ParagraphFormat::NumberingKind::Bullet);
    const ParagraphFormat third = ParagraphFormat::fromBlock(document.findBlockByNumber(3));
    EXPECT_EQ(third.numbering, ParagraphFormat::NumberingKind::Arabic);
    EXPECT_EQ(third.numberingStart, 3);
    EXPECT_EQ(document.findBlockByNumber(4).textList(), nullptr);
}

TEST(RtfReader, ReadsLegacyNumberingOfOlderEditors)
{
    const QByteArray rtf = R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}}
\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'B7}}\fi-720\li720 dot\par
\pard{\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}}\fi-360\li360 one\par
{\pntext\f0 2.\tab}two\par
\pard plain\par
})";
    QTextDocument document;
    ASSERT_TRUE(RtfReader::read(rtf, document));
    EXPECT_EQ(plainText(document), QStringLiteral("dot\none\ntwo\nplain"));
    EXPECT_EQ(ParagraphFormat::fromBlock(document.findBlockByNumber(0)).numbering,
        ParagraphFormat::NumberingKind::Bullet);
    const QTextBlock one = document.findBlockByNumber(1);
    ASSERT_NE(one.textList(), nullptr);
    EXPECT_EQ(one.textList(), document.findBlockByNumber(2).textList());
    EXPECT_EQ(one.textList()->itemText(document.findBlockByNumber(2)), QStringLiteral("2."));
    EXPECT_EQ(ParagraphFormat::fromBlock(one).startIndent, 0);
    EXPECT_EQ(ParagraphFormat::fromBlock(one).offset, 360);
    EXPECT_EQ(document.findBlockByNumber(3).textList(), nullptr);
}

TEST(RtfReader, NonRtfFailsWithAnErrorAndLeavesTheDocumentUntouched)
{
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("old"));
    const QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    for (const QByteArray &data : { QByteArray("plain words"), QByteArray(), QByteArray(" \r\n"), binary,
             QByteArray("{\\rt"), QByteArray("\\rtf1 {no brace}") }) {
        RtfReadReport report;
        report.read = true;
        EXPECT_FALSE(RtfReader::read(data, document, &report)) << data.constData();
        EXPECT_FALSE(report.read);
        EXPECT_FALSE(report.error.isEmpty());
        EXPECT_EQ(plainText(document), QStringLiteral("old"));
    }
    // What the program shows instead: the bytes as text, control bytes made visible.
    EXPECT_EQ(RtfReader::asPlainText("caf\xc3\xa9 \x01"), QStringLiteral("café \uFFFD"));
    EXPECT_EQ(RtfReader::asPlainText("caf\xe9"), QStringLiteral("café"));
}

TEST(RtfReader, DamagedInputLoadsEveryPieceOfTextAndSaysWhatMayBeLost)
{
    using Issue = RtfReadReport::Issue;
    const struct
    {
        QByteArray rtf;
        QString text;
        Issue issue;
        bool lost;
    } cases[] = {
        { "{\\rtf1 cut off {\\b bold", QStringLiteral("cut off bold"), Issue::Truncated, true },
        { "{\\rtf1 a}}}} trailing", QStringLiteral("a trailing"), Issue::UnbalancedBraces, false },
        { "{\\rtf1 a} b {c}}", QStringLiteral("a b c"), Issue::UnbalancedBraces, false },
        { "{\\rtf1 x\\bin999999999999 hidden", QStringLiteral("x"), Issue::Truncated, true },
        { "{\\rtf1 y\\u99999999?\\u-99999?z\\'4}", QStringLiteral("y\uFFFD\uFFFDz\uFFFD"),
            Issue::UndecodableCharacters, true },
        { "{\\rtf1 \\fs-5 \\li99999999999 \\f-3 \\cf77 \\ansicpg-1 w\\'e9}", QStringLiteral("wé"),
            Issue::Truncated, false },
        { "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " end}",
            QStringLiteral("deep end"), Issue::NestingTooDeep, false },
        { "{\\rtf1 " + QByteArray(5000, 'a').prepend('\\') + "1 q}", QStringLiteral("q"), Issue::Truncated,
            false },
        { QByteArray("{\\rtf1 nul\0 and\x01 bell\x07}\0\0", 25), QStringLiteral("nul and bell"),
            Issue::ControlBytesIgnored, false },
        { "{\\rtf1\\ansicpg1361 \\'88\\'61 \\'d9\\'31}", QStringLiteral("가 \u3000"), Issue::Truncated,
            false },
    };
    for (const auto &c : cases) {
        QTextDocument document;
        RtfReadReport report;
        ASSERT_TRUE(RtfReader::read(c.rtf, document, &report)) << c.rtf.left(60).constData();
        EXPECT_TRUE(report.read);
        EXPECT_EQ(plainText(document), c.text) << c.rtf.left(60).constData();
        EXPECT_EQ(report.textMayBeLost, c.lost) << c.rtf.left(60).constData();
        EXPECT_EQ(report.has(c.issue), c.issue != Issue::Truncated || c.lost) << c.rtf.left(60).constData();
        EXPECT_EQ(report.descriptions().size(), report.entries.size());
    }
}

TEST(RtfReader, FontCharacterSetsDecideTheCodePageOfTheirBytes)
{
    using Issue = RtfReadReport::Issue;
    struct Case
    {
        const char *rtf;
        QString text;
    };
    const Case cases[] = {
        // A Western font keeps code page 1252 in a Big5 document; a font without a charset takes the
        // document's.
        { R"({\rtf1\ansi\ansicpg950{\fonttbl{\f0\fcharset0 Arial;}{\f1 Ming;}}\f0\'a9\f1\'a4\'a4})",
            QStringLiteral("©中") },
        // \cpg wins over \fcharset; charset 1 is the document's code page.
        { R"({\rtf1\ansi\ansicpg1253{\fonttbl{\f0\fcharset204\cpg1251 A;}{\f1\fcharset1 B;}}\f0\'e0\f1\'e1})",
            QStringLiteral("аα") },
        // Double-byte characters split over escapes, plain trail bytes, escaped braces and backslashes.
        { "{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 \\'95\\\\\\'93\\'fa\\'96\\{\\'83A x}",
            QStringLiteral("表日本ア x") },
        // Trail bytes after a line break of the RTF file still join their lead.
        { "{\\rtf1{\\fonttbl{\\f0\\fcharset129 G;}}\\f0\\'c7\r\n\\'d1}", QStringLiteral("한") },
        // A lead byte whose trail never came is shown, not dropped.
        { R"({\rtf1{\fonttbl{\f0\fcharset134 S;}}\f0\'c4\par x})", QStringLiteral("\uFFFD\nx") },
        // \uN fallbacks in a double-byte font count a character as one, whatever \uc says.
        { R"({\rtf1{\fonttbl{\f0\fcharset128 M;}}\f0\uc1\u26085\'93\'fa\u26412\'96\'7b!})",
            QStringLiteral("日本!") },
        { R"({\rtf1{\fonttbl{\f0\fcharset128 M;}}\f0\uc2\u26085\'93\'fa\u26412\'96\'7b!})",
            QStringLiteral("日本!") },
        // Symbol fonts: the Symbol font's glyphs are characters; other symbol fonts keep private-use ones.
        { R"({\rtf1{\fonttbl{\f0\fcharset2 Symbol;}{\f1\fcharset2 Wingdings;}{\f2\fcharset2 Marlett;}}\f0 ab\'b7\u61623?\f1\'fc\f2 a})",
            QStringLiteral("αβ••✔\uF061") },
        // Johab (decoded here without a system codec), Mac Roman, OEM.
        { R"({\rtf1{\fonttbl{\f0\fcharset130 J;}{\f1\fcharset77 M;}{\f2\fcharset255 O;}}\f0\'88\'61\f1\'8e\f2\'c5})",
            QStringLiteral("가é┼") },
    };
    for (const Case &c : cases) {
        QTextDocument document;
        RtfReadReport report;
        ASSERT_TRUE(RtfReader::read(QByteArray(c.rtf), document, &report)) << c.rtf;
        EXPECT_EQ(plainText(document), c.text) << c.rtf;
    }

    // Code pages this system cannot decode give a replacement character per byte and say so.
    QTextDocument document;
    RtfReadReport report;
    ASSERT_TRUE(
        RtfReader::read(R"({\rtf1{\fonttbl{\f0\fcharset78 MacJ;}}\f0 a\'82\'a0b})", document, &report));
    EXPECT_EQ(plainText(document), QStringLiteral("a\uFFFD\uFFFDb"));
    EXPECT_TRUE(report.textMayBeLost);
    ASSERT_EQ(report.entries.size(), 1);
    EXPECT_EQ(report.entries.at(0), (RtfReadReport::Entry { Issue::CodePageUnavailable, 2, 10001 }));
    EXPECT_TRUE(report.descriptions().at(0).contains(QStringLiteral("10001")));
}

TEST(RtfReader, KeepsTheTextOfFieldsTablesNotesHeadersAndTextBoxes)
{
    using Issue = RtfReadReport::Issue;
    struct Case
    {
        const char *rtf;
        QString text;
        std::optional<Issue> issue;
    };
    const Case cases[] = {
        // Cells of a row on one line with tabs (an empty cell keeps its place), a row per paragraph.
        { R"({\rtf1\trowd\cellx1\cellx2\cellx3\intbl A\cell\cell C\cell\row\trowd\intbl D\cell E\cell\row after\par})",
            QStringLiteral("A\t\tC\nD\tE\nafter"), Issue::TablesFlattened },
        // A nested table's row ends inside its properties; the flat copy for old readers is not read twice.
        { R"({\rtf1\intbl Out\cell\intbl x\nestcell y\nestcell{\*\nesttableprops\nestrow}{\nonesttables x y\par}\cell\row})",
            QStringLiteral("Out\tx\ty\n"), Issue::TablesFlattened },
        // A field without a result shows its link or its symbol.
        { R"({\rtf1 a {\field{\*\fldinst HYPERLINK "http://x.org/a b" \\l "m"}{\fldrslt }} {\field{\*\fldinst SYMBOL 183 \\f "Symbol"}}})",
            QStringLiteral("a http://x.org/a b •"), Issue::LinksAsText },
        // Fields nested in an instruction do not show.
        { R"({\rtf1 {\field{\*\fldinst IF {\field{\*\fldinst PAGE}{\fldrslt 1}} = 1 "x"}{\fldrslt shown}}})",
            QStringLiteral("shown"), std::nullopt },
        // Footnotes, endnotes and comments in brackets where they stood.
        { R"({\rtf1 a{\footnote\pard note\par two} b{\footnote\ftnalt end} c{\*\atnauthor Ann}\chatn{\*\annotation x}.})",
            QStringLiteral("a[Footnote: note two] b[Endnote: end] c[Comment by Ann: x]."),
            Issue::NotesInBrackets },
        // Headers and footers as paragraphs of their own, the same one once; empty ones leave nothing.
        { R"({\rtf1{\headerl\pard Dr X\par}{\headerr\pard Dr X\par}{\footer\pard\par}{\footerf\pard p. {\field{\*\fldinst PAGE}{\fldrslt 1}}}body})",
            QStringLiteral("[Header: Dr X]\n[Footer: p. 1]\nbody"), Issue::HeadersFootersInBrackets },
        // A text box's text, not its copy for readers without shapes.
        { R"({\rtf1 a{\shp{\*\shpinst{\sp{\sn t}{\sv 1}}{\shptxt box\par line}}{\shprslt{\*\do{\dptxbxtext box}}}}b})",
            QStringLiteral("a\nbox\nline\nb"), Issue::TextBoxesAsParagraphs },
        // Text in unknown words' groups and unknown groups shows; the Unicode half of \upr replaces the
        // other.
        { R"({\rtf1 {\unknown a}{\xyz{b}}{\upr{c}{\*\ud{d}}}})", QStringLiteral("abd"), std::nullopt },
        // Sections and columns end paragraphs.
        { R"({\rtf1 one\sect\sectd two\column three})", QStringLiteral("one\ntwo\nthree"), std::nullopt },
        // A group left open at the end still places its note.
        { R"({\rtf1 a{\footnote cut)", QStringLiteral("a[Footnote: cut]"), Issue::Truncated },
    };
    for (const Case &c : cases) {
        QTextDocument document;
        RtfReadReport report;
        ASSERT_TRUE(RtfReader::read(QByteArray(c.rtf), document, &report)) << c.rtf;
        EXPECT_EQ(plainText(document), c.text) << c.rtf;
        EXPECT_EQ(report.entries.isEmpty(), !c.issue.has_value()) << c.rtf;
        EXPECT_TRUE(!c.issue || report.has(*c.issue)) << c.rtf;
    }
}
