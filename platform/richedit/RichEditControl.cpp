#include "richedit/RichEditControl.h"

#include "richedit/IRichEditCallback.h"
#include "richedit/ObjectTracker.h"
#include "richedit/PageFormatter.h"
#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"

#include <QtCore/QMimeData>
#include <QtGui/QKeyEvent>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocumentFragment>

namespace RichEdit {

namespace {

const QString RtfMimeType = QStringLiteral("text/rtf");
const QString RtfMimeTypeAlternative = QStringLiteral("application/rtf");

} // namespace

// Marks what the user is doing while Qt adds undo steps for it.
class RichEditControl::ActionScope
{
public:
    ActionScope(RichEditControl *control, UndoKind kind)
        : m_control(control)
        , m_previous(control->m_action)
    {
        control->m_action = kind;
    }
    ~ActionScope() { m_control->m_action = m_previous; }
    ActionScope(const ActionScope &) = delete;
    ActionScope &operator=(const ActionScope &) = delete;

private:
    RichEditControl *m_control;
    UndoKind m_previous;
};

RichEditControl::RichEditControl(QWidget *parent)
    : QTextEdit(parent)
    , m_renderer(std::make_unique<ObjectRenderer>(&m_handlers, false))
    , m_tracker(new ObjectTracker(this))
{
    connect(m_tracker, &ObjectTracker::departed, this, &RichEditControl::onDeparted);
    connect(m_tracker, &ObjectTracker::arrived, this, &RichEditControl::onArrived);
    connect(this, &QTextEdit::currentCharFormatChanged, this, &RichEditControl::onCurrentCharFormatChanged);
    // A document swapped in through the base class is noticed at its first change.
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (document() != m_tracker->document())
            attachDocument();
    });
    setOptions(AutoVerticalScroll | AutoHorizontalScroll | WantReturn | SunkenFrame);
    attachDocument();
}

RichEditControl::~RichEditControl()
{
    // Objects do not leave the text when the control goes; nobody hears of them now.
    disconnect(m_tracker, nullptr, this, nullptr);
    QObject::disconnect(m_undoConnection);
    QObject::disconnect(m_changeConnection);
    QObject::disconnect(m_undoAvailableConnection);
    QObject::disconnect(m_redoAvailableConnection);
}

void RichEditControl::attachDocument()
{
    QTextDocument *doc = document();
    for (QMetaObject::Connection *connection :
        { &m_undoConnection, &m_changeConnection, &m_undoAvailableConnection, &m_redoAvailableConnection })
        QObject::disconnect(*connection);
    m_stepKinds.clear();
    m_undoPosition = doc->availableUndoSteps();
    m_pageFormatter.reset();
    m_renderer->install(doc);
    m_undoConnection
        = connect(doc, &QTextDocument::undoCommandAdded, this, &RichEditControl::onUndoCommandAdded);
    m_undoAvailableConnection
        = connect(doc, &QTextDocument::undoAvailable, this, &RichEditControl::onUndoStacksChanged);
    m_redoAvailableConnection
        = connect(doc, &QTextDocument::redoAvailable, this, &RichEditControl::onUndoStacksChanged);
    m_changeConnection = connect(doc, &QTextDocument::contentsChange, this, [this] {
        m_pageFormatter.reset();
        m_undoPosition = document()->availableUndoSteps();
    });
    m_tracker->attach(doc);
}

void RichEditControl::setDocument(QTextDocument *document)
{
    QTextEdit::setDocument(document);
    attachDocument();
}

void RichEditControl::registerObjectHandler(int kind, IRichEditObjectHandler *handler)
{
    if (handler)
        m_handlers[kind] = handler;
    else
        m_handlers.erase(kind);
    document()->markContentsDirty(0, document()->characterCount());
}

void RichEditControl::unregisterObjectHandler(int kind)
{
    registerObjectHandler(kind, nullptr);
}

