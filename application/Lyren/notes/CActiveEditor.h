#pragma once

#include "notes/ActiveEditorInterfaces.h"
#include "notes/CActiveEditorDoc.h"

#include "core/LogicCommand.h"

#include <QtCore/QByteArray>
#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtGui/QTextCursor>

#include <memory>
#include <vector>

class CLogicMedia;
class IPatientImages;
class IPrescriptionEditor;
class IPrescriptionList;
class LogicServices;

namespace RichEdit {
struct RtfReadReport;
}

using ItemList = std::vector<CActiveEditorClientItem *>;

// The controller of one notes editor: collects the items from the text,
// puts stored items back at their character positions, inserts items at the
// caret, streams the text in and out, and answers the editor's events. It
// works on the document alone; a view, when one shows the notes, gives it
// the caret and selection, sizing and repainting (IActiveEditorView).
class CActiveEditor
{
    Q_DECLARE_TR_FUNCTIONS(CActiveEditor)

public:
    CActiveEditor();
    ~CActiveEditor();
    CActiveEditor(const CActiveEditor &) = delete;
    CActiveEditor &operator=(const CActiveEditor &) = delete;

    CActiveEditorDoc &Document() { return *m_pDocument; }
    const CActiveEditorDoc &Document() const { return *m_pDocument; }

    // The view (not owned); none when no window shows the notes.
    void SetView(IActiveEditorView *view);
    IActiveEditorView *View() const { return m_pView; }
    // The listener of the editor's events (the notes logic; not owned).
    void SetEvents(IActiveEditorEvents *listener) { m_pEvents = listener; }
    IActiveEditorEvents *Events() const { return m_pEvents; }
    // The receiver of host events (appointments 72, image 82, media import
    // 83) and picked keywords (65): the hub.
    void SetHost(CommandSink host) { m_host = std::move(host); }
    bool HasHost() const { return static_cast<bool>(m_host); }
    int SendHostEvent(int code);
    int SendHostCommand(LogicCommand &command);
    // Where items find the image manager, the prescription dialog and list
    // (not owned).
    void SetServices(const LogicServices *services) { m_pServices = services; }
    IPatientImages *Images() const;
    IPrescriptionEditor *PrescriptionEditor() const;
    IPrescriptionList *PrescriptionList() const;
    QWidget *DialogParent() const;
    void SetDialogParent(std::function<QWidget *()> parent) { m_dialogParent = std::move(parent); }
    // The patient's media logic, which recordings take (not owned).
    void SetMediaLogic(CLogicMedia *media) { m_pMediaLogic = media; }
    CLogicMedia *MediaLogic() const { return m_pMediaLogic; }

