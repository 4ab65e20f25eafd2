#pragma once

// The in-memory tree behind IElement. Private to the library: the reader
// builds it, the writer walks it.

#include "Sylvan/Element.h"

#include <QtCore/QString>

#include <memory>
#include <memory_resource>
#include <utility>
#include <vector>

namespace Sylvan::Detail {

class ElementArena;
class ElementImpl;

// Frees an element: deletes it, or for one in an arena only destroys it.
struct ElementDelete
{
    void operator()(ElementImpl *element) const;
};
using ElementOwner = std::unique_ptr<ElementImpl, ElementDelete>;

class ElementImpl final : public IElement
{
public:
    // resource: where the content list is kept (the arena of a read document).
    explicit ElementImpl(
        QString name = {}, std::pmr::memory_resource *resource = std::pmr::new_delete_resource());
    // A new element, in the arena when one is given.
    static ElementOwner create(QString name, ElementArena *arena = nullptr);
    ~ElementImpl() override;
    ElementImpl(const ElementImpl &) = delete;
    ElementImpl &operator=(const ElementImpl &) = delete;

    void Release() override;
    void SetName(const QString &name) override;
    QString GetName() const override;
    QString GetText() const override;
    bool AppendChild(IElement *child) override;
    bool RemoveChild(IElement *child) override;
    IElement *AddChild(const QString &name, const QString &text) override;
    IElement *GetChild(int index) const override;
    int GetChildCount() const override;
    void SetAttribute(const QString &name, const QString &value) override;
    QString GetAttribute(const QString &name) const override;

    using Attribute = std::pair<QString, QString>;
    const std::vector<Attribute> &attributes() const;

    // Content in document order: each node is either text or a child element.
    // An element without child elements keeps its text apart (leafText) and
    // its content is empty: most elements are such leaves, and this saves
    // them a node list.
    struct Node
    {
        QString text;
        ElementOwner element;
    };
    const std::pmr::vector<Node> &content() const { return m_content; }
    const QString &leafText() const { return m_text; }
    // Whether the content mixes text with the child elements.
    bool hasMixedContent() const { return m_textNodes > 0; }
    const QString &name() const { return m_name; }

    void appendText(const QString &text);
    ElementImpl *appendElement(ElementOwner child);

    // A document's root belongs to the document, not to the caller.
    void setOwnedByDocument(bool owned) { m_ownedByDocument = owned; }
    bool hasOwner() const { return m_parent || m_ownedByDocument; }
    bool inArena() const { return m_inArena; }

private:
    void collectText(QString &out) const;

    QString m_name;
    QString m_text; // the whole content while there are no child elements
    std::pmr::vector<Node> m_content; // once there are child elements
    std::unique_ptr<std::vector<Attribute>> m_attributes; // few elements have any
    // With mixed content, the element nodes by index, made when first asked.
    mutable std::unique_ptr<std::vector<ElementImpl *>> m_childIndex;
    int m_children = 0;
    int m_textNodes = 0;
    ElementImpl *m_parent = nullptr;
    bool m_ownedByDocument = false;
    bool m_inArena = false;
};

} // namespace Sylvan::Detail
