#include "Sylvan/Element.h"
#include "Sylvan/ElementTree.h"

#include <algorithm>
#include <limits>

namespace Sylvan::Detail {

ElementImpl::ElementImpl(QString name)
    : m_name(std::move(name))
{ }

ElementImpl::~ElementImpl() = default;

void ElementImpl::Release()
{
    if (!hasOwner())
        delete this;
}

void ElementImpl::SetName(const QString &name)
{
    m_name = name;
}

QString ElementImpl::GetName() const
{
    return m_name;
}

QString ElementImpl::GetText() const
{
    QString text;
    collectText(text);
    return text;
}

void ElementImpl::collectText(QString &out) const
{
    for (const Node &node : m_content) {
        if (node.element)
            node.element->collectText(out);
        else
            out += node.text;
    }
}

bool ElementImpl::AppendChild(IElement *child)
{
    auto *impl = dynamic_cast<ElementImpl *>(child);
    if (!impl || impl->hasOwner())
        return false;
    for (const ElementImpl *ancestor = this; ancestor; ancestor = ancestor->m_parent) {
        if (ancestor == impl)
            return false;
    }
    appendElement(std::unique_ptr<ElementImpl>(impl));
    return true;
}

bool ElementImpl::RemoveChild(IElement *child)
{
    const auto it = std::ranges::find(m_children, child);
    if (it == m_children.end())
        return false;
    m_children.erase(it);
    // Freed here, with the node that owns it.
    std::erase_if(m_content, [child](const Node &node) { return node.element.get() == child; });
    return true;
}

IElement *ElementImpl::AddChild(const QString &name, const QString &text)
{
    auto child = std::make_unique<ElementImpl>(name);
    if (!text.isEmpty())
        child->appendText(text);
    return appendElement(std::move(child));
}

IElement *ElementImpl::GetChild(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_children.size())
        return nullptr;
    return m_children[static_cast<size_t>(index)];
}

int ElementImpl::GetChildCount() const
{
    // A loaded tree is bounded by the file size cap, far below INT_MAX.
    return static_cast<int>(std::min<size_t>(m_children.size(), std::numeric_limits<int>::max()));
}

void ElementImpl::SetAttribute(const QString &name, const QString &value)
{
    for (Attribute &attribute : m_attributes) {
        if (attribute.first == name) {
            attribute.second = value;
            return;
        }
    }
    m_attributes.emplace_back(name, value);
}

QString ElementImpl::GetAttribute(const QString &name) const
{
    for (const Attribute &attribute : m_attributes) {
        if (attribute.first == name)
            return attribute.second.isNull() ? QStringLiteral("") : attribute.second;
    }
    return QString();
}

void ElementImpl::appendText(const QString &text)
{
    if (!m_content.empty() && !m_content.back().element)
        m_content.back().text += text;
    else
        m_content.push_back(Node { text, nullptr });
}

ElementImpl *ElementImpl::appendElement(std::unique_ptr<ElementImpl> child)
{
    ElementImpl *raw = child.get();
    raw->m_parent = this;
    m_content.push_back(Node { QString(), std::move(child) });
    m_children.push_back(raw);
    return raw;
}

} // namespace Sylvan::Detail

Sylvan::IElement *ElementFactory()
{
    return new Sylvan::Detail::ElementImpl();
}
