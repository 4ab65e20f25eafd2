// RTF written by other programs (LibreOffice, AbiWord, pandoc) and by hand
// for every character set and the constructs around text, read and compared
// with the text an independent reader (LibreOffice) sees in the same file;
// tests/data/richedit/make-corpus.sh made the expected files, and says where
// they were corrected by hand.
//
// The comparison normalises both sides: Unicode composition (NFC), white
// space of any kind (tabs between cells, paragraph and line breaks) to one
// space, and it drops what is not text here: list bullets (lists are Qt lists)
// and private-use characters (the other reader's symbol-font glyphs, which this
// reader maps to standard characters). Where the other reader leaves text out
// (footnotes, comments, headers, text boxes) every word it sees must appear
// here in the same order, extras allowed.
#include "RichEditTestSupport.h"

#include "richedit/RtfReader.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtGui/QTextDocument>

#include <gtest/gtest.h>

using namespace RichEdit;
using RichEditTest::plainText;

namespace {

QString normalised(QString text)
{
    text = text.normalized(QString::NormalizationForm_C);
    QString kept;
    kept.reserve(text.size());
    for (const QChar ch : std::as_const(text)) {
        const char16_t u = ch.unicode();
        if (u == 0xFEFF || u == 0x2022 || (u >= 0xE000 && u <= 0xF8FF))
            continue;
        kept += ch == QChar::LineSeparator || ch == QChar::Nbsp ? QChar(u' ') : ch;
    }
    return kept.simplified();
}

QStringList words(const QString &text)
{
    static const QRegularExpression letters(QStringLiteral("[\\p{L}\\p{M}]+"));
    QStringList found;
    for (auto it = letters.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

// The first word of expected that is missing from actual (in order), or empty.
QString firstMissingWord(const QStringList &expected, const QStringList &actual)
{
    qsizetype at = 0;
    for (const QString &word : expected) {
        while (at < actual.size() && actual.at(at) != word)
            ++at;
        if (at == actual.size())
            return word;
        ++at;
    }
    return QString();
}

QString corpusFolder()
{
    return TestSupport::TestDataFolder() + QStringLiteral("/richedit/foreign");
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct Fixture
{
    const char *name;
    bool complete; // the other reader sees all the text, so the two must agree
};

// clang-format off
constexpr Fixture Fixtures[] = {
    { "abiword-scripts", true }, { "handcrafted-charsets", true }, { "handcrafted-cp950", true },
    { "handcrafted-shiftjis", true }, { "handcrafted-structures", false }, { "libreoffice-notes", false },
    { "libreoffice-scripts", true }, { "pandoc-scripts", true },
};
// clang-format on

} // namespace

TEST(ForeignCorpus, EveryFileReadsWithTheTextAnotherReaderSees)
{
    const QDir folder(corpusFolder());
    const QStringList files = folder.entryList({ QStringLiteral("*.rtf") }, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), qsizetype(std::size(Fixtures))) << "every file of the corpus is compared";
    for (const Fixture &fixture : Fixtures) {
        const QString name = QString::fromLatin1(fixture.name);
        QFile file(folder.filePath(name + QStringLiteral(".rtf")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << fixture.name;
        const QString expected = normalised(readText(folder.filePath(name + QStringLiteral(".txt"))));
        ASSERT_FALSE(expected.isEmpty()) << fixture.name;

        QTextDocument document;
        RtfReadReport report;
        ASSERT_TRUE(RtfReader::read(file.readAll(), document, &report)) << fixture.name;
        EXPECT_FALSE(report.textMayBeLost)
            << fixture.name << ": " << report.descriptions().join(u';').toStdString();
        const QString actual = normalised(plainText(document));
        if (fixture.complete)
            EXPECT_EQ(actual, expected) << fixture.name;
        else
            EXPECT_EQ(firstMissingWord(words(expected), words(actual)), QString())
                << fixture.name << ": " << actual.toStdString();
    }
}
