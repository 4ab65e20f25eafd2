// Documents against real files: round trips, the file text, and every way a
// file can be unfit to load.
#include "Sylvan/Document.h"
#include "Sylvan/XmlPlatform.h"

#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QStringDecoder>

#include <gtest/gtest.h>

using Sylvan::DocumentPtr;
using Sylvan::IElement;

namespace {

class SylvanDocument : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_platform = std::make_unique<Sylvan::PlatformScope>(); }
    static void TearDownTestSuite() { s_platform.reset(); }

    static DocumentPtr newDocument()
    {
        DocumentPtr document(DocumentFactory());
        EXPECT_TRUE(document->Initialize());
        return document;
    }

    // Loads a file written with the given bytes.
    DocumentPtr loadBytes(const QByteArray &bytes, bool *loaded)
    {
        const QString path = m_folder.filePath(QStringLiteral("input.xml"));
        EXPECT_TRUE(m_folder.writeFile(QStringLiteral("input.xml"), bytes));
        DocumentPtr document = newDocument();
        *loaded = document->Load(path);
        return document;
    }

    TestSupport::TemporaryFolder m_folder;
    static std::unique_ptr<Sylvan::PlatformScope> s_platform;
};

std::unique_ptr<Sylvan::PlatformScope> SylvanDocument::s_platform;

// Texts that have to come back exactly as they were written.
const QStringList &awkwardTexts()
{
    static const QStringList texts {
        QStringLiteral("a < b && c > d \"quoted\" 'single' ]]> <!-- not a comment -->"),
        QStringLiteral("Ärger, café, naïve, Ελληνικά, 日本語, 😀"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("first line\nsecond line\ttabbed"),
        QStringLiteral("&amp; stays &amp;"),
        QStringLiteral("   "),
        QString(),
    };
    return texts;
}

} // namespace

TEST_F(SylvanDocument, RoundTripKeepsNamesOrderAndText)
{
    const QString path = m_folder.filePath(QStringLiteral("WordSearch.xml"));
    {
        DocumentPtr document = newDocument();
        IElement *root = document->GetRootElement();
        root->SetName(QStringLiteral("MetaWords"));
        for (const QString &text : awkwardTexts()) {
            IElement *record = ElementFactory();
            record->SetName(QStringLiteral("MetaWord"));
            record->AddChild(QStringLiteral("Content"), text);
            record->AddChild(QStringLiteral("ContentSourceID"), QStringLiteral("9223372036854775807"));
            ASSERT_TRUE(root->AppendChild(record));
        }
        ASSERT_TRUE(document->Save(path)) << document->GetErrorDescription().toStdString();
    }

    DocumentPtr document = newDocument();
    ASSERT_TRUE(document->Load(path)) << document->GetErrorDescription().toStdString();
    IElement *root = document->GetRootElement();
    EXPECT_EQ(root->GetName(), QStringLiteral("MetaWords"));
    ASSERT_EQ(root->GetChildCount(), awkwardTexts().size());
    for (int i = 0; i < root->GetChildCount(); ++i) {
        IElement *record = root->GetChild(i);
        ASSERT_EQ(record->GetChildCount(), 2);
        EXPECT_EQ(record->GetChild(0)->GetName(), QStringLiteral("Content"));
        EXPECT_EQ(record->GetChild(0)->GetText(), awkwardTexts().at(i)) << "record " << i;
        EXPECT_EQ(record->GetChild(1)->GetText(), QStringLiteral("9223372036854775807"));
    }
}

TEST_F(SylvanDocument, FileIsUtf8WithDeclaration)
{
    const QString path = m_folder.filePath(QStringLiteral("Tracking.xml"));
    DocumentPtr document = newDocument();
    document->GetRootElement()->SetName(QStringLiteral("Graphs"));
    document->GetRootElement()->AddChild(QStringLiteral("Name"), QStringLiteral("Émotion 情"));
    ASSERT_TRUE(document->Save(path));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("<?xml")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("encoding=\"UTF-8\""));
    EXPECT_TRUE(bytes.contains("\xC3\x89motion \xE6\x83\x85")); // plain UTF-8, not character references
    QStringDecoder decoder(QStringDecoder::Utf8);
    decoder.decode(bytes);
    EXPECT_FALSE(decoder.hasError());
}

