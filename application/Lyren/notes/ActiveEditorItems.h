#pragma once

#include "notes/ItemProxies.h"
#include "notes/TreatmentLine.h"

#include "common/Money.h"
#include "component/DispatchDriver.h"
#include "component/ViewObject.h"

#include <QtCore/QDateTime>
#include <QtCore/QHash>
#include <QtCore/QRect>
#include <QtCore/QSizeF>
#include <QtCore/QStringList>

#include <memory>

class CActiveEditor;
class CLogicMedia;
class CLogicMedicines;
class CLogicDilutions;
class QPainter;

// What prescription items look their names and colours up in: the remedies
// and dilutions logic and the status maps of the notes logic (not owned).
struct PrescriptionReferences
{
    CLogicMedicines *remedies = nullptr;
    CLogicDilutions *dilutions = nullptr;
    const QHash<qint64, QString> *statusNames = nullptr;
    const QHash<qint64, quint32> *statusColours = nullptr;
};

// One item embedded in the notes: the data of a separator, image, recording,
// treatment line or prescription, and the proxy object that draws it. An item
// stands in the text as one object character whose handle is the item's.
// Items made as templates (from storage or by a command) carry data only;
// the document turns them into real items (CActiveEditor::InsertFromTemplate).
class CActiveEditorClientItem : public Component::IObjectSite
{
public:
    explicit CActiveEditorClientItem(ItemKind kind);
    ~CActiveEditorClientItem() override;
    CActiveEditorClientItem(const CActiveEditorClientItem &) = delete;
    CActiveEditorClientItem &operator=(const CActiveEditorClientItem &) = delete;

    // A new item of a kind, without a proxy.
    static std::unique_ptr<CActiveEditorClientItem> Make(ItemKind kind);

    ItemKind Kind() const { return m_kind; }
    QUuid ClassId() const { return ItemProxy::ClassIdOf(m_kind); }

    // Verb 0 right after a user insertion that asks for activation, -2 on a
    // double click; false makes the caller take the new item away again.
    virtual bool DoVerb(int verb);
    virtual bool IsSameItem(const CActiveEditorClientItem &other) const;
    // Gives the proxy the font extents and the width of the text area.
    virtual bool ResizeToContainer(const QRect &container);
    // Makes the proxy object of the kind's class; false when no server offers it.
    virtual bool CreateProxy();
    // Puts the item's data on its proxy.
    virtual bool UpdateProxy();
    // Copies what a template carries into this real item of the same kind.
    virtual void CopyFrom(const CActiveEditorClientItem &source);

    bool HasProxy() const { return m_proxy.IsValid(); }
    const Component::DispatchDriver &Proxy() const { return m_proxy; }
    // The proxy's size in layout pixels, and its picture; an item without a
    // proxy is drawn as a framed box with a letter of its kind.
    QSizeF Size() const;
    void Draw(QPainter *painter, const QRectF &rect, bool printing) const;

    // The proxy's picture changed: the text lays the item out again.
    void OnViewChange() override;

    // The editor the item lives in (none for templates) and its handle in the text.
    CActiveEditor *m_pEditor = nullptr;
    qint64 m_nHandle = 0;

    int m_nCharPos = -1; // character index in the notes
    bool m_bNew = true; // no row yet
    bool m_bModified = false; // the row must be written again
    bool m_bProtected = false; // the keyboard may not delete it (separators)
    QString m_strRecordId; // decimal ID of the item's row; empty while new
    QString m_strTextBefore; // inserted just before the item when it is placed
    QString m_strTextAfter; // inserted just after it

    // The columns as last written or read, so that a save writes only rows
    // whose values changed; empty when unknown.
    QStringList m_stored;

protected:
    // The members of the kind's proxy for the font extents (0 for none).
    virtual std::pair<int, int> FontExtentMembers() const { return { 0, 0 }; }
    void PutFontExtents() const;

    ItemKind m_kind;
    Component::DispatchDriver m_proxy;
    Component::ComPtr<Component::IViewObject> m_view;
};

class CActiveEditorSeparatorItem final : public CActiveEditorClientItem
{
public:
    CActiveEditorSeparatorItem();
    bool DoVerb(int verb) override;
    bool ResizeToContainer(const QRect &container) override;
    bool UpdateProxy() override;
    void CopyFrom(const CActiveEditorClientItem &source) override;

    QDateTime m_consultationDate; // now, for a new separator
    QDateTime m_nextDate; // invalid: not set

protected:
    std::pair<int, int> FontExtentMembers() const override;
};

class CActiveEditorImageItem final : public CActiveEditorClientItem
{
public:
    CActiveEditorImageItem();
    bool DoVerb(int verb) override;
    void CopyFrom(const CActiveEditorClientItem &source) override;

    QString m_strImagesFolder;
    QString m_strFilePath;
};

// Audio and video recordings.
class CActiveEditorMediaItem : public CActiveEditorClientItem
{
public:
    bool DoVerb(int verb) override;
    void CopyFrom(const CActiveEditorClientItem &source) override;

    CLogicMedia *m_pMediaLogic = nullptr;
    QString m_strFilePath;

protected:
    using CActiveEditorClientItem::CActiveEditorClientItem;
};

class CActiveEditorAudioItem final : public CActiveEditorMediaItem
{
public:
    CActiveEditorAudioItem();
};

class CActiveEditorVideoItem final : public CActiveEditorMediaItem
{
public:
    CActiveEditorVideoItem();
};

class CActiveEditorSequenceItem final : public CActiveEditorClientItem
{
public:
    CActiveEditorSequenceItem();
    bool IsSameItem(const CActiveEditorClientItem &other) const override;
    bool ResizeToContainer(const QRect &container) override;
    bool UpdateProxy() override;
    void CopyFrom(const CActiveEditorClientItem &source) override;
    // Selects or unselects a day on the line and on its proxy.
    bool SelectDay(const QDate &day, bool select);

    RemedyRef m_remedy;
    QList<QDate> m_dates; // ascending, without duplicates
    int m_nLineIndex = 0;

protected:
    std::pair<int, int> FontExtentMembers() const override;
};

class CActiveEditorPrescItem final : public CActiveEditorClientItem
{
public:
    CActiveEditorPrescItem();
    bool DoVerb(int verb) override;
    bool ResizeToContainer(const QRect &container) override;
    bool UpdateProxy() override;
    void CopyFrom(const CActiveEditorClientItem &source) override;

    RemedyRef m_remedy;
    qint64 m_nStatusId = 1;
    int m_nQuantity = 1;
    PrescriptionReferences m_references;
    QString m_strInvoicingId;
    QString m_strCreationDate;
    // Exact amounts of the charge: computed when the item is made, read back
    // from its invoicing row when it is loaded.
    Verdanta::Money m_amount;
    Verdanta::Money m_tax1;
    Verdanta::Money m_tax2;

protected:
    std::pair<int, int> FontExtentMembers() const override;
};