bool RichEditControl::insertObject(int kind, qint64 handle, int position)
{
    // Two objects with one handle could not be told apart by the embedder.
    const auto &present = m_tracker->objects();
    if (std::any_of(present.begin(), present.end(),
            [&](const EmbeddedObject &object) { return object.handle == handle; }))
        return false;
    if (m_callback && !m_callback->queryInsertObject(kind, handle))
        return false;
    const bool atCaret = position < 0;
    QTextCursor cursor = textCursor();
    if (atCaret) {
        cursor.setPosition(cursor.selectionEnd());
    } else {
        cursor.setPosition(std::clamp(position, 0, textLength()));
    }
    const QTextCharFormat base = withoutObject(cursor.charFormat());
    ActionScope scope(this, UndoKind::Other);
    m_tracker->expectInsertion(handle);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), embeddedObjectFormat(base, kind, handle));
    m_tracker->cancelExpectedInsertion();
    if (atCaret) {
        setTextCursor(cursor);
        setCurrentCharFormat(base);
    }
    return true;
}

int RichEditControl::objectCount() const
{
    return int(m_tracker->objects().size());
}

EmbeddedObject RichEditControl::object(int index) const
{
    const auto &all = m_tracker->objects();
    if (index < 0 || size_t(index) >= all.size())
        return {};
    return all[size_t(index)];
}

QList<EmbeddedObject> RichEditControl::objects() const
{
    const auto &all = m_tracker->objects();
    return QList<EmbeddedObject>(all.begin(), all.end());
}

QList<EmbeddedObject> RichEditControl::objectsInRange(int from, int to) const
{
    const auto found = m_tracker->objectsIn(from, to);
    return QList<EmbeddedObject>(found.begin(), found.end());
}

void RichEditControl::updateObject(qint64 handle)
{
    for (const EmbeddedObject &object : m_tracker->objects()) {
        if (object.handle == handle)
            document()->markContentsDirty(object.position, 1);
    }
}

RichEditControl::SelectionType RichEditControl::selectionType() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return SelectionEmpty;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const int objectsIn = m_tracker->countIn(start, end);
    const int characters = end - start - objectsIn;
    SelectionType type;
    if (characters > 0)
        type |= SelectionText;
    if (characters > 1)
        type |= SelectionMultiChar;
    if (objectsIn > 0)
        type |= SelectionObject;
    if (objectsIn > 1)
        type |= SelectionMultiObject;
    return type;
}

int RichEditControl::selectionStart() const
{
    return textCursor().selectionStart();
}

int RichEditControl::selectionEnd() const
{
    return textCursor().selectionEnd();
}