TEST_F(SylvanDocument, CarriageReturnsSurviveRoundTrip)
{
    const QString text = QStringLiteral("one\r\ntwo\rthree");
    const QString path = m_folder.filePath(QStringLiteral("cr.xml"));
    DocumentPtr document = newDocument();
    document->GetRootElement()->SetName(QStringLiteral("Root"));
    document->GetRootElement()->AddChild(QStringLiteral("Text"), text);
    ASSERT_TRUE(document->Save(path));

    DocumentPtr loaded = newDocument();
    ASSERT_TRUE(loaded->Load(path));
    EXPECT_EQ(loaded->GetRootElement()->GetChild(0)->GetText(), text);
}

TEST_F(SylvanDocument, AttributesAndNamespaceDeclarationRoundTrip)
{
    const QString path = m_folder.filePath(QStringLiteral("ns.xml"));
    const QString awkward = QStringLiteral("a \"quoted\" <value> & 'more'\tTab");
    DocumentPtr document = newDocument();
    IElement *root = document->GetRootElement();
    root->SetName(QStringLiteral("icalendar"));
    root->SetAttribute(QStringLiteral("xmlns"), QStringLiteral("urn:ietf:params:xml:ns:icalendar-2.0"));
    IElement *child = root->AddChild(QStringLiteral("item"), QStringLiteral("text"));
    child->SetAttribute(QStringLiteral("note"), QStringLiteral("first"));
    child->SetAttribute(QStringLiteral("note"), awkward);
    child->SetAttribute(QStringLiteral("empty"), QString());
    ASSERT_TRUE(document->Save(path)) << document->GetErrorDescription().toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<icalendar xmlns=\"urn:ietf:params:xml:ns:icalendar-2.0\">"));

    DocumentPtr loaded = newDocument();
    ASSERT_TRUE(loaded->Load(path)) << loaded->GetErrorDescription().toStdString();
    IElement *loadedRoot = loaded->GetRootElement();
    EXPECT_EQ(loadedRoot->GetAttribute(QStringLiteral("xmlns")),
        QStringLiteral("urn:ietf:params:xml:ns:icalendar-2.0"));
    IElement *loadedChild = loadedRoot->GetChild(0);
    ASSERT_NE(loadedChild, nullptr);
    EXPECT_EQ(loadedChild->GetText(), QStringLiteral("text"));
    EXPECT_EQ(loadedChild->GetAttribute(QStringLiteral("note")), awkward);
    EXPECT_TRUE(loadedChild->GetAttribute(QStringLiteral("empty")).isEmpty());
    EXPECT_FALSE(loadedChild->GetAttribute(QStringLiteral("empty")).isNull());
    EXPECT_TRUE(loadedChild->GetAttribute(QStringLiteral("absent")).isNull());
}

TEST_F(SylvanDocument, CharactersXmlCannotHoldAreDroppedNotFatal)
{
    // A control character pasted into a keyword must not make the whole file unreadable.
    const QString path = m_folder.filePath(QStringLiteral("control.xml"));
    DocumentPtr document = newDocument();
    document->GetRootElement()->SetName(QStringLiteral("Root"));
    document->GetRootElement()->AddChild(
        QStringLiteral("Text"), QStringLiteral("bell\aend") + QChar(0xD800) + QStringLiteral("!"));
    ASSERT_TRUE(document->Save(path));

    DocumentPtr loaded = newDocument();
    ASSERT_TRUE(loaded->Load(path)) << loaded->GetErrorDescription().toStdString();
    EXPECT_EQ(loaded->GetRootElement()->GetChild(0)->GetText(), QStringLiteral("bellend!"));
}

