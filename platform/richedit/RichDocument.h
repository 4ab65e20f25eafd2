#pragma once

#include "richedit/EmbeddedObjects.h"
#include "richedit/ObjectRenderer.h"
#include "richedit/RtfCodec.h"
#include "richedit_export.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>

#include <map>
#include <memory>

class QTextCursor;
class QTextDocument;
class QPaintDevice;
class QPainter;

namespace RichEdit {

class IRichEditCallback;
class IRichEditObjectHandler;
class ObjectTracker;
class PageFormatter;

// A rich-text document with embedded objects, without any window: the text
// (a QTextDocument), the objects in it and the embedder's callback about them,
// the handlers that size and draw them, the kind of every undo step, RTF
// streaming and page formatting. The rich-edit control shows one; logic can
// work on one alone, and a control and logic can share one.
class RICHEDIT_EXPORT RichDocument : public QObject
{
    Q_OBJECT

public:
    // The kind of action an undo step holds.
    enum class UndoKind { None, Typing, Delete, DragDrop, Cut, Paste, Other };

    explicit RichDocument(QObject *parent = nullptr);
    ~RichDocument() override;

    // The text. The document made with this object is its child; another one
    // can be followed instead (its objects are then reported arrived and those
    // of the previous one deleted).
    QTextDocument *document() const { return m_document; }
    void setDocument(QTextDocument *document);

    // Builds new content in a fresh document, kept apart from any layout while
    // it is filled (text laid out as it arrives costs far more than the text
    // itself); views are given it, to lay out once, when it is complete. The
    // objects of the old document are reported deleted at the beginning.
    void beginReplacement();
    void endReplacement();
    bool isReplacing() const { return m_replacing; }

    // The embedder's side: not owned, may be null.
    void setCallback(IRichEditCallback *callback) { m_callback = callback; }
    IRichEditCallback *callback() const { return m_callback; }
    void registerObjectHandler(int kind, IRichEditObjectHandler *handler);
    void unregisterObjectHandler(int kind) { registerObjectHandler(kind, nullptr); }
    const ObjectHandlers *objectHandlers() const { return &m_handlers; }

    // Inserts an object at the cursor's position (a selection is collapsed to
    // its end first); the cursor ends after it. The object takes the format
    // of the text there, or base when given. False when the callback refuses
    // it or the handle is already in the text.
    bool insertObject(QTextCursor &cursor, int kind, qint64 handle, const QTextCharFormat *base = nullptr);
    int objectCount() const;
    // The index-th object in text order; position -1 when there is none.
    EmbeddedObject object(int index) const;
    QList<EmbeddedObject> objects() const;
    QList<EmbeddedObject> objectsInRange(int from, int to) const;
    int objectCountInRange(int from, int to) const;
    // The position of the object of handle, -1 when it is not in the text.
    int positionOf(qint64 handle) const;
    // Lays out again the object of handle after its size changed.
    void updateObject(qint64 handle);

    // Number of characters, objects included, paragraph marks counted once.
    int textLength() const;
    // Text of [from, to) with '\n' for paragraph and line breaks and U+FFFC for objects.
    QString textRange(int from, int to) const;

    UndoKind undoKind() const;
    UndoKind redoKind() const;
    // Marks what is being done while Qt adds undo steps for it.
    class RICHEDIT_EXPORT ActionScope
    {
    public:
        ActionScope(RichDocument &document, UndoKind kind);
        ~ActionScope();
        ActionScope(const ActionScope &) = delete;
        ActionScope &operator=(const ActionScope &) = delete;

    private:
        RichDocument &m_document;
        UndoKind m_previous;
    };
    UndoKind currentAction() const { return m_action; }

    // RTF streaming; every object goes out as one blank. Stream in replaces
    // the text (objects in it are reported deleted) and clears undo; when the
    // stream fails or is not RTF it returns false and leaves the text as it
    // was. report (optional) says what the read approximated (RtfReader).
    bool streamOut(const StreamOutCallback &write, qsizetype blockSize = RtfCodec::DefaultBlockSize) const;
    bool streamIn(const StreamInCallback &read, qsizetype blockSize = RtfCodec::DefaultBlockSize,
        RtfReadReport *report = nullptr);
    bool streamOut(QByteArray &rtf) const;
    bool streamIn(const QByteArray &rtf, RtfReadReport *report = nullptr);

    // Formats the text from `from` into pageRect (units of device) for
    // printing and draws it with painter when one is given. Returns where the
    // next page starts, textLength() (or `to`) when the rest fitted. The page
    // layout is kept between calls until the text changes or releaseFormatRange().
    int formatRange(QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to = -1);
    void releaseFormatRange();

signals:
    // The followed document was replaced (setDocument).
    void documentReplaced(QTextDocument *document);

private:
    void attach(QTextDocument *document, bool withLayout = true);
    void onUndoCommandAdded();
    void onUndoStacksChanged();
    void onDeparted(const EmbeddedObject &object);
    void onArrived(const EmbeddedObject &object, bool inserted);

    QPointer<QTextDocument> m_document;
    IRichEditCallback *m_callback = nullptr;
    ObjectHandlers m_handlers;
    std::unique_ptr<ObjectRenderer> m_renderer;
    ObjectTracker *m_tracker;
    std::unique_ptr<PageFormatter> m_pageFormatter;
    QList<QMetaObject::Connection> m_connections;
    // Kind of each undo step, keyed by the document's undo position at its end
    // (Qt counts commands there, and a step may hold several).
    std::map<int, UndoKind> m_stepKinds;
    int m_undoPosition = 0;
    UndoKind m_action = UndoKind::Other;
    QPointer<QTextDocument> m_replaced;
    bool m_replacing = false;
};

} // namespace RichEdit
