#include "notes/CActiveEditor.h"

#include "notes/CLogicMedia.h"
#include "notes/NotesServices.h"

#include "core/CommandCodes.h"
#include "core/LogicServices.h"
#include "core/PatientImages.h"

#include "richedit/RtfReadReport.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextList>

namespace {

// The editor commands of the clipboard, as the notes view numbers them.
enum EditorCommand { EditorCopy = 32830, EditorCut = 32831, EditorPaste = 32832 };

} // namespace

CActiveEditor::CActiveEditor()
    : m_pDocument(std::make_unique<CActiveEditorDoc>(*this))
    , m_caret(m_pDocument->Document())
{
    // Every proxy sizes its text with the extents of the notes' font.
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    const QFontMetrics metrics(font);
    const QString sample = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");
    m_nFontExtentX = qint16(std::max(1, metrics.horizontalAdvance(sample) / int(sample.size())));
    m_nFontExtentY = qint16(std::max(1, metrics.height()));
}

CActiveEditor::~CActiveEditor()
{
    if (m_pView)
        m_pView->EditorClosing();
}

void CActiveEditor::SetView(IActiveEditorView *view)
{
    if (m_pView && !view)
        m_caret = m_pView->TextCursor();
    m_pView = view;
}

int CActiveEditor::SendHostEvent(int code)
{
    LogicCommand command;
    command.code = code;
    return SendHostCommand(command);
}

int CActiveEditor::SendHostCommand(LogicCommand &command)
{
    if (!command.window)
        command.window = DialogParent();
    return m_host ? m_host(command) : 0;
}

IPatientImages *CActiveEditor::Images() const
{
    return m_pServices ? m_pServices->Get<IPatientImages>() : nullptr;
}

IPrescriptionEditor *CActiveEditor::PrescriptionEditor() const
{
    return m_pServices ? m_pServices->Get<IPrescriptionEditor>() : nullptr;
}

IPrescriptionList *CActiveEditor::PrescriptionList() const
{
    return m_pServices ? m_pServices->Get<IPrescriptionList>() : nullptr;
}

QWidget *CActiveEditor::DialogParent() const
{
    return m_dialogParent ? m_dialogParent() : nullptr;
}

QTextCursor CActiveEditor::Caret() const
{
    return m_pView ? m_pView->TextCursor() : m_caret;
}

void CActiveEditor::SetCaretCursor(const QTextCursor &cursor)
{
    if (m_pView)
        m_pView->SetTextCursor(cursor);
    else
        m_caret = cursor;
}

QRect CActiveEditor::FormattingRect() const
{
    // Items made while no view shows the notes (a load) take the area the
    // view had last.
    if (m_pView) {
        const QRect area = m_pView->FormattingRect();
        if (area.width() > 0)
            m_area = area;
    }
    return m_area;
}

bool CActiveEditor::CollectItems(ItemList &list)
{
    list.clear();
    const QList<RichEdit::EmbeddedObject> objects = m_pDocument->Rich().objects();
    list.reserve(size_t(objects.size()));
    // The objects come in text order already: the list is sorted as it grows.
    for (const RichEdit::EmbeddedObject &object : objects) {
        CActiveEditorClientItem *item = m_pDocument->FindByObject(object.handle);
        if (!item)
            continue;
        item->m_nCharPos = object.position;
        list.push_back(item);
    }
    return true;
}

