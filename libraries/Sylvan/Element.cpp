#include "Sylvan/Element.h"
#include "Sylvan/ElementArena.h"
#include "Sylvan/ElementTree.h"

#include <algorithm>

namespace Sylvan::Detail {

ElementImpl::ElementImpl(QString name, std::pmr::memory_resource *resource)
    : m_name(std::move(name))
    , m_content(resource)
{ }

ElementImpl::~ElementImpl() = default;

ElementOwner ElementImpl::create(QString name, ElementArena *arena)
{
    if (!arena)
        return ElementOwner(new ElementImpl(std::move(name)));
    auto *element = new (arena->allocate(sizeof(ElementImpl), alignof(ElementImpl)))
        ElementImpl(std::move(name), arena);
    element->m_inArena = true;
    return ElementOwner(element);
}

void ElementDelete::operator()(ElementImpl *element) const
{
    if (!element)
        return;
    if (element->inArena()) {
        element->~ElementImpl(); // the arena frees the memory
        ElementArena::retire(element, sizeof(ElementImpl));
    } else {
        delete element;
    }
}

void ElementImpl::Release()
{
    // Elements in an arena always have an owner: their document frees them.
    if (!hasOwner() && !m_inArena)
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
    if (m_content.empty()) {
        out += m_text;
        return;
    }
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
    appendElement(ElementOwner(impl));
    return true;
}

bool ElementImpl::RemoveChild(IElement *child)
{
    const auto it = std::ranges::find_if(
        m_content, [child](const Node &node) { return node.element && node.element.get() == child; });
    if (!child || it == m_content.end())
        return false;
    m_content.erase(it); // frees the child with the node that owns it
    --m_children;
    m_childIndex.reset();
    return true;
}

IElement *ElementImpl::AddChild(const QString &name, const QString &text)
{
    ElementOwner child = create(name);
    if (!text.isEmpty())
        child->appendText(text);
    return appendElement(std::move(child));
}

IElement *ElementImpl::GetChild(int index) const
{
    if (index < 0 || index >= m_children)
        return nullptr;
    if (m_textNodes == 0)
        return m_content[static_cast<size_t>(index)].element.get();
    if (!m_childIndex) {
        m_childIndex = std::make_unique<std::vector<ElementImpl *>>();
        m_childIndex->reserve(static_cast<size_t>(m_children));
        for (const Node &node : m_content) {
            if (node.element)
                m_childIndex->push_back(node.element.get());
        }
    }
    return (*m_childIndex)[static_cast<size_t>(index)];
}

int ElementImpl::GetChildCount() const
{
    return m_children;
}

const std::vector<ElementImpl::Attribute> &ElementImpl::attributes() const
{
    static const std::vector<Attribute> none;
    return m_attributes ? *m_attributes : none;
}

void ElementImpl::SetAttribute(const QString &name, const QString &value)
{
    if (!m_attributes)
        m_attributes = std::make_unique<std::vector<Attribute>>();
    for (Attribute &attribute : *m_attributes) {
        if (attribute.first == name) {
            attribute.second = value;
            return;
        }
    }
    m_attributes->emplace_back(name, value);
}

QString ElementImpl::GetAttribute(const QString &name) const
{
    for (const Attribute &attribute : attributes()) {
        if (attribute.first == name)
            return attribute.second.isNull() ? QStringLiteral("") : attribute.second;
    }
    return QString();
}

void ElementImpl::appendText(const QString &text)
{
    if (m_content.empty()) {
        m_text += text;
    } else if (!m_content.back().element) {
        m_content.back().text += text;
    } else {
        m_content.push_back(Node { text, nullptr });
        ++m_textNodes;
        m_childIndex.reset();
    }
}

ElementImpl *ElementImpl::appendElement(ElementOwner child)
{
    if (m_content.empty() && !m_text.isEmpty()) {
        m_content.push_back(Node { std::move(m_text), nullptr });
        m_text = QString();
        ++m_textNodes;
    }
    ElementImpl *raw = child.get();
    raw->m_parent = this;
    m_content.push_back(Node { QString(), std::move(child) });
    ++m_children;
    m_childIndex.reset();
    return raw;
}

} // namespace Sylvan::Detail

Sylvan::IElement *ElementFactory()
{
    return new Sylvan::Detail::ElementImpl();
}
