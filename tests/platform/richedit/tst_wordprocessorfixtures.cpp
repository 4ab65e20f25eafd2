// RTF written by a word processor (LibreOffice, from the documents that
// tests/data/richedit/make-fixtures.sh describes) reads with its text and
// main formatting.
#include "RichEditTestSupport.h"

#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"
#include "richedit/TextFormats.h"

#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

#include <gtest/gtest.h>

using namespace RichEdit;
using RichEditTest::plainText;

namespace {

QTextCharFormat formatOfWord(const QTextDocument &document, const QString &word)
{
    const int at = int(plainText(document).indexOf(word));
    EXPECT_GE(at, 0) << word.toStdString();
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(at + 1);
    return cursor.charFormat();
}

} // namespace

TEST(WordProcessorFixtures, FormattingReadsWithTextAndMainFormats)
{
    const QByteArray rtf = RichEditTest::readFixture(QStringLiteral("formatting.rtf"));
    ASSERT_FALSE(rtf.isEmpty());
    QTextDocument document;
    ASSERT_TRUE(RtfReader::read(rtf, document));
    EXPECT_EQ(plainText(document),
        QStringLiteral("Plain bold italic underlined red marked large serif end.\nCentred paragraph\n"
                       "Right paragraph\nIndented one inch\nTab\tstop and line\u2028break\n"
                       "Ελληνικά Кириллица 漢字 café € naïve"));

    const QTextCharFormat plain = formatOfWord(document, QStringLiteral("Plain"));
    EXPECT_EQ(fontFamilyOf(plain), QStringLiteral("Liberation Sans"));
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 12.0);
    EXPECT_NE(plain.fontWeight(), QFont::Bold);
    EXPECT_FALSE(plain.fontItalic());
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOfWord(document, QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOfWord(document, QStringLiteral("italic")).fontItalic());
    EXPECT_TRUE(formatOfWord(document, QStringLiteral("underlined")).fontUnderline());
    EXPECT_EQ(formatOfWord(document, QStringLiteral("red")).foreground().color(), QColor(0xc0, 0, 0));
    EXPECT_EQ(formatOfWord(document, QStringLiteral("marked")).background().color(), QColor(0xff, 0xff, 0));
    const QTextCharFormat large = formatOfWord(document, QStringLiteral("large"));
    EXPECT_DOUBLE_EQ(large.fontPointSize(), 16.0);
    EXPECT_EQ(fontFamilyOf(large), QStringLiteral("Liberation Serif"));
    EXPECT_FALSE(formatOfWord(document, QStringLiteral("end")).fontUnderline());

    EXPECT_EQ(
        ParagraphFormat::fromBlock(document.findBlockByNumber(1)).alignment, ParagraphFormat::Align::Center);
    EXPECT_EQ(
        ParagraphFormat::fromBlock(document.findBlockByNumber(2)).alignment, ParagraphFormat::Align::Right);
    const ParagraphFormat indented = ParagraphFormat::fromBlock(document.findBlockByNumber(3));
    EXPECT_EQ(indented.alignment, ParagraphFormat::Align::Left);
    EXPECT_EQ(indented.startIndent, 1440);
}

TEST(WordProcessorFixtures, ListsTablesAndPicturesRead)
{
    const QByteArray rtf = RichEditTest::readFixture(QStringLiteral("lists-tables-pictures.rtf"));
    ASSERT_FALSE(rtf.isEmpty());
    QTextDocument document;
    ASSERT_TRUE(RtfReader::read(rtf, document));
    EXPECT_EQ(plainText(document),
        QStringLiteral("Symptoms\nheadache\nfever\nRemedies\nArnica\nBelladonna\nNux vomica\n"
                       "Remedy\tDose\nArnica\t30C\nBefore image  after image\nLast line"));

    const QTextBlock headache = document.findBlockByNumber(1);
    ASSERT_NE(headache.textList(), nullptr);
    EXPECT_EQ(headache.textList(), document.findBlockByNumber(2).textList());
    EXPECT_EQ(ParagraphFormat::fromBlock(headache).numbering, ParagraphFormat::NumberingKind::Bullet);
    EXPECT_EQ(document.findBlockByNumber(3).textList(), nullptr);
    const QTextBlock arnica = document.findBlockByNumber(4);
    ASSERT_NE(arnica.textList(), nullptr);
    EXPECT_EQ(ParagraphFormat::fromBlock(arnica).numbering, ParagraphFormat::NumberingKind::Arabic);
    EXPECT_EQ(arnica.textList()->itemText(document.findBlockByNumber(6)), QStringLiteral("3."));
    EXPECT_EQ(document.findBlockByNumber(7).textList(), nullptr) << "table cells are plain paragraphs";
}

TEST(WordProcessorFixtures, ReadTextSurvivesOurOwnRoundTrip)
{
    for (const QString &name :
        { QStringLiteral("formatting.rtf"), QStringLiteral("lists-tables-pictures.rtf") }) {
        QTextDocument first;
        ASSERT_TRUE(RtfReader::read(RichEditTest::readFixture(name), first));
        QTextDocument second;
        ASSERT_TRUE(RtfReader::read(RtfWriter::write(first), second));
        EXPECT_EQ(plainText(second), plainText(first)) << name.toStdString();
        for (int i = 0; i < first.blockCount(); ++i) {
            const ParagraphFormat a = ParagraphFormat::fromBlock(first.findBlockByNumber(i));
            const ParagraphFormat b = ParagraphFormat::fromBlock(second.findBlockByNumber(i));
            EXPECT_EQ(a.numbering, b.numbering) << i;
            EXPECT_EQ(a.alignment, b.alignment) << i;
            EXPECT_EQ(a.startIndent, b.startIndent) << i;
        }
    }
}
