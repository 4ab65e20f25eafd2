#include "richedit/RichDocument.h"

#include "richedit/IRichEditCallback.h"
#include "richedit/ObjectTracker.h"
#include "richedit/PageFormatter.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

#include <algorithm>

namespace RichEdit {

namespace {

// Stands in for the document's layout while its content is built apart:
// changes are announced (a document without a layout announces none) but
// nothing is laid out.
class DeferredLayout final : public QAbstractTextDocumentLayout
{
public:
    explicit DeferredLayout(QTextDocument *document)
        : QAbstractTextDocumentLayout(document)
    { }
    void draw(QPainter *, const PaintContext &) override { }
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override { }
};

} // namespace

RichDocument::ActionScope::ActionScope(RichDocument &document, UndoKind kind)
    : m_document(document)
    , m_previous(document.m_action)
{
    document.m_action = kind;
}

RichDocument::ActionScope::~ActionScope()
{
    m_document.m_action = m_previous;
}

RichDocument::RichDocument(QObject *parent)
    : QObject(parent)
    , m_renderer(std::make_unique<ObjectRenderer>(&m_handlers, false))
    , m_tracker(new ObjectTracker(this))
{
    connect(m_tracker, &ObjectTracker::departed, this, &RichDocument::onDeparted);
    connect(m_tracker, &ObjectTracker::arrived, this, &RichDocument::onArrived);
    attach(new QTextDocument(this));
}

RichDocument::~RichDocument()
{
    // Objects do not leave the text when the document goes; nobody hears of them now.
    disconnect(m_tracker, nullptr, this, nullptr);
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
}

void RichDocument::setDocument(QTextDocument *document)
{
    if (!document || document == m_document)
        return;
    if (m_replacing)
        endReplacement();
    attach(document);
    emit documentReplaced(document);
}

void RichDocument::beginReplacement()
{
    if (m_replacing)
        return;
    auto *fresh = new QTextDocument(this);
    fresh->setDefaultFont(m_document->defaultFont());
    fresh->setDefaultTextOption(m_document->defaultTextOption());
    fresh->setDocumentMargin(m_document->documentMargin());
    fresh->setIndentWidth(m_document->indentWidth());
    fresh->setUndoRedoEnabled(m_document->isUndoRedoEnabled());
    fresh->setDocumentLayout(new DeferredLayout(fresh));
    m_replaced = m_document;
    m_replacing = true;
    attach(fresh, false);
}

void RichDocument::endReplacement()
{
    if (!m_replacing)
        return;
    m_replacing = false;
    {
        // The document gets its real layout, which lays it out when it is
        // shown. The content does not change: the announcements that a new
        // layout makes of it are not passed on.
        const QSignalBlocker quiet(m_document);
        m_document->setDocumentLayout(nullptr);
        m_renderer->install(m_document);
    }
    emit documentReplaced(m_document);
    // Views followed the new document; the old one made here goes.
    if (m_replaced && m_replaced->parent() == this)
        delete m_replaced.data();
    m_replaced = nullptr;
}

void RichDocument::attach(QTextDocument *document, bool withLayout)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    m_document = document;
    m_stepKinds.clear();
    m_undoPosition = document->availableUndoSteps();
    m_pageFormatter.reset();
    if (withLayout)
        m_renderer->install(document);
    m_connections
        << connect(document, &QTextDocument::undoCommandAdded, this, &RichDocument::onUndoCommandAdded)
        << connect(document, &QTextDocument::undoAvailable, this, &RichDocument::onUndoStacksChanged)
        << connect(document, &QTextDocument::redoAvailable, this, &RichDocument::onUndoStacksChanged)
        << connect(document, &QTextDocument::contentsChange, this, [this] {
               m_pageFormatter.reset();
               m_undoPosition = m_document->availableUndoSteps();
           });
    m_tracker->attach(document);
}

void RichDocument::registerObjectHandler(int kind, IRichEditObjectHandler *handler)
{
    if (handler)
        m_handlers[kind] = handler;
    else
        m_handlers.erase(kind);
    m_document->markContentsDirty(0, m_document->characterCount());
}

bool RichDocument::insertObject(QTextCursor &cursor, int kind, qint64 handle, const QTextCharFormat *base)
{
    // Two objects with one handle could not be told apart by the embedder.
    if (positionOf(handle) >= 0)
        return false;
    if (m_callback && !m_callback->queryInsertObject(kind, handle))
        return false;
    cursor.setPosition(cursor.selectionEnd());
    const QTextCharFormat format = withoutObject(base ? *base : cursor.charFormat());
    ActionScope scope(*this, UndoKind::Other);
    m_tracker->expectInsertion(handle);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), embeddedObjectFormat(format, kind, handle));
    m_tracker->cancelExpectedInsertion();
    return true;
}

