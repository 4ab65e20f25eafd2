#pragma once

// The in-memory tree behind IElement. Private to the library: the reader
// builds it, the writer walks it.

#include "Sylvan/Element.h"

#include <QtCore/QString>

#include <memory>
#include <utility>
#include <vector>

namespace Sylvan::Detail {

class ElementImpl final : public IElement
{
public:
    explicit ElementImpl(QString name = {});
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
    const std::vector<Attribute> &attributes() const { return m_attributes; }

    // Content in document order: each node is either text or a child element.
    struct Node
    {
        QString text;
        std::unique_ptr<ElementImpl> element;
    };
    const std::vector<Node> &content() const { return m_content; }
    const QString &name() const { return m_name; }

    void appendText(const QString &text);
    ElementImpl *appendElement(std::unique_ptr<ElementImpl> child);

    // A document's root belongs to the document, not to the caller.
    void setOwnedByDocument(bool owned) { m_ownedByDocument = owned; }
    bool hasOwner() const { return m_parent || m_ownedByDocument; }

private:
    void collectText(QString &out) const;

    QString m_name;
    std::vector<Attribute> m_attributes;
    std::vector<Node> m_content;
    std::vector<ElementImpl *> m_children; // the element nodes of m_content, for indexed access
    ElementImpl *m_parent = nullptr;
    bool m_ownedByDocument = false;
};

} // namespace Sylvan::Detail
