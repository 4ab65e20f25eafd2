#include "Sylvan/XmlReader.h"
#include "Sylvan/ElementTree.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Sylvan::Detail {

namespace {

using namespace xercesc;

// Far deeper than any side file, shallow enough that walking or freeing the
// tree can never exhaust the stack.
constexpr int MaximumDepth = 256;

QString fromXmlChars(const XMLCh *chars)
{
    return chars ? QString::fromUtf16(chars) : QString();
}

// A refusal raised from inside the parser's callbacks.
struct Refused
{
    QString reason;
};

// Builds the element tree from the parser's events.
class TreeBuilder final : public DefaultHandler
{
public:
    explicit TreeBuilder(ElementArena &arena)
        : m_arena(arena)
    { }

    ElementOwner takeRoot() { return std::move(m_root); }

    void startElement(const XMLCh *, const XMLCh *, const XMLCh *qname, const Attributes &attributes) override
    {
        if (static_cast<int>(m_open.size()) >= MaximumDepth)
            throw Refused { QStringLiteral("elements nested deeper than %1 levels").arg(MaximumDepth) };
        flushText(true);
        ElementOwner element = ElementImpl::create(internedName(qname), &m_arena);
        for (XMLSize_t i = 0; i < attributes.getLength(); ++i)
            element->SetAttribute(fromXmlChars(attributes.getQName(i)), fromXmlChars(attributes.getValue(i)));
        if (m_open.empty()) {
            m_root = std::move(element);
            m_open.push_back(m_root.get());
        } else {
            m_open.push_back(m_open.back()->appendElement(std::move(element)));
        }
    }

    void endElement(const XMLCh *, const XMLCh *, const XMLCh *) override
    {
        if (m_open.empty())
            return;
        flushText(false);
        m_open.pop_back();
    }

    void characters(const XMLCh *const chars, const XMLSize_t length) override
    {
        if (!m_open.empty())
            m_text.append(reinterpret_cast<const QChar *>(chars), static_cast<qsizetype>(length));
    }

    // The side files never declare a document type; one in a file is either
    // damage or an attempt to expand entities or reach outside files. Without
    // a declaration no entity other than the predefined ones can exist.
    void startDTD(const XMLCh *, const XMLCh *, const XMLCh *) override
    {
        throw Refused { QStringLiteral("document type declarations are not accepted") };
    }

    InputSource *resolveEntity(const XMLCh *, const XMLCh *systemId) override
    {
        throw Refused {
            QStringLiteral("external entity \"%1\" is not accepted").arg(fromXmlChars(systemId))
        };
    }

    void error(const SAXParseException &exception) override { throw exception; }
    void fatalError(const SAXParseException &exception) override { throw exception; }
    void warning(const SAXParseException &) override { }

private:
    // Hands the text read since the last tag to the open element. Text made
    // only of the four XML blanks in an element that has (or is about to get)
    // child elements is the indentation between them, not content: it is
    // dropped without ever being stored.
    void flushText(bool childFollows)
    {
        if (m_text.isEmpty() || m_open.empty())
            return;
        ElementImpl *element = m_open.back();
        const bool layout = (childFollows || element->GetChildCount() > 0)
            && std::all_of(m_text.cbegin(), m_text.cend(),
                [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
        if (layout) {
            m_text.resize(0); // keeps the buffer for the next text
        } else {
            element->appendText(m_text);
            m_text = QString();
        }
    }

    // Element names repeat thousands of times in a file; one shared copy of
    // each saves an allocation per element.
    QString internedName(const XMLCh *qname)
    {
        const std::u16string_view key(qname);
        const auto found = m_names.find(key);
        if (found != m_names.end())
            return found->second;
        QString name = fromXmlChars(qname);
        m_names.emplace(std::u16string_view(reinterpret_cast<const char16_t *>(name.utf16()),
                            static_cast<size_t>(name.size())),
            name);
        return name;
    }

    ElementArena &m_arena;
    ElementOwner m_root;
    std::vector<ElementImpl *> m_open;
    QString m_text; // read since the last tag
    std::unordered_map<std::u16string_view, QString> m_names; // keys point into the values
};

QString describe(const SAXParseException &exception)
{
    return QStringLiteral("line %1, column %2: %3")
        .arg(exception.getLineNumber())
        .arg(exception.getColumnNumber())
        .arg(fromXmlChars(exception.getMessage()));
}

} // namespace

ElementOwner ReadXml(const QByteArray &content, ElementArena &arena, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return ElementOwner();
    };

    try {
        const std::unique_ptr<SAX2XMLReader> reader(XMLReaderFactory::createXMLReader());
        reader->setFeature(XMLUni::fgSAX2CoreValidation, false);
        reader->setFeature(XMLUni::fgSAX2CoreNameSpaces, false);
        reader->setFeature(XMLUni::fgXercesSchema, false);
        reader->setFeature(XMLUni::fgXercesLoadExternalDTD, false);
        reader->setFeature(XMLUni::fgXercesSkipDTDValidation, true);
        reader->setFeature(XMLUni::fgXercesDisableDefaultEntityResolution, true);

        TreeBuilder builder(arena);
        reader->setContentHandler(&builder);
        reader->setErrorHandler(&builder);
        reader->setLexicalHandler(&builder);
        reader->setEntityResolver(&builder);

        MemBufInputSource source(reinterpret_cast<const XMLByte *>(content.constData()),
            static_cast<XMLSize_t>(content.size()), "memory");
        source.setCopyBufToStream(false); // the text outlives the parse: no second copy of it
        reader->parse(source);

        ElementOwner root = builder.takeRoot();
        if (!root)
            return fail(QStringLiteral("no root element"));
        return root;
    } catch (const Refused &refused) {
        return fail(refused.reason);
    } catch (const SAXParseException &exception) {
        return fail(describe(exception));
    } catch (const XMLException &exception) {
        return fail(fromXmlChars(exception.getMessage()));
    } catch (const OutOfMemoryException &) {
        return fail(QStringLiteral("out of memory"));
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("out of memory"));
    } catch (...) {
        return fail(QStringLiteral("the XML parser failed"));
    }
}

} // namespace Sylvan::Detail
