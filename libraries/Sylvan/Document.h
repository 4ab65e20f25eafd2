#pragma once

#include "Sylvan/Element.h"
#include "sylvan_export.h"

#include <QtCore/QString>

#include <memory>

namespace Sylvan {

// An XML side file held in memory: one root element and its tree. A file is
// always written whole and read whole.
//
// Loading and saving need the XML platform (Sylvan/XmlPlatform.h); without it
// they fail cleanly.
class SYLVAN_EXPORT IDocument
{
public:
    // Starts an empty document whose root has no name yet. Called once, right
    // after DocumentFactory. False when the XML platform is not initialised.
    virtual bool Initialize() = 0;

    // Frees the document and every element of its tree.
    virtual void Release() = 0;

    // The root of a loaded document, or the empty root of a new one. Owned by
    // the document; a successful Load replaces it, so pointers into the old
    // tree are no longer valid after that.
    virtual IElement *GetRootElement() = 0;

    // Writes the document as UTF-8 XML. The file is replaced in one step: when
    // writing fails the previous file stays as it was. The root must have a
    // name and every element a valid XML name.
    virtual bool Save(const QString &path) = 0;

    // Reads a whole file. A missing, empty, truncated or malformed file, a
    // document type declaration or an external entity make it fail, and the
    // document keeps what it held before: there is never a partial tree.
    virtual bool Load(const QString &path) = 0;

    // What the last failed Initialize, Load or Save ran into (for logs).
    virtual QString GetErrorDescription() const = 0;

protected:
    virtual ~IDocument() = default;
};

// Calls Release when a document, or an element that was never appended,
// goes out of scope.
struct Releaser
{
    template<class T> void operator()(T *object) const
    {
        if (object)
            object->Release();
    }
};
template<class T> using ReleasePtr = std::unique_ptr<T, Releaser>;
using DocumentPtr = ReleasePtr<IDocument>;
using ElementPtr = ReleasePtr<IElement>;

} // namespace Sylvan

// A new document; call Initialize before use and Release when done.
SYLVAN_EXPORT Sylvan::IDocument *DocumentFactory();
