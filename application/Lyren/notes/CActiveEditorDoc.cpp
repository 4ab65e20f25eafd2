#include "notes/CActiveEditorDoc.h"

#include "notes/CActiveEditor.h"

#include <QtGui/QFont>
#include <QtGui/QTextDocument>

CActiveEditorDoc::CActiveEditorDoc(CActiveEditor &editor)
    : m_editor(editor)
    , m_pRich(std::make_unique<RichEdit::RichDocument>())
{
    m_pRich->setCallback(this);
    // The notes are written in Arial of 10 points unless formatted otherwise.
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    m_pRich->document()->setDefaultFont(font);
    for (ItemKind kind : { ItemKind::Separator, ItemKind::Image, ItemKind::Audio, ItemKind::Video,
             ItemKind::Sequence, ItemKind::Prescription })
        m_pRich->registerObjectHandler(int(kind), this);
}

CActiveEditorDoc::~CActiveEditorDoc()
{
    // The items go with the document, without being reported deleted.
    m_pRich->setCallback(nullptr);
    m_items.clear();
}

std::unique_ptr<CActiveEditorClientItem> CActiveEditorDoc::CreateTemplate(const QUuid &classId) const
{
    ItemKind kind;
    if (!ItemProxy::KindOfClassId(classId, &kind))
        return nullptr;
    auto item = CActiveEditorClientItem::Make(kind);
    if (kind == ItemKind::Image)
        static_cast<CActiveEditorImageItem &>(*item).m_strImagesFolder = m_strImagesFolder;
    return item;
}

CActiveEditorClientItem *CActiveEditorDoc::CreateItem(const QUuid &classId)
{
    auto item = CreateTemplate(classId);
    if (!item)
        return nullptr;
    item->m_pEditor = &m_editor;
    item->m_nHandle = m_nNextHandle++;
    CActiveEditorClientItem *made = item.get();
    m_items.emplace(made->m_nHandle, Entry { std::move(item), Place::Made });
    return made;
}

bool CActiveEditorDoc::InsertItem(CActiveEditorClientItem &item, bool activate)
{
    if (item.Kind() == ItemKind::Prescription)
        static_cast<CActiveEditorPrescItem &>(item).m_references = m_references;
    // An item is kept even when no proxy server draws it: it is drawn as a
    // plain box, and what it holds stays in the notes.
    item.CreateProxy();
    return !activate || item.DoVerb(0);
}

void CActiveEditorDoc::RemoveItem(CActiveEditorClientItem &item)
{
    const auto found = m_items.find(item.m_nHandle);
    if (found != m_items.end() && found->second.item.get() == &item && found->second.place != Place::InText)
        m_items.erase(found);
}

CActiveEditorClientItem *CActiveEditorDoc::FindByObject(qint64 handle) const
{
    const auto found = m_items.find(handle);
    return found == m_items.end() ? nullptr : found->second.item.get();
}

CActiveEditorClientItem *CActiveEditorDoc::FindSame(const CActiveEditorClientItem &item) const
{
    for (const RichEdit::EmbeddedObject &object : m_pRich->objects()) {
        CActiveEditorClientItem *candidate = FindByObject(object.handle);
        if (candidate && item.IsSameItem(*candidate))
            return candidate;
    }
    return nullptr;
}

CActiveEditorDoc::Place CActiveEditorDoc::PlaceOf(const CActiveEditorClientItem &item) const
{
    const auto found = m_items.find(item.m_nHandle);
    return found == m_items.end() ? Place::Departed : found->second.place;
}

void CActiveEditorDoc::Placed(CActiveEditorClientItem &item)
{
    const auto found = m_items.find(item.m_nHandle);
    if (found != m_items.end())
        found->second.place = Place::InText;
}

std::vector<CActiveEditorClientItem *> CActiveEditorDoc::DepartedItems() const
{
    std::vector<CActiveEditorClientItem *> departed;
    for (const auto &[handle, entry] : m_items) {
        if (entry.place == Place::Departed)
            departed.push_back(entry.item.get());
    }
    return departed;
}

std::vector<CActiveEditorClientItem *> CActiveEditorDoc::AllItems() const
{
    std::vector<CActiveEditorClientItem *> all;
    all.reserve(m_items.size());
    for (const auto &[handle, entry] : m_items)
        all.push_back(entry.item.get());
    return all;
}

void CActiveEditorDoc::Reset()
{
    // The objects leaving the text now are not deletions: nobody hears of them.
    m_items.clear();
    Document()->clear();
}

void CActiveEditorDoc::BeginRebuild()
{
    m_items.clear();
    m_pRich->beginReplacement();
}

void CActiveEditorDoc::EndRebuild()
{
    m_pRich->endReplacement();
}

bool CActiveEditorDoc::StreamOut(QByteArray &bytes) const
{
    return m_pRich->streamOut(bytes);
}

bool CActiveEditorDoc::StreamIn(const QByteArray &bytes, RichEdit::RtfReadReport *report)
{
    return m_pRich->streamIn(bytes, report);
}

bool CActiveEditorDoc::queryInsertObject(int, qint64 handle)
{
    // The only objects of the notes are the document's own items.
    return m_items.count(handle) > 0;
}

void CActiveEditorDoc::objectDeleted(int, qint64 handle)
{
    const auto found = m_items.find(handle);
    if (found == m_items.end() || found->second.place != Place::InText)
        return;
    found->second.place = Place::Departed;
    m_editor.ObjectDeparted(*found->second.item);
}

void CActiveEditorDoc::objectReinserted(int, qint64 handle, int position)
{
    const auto found = m_items.find(handle);
    if (found == m_items.end())
        return;
    found->second.place = Place::InText;
    found->second.item->m_nCharPos = position;
    m_editor.ObjectReturned(*found->second.item);
}

QSizeF CActiveEditorDoc::size(qint64 handle)
{
    const CActiveEditorClientItem *item = FindByObject(handle);
    return item ? item->Size() : QSizeF(16, 16);
}

void CActiveEditorDoc::draw(QPainter *painter, const QRectF &rect, qint64 handle, bool printing)
{
    if (const CActiveEditorClientItem *item = FindByObject(handle))
        item->Draw(painter, rect, printing);
}