    // The list of the items in the text, each with its current character
    // position, in ascending position (items at one position in text order).
    bool CollectItems(ItemList &list);
    // Puts a template back at its stored position, in place of the blank that
    // stood for it. False, and nothing changed, when no blank stands there.
    bool InsertAt(CActiveEditorClientItem &templateItem);
    // InsertAt for every template in order; stops at the first failure.
    bool InsertAll(const std::vector<CActiveEditorClientItem *> &templates);
    // Places a template at the end of the text (a separator on a line of its own).
    bool Append(CActiveEditorClientItem &templateItem);
    // Makes the real item of a template at the caret; made receives it.
    bool InsertFromTemplate(CActiveEditorClientItem &templateItem, CActiveEditorClientItem **made = nullptr,
        const QTextCharFormat *format = nullptr);
    std::unique_ptr<CActiveEditorClientItem> CreateTemplate(const QUuid &classId) const;
    CActiveEditorClientItem *FindByObject(qint64 handle) const;
    CActiveEditorClientItem *FindSame(const CActiveEditorClientItem &item) const;
    // Stores the item's current position in it; false when it is not in the text.
    bool PositionOf(CActiveEditorClientItem &item) const;
    // Whether the notes hold nothing but white space after the separator at position.
    bool IsConsultationEmpty(int position) const;
    // Clears [first, last); last -1 means to the end.
    void DeleteRange(int first, int last);
    // Collapses the selection at position (-1: the end of the text).
    void SetCaret(int position);
    // Replaces the collapsed selection (at its end) by the text.
    void InsertText(const QString &text);
    bool SaveNotes(QByteArray &bytes) const;
    // Replaces the notes by the stream (empty: no text), inside a load or as one.
    bool LoadNotes(const QByteArray &bytes, RichEdit::RtfReadReport *report);
    // Shows text that cannot be read as rich text, unchanged and read-only.
    void ShowPlainText(const QString &text);
    // A load: the notes are rebuilt apart from the view (no undo, no layout
    // while the text and items arrive), then shown whole.
    void BeginLoad();
    void EndLoad();
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool readOnly) { m_bReadOnly = readOnly; }

    // The references prescription items need, and the images folder.
    void SetPrescriptionReferences(const PrescriptionReferences &references);
    void SetImagesFolder(const QString &folder) { m_pDocument->m_strImagesFolder = folder; }

    void UpdateView();
    // Copy (unless the selection holds an item), cut (an item in the
    // selection only collapses it to its end) and paste (after collapsing a
    // selection that holds an item). FrameCommand or editor command ids.
    int EditCommand(int command);
    // A recording item inserted at the caret, its recording started into a
    // new file (video when the media control has a camera).
    bool InsertNewRecording(bool video);
    // An image chosen in the image manager's bin, inserted at the caret, once
    // the host agrees (event 82).
    bool InsertNewImage();
    // A prescription made in the prescription dialog, inserted at the caret
    // with two blanks after it.
    bool InsertNewPrescription();
    bool CanInsertPrescription() const { return !m_bReadOnly && PrescriptionEditor() != nullptr; }
    // A video or sound file chosen by the person, copied into the patient's
    // media folder and inserted at the caret, once the host agrees (event 83).
    bool ImportMedia();
    // The file dialog's filter of media files, and whether a file is a video
    // by its extension (any case).
    static QString MediaFilter();
    static bool IsVideoFile(const QString &path);

    // Key protection: whether a key press in the view must be swallowed so
    // that no item is lost by accident. Delete and Backspace jump over a
    // separator and ask before items go; other keys never replace a selection
    // holding items (it collapses to its end). reach: how much a Delete or
    // Backspace removes.
    enum class KeyReach { Character, Word, Line };
    bool ProtectKey(int key, KeyReach reach = KeyReach::Character);
    // Whether the selection holds an item.
    bool SelectionHoldsItem() const;
    // The text of the selection, objects and paragraph marks left out.
    QString SelectedPhrase() const;
    // The last separator at or before position; none before the first.
    CActiveEditorSeparatorItem *SeparatorBefore(int position);
    // Hands the selected phrase to the listener with the separator that
    // precedes the selection.
    void HandOffKeyword();
    // The text of today's prescription printout: the prescriptions of the
    // last consultation, from the last to the first; empty when it has none.
    QString TodaysPrescriptionText(const QDate &today);
    static QString NoPrescriptionsMessage();
    static QString RemoveItemsQuestion();

    // Prints the notes through the view; false without a view or when nothing was printed.
    bool Print();
    void ShowKeywordsBar();

    // The caret: the view's, or the editor's own without a view.
    QTextCursor Caret() const;
    void SetCaretCursor(const QTextCursor &cursor);
    // Places a real item at the caret: text before and after, the object,
    // the item sized to the text area. The object takes the format of the
    // text at the caret, or format when given.
    bool PlaceAtCaret(CActiveEditorClientItem &item, const QTextCharFormat *format = nullptr);
    QRect FormattingRect() const;
    // Lays an item's object out again (its proxy changed its picture).
    void RelayoutItem(qint64 handle);
    // Sizes every item of the text to the text area again (the view resized).
    void ResizeItems();
    // Sizes every item to another area without laying the notes out again
    // (the page of a printout; ResizeItems goes back).
    void SizeItemsTo(const QRect &area);

    // Font extents measured once, given to every proxy.
    qint16 FontExtentX() const { return m_nFontExtentX; }
    qint16 FontExtentY() const { return m_nFontExtentY; }
    // The view measured them on its own device.
    void SetFontExtents(qint16 x, qint16 y);

    // From the document: an item's object left the text or came back.
    void ObjectDeparted(CActiveEditorClientItem &item);
    void ObjectReturned(CActiveEditorClientItem &item);

    // The width items are sized to when no view shows the notes.
    static constexpr int DefaultTextWidth = 640;

private:
    // Gives a made item its proxy (and with activate its dialog), places it
    // at the caret and tells the listener; a failure takes the item away.
    bool InsertMade(CActiveEditorClientItem &item, bool activate);

    std::unique_ptr<CActiveEditorDoc> m_pDocument;
    IActiveEditorView *m_pView = nullptr;
    IActiveEditorEvents *m_pEvents = nullptr;
    CommandSink m_host;
    const LogicServices *m_pServices = nullptr;
    std::function<QWidget *()> m_dialogParent;
    CLogicMedia *m_pMediaLogic = nullptr;
    QTextCursor m_caret;
    bool m_bReadOnly = false;
    bool m_bLoading = false;
    bool m_bResizing = false;
    mutable QRect m_area { 0, 0, DefaultTextWidth, 480 };
    qint16 m_nFontExtentX = 7;
    qint16 m_nFontExtentY = 17;
};