void RichEditControl::setSelection(int start, int end)
{
    const int length = textLength();
    if (end < 0 || end > length)
        end = length;
    start = std::clamp(start, 0, length);
    QTextCursor cursor = textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

int RichEditControl::textLength() const
{
    return document()->characterCount() - 1;
}

QString RichEditControl::textRange(int from, int to) const
{
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(from, 0, textLength()));
    cursor.setPosition(std::clamp(to, 0, textLength()), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void RichEditControl::onUndoCommandAdded()
{
    // Qt announces a step before the change it makes, so m_undoPosition is
    // still where the step starts; the steps after it (the redo branch) are gone.
    const int position = document()->availableUndoSteps();
    m_stepKinds.erase(m_stepKinds.upper_bound(std::min(m_undoPosition, position - 1)), m_stepKinds.end());
    m_stepKinds[position] = m_action;
    m_undoPosition = position;
}

void RichEditControl::onUndoStacksChanged()
{
    const QTextDocument *doc = document();
    if (!doc->isUndoAvailable() && !doc->isRedoAvailable()) {
        m_stepKinds.clear();
        m_undoPosition = 0;
    }
}

RichEditControl::UndoKind RichEditControl::undoKind() const
{
    if (!document()->isUndoAvailable())
        return UndoKind::None;
    const auto it = m_stepKinds.find(document()->availableUndoSteps());
    return it == m_stepKinds.end() ? UndoKind::Other : it->second;
}

RichEditControl::UndoKind RichEditControl::redoKind() const
{
    if (!document()->isRedoAvailable())
        return UndoKind::None;
    const auto it = m_stepKinds.upper_bound(document()->availableUndoSteps());
    return it == m_stepKinds.end() ? UndoKind::Other : it->second;
}

void RichEditControl::onCurrentCharFormatChanged(const QTextCharFormat &format)
{
    // Next to an object the insertion point takes the object's format; text
    // typed there must not carry the object's properties.
    if (textCursor().hasSelection() || !format.hasProperty(ObjectHandleProperty))
        return;
    setCurrentCharFormat(withoutObject(format));
}

void RichEditControl::onDeparted(const EmbeddedObject &object)
{
    if (m_callback)
        m_callback->objectDeleted(object.kind, object.handle);
}

void RichEditControl::onArrived(const EmbeddedObject &object, bool inserted)
{
    if (!inserted && m_callback)
        m_callback->objectReinserted(object.kind, object.handle, object.position);
}

CharFormat RichEditControl::selectionCharFormat() const
{
    return RichEdit::selectionCharFormat(textCursor(), document()->defaultFont());
}

void RichEditControl::setSelectionCharFormat(const CharFormat &format)
{
    QTextCharFormat change;
    format.applyTo(change);
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat current = currentCharFormat();
        format.applyTo(current);
        setCurrentCharFormat(current);
        return;
    }
    // Clearing a colour needs the full format; merging cannot remove a property.
    const bool clears = ((format.mask & CharFormat::TextColor) && !format.textColor)
        || ((format.mask & CharFormat::BackgroundColor) && !format.backgroundColor);
    ActionScope scope(this, UndoKind::Other);
    if (!clears) {
        cursor.mergeCharFormat(change);
        return;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    cursor.beginEditBlock();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            QTextCharFormat updated = fragment.charFormat();
            format.applyTo(updated);
            QTextCursor part(document());
            part.setPosition(from);
            part.setPosition(to, QTextCursor::KeepAnchor);
            part.setCharFormat(updated);
        }
    }
    cursor.endEditBlock();
}

void RichEditControl::setDefaultCharFormat(const CharFormat &format)
{
    QFont font = document()->defaultFont();
    if (format.mask & CharFormat::Face)
        font.setFamilies({ format.face });
    if (format.mask & CharFormat::Size)
        font.setPointSizeF(double(format.sizeTwips) / TwipsPerPoint);
    if (format.mask & CharFormat::Bold)
        font.setBold(format.bold);
    if (format.mask & CharFormat::Italic)
        font.setItalic(format.italic);
    if (format.mask & CharFormat::Underline)
        font.setUnderline(format.underline);
    document()->setDefaultFont(font);
    // Merged, never set: a selection may hold objects whose formats must stay.
    setSelectionCharFormat(format);
}

ParagraphFormat RichEditControl::selectionParagraphFormat() const
{
    return RichEdit::selectionParagraphFormat(textCursor());
}

void RichEditControl::setSelectionParagraphFormat(const ParagraphFormat &format)
{
    ActionScope scope(this, UndoKind::Other);
    applyParagraphFormat(textCursor(), format);
}

