#include "notes/CActiveEditor.h"

#include "notes/CLogicMedia.h"
#include "notes/NotesServices.h"

#include "core/CommandCodes.h"
#include "core/LogicServices.h"
#include "core/PatientImages.h"

#include "richedit/RtfReadReport.h"

#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
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

void CActiveEditor::SizeItemsTo(const QRect &area)
{
    m_bResizing = true;
    for (const RichEdit::EmbeddedObject &object : m_pDocument->Rich().objects()) {
        if (CActiveEditorClientItem *item = m_pDocument->FindByObject(object.handle))
            item->ResizeToContainer(area);
    }
    m_bResizing = false;
}

void CActiveEditor::ResizeItems()
{
    // The text is laid out again once, after every item has its size.
    SizeItemsTo(FormattingRect());
    QTextDocument *document = m_pDocument->Document();
    document->markContentsDirty(0, document->characterCount());
}

bool CActiveEditor::InsertMade(CActiveEditorClientItem &item, bool activate)
{
    if (!m_pDocument->InsertItem(item, activate) || !PlaceAtCaret(item)) {
        m_pDocument->RemoveItem(item);
        return false;
    }
    if (m_pEvents)
        m_pEvents->OnItemInserted(item);
    UpdateView();
    return true;
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
    return InsertMade(*item, true);
}

bool CActiveEditor::InsertNewImage()
{
    if (m_bReadOnly || SendHostEvent(CommandCode::InsertImageAsked) == 0)
        return false;
    CActiveEditorClientItem *item = m_pDocument->CreateItem(ItemProxy::LumiskProxy);
    return item && InsertMade(*item, true);
}

bool CActiveEditor::InsertNewPrescription()
{
    if (!CanInsertPrescription())
        return false;
    CActiveEditorClientItem *item = m_pDocument->CreateItem(ItemProxy::PrescProxy);
    if (!item)
        return false;
    // The dialog runs before the item is placed: the blanks after it come
    // only with a prescription the person confirmed.
    if (!m_pDocument->InsertItem(*item, true)) {
        m_pDocument->RemoveItem(*item);
        return false;
    }
    item->m_strTextAfter = QStringLiteral("  ");
    return InsertMade(*item, false);
}

QString CActiveEditor::MediaFilter()
{
    return QStringLiteral("Video Files (%1)| %2|Audio Files (%3)| %4|All files (*.*)|*.*||")
        .arg(QStringLiteral(".asf; .wmv; .mpg; .mpeg; .avi; .mpa"),
            QStringLiteral("*.asf; *.wmv; *.mpg; *.mpeg; *.avi; *.mpa"),
            QStringLiteral(".wav; .wma; .mp3; .aif; .midi; .snd"),
            QStringLiteral("*.wav; *.wma; *.mp3; *.aif; *.midi; *.snd"));
}