int RichDocument::objectCount() const
{
    return int(m_tracker->objects().size());
}

EmbeddedObject RichDocument::object(int index) const
{
    const auto &all = m_tracker->objects();
    if (index < 0 || size_t(index) >= all.size())
        return {};
    return all[size_t(index)];
}

QList<EmbeddedObject> RichDocument::objects() const
{
    const auto &all = m_tracker->objects();
    return QList<EmbeddedObject>(all.begin(), all.end());
}

QList<EmbeddedObject> RichDocument::objectsInRange(int from, int to) const
{
    const auto found = m_tracker->objectsIn(from, to);
    return QList<EmbeddedObject>(found.begin(), found.end());
}

int RichDocument::objectCountInRange(int from, int to) const
{
    return m_tracker->countIn(from, to);
}

int RichDocument::positionOf(qint64 handle) const
{
    for (const EmbeddedObject &object : m_tracker->objects()) {
        if (object.handle == handle)
            return object.position;
    }
    return -1;
}

void RichDocument::updateObject(qint64 handle)
{
    const int position = positionOf(handle);
    if (position >= 0)
        m_document->markContentsDirty(position, 1);
}

int RichDocument::textLength() const
{
    return m_document->characterCount() - 1;
}

QString RichDocument::textRange(int from, int to) const
{
    QTextCursor cursor(m_document);
    cursor.setPosition(std::clamp(from, 0, textLength()));
    cursor.setPosition(std::clamp(to, 0, textLength()), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void RichDocument::onUndoCommandAdded()
{
    // Qt announces a step before the change it makes, so m_undoPosition is
    // still where the step starts; the steps after it (the redo branch) are gone.
    const int position = m_document->availableUndoSteps();
    m_stepKinds.erase(m_stepKinds.upper_bound(std::min(m_undoPosition, position - 1)), m_stepKinds.end());
    m_stepKinds[position] = m_action;
    m_undoPosition = position;
}

void RichDocument::onUndoStacksChanged()
{
    if (!m_document->isUndoAvailable() && !m_document->isRedoAvailable()) {
        m_stepKinds.clear();
        m_undoPosition = 0;
    }
}

RichDocument::UndoKind RichDocument::undoKind() const
{
    if (!m_document->isUndoAvailable())
        return UndoKind::None;
    const auto it = m_stepKinds.find(m_document->availableUndoSteps());
    return it == m_stepKinds.end() ? UndoKind::Other : it->second;
}

RichDocument::UndoKind RichDocument::redoKind() const
{
    if (!m_document->isRedoAvailable())
        return UndoKind::None;
    const auto it = m_stepKinds.upper_bound(m_document->availableUndoSteps());
    return it == m_stepKinds.end() ? UndoKind::Other : it->second;
}

void RichDocument::onDeparted(const EmbeddedObject &object)
{
    if (m_callback)
        m_callback->objectDeleted(object.kind, object.handle);
}

void RichDocument::onArrived(const EmbeddedObject &object, bool inserted)
{
    if (!inserted && m_callback)
        m_callback->objectReinserted(object.kind, object.handle, object.position);
}

bool RichDocument::streamOut(const StreamOutCallback &write, qsizetype blockSize) const
{
    return RtfCodec::streamOut(*m_document, write, blockSize);
}

bool RichDocument::streamIn(const StreamInCallback &read, qsizetype blockSize, RtfReadReport *report)
{
    if (!RtfCodec::streamIn(*m_document, read, blockSize, report))
        return false;
    m_stepKinds.clear();
    m_undoPosition = 0;
    return true;
}

bool RichDocument::streamOut(QByteArray &rtf) const
{
    rtf.clear();
    return streamOut([&rtf](const char *data, qsizetype size) {
        rtf.append(data, size);
        return true;
    });
}

bool RichDocument::streamIn(const QByteArray &rtf, RtfReadReport *report)
{
    // The bytes are all here: read them in place rather than in blocks.
    if (rtf.size() > RtfCodec::MaximumStreamSize) {
        return streamIn([](char *, qsizetype) { return qsizetype(-1); }, RtfCodec::DefaultBlockSize, report);
    }
    if (!RtfCodec::fromRtf(*m_document, rtf, report))
        return false;
    m_stepKinds.clear();
    m_undoPosition = 0;
    return true;
}

int RichDocument::formatRange(
    QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to)
{
    if (!m_pageFormatter)
        m_pageFormatter = std::make_unique<PageFormatter>(*m_document, &m_handlers);
    return m_pageFormatter->formatRange(device, painter, pageRect, from, to);
}

void RichDocument::releaseFormatRange()
{
    m_pageFormatter.reset();
}

} // namespace RichEdit
