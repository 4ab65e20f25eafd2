#include "richedit/widgets/RichEditControl.h"

#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"

#include <QtCore/QMimeData>
#include <QtGui/QKeyEvent>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocumentFragment>

#include <vector>

namespace RichEdit {

namespace {

const QString RtfMimeType = QStringLiteral("text/rtf");
const QString RtfMimeTypeAlternative = QStringLiteral("application/rtf");

using ActionScope = RichDocument::ActionScope;

} // namespace

RichEditControl::RichEditControl(QWidget *parent)
    : QTextEdit(parent)
    , m_own(new RichDocument(this))
{
    connect(this, &QTextEdit::currentCharFormatChanged, this, &RichEditControl::onCurrentCharFormatChanged);
    // A document swapped in through the base class is followed from its first change.
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (m_rich && document() != m_rich->document())
            m_rich->setDocument(document());
    });
    setOptions(AutoVerticalScroll | AutoHorizontalScroll | WantReturn | SunkenFrame);
    follow(m_own);
}

RichEditControl::~RichEditControl()
{
    QObject::disconnect(m_replaced);
    QObject::disconnect(m_destroyed);
    // The shown document may outlive the control: it must not keep pointing here.
    if (m_rich && m_rich != m_own)
        QTextEdit::setDocument(m_own->document());
}

void RichEditControl::follow(RichDocument *rich)
{
    QObject::disconnect(m_replaced);
    QObject::disconnect(m_destroyed);
    m_rich = rich;
    if (QTextEdit::document() != rich->document())
        QTextEdit::setDocument(rich->document());
    m_replaced = connect(rich, &RichDocument::documentReplaced, this, [this](QTextDocument *replaced) {
        if (QTextEdit::document() != replaced)
            QTextEdit::setDocument(replaced);
    });
    // A shared document that goes first leaves the control with its own.
    if (rich != m_own)
        m_destroyed = connect(rich, &QObject::destroyed, this, [this] { follow(m_own); });
}

void RichEditControl::setRichDocument(RichDocument *rich)
{
    follow(rich ? rich : m_own);
}

void RichEditControl::setDocument(QTextDocument *document)
{
    if (!document)
        return;
    QTextEdit::setDocument(document);
    m_rich->setDocument(document);
}

void RichEditControl::registerObjectHandler(int kind, IRichEditObjectHandler *handler)
{
    m_rich->registerObjectHandler(kind, handler);
}

void RichEditControl::unregisterObjectHandler(int kind)
{
    m_rich->unregisterObjectHandler(kind);
}

bool RichEditControl::insertObject(int kind, qint64 handle, int position)
{
    const bool atCaret = position < 0;
    QTextCursor cursor = textCursor();
    if (atCaret)
        cursor.setPosition(cursor.selectionEnd());
    else
        cursor.setPosition(std::clamp(position, 0, textLength()));
    const QTextCharFormat base = withoutObject(cursor.charFormat());
    if (!m_rich->insertObject(cursor, kind, handle))
        return false;
    if (atCaret) {
        setTextCursor(cursor);
        setCurrentCharFormat(base);
    }
    return true;
}

int RichEditControl::objectCount() const
{
    return m_rich->objectCount();
}

EmbeddedObject RichEditControl::object(int index) const
{
    return m_rich->object(index);
}

QList<EmbeddedObject> RichEditControl::objects() const
{
    return m_rich->objects();
}

QList<EmbeddedObject> RichEditControl::objectsInRange(int from, int to) const
{
    return m_rich->objectsInRange(from, to);
}

void RichEditControl::updateObject(qint64 handle)
{
    m_rich->updateObject(handle);
}

RichEditControl::SelectionType RichEditControl::selectionType() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return SelectionEmpty;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const int objectsIn = m_rich->objectCountInRange(start, end);
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
    return m_rich->textLength();
}

QString RichEditControl::textRange(int from, int to) const
{
    return m_rich->textRange(from, to);
}

RichEditControl::UndoKind RichEditControl::undoKind() const
{
    return m_rich->undoKind();
}

RichEditControl::UndoKind RichEditControl::redoKind() const
{
    return m_rich->redoKind();
}

void RichEditControl::onCurrentCharFormatChanged(const QTextCharFormat &format)
{
    // Next to an object the insertion point takes the object's format; text
    // typed there must not carry the object's properties.
    if (textCursor().hasSelection() || !format.hasProperty(ObjectHandleProperty))
        return;
    setCurrentCharFormat(withoutObject(format));
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
    ActionScope scope(*m_rich, UndoKind::Other);
    if (!clears) {
        cursor.mergeCharFormat(change);
        return;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    // The fragments are read first: setting a format splits and merges them,
    // which would leave an iterator over them dangling.
    struct Part
    {
        int from;
        int to;
        QTextCharFormat format;
    };
    std::vector<Part> parts;
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
            parts.push_back({ from, to, updated });
        }
    }
    cursor.beginEditBlock();
    for (const Part &part : parts) {
        QTextCursor range(document());
        range.setPosition(part.from);
        range.setPosition(part.to, QTextCursor::KeepAnchor);
        range.setCharFormat(part.format);
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
    ActionScope scope(*m_rich, UndoKind::Other);
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
    return m_rich->streamOut(write, blockSize);
}

bool RichEditControl::streamIn(const StreamInCallback &read, qsizetype blockSize, RtfReadReport *report)
{
    if (!m_rich->streamIn(read, blockSize, report))
        return false;
    moveCursor(QTextCursor::Start);
    return true;
}

bool RichEditControl::streamOut(QByteArray &rtf) const
{
    return m_rich->streamOut(rtf);
}

bool RichEditControl::streamIn(const QByteArray &rtf, RtfReadReport *report)
{
    if (!m_rich->streamIn(rtf, report))
        return false;
    moveCursor(QTextCursor::Start);
    return true;
}

int RichEditControl::formatRange(
    QPaintDevice *device, QPainter *painter, const QRectF &pageRect, int from, int to)
{
    return m_rich->formatRange(device, painter, pageRect, from, to);
}

void RichEditControl::releaseFormatRange()
{
    m_rich->releaseFormatRange();
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
    ActionScope scope(*m_rich, kind);
    QTextEdit::keyPressEvent(event);
}

void RichEditControl::dropEvent(QDropEvent *event)
{
    ActionScope scope(*m_rich, UndoKind::DragDrop);
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
    ActionScope scope(
        *m_rich, m_rich->currentAction() == UndoKind::DragDrop ? UndoKind::DragDrop : UndoKind::Paste);
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
