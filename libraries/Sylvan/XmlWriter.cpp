#include "Sylvan/XmlWriter.h"
#include "Sylvan/ElementTree.h"

#include <QtCore/QSet>

#include <xercesc/util/XMLChar.hpp>

namespace Sylvan::Detail {

namespace {

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool isXmlName(const QString &name)
{
    return !name.isEmpty()
        && xercesc::XMLChar1_0::isValidName(
            reinterpret_cast<const XMLCh *>(name.utf16()), static_cast<XMLSize_t>(name.size()));
}

// Writes the tree as UTF-8 in one pass. Elements that hold elements are
// indented, one child per line, unless their content fits on one line (see
// isOneLine); a depth below zero writes everything on the current line.
class TreeWriter
{
public:
    explicit TreeWriter(QByteArray &out)
        : m_out(out)
    { }

    bool write(const ElementImpl &element, int depth)
    {
        if (!isValidName(element.name()))
            return fail(element.name());
        m_out += '<';
        append(element.name(), Plain);
        for (const ElementImpl::Attribute &attribute : element.attributes()) {
            if (!isValidName(attribute.first))
                return fail(attribute.first);
            m_out += ' ';
            append(attribute.first, Plain);
            m_out += "=\"";
            append(attribute.second, AttributeValue);
            m_out += '"';
        }
        const auto &content = element.content();
        if (content.empty()) {
            if (element.leafText().isEmpty()) {
                m_out += "/>";
                return true;
            }
            m_out += '>';
            append(element.leafText(), Text);
            m_out += "</";
            append(element.name(), Plain);
            m_out += '>';
            return true;
        }
        m_out += '>';
        const bool oneLine = depth < 0 || isOneLine(element);
        for (const ElementImpl::Node &node : content) {
            if (node.element) {
                if (!oneLine)
                    newLine(depth + 1);
                if (!write(*node.element, oneLine ? -1 : depth + 1))
                    return false;
            } else {
                append(node.text, Text);
            }
        }
        if (!oneLine)
            newLine(depth);
        m_out += "</";
        append(element.name(), Plain);
        m_out += '>';
        return true;
    }

    const QString &invalidName() const { return m_invalidName; }

private:
    // Content written on the element's own line: any text (blanks added
    // around it would become part of it), or a single child that holds text
    // only, as in <summary><text>...</text></summary>.
    static bool isOneLine(const ElementImpl &element)
    {
        const auto &content = element.content();
        if (element.hasMixedContent())
            return true;
        return content.size() == 1 && content.front().element->GetChildCount() == 0;
    }

    enum Kind { Plain, Text, AttributeValue };

    bool fail(const QString &name)
    {
        m_invalidName = name;
        return false;
    }

    void newLine(int depth)
    {
        m_out += '\n';
        m_out.append(depth * 2, ' ');
    }

    // Appends text as UTF-8. In text and attribute values, markup characters
    // become entities and carriage returns (in attributes also tabs and line
    // feeds) character references, which a reader would otherwise normalise
    // away; characters XML cannot hold are dropped. Written straight into the
    // output's spare room: no UTF-16 unit takes more than six bytes.
    void append(const QString &text, Kind kind)
    {
        const char16_t *chars = reinterpret_cast<const char16_t *>(text.utf16());
        const qsizetype size = text.size();
        const qsizetype used = m_out.size();
        m_out.resize(used + size * 6);
        char *const begin = m_out.data() + used;
        char *p = begin;
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t c = chars[i];
            if (c < 0x80) {
                if (kind != Plain && (c < 0x20 || c == u'&' || c == u'<' || c == u'>' || c == u'"'))
                    p = special(p, c, kind);
                else
                    *p++ = static_cast<char>(c);
            } else if (c < 0x800) {
                *p++ = static_cast<char>(0xC0 | (c >> 6));
                *p++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
                const char32_t u = QChar::surrogateToUcs4(c, chars[++i]);
                *p++ = static_cast<char>(0xF0 | (u >> 18));
                *p++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
                *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                *p++ = static_cast<char>(0x80 | (u & 0x3F));
            } else if (!QChar::isSurrogate(c) && isXmlChar(c)) {
                *p++ = static_cast<char>(0xE0 | (c >> 12));
                *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *p++ = static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        m_out.truncate(used + (p - begin));
    }

    static char *special(char *p, char16_t c, Kind kind)
    {
        const auto put = [&p](const char *text) {
            while (*text)
                *p++ = *text++;
            return p;
        };
        switch (c) {
        case u'&':
            return put("&amp;");
        case u'<':
            return put("&lt;");
        case u'>':
            return put("&gt;");
        case u'\r':
            return put("&#xD;");
        case u'"':
            return put(kind == AttributeValue ? "&quot;" : "\"");
        case u'\t':
            return put(kind == AttributeValue ? "&#x9;" : "\t");
        case u'\n':
            return put(kind == AttributeValue ? "&#xA;" : "\n");
        default:
            return p; // other control characters cannot be written in XML 1.0
        }
    }

    // Names are checked once per distinct string: element names are shared
    // copies, so the same text comes back with the same data.
    bool isValidName(const QString &name)
    {
        if (m_validNames.contains(name.constData()))
            return true;
        if (!isXmlName(name))
            return false;
        m_validNames.insert(name.constData());
        return true;
    }

    QByteArray &m_out;
    QString m_invalidName;
    QSet<const QChar *> m_validNames;
};

} // namespace

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
        out.resize(0); // keeps the capacity the caller reserved
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        TreeWriter writer(out);
        if (!writer.write(root, 0))
            return fail(QStringLiteral("\"%1\" is not a valid XML name").arg(writer.invalidName()));
        out += '\n';
        return true;
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("out of memory"));
    }
}

} // namespace Sylvan::Detail