TEST_F(SylvanDocument, ReadsFilesWrittenByOthers)
{
    // Indentation, comments, processing instructions, attributes, CDATA and
    // character references, as another program may write them.
    bool loaded = false;
    DocumentPtr document = loadBytes("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<!-- written by hand -->\n"
                                     "<Dynamic_Fields version=\"2\">\n"
                                     "    <Field>Blood group</Field>\n"
                                     "    <?tool ignore me?>\n"
                                     "    <Other kind=\"x\"><![CDATA[<raw> & text]]></Other>\n"
                                     "    <Field>caf&#233; &lt;b&gt; &#x1F600;</Field>\n"
                                     "    <Field/>\n"
                                     "</Dynamic_Fields>\n",
        &loaded);
    ASSERT_TRUE(loaded) << document->GetErrorDescription().toStdString();
    IElement *root = document->GetRootElement();
    EXPECT_EQ(root->GetName(), QStringLiteral("Dynamic_Fields"));
    ASSERT_EQ(root->GetChildCount(), 4);
    EXPECT_EQ(root->GetChild(0)->GetText(), QStringLiteral("Blood group"));
    EXPECT_EQ(root->GetChild(1)->GetName(), QStringLiteral("Other"));
    EXPECT_EQ(root->GetChild(1)->GetText(), QStringLiteral("<raw> & text"));
    EXPECT_EQ(root->GetChild(2)->GetText(), QStringLiteral("café <b> 😀"));
    EXPECT_EQ(root->GetChild(3)->GetText(), QString());
}

TEST_F(SylvanDocument, IndentationIsNotContentButOtherTextIs)
{
    bool loaded = false;
    DocumentPtr document
        = loadBytes("<r>\n  <blank>   </blank>\n  <nested>\n    <b>x</b>\n    <c/>\n  </nested>\n"
                    "  <mixed>hello <b>x</b> world</mixed>\n  <tail> <b/>  tail</tail>\n</r>",
            &loaded);
    ASSERT_TRUE(loaded);
    IElement *root = document->GetRootElement();
    ASSERT_EQ(root->GetChildCount(), 4);
    EXPECT_EQ(root->GetChild(0)->GetText(), QStringLiteral("   ")) << "blanks alone are an element's text";
    EXPECT_EQ(root->GetChild(1)->GetText(), QStringLiteral("x"));
    EXPECT_EQ(root->GetChild(1)->GetChildCount(), 2);
    EXPECT_EQ(root->GetChild(2)->GetText(), QStringLiteral("hello x world"));
    ASSERT_EQ(root->GetChild(2)->GetChildCount(), 1);
    EXPECT_EQ(root->GetChild(2)->GetChild(0)->GetName(), QStringLiteral("b"))
        << "children by index among text";
    EXPECT_EQ(root->GetChild(2)->GetChild(1), nullptr);

    // Removing a child among text keeps the text and the other children's indexes right.
    DocumentPtr mixed = loadBytes("<m>a<x/>b<y/>c</m>", &loaded);
    ASSERT_TRUE(loaded);
    IElement *m = mixed->GetRootElement();
    ASSERT_EQ(m->GetChildCount(), 2);
    EXPECT_TRUE(m->RemoveChild(m->GetChild(0)));
    ASSERT_EQ(m->GetChildCount(), 1);
    EXPECT_EQ(m->GetChild(0)->GetName(), QStringLiteral("y"));
    EXPECT_EQ(m->GetText(), QStringLiteral("abc"));
    EXPECT_EQ(root->GetChild(3)->GetText(), QStringLiteral("  tail"));
}