bool CActiveEditor::IsVideoFile(const QString &path)
{
    // Extensions are compared without regard to case: "CLIP.AVI" is a video.
    static const QStringList video { QStringLiteral("asf"), QStringLiteral("wmv"), QStringLiteral("mpg"),
        QStringLiteral("mpeg"), QStringLiteral("avi"), QStringLiteral("mpa") };
    return video.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

bool CActiveEditor::ImportMedia()
{
    if (m_bReadOnly || SendHostEvent(CommandCode::ImportMediaAsked) == 0 || !m_pMediaLogic)
        return false;
    const QString path = Desktop::FileDialogs().GetOpenFileName(
        DialogParent(), tr("Import Media files (Video and Audio)"), QString(), MediaFilter());
    if (path.isEmpty())
        return false;
    const bool video = IsVideoFile(path);
    QString copy;
    if (!m_pMediaLogic->Import(path, video, &copy))
        return false;
    CActiveEditorClientItem *item
        = m_pDocument->CreateItem(ItemProxy::ClassIdOf(video ? ItemKind::Video : ItemKind::Audio));
    if (item) {
        auto &media = static_cast<CActiveEditorMediaItem &>(*item);
        media.m_pMediaLogic = m_pMediaLogic;
        media.m_strFilePath = copy;
        if (InsertMade(*item, false))
            return true;
    }
    // A copy that no item holds would never be found again.
    QFile::remove(copy);
    return false;
}

bool CActiveEditor::SelectionHoldsItem() const
{
    const QTextCursor cursor = Caret();
    return cursor.hasSelection()
        && m_pDocument->Rich().objectCountInRange(cursor.selectionStart(), cursor.selectionEnd()) > 0;
}

bool CActiveEditor::ProtectKey(int key, KeyReach reach)
{
    if (m_bReadOnly)
        return false;
    QTextCursor cursor = Caret();
    const bool deleting = key == Qt::Key_Delete || key == Qt::Key_Backspace;
    if (!deleting) {
        // Typing never replaces a selection that holds items.
        if (!SelectionHoldsItem())
            return false;
        cursor.setPosition(cursor.selectionEnd());
        SetCaretCursor(cursor);
        return true;
    }
    int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    const int caret = cursor.position();
    if (start == end && reach != KeyReach::Character) {
        // A word or line deletion is judged as the selection it removes.
        QTextCursor removed = cursor;
        if (key == Qt::Key_Backspace)
            removed.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
        else
            removed.movePosition(reach == KeyReach::Line ? QTextCursor::EndOfLine : QTextCursor::EndOfWord,
                QTextCursor::KeepAnchor);
        start = std::min(removed.selectionStart(), key == Qt::Key_Backspace ? caret - 1 : caret);
        end = std::max(removed.selectionEnd(), key == Qt::Key_Backspace ? caret : caret + 1);
        start = std::max(start, 0);
    }
    const bool selection = start != end;
    bool removal = false;
    for (const RichEdit::EmbeddedObject &object : m_pDocument->Rich().objects()) {
        if (object.position >= (selection ? end : caret + 1))
            break;
        CActiveEditorClientItem *item = m_pDocument->FindByObject(object.handle);
        if (!item)
            continue;
        item->m_nCharPos = object.position;
        if (selection) {
            if (object.position < start)
                continue;
            if (item->m_bProtected) {
                // A separator never goes: the selection collapses before it.
                cursor.setPosition(cursor.selectionStart());
                SetCaretCursor(cursor);
                return true;
            }
            removal = true;
        } else if (key == Qt::Key_Delete && object.position == caret) {
            removal = true;
            if (item->m_bProtected) {
                cursor.setPosition(object.position + 1);
                SetCaretCursor(cursor);
                return true;
            }
        } else if (key == Qt::Key_Backspace && object.position == caret - 1) {
            removal = true;
            if (item->m_bProtected) {
                cursor.setPosition(object.position);
                SetCaretCursor(cursor);
                return true;
            }
        }
    }
    if (!removal)
        return false;
    return Desktop::Prompts().Show(
               DialogParent(), RemoveItemsQuestion(), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes;
}

QString CActiveEditor::SelectedPhrase() const
{
    const QTextCursor cursor = Caret();
    QString text = m_pDocument->Rich().textRange(cursor.selectionStart(), cursor.selectionEnd());
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

CActiveEditorSeparatorItem *CActiveEditor::SeparatorBefore(int position)
{
    CActiveEditorSeparatorItem *separator = nullptr;
    for (const RichEdit::EmbeddedObject &object : m_pDocument->Rich().objects()) {
        if (object.position > position)
            break;
        CActiveEditorClientItem *item = m_pDocument->FindByObject(object.handle);
        if (item && item->Kind() == ItemKind::Separator) {
            item->m_nCharPos = object.position;
            separator = static_cast<CActiveEditorSeparatorItem *>(item);
        }
    }
    return separator;
}

void CActiveEditor::HandOffKeyword()
{
    const QString phrase = SelectedPhrase();
    if (!m_pEvents || phrase.isEmpty())
        return;
    m_pEvents->OnKeyword(SeparatorBefore(Caret().selectionStart()), phrase);
}

QString CActiveEditor::TodaysPrescriptionText(const QDate &today)
{
    ItemList items;
    CollectItems(items);
    QString lines;
    // From the last item back to the last separator: the newest consultation.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const CActiveEditorClientItem *item = *it;
        if (item->Kind() == ItemKind::Separator)
            break;
        if (item->Kind() != ItemKind::Prescription)
            continue;
        const auto &prescription = static_cast<const CActiveEditorPrescItem &>(*item);
        lines += QStringLiteral("\t%1 %2  -  Quantity: %3\n\n")
                     .arg(prescription.m_remedy.medicineName, prescription.m_remedy.dilutionName)
                     .arg(prescription.m_nQuantity);
    }
    if (lines.isEmpty())
        return {};
    return QStringLiteral("\n\n\tPRESCRIPTION - %1\n\n\n\n")
               .arg(QLocale().toString(today, QStringLiteral("dddd, dd MMM, yyyy")))
        + lines;
}

QString CActiveEditor::NoPrescriptionsMessage()
{
    return tr("There are no prescriptions to print");
}

QString CActiveEditor::RemoveItemsQuestion()
{
    return tr("Remove item(s) from your notes?");
}

bool CActiveEditor::Print()
{
    return m_pView && m_pView->Print();
}

void CActiveEditor::ShowKeywordsBar()
{
    if (m_pView)
        m_pView->ShowKeywordsBar();
}

void CActiveEditor::SetFontExtents(qint16 x, qint16 y)
{
    m_nFontExtentX = std::max<qint16>(1, x);
    m_nFontExtentY = std::max<qint16>(1, y);
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
