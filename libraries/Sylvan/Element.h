#pragma once

#include "sylvan_export.h"

#include <QtCore/QString>

namespace Sylvan {

// One element of an XML side file: a name, its text, its child elements and,
// for formats that need them (a namespace declaration), attributes. The side
// files of the program keep every value in element text.
//
// Ownership: an element made by ElementFactory belongs to the caller until it
// is appended to a parent; from then on the parent owns it, and the document
// that holds the tree frees everything when it is released. Elements reached
// through GetRootElement, GetChild or AddChild belong to their parent.
class SYLVAN_EXPORT IElement
{
public:
    // Frees an element that belongs to no parent or document, with its
    // children. On an element that has an owner it does nothing: the owner
    // frees it.
    virtual void Release() = 0;

    virtual void SetName(const QString &name) = 0;
    virtual QString GetName() const = 0;

    // The text content: the element's own text and that of its descendants,
    // in document order.
    virtual QString GetText() const = 0;

    // Makes child the last child of this element, which takes ownership.
    // Refused (false, ownership stays with the caller) when child already has
    // an owner, is this element or one of its ancestors, or is not an element
    // of this library.
    virtual bool AppendChild(IElement *child) = 0;

    // Detaches child from this element and frees it with its subtree. False
    // (nothing changes) when child is not a child element of this one.
    virtual bool RemoveChild(IElement *child) = 0;

    // Appends a new child element named name whose content is text, and
    // returns it (owned by this element).
    virtual IElement *AddChild(const QString &name, const QString &text) = 0;

    // The child element at a zero-based index (elements only, text does not
    // count), or nullptr outside 0 .. GetChildCount() - 1.
    virtual IElement *GetChild(int index) const = 0;
    virtual int GetChildCount() const = 0;

    // Sets an attribute, replacing one of the same name. Names are taken as
    // written ("xmlns" and "xmlns:p" declare namespaces; the reader does not
    // resolve prefixes).
    virtual void SetAttribute(const QString &name, const QString &value) = 0;
    // The attribute's value, or a null text when the element has none of that name.
    virtual QString GetAttribute(const QString &name) const = 0;

protected:
    virtual ~IElement() = default;
};

} // namespace Sylvan

// A new element with an empty name, not attached to any parent.
SYLVAN_EXPORT Sylvan::IElement *ElementFactory();