TEST_F(SylvanDocument, UnfitFilesFailAndLeaveTheDocumentAsItWas)
{
    const QList<QPair<const char *, QByteArray>> unfit {
        { "empty", QByteArray() },
        { "blank", "  \n  " },
        { "truncated", "<?xml version=\"1.0\"?><MetaWords><MetaWord><Content>abc</Con" },
        { "unclosed root", "<MetaWords><MetaWord/>" },
        { "mismatched tags", "<MetaWords><MetaWord></Content></MetaWords>" },
        { "two roots", "<a/><b/>" },
        { "text only", "just some words" },
        { "bad character reference", "<a>&#1;</a>" },
        { "undeclared entity", "<a>&nbsp;</a>" },
        { "invalid UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\x28</a>" },
        { "binary", QByteArray("\x00\x01\x02\xFF\xFE", 5) },
        { "entity expansion",
            "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
            "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]><lolz>&lol2;</lolz>" },
        { "external entity",
            "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a>&x;</a>" },
        { "external DTD", "<?xml version=\"1.0\"?><!DOCTYPE a SYSTEM \"http://example.invalid/a.dtd\"><a/>" },
    };

    DocumentPtr document = newDocument();
    ASSERT_TRUE(
        m_folder.writeFile(QStringLiteral("good.xml"), "<Graphs><Current_Graph>2</Current_Graph></Graphs>"));
    ASSERT_TRUE(document->Load(m_folder.filePath(QStringLiteral("good.xml"))));
    IElement *root = document->GetRootElement();

    for (const auto &[label, bytes] : unfit) {
        ASSERT_TRUE(m_folder.writeFile(QStringLiteral("bad.xml"), bytes));
        EXPECT_FALSE(document->Load(m_folder.filePath(QStringLiteral("bad.xml")))) << label;
        EXPECT_FALSE(document->GetErrorDescription().isEmpty()) << label;
        // The tree loaded before is untouched.
        ASSERT_EQ(document->GetRootElement(), root) << label;
        EXPECT_EQ(root->GetName(), QStringLiteral("Graphs")) << label;
        ASSERT_EQ(root->GetChildCount(), 1) << label;
        EXPECT_EQ(root->GetChild(0)->GetText(), QStringLiteral("2")) << label;
    }

    EXPECT_FALSE(document->Load(m_folder.filePath(QStringLiteral("missing.xml"))));
    EXPECT_FALSE(document->Load(m_folder.path()));
    EXPECT_FALSE(document->Load(QString()));
    EXPECT_EQ(document->GetRootElement(), root);
}

TEST_F(SylvanDocument, NestingDepthIsBounded)
{
    const auto nested = [](int depth) {
        return QByteArray("<e>").repeated(depth) + "x" + QByteArray("</e>").repeated(depth);
    };
    bool loaded = false;
    DocumentPtr shallow = loadBytes(nested(100), &loaded);
    EXPECT_TRUE(loaded);
    DocumentPtr deep = loadBytes(nested(100000), &loaded);
    EXPECT_FALSE(loaded);
}

TEST_F(SylvanDocument, SaveRefusesInvalidNamesAndKeepsThePreviousFile)
{
    const QString path = m_folder.filePath(QStringLiteral("keep.xml"));
    DocumentPtr good = newDocument();
    good->GetRootElement()->SetName(QStringLiteral("Dynamic_Fields"));
    good->GetRootElement()->AddChild(QStringLiteral("Field"), QStringLiteral("kept"));
    ASSERT_TRUE(good->Save(path));

    DocumentPtr unnamed = newDocument();
    EXPECT_FALSE(unnamed->Save(path));
    for (const QString &name : { QStringLiteral("1starts_with_digit"), QStringLiteral("has space"),
             QStringLiteral("a<b"), QString() }) {
        DocumentPtr bad = newDocument();
        bad->GetRootElement()->SetName(QStringLiteral("Dynamic_Fields"));
        bad->GetRootElement()->AddChild(name, QStringLiteral("x"));
        EXPECT_FALSE(bad->Save(path)) << name.toStdString();
        EXPECT_FALSE(bad->GetErrorDescription().isEmpty());
    }

    DocumentPtr reread = newDocument();
    ASSERT_TRUE(reread->Load(path));
    EXPECT_EQ(reread->GetRootElement()->GetChild(0)->GetText(), QStringLiteral("kept"));

    EXPECT_FALSE(good->Save(m_folder.filePath(QStringLiteral("no/such/folder/file.xml"))));
}

TEST(SylvanWithoutPlatform, DocumentsFailCleanly)
{
    ASSERT_FALSE(Sylvan::IsPlatformInitialized());
    TestSupport::TemporaryFolder folder;
    ASSERT_TRUE(folder.writeFile(QStringLiteral("a.xml"), "<a/>"));

    DocumentPtr document(DocumentFactory());
    EXPECT_FALSE(document->Initialize());
    EXPECT_NE(document->GetRootElement(), nullptr);
    document->GetRootElement()->SetName(QStringLiteral("a"));
    EXPECT_FALSE(document->Load(folder.filePath(QStringLiteral("a.xml"))));
    EXPECT_FALSE(document->Save(folder.filePath(QStringLiteral("b.xml"))));

    // The platform can be brought up again after a full terminate.
    Sylvan::PlatformScope scope;
    ASSERT_TRUE(scope.isInitialized());
    EXPECT_TRUE(document->Load(folder.filePath(QStringLiteral("a.xml"))));
}