void RichEditControl::setOptions(Options options)
{
    m_options = options;
    setReadOnly(options & ReadOnlyText);
    setVerticalScrollBarPolicy(
        (options & AutoVerticalScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(
        (options & AutoHorizontalScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setFrameShadow((options & SunkenFrame) ? QFrame::Sunken : QFrame::Plain);
    // A kept selection stays highlighted as if the control had the focus.
    QPalette colors = palette();
    const QPalette defaults = QPalette();
    for (const QPalette::ColorRole role : { QPalette::Highlight, QPalette::HighlightedText }) {
        colors.setColor(QPalette::Inactive, role,
            (options & KeepSelectionVisible) ? colors.color(QPalette::Active, role)
                                             : defaults.color(QPalette::Inactive, role));
    }
    setPalette(colors);
}

bool RichEditControl::streamOut(const StreamOutCallback &write, qsizetype blockSize) const
{
    return RtfCodec::streamOut(*document(), write, blockSize);
}

bool RichEditControl::streamIn(const StreamInCallback &read, qsizetype blockSize, RtfReadReport *report)
{
    const bool ok = RtfCodec::streamIn(*document(), read, blockSize, report);
    if (!ok)
        return false;
    m_stepKinds.clear();
    m_undoPosition = 0;
    moveCursor(QTextCursor::Start);
    return ok;
}

bool RichEditControl::streamOut(QByteArray &rtf) const
{
    rtf.clear();
    return streamOut([&rtf](const char *data, qsizetype size) {
        rtf.append(data, size);
        return true;
    });
}

bool RichEditControl::streamIn(const QByteArray &rtf, RtfReadReport *report)
{
    qsizetype offset = 0;
    return streamIn(
        [&](char *buffer, qsizetype capacity) {
            const qsizetype count = std::min(capacity, rtf.size() - offset);
            std::memcpy(buffer, rtf.constData() + offset, size_t(count));
            offset += count;
            return count;
        },
        RtfCodec::DefaultBlockSize, report);
}

int RichEditControl::formatRange(
    QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to)
{
    if (!m_pageFormatter)
        m_pageFormatter = std::make_unique<PageFormatter>(*document(), &m_handlers);
    return m_pageFormatter->formatRange(device, painter, pageRect, from, to);
}

void RichEditControl::releaseFormatRange()
{
    m_pageFormatter.reset();
}

void RichEditControl::keyPressEvent(QKeyEvent *event)
{
    UndoKind kind = UndoKind::Other;
    if (event->matches(QKeySequence::Cut)) {
        kind = UndoKind::Cut;
    } else if (event->matches(QKeySequence::Paste)) {
        kind = UndoKind::Paste;
    } else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace
        || event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord)
        || event->matches(QKeySequence::DeleteEndOfLine)) {
        kind = UndoKind::Delete;
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!(m_options & WantReturn)) {
            event->ignore();
            return;
        }
        kind = UndoKind::Typing;
    } else if (!event->text().isEmpty() && (event->text().at(0).isPrint() || event->key() == Qt::Key_Tab)) {
        kind = UndoKind::Typing;
    }
    ActionScope scope(this, kind);
    QTextEdit::keyPressEvent(event);
}

void RichEditControl::dropEvent(QDropEvent *event)
{
    ActionScope scope(this, UndoKind::DragDrop);
    QTextEdit::dropEvent(event);
}

QMimeData *RichEditControl::createMimeDataFromSelection() const
{
    // Rich text goes out as RTF with objects as blanks: a copy never carries
    // the embedder's handles, so pasting cannot duplicate an object.
    const QTextCursor cursor = textCursor();
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(cursor.selection());
    auto *data = new QMimeData;
    data->setData(RtfMimeType, RtfWriter::write(selection));
    QString plain = textRange(cursor.selectionStart(), cursor.selectionEnd());
    plain.replace(QChar::ObjectReplacementCharacter, u' ');
    data->setText(plain);
    return data;
}

bool RichEditControl::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasFormat(RtfMimeType) || source->hasFormat(RtfMimeTypeAlternative)
        || QTextEdit::canInsertFromMimeData(source);
}

void RichEditControl::insertFromMimeData(const QMimeData *source)
{
    ActionScope scope(this, m_action == UndoKind::DragDrop ? UndoKind::DragDrop : UndoKind::Paste);
    const QString format = source->hasFormat(RtfMimeType) ? RtfMimeType
        : source->hasFormat(RtfMimeTypeAlternative)       ? RtfMimeTypeAlternative
                                                          : QString();
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    if (format.isEmpty() || !RtfReader::read(source->data(format), pasted)) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace RichEdit
