#pragma once

#include "notes/ActiveEditorItems.h"

#include "richedit/IRichEditCallback.h"
#include "richedit/IRichEditObjectHandler.h"
#include "richedit/RichDocument.h"

#include <memory>
#include <unordered_map>
#include <vector>

class CActiveEditor;

// The notes document: the rich text and the items embedded in it. Every
// object in the text belongs to exactly one item, found by the object's
// handle. An item whose object leaves the text (deleted, cut, undone) is kept
// aside: undo may bring it back, and its rows go only at the next save. The
// items of the document are released when the document is emptied for
// another patient.
class CActiveEditorDoc final : public RichEdit::IRichEditCallback, public RichEdit::IRichEditObjectHandler
{
public:
    enum class Place {
        Made, // made, its object not in the text yet
        InText,
        Departed, // its object left the text
    };

    explicit CActiveEditorDoc(CActiveEditor &editor);
    ~CActiveEditorDoc() override;
    CActiveEditorDoc(const CActiveEditorDoc &) = delete;
    CActiveEditorDoc &operator=(const CActiveEditorDoc &) = delete;

    RichEdit::RichDocument &Rich() { return *m_pRich; }
    const RichEdit::RichDocument &Rich() const { return *m_pRich; }
    QTextDocument *Document() const { return m_pRich->document(); }

    // An item of the kind of a proxy class id, without a proxy and outside the
    // document: none for an unknown class id. Image templates take the
    // document's images folder.
    std::unique_ptr<CActiveEditorClientItem> CreateTemplate(const QUuid &classId) const;
    // The same, but the item belongs to the document (its object is not in the text yet).
    CActiveEditorClientItem *CreateItem(const QUuid &classId);
    // Gives a made item its proxy (prescriptions first take the document's
    // references) and, with activate, runs its primary verb. On false the
    // caller removes the item.
    bool InsertItem(CActiveEditorClientItem &item, bool activate);
    // Releases an item whose object is not in the text.
    void RemoveItem(CActiveEditorClientItem &item);
    CActiveEditorClientItem *FindByObject(qint64 handle) const;
    // The first item of the text for which item.IsSameItem holds.
    CActiveEditorClientItem *FindSame(const CActiveEditorClientItem &item) const;
    Place PlaceOf(const CActiveEditorClientItem &item) const;
    // The object of a made item entered the text.
    void Placed(CActiveEditorClientItem &item);

    // The items whose objects left the text, in no particular order.
    std::vector<CActiveEditorClientItem *> DepartedItems() const;
    // Every item of the document, in no particular order.
    std::vector<CActiveEditorClientItem *> AllItems() const;
    // Empties the text and releases every item.
    void Reset();
    // Releases every item and starts new text in a fresh document, which
    // views are given when it is complete (EndRebuild).
    void BeginRebuild();
    void EndRebuild();

    bool StreamOut(QByteArray &bytes) const;
    bool StreamIn(const QByteArray &bytes, RichEdit::RtfReadReport *report);

    // Shared by prescription items and image templates.
    PrescriptionReferences m_references;
    QString m_strImagesFolder;

    // IRichEditCallback
    bool queryInsertObject(int kind, qint64 handle) override;
    void objectDeleted(int kind, qint64 handle) override;
    void objectReinserted(int kind, qint64 handle, int position) override;
    // IRichEditObjectHandler
    QSizeF size(qint64 handle) override;
    void draw(QPainter *painter, const QRectF &rect, qint64 handle, bool printing) override;

private:
    struct Entry
    {
        std::unique_ptr<CActiveEditorClientItem> item;
        Place place = Place::Made;
    };

    CActiveEditor &m_editor;
    std::unique_ptr<RichEdit::RichDocument> m_pRich;
    std::unordered_map<qint64, Entry> m_items;
    qint64 m_nNextHandle = 1;
};
