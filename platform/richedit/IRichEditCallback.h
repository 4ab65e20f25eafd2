#pragma once

#include <QtCore/QtGlobal>

namespace RichEdit {

// What the embedder hears about the objects in the text. Objects enter the
// text only through RichEditControl::insertObject; pasted or dropped content
// brings none (each object in it arrives as a blank). The calls come while
// the text is changing: an embedder that edits the text in answer does so
// later (a queued call), never from inside the call.
class IRichEditCallback
{
public:
    virtual ~IRichEditCallback() = default;

    // Asked before an object is inserted; false refuses the insertion.
    virtual bool queryInsertObject(int kind, qint64 handle) = 0;
    // The object left the text: deleted, cut, typed or pasted over, cleared,
    // replaced by new content, or taken away by undo or redo. Once per departure.
    virtual void objectDeleted(int kind, qint64 handle) = 0;
    // An object came back into the text other than through insertObject
    // (undo or redo), now at position.
    virtual void objectReinserted(int kind, qint64 handle, int position) = 0;
};

} // namespace RichEdit
