#include "Sylvan/XmlWriter.h"
#include "Sylvan/ElementTree.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <memory>

namespace Sylvan::Detail {

namespace {

using namespace xercesc;

const XMLCh *toXmlChars(const QString &text)
{
    return reinterpret_cast<const XMLCh *>(text.utf16());
}

// Xerces objects are freed with their own release().
struct XercesReleaser
{
    template<class T> void operator()(T *object) const
    {
        if (object)
            object->release();
    }
};

DOMElement *buildElement(DOMDocument &document, const ElementImpl &source)
{
    DOMElement *element = document.createElement(toXmlChars(source.name()));
    for (const ElementImpl::Attribute &attribute : source.attributes())
        element->setAttribute(toXmlChars(attribute.first), toXmlChars(XmlSafeText(attribute.second)));
    for (const ElementImpl::Node &node : source.content()) {
        if (node.element) {
            element->appendChild(buildElement(document, *node.element));
        } else {
            const QString text = XmlSafeText(node.text);
            if (!text.isEmpty())
                element->appendChild(document.createTextNode(toXmlChars(text)));
        }
    }
    return element;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

QString XmlSafeText(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe += c;
            safe += text.at(++i);
        } else if (!c.isSurrogate() && isXmlChar(c.unicode())) {
            safe += c;
        }
    }
    return safe;
}

bool WriteXml(const ElementImpl &root, QByteArray &out, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (root.name().isEmpty())
        return fail(QStringLiteral("the root element has no name"));

    try {
        static const XMLCh features[] = u"LS";
        DOMImplementation *implementation = DOMImplementationRegistry::getDOMImplementation(features);
        if (!implementation)
            return fail(QStringLiteral("no XML writer available"));

        const std::unique_ptr<DOMDocument, XercesReleaser> document(implementation->createDocument());
        document->appendChild(buildElement(*document, root));

        const std::unique_ptr<DOMLSSerializer, XercesReleaser> serializer(
            implementation->createLSSerializer());
        DOMConfiguration *config = serializer->getDomConfig();
        if (config->canSetParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true))
            config->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);

        MemBufFormatTarget target;
        const std::unique_ptr<DOMLSOutput, XercesReleaser> output(implementation->createLSOutput());
        static const XMLCh utf8[] = u"UTF-8";
        output->setEncoding(utf8);
        output->setByteStream(&target);
        if (!serializer->write(document.get(), output.get()))
            return fail(QStringLiteral("the XML writer failed"));

        out = QByteArray(
            reinterpret_cast<const char *>(target.getRawBuffer()), static_cast<qsizetype>(target.getLen()));
        return true;
    } catch (const DOMException &exception) {
        if (exception.code == DOMException::INVALID_CHARACTER_ERR)
            return fail(QStringLiteral("an element name is not a valid XML name"));
        return fail(QString::fromUtf16(exception.getMessage()));
    } catch (const XMLException &exception) {
        return fail(QString::fromUtf16(exception.getMessage()));
    } catch (const OutOfMemoryException &) {
        return fail(QStringLiteral("out of memory"));
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("out of memory"));
    }
}

} // namespace Sylvan::Detail