bool CActiveEditor::InsertAt(CActiveEditorClientItem &templateItem)
{
    // The blank that stood for the item when the text was saved gives way to
    // it. Anything else there is text, which is never replaced.
    const int position = templateItem.m_nCharPos;
    RichEdit::RichDocument &rich = m_pDocument->Rich();
    if (position < 0 || position >= rich.textLength()
        || m_pDocument->Document()->characterAt(position) != u' ')
        return false;
    QTextCursor cursor(m_pDocument->Document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    // The item takes the blank's format, which was its own when it was written.
    const QTextCharFormat format = cursor.charFormat();
    cursor.removeSelectedText();
    SetCaretCursor(cursor);
    if (InsertFromTemplate(templateItem, nullptr, &format))
        return true;
    // The blank comes back when the item cannot be made.
    cursor.setPosition(position);
    cursor.insertText(QStringLiteral(" "), format);
    return false;
}

bool CActiveEditor::InsertAll(const std::vector<CActiveEditorClientItem *> &templates)
{
    for (CActiveEditorClientItem *templateItem : templates) {
        if (!templateItem || !InsertAt(*templateItem))
            return false;
    }
    return true;
}

bool CActiveEditor::Append(CActiveEditorClientItem &templateItem)
{
    const bool separator = templateItem.Kind() == ItemKind::Separator;
    templateItem.m_nCharPos = m_pDocument->Rich().textLength();
    QTextCursor cursor(m_pDocument->Document());
    cursor.movePosition(QTextCursor::End);
    if (separator) {
        // A separator stands on a line of its own, in a plain paragraph.
        if (!cursor.block().text().isEmpty())
            cursor.insertBlock();
        QTextBlockFormat plain = cursor.blockFormat();
        plain.setIndent(0);
        plain.setTextIndent(0);
        plain.setLeftMargin(0);
        plain.clearBackground();
        plain.setObjectIndex(-1);
        cursor.setBlockFormat(plain);
        if (QTextList *list = cursor.currentList())
            list->remove(cursor.block());
    }
    SetCaretCursor(cursor);
    if (m_pView)
        m_pView->ShowCaret();
    if (!InsertFromTemplate(templateItem))
        return false;
    if (separator) {
        QTextCursor end(m_pDocument->Document());
        end.movePosition(QTextCursor::End);
        end.insertBlock();
        SetCaretCursor(end);
    }
    return true;
}

bool CActiveEditor::InsertFromTemplate(
    CActiveEditorClientItem &templateItem, CActiveEditorClientItem **made, const QTextCharFormat *format)
{
    CActiveEditorClientItem *item = m_pDocument->CreateItem(templateItem.ClassId());
    if (!item)
        return false;
    item->CopyFrom(templateItem);
    if (!m_pDocument->InsertItem(*item, false)) {
        m_pDocument->RemoveItem(*item);
        return false;
    }
    item->UpdateProxy();
    if (!PlaceAtCaret(*item, format)) {
        m_pDocument->RemoveItem(*item);
        return false;
    }
    if (item->Kind() == ItemKind::Prescription) {
        if (IPrescriptionList *list = PrescriptionList())
            list->AddToList(static_cast<CActiveEditorPrescItem &>(*item));
    }
    if (made)
        *made = item;
    return true;
}

std::unique_ptr<CActiveEditorClientItem> CActiveEditor::CreateTemplate(const QUuid &classId) const
{
    return m_pDocument->CreateTemplate(classId);
}

CActiveEditorClientItem *CActiveEditor::FindByObject(qint64 handle) const
{
    return m_pDocument->FindByObject(handle);
}

CActiveEditorClientItem *CActiveEditor::FindSame(const CActiveEditorClientItem &item) const
{
    return m_pDocument->FindSame(item);
}

bool CActiveEditor::PositionOf(CActiveEditorClientItem &item) const
{
    const int position = m_pDocument->Rich().positionOf(item.m_nHandle);
    if (position < 0)
        return false;
    item.m_nCharPos = position;
    return true;
}

bool CActiveEditor::IsConsultationEmpty(int position) const
{
    const RichEdit::RichDocument &rich = m_pDocument->Rich();
    const int end = rich.textLength();
    if (position + 1 >= end)
        return true;
    if (rich.objectCountInRange(position + 1, end) > 0)
        return false;
    return rich.textRange(position + 1, end).trimmed().isEmpty();
}

void CActiveEditor::DeleteRange(int first, int last)
{
    const int length = m_pDocument->Rich().textLength();
    if (last < 0 || last > length)
        last = length;
    first = std::clamp(first, 0, length);
    if (first >= last)
        return;
    QTextCursor cursor(m_pDocument->Document());
    cursor.setPosition(first);
    cursor.setPosition(last, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    SetCaretCursor(cursor);
}

void CActiveEditor::SetCaret(int position)
{
    QTextCursor cursor(m_pDocument->Document());
    const int length = m_pDocument->Rich().textLength();
    cursor.setPosition(position < 0 || position > length ? length : position);
    SetCaretCursor(cursor);
}

void CActiveEditor::InsertText(const QString &text)
{
    if (text.isEmpty())
        return;
    QTextCursor cursor = Caret();
    cursor.setPosition(cursor.selectionEnd());
    // Text typed next to an item must not take the item's format.
    cursor.insertText(text, RichEdit::withoutObject(cursor.charFormat()));
    SetCaretCursor(cursor);
}

bool CActiveEditor::SaveNotes(QByteArray &bytes) const
{
    return m_pDocument->StreamOut(bytes);
}

void CActiveEditor::BeginLoad()
{
    if (m_bLoading)
        return;
    m_bLoading = true;
    m_bReadOnly = false;
    m_pDocument->BeginRebuild();
    m_pDocument->Document()->setUndoRedoEnabled(false);
    m_caret = QTextCursor(m_pDocument->Document());
}

void CActiveEditor::EndLoad()
{
    if (!m_bLoading)
        return;
    m_bLoading = false;
    QTextDocument *document = m_pDocument->Document();
    document->setUndoRedoEnabled(true);
    m_caret = QTextCursor(document);
    m_caret.movePosition(QTextCursor::End);
    m_pDocument->EndRebuild();
}

bool CActiveEditor::LoadNotes(const QByteArray &bytes, RichEdit::RtfReadReport *report)
{
    const bool own = !m_bLoading;
    BeginLoad();
    const bool read = bytes.isEmpty() || m_pDocument->StreamIn(bytes, report);
    if (own)
        EndLoad();
    return read;
}

void CActiveEditor::ShowPlainText(const QString &text)
{
    const bool own = !m_bLoading;
    BeginLoad();
    m_pDocument->Document()->setPlainText(text);
    m_bReadOnly = true;
    if (own)
        EndLoad();
}

void CActiveEditor::SetPrescriptionReferences(const PrescriptionReferences &references)
{
    m_pDocument->m_references = references;
    for (CActiveEditorClientItem *item : m_pDocument->AllItems()) {
        if (item->Kind() == ItemKind::Prescription)
            static_cast<CActiveEditorPrescItem &>(*item).m_references = references;
    }
}

void CActiveEditor::UpdateView()
{
    if (m_pView)
        m_pView->Repaint();
}

int CActiveEditor::EditCommand(int command)
{
    if (!m_pView || m_bReadOnly)
        return 0;
    const QTextCursor cursor = m_pView->TextCursor();
    const bool holdsItem = cursor.hasSelection()
        && m_pDocument->Rich().objectCountInRange(cursor.selectionStart(), cursor.selectionEnd()) > 0;
    const auto collapseToEnd = [&] {
        QTextCursor collapsed = cursor;
        collapsed.setPosition(cursor.selectionEnd());
        m_pView->SetTextCursor(collapsed);
    };
    switch (command) {
    case EditorCopy:
    case 0xE122: // the frame's Copy
        if (holdsItem)
            return 1;
        m_pView->Copy();
        return 1;
    case EditorCut:
    case 0xE123: // the frame's Cut
        if (holdsItem) {
            collapseToEnd();
            return 1;
        }
        m_pView->Cut();
        return 1;
    case EditorPaste:
    case 0xE125: // the frame's Paste
        if (holdsItem)
            collapseToEnd();
        m_pView->Paste();
        return 1;
    default:
        return 0;
    }
}

bool CActiveEditor::PlaceAtCaret(CActiveEditorClientItem &item, const QTextCharFormat *format)
{
    QTextCursor cursor = Caret();
    if (cursor.hasSelection())
        cursor.setPosition(cursor.selectionEnd());
    item.ResizeToContainer(FormattingRect());
    const QString around = item.m_strTextBefore + item.m_strTextAfter;
    if (!around.isEmpty()) {
        cursor.insertText(around, RichEdit::withoutObject(cursor.charFormat()));
        cursor.setPosition(cursor.position() - int(item.m_strTextAfter.size()));
    }
    if (!m_pDocument->Rich().insertObject(cursor, int(item.Kind()), item.m_nHandle, format))
        return false;
    m_pDocument->Placed(item);
    item.m_nCharPos = cursor.position() - 1;
    SetCaretCursor(cursor);
    return true;
}

void CActiveEditor::RelayoutItem(qint64 handle)
{
    if (!m_bResizing)
        m_pDocument->Rich().updateObject(handle);
}

void CActiveEditor::ResizeItems()
{
    const QRect area = FormattingRect();
    // The text is laid out again once, after every item has its size.
    m_bResizing = true;
    for (const RichEdit::EmbeddedObject &object : m_pDocument->Rich().objects()) {
        if (CActiveEditorClientItem *item = m_pDocument->FindByObject(object.handle))
            item->ResizeToContainer(area);
    }
    m_bResizing = false;
    QTextDocument *document = m_pDocument->Document();
    document->markContentsDirty(0, document->characterCount());
}

bool CActiveEditor::InsertNewRecording(bool video)
{
    if (m_bReadOnly || !m_pMediaLogic)
        return false;
    CActiveEditorClientItem *item
        = m_pDocument->CreateItem(ItemProxy::ClassIdOf(video ? ItemKind::Video : ItemKind::Audio));
    if (!item)
        return false;
    static_cast<CActiveEditorMediaItem &>(*item).m_pMediaLogic = m_pMediaLogic;
    if (!m_pDocument->InsertItem(*item, true) || !PlaceAtCaret(*item)) {
        m_pDocument->RemoveItem(*item);
        return false;
    }
    if (m_pEvents)
        m_pEvents->OnItemInserted(*item);
    UpdateView();
    return true;
}

void CActiveEditor::ObjectDeparted(CActiveEditorClientItem &item)
{
    if (m_pEvents)
        m_pEvents->OnObjectDeleted(item);
}

void CActiveEditor::ObjectReturned(CActiveEditorClientItem &item)
{
    if (m_pEvents)
        m_pEvents->OnObjectReinserted(item);
}
