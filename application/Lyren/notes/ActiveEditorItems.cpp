#include "notes/ActiveEditorItems.h"

#include "notes/CActiveEditor.h"
#include "notes/CLogicMedia.h"
#include "notes/NotesServices.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"

#include "common/Identifiers.h"
#include "common/OleDate.h"
#include "component/Registry.h"
#include "component/Values.h"
#include "core/CommandCodes.h"
#include "core/PatientImages.h"

#include <QtGui/QPainter>

using Component::DispatchDriver;

QUuid ItemProxy::ClassIdOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Separator:
        return ConsultProxy;
    case ItemKind::Image:
        return LumiskProxy;
    case ItemKind::Audio:
        return AudioManagerProxy;
    case ItemKind::Video:
        return CTalmaroProxy;
    case ItemKind::Sequence:
        return InhProxy;
    case ItemKind::Prescription:
        return PrescProxy;
    }
    return {};
}

bool ItemProxy::KindOfClassId(const QUuid &classId, ItemKind *kind)
{
    // In the order the document has always compared them.
    for (ItemKind candidate : { ItemKind::Image, ItemKind::Audio, ItemKind::Video, ItemKind::Separator,
             ItemKind::Sequence, ItemKind::Prescription }) {
        if (ClassIdOf(candidate) == classId) {
            if (kind)
                *kind = candidate;
            return true;
        }
    }
    return false;
}

namespace {

QChar KindLetter(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Separator:
        return u'C';
    case ItemKind::Image:
        return u'I';
    case ItemKind::Audio:
        return u'A';
    case ItemKind::Video:
        return u'V';
    case ItemKind::Sequence:
        return u'T';
    case ItemKind::Prescription:
        return u'P';
    }
    return u'?';
}

} // namespace

// The common item.

CActiveEditorClientItem::CActiveEditorClientItem(ItemKind kind)
    : m_kind(kind)
{ }

CActiveEditorClientItem::~CActiveEditorClientItem()
{
    if (m_view)
        m_view->SetSite(nullptr);
}

std::unique_ptr<CActiveEditorClientItem> CActiveEditorClientItem::Make(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Separator:
        return std::make_unique<CActiveEditorSeparatorItem>();
    case ItemKind::Image:
        return std::make_unique<CActiveEditorImageItem>();
    case ItemKind::Audio:
        return std::make_unique<CActiveEditorAudioItem>();
    case ItemKind::Video:
        return std::make_unique<CActiveEditorVideoItem>();
    case ItemKind::Sequence:
        return std::make_unique<CActiveEditorSequenceItem>();
    case ItemKind::Prescription:
        return std::make_unique<CActiveEditorPrescItem>();
    }
    return nullptr;
}

bool CActiveEditorClientItem::DoVerb(int)
{
    return true;
}

bool CActiveEditorClientItem::IsSameItem(const CActiveEditorClientItem &) const
{
    return false;
}

bool CActiveEditorClientItem::ResizeToContainer(const QRect &)
{
    return false;
}

bool CActiveEditorClientItem::UpdateProxy()
{
    return true;
}

bool CActiveEditorClientItem::CreateProxy()
{
    Component::HRESULT result = Component::S_OK;
    const auto object = Component::CreateInstance<Component::IUnknown>(ClassId(), &result);
    if (Component::Failed(result) || !object)
        return false;
    DispatchDriver proxy;
    if (Component::Failed(proxy.Attach(object.Get())) || !proxy.IsValid())
        return false;
    m_proxy = proxy;
    m_view = object.As<Component::IViewObject>();
    if (m_view)
        m_view->SetSite(this);
    return true;
}

void CActiveEditorClientItem::CopyFrom(const CActiveEditorClientItem &source)
{
    m_strRecordId = source.m_strRecordId;
    m_nCharPos = source.m_nCharPos;
    m_bNew = source.m_bNew;
    m_bModified = source.m_bModified;
    m_strTextBefore = source.m_strTextBefore;
    m_strTextAfter = source.m_strTextAfter;
    m_stored = source.m_stored;
}

QSizeF CActiveEditorClientItem::Size() const
{
    QSize himetric;
    if (m_view && Component::Succeeded(m_view->GetExtent(&himetric)))
        return Component::HimetricToPixels(himetric);
    const qreal height = m_pEditor ? m_pEditor->FontExtentY() + 2 : 19;
    return QSizeF(height, height);
}

void CActiveEditorClientItem::Draw(QPainter *painter, const QRectF &rect, bool printing) const
{
    if (m_view) {
        const Component::DrawTarget target
            = printing ? Component::DrawTarget::Paper : Component::DrawTarget::Screen;
        const QTransform transform = painter->worldTransform();
        if (!transform.isScaling()) {
            m_view->Draw(painter, rect.toRect(), target);
            return;
        }
        // A printed page is laid out in screen units and scaled to the
        // printer; a proxy sizes its font for the device it draws on, so it
        // draws in the device's own pixels.
        painter->save();
        const QRect deviceRect = transform.mapRect(rect).toRect();
        painter->resetTransform();
        m_view->Draw(painter, deviceRect, target);
        painter->restore();
        return;
    }
    // Without its proxy the item is still there: a framed letter of its kind.
    painter->setPen(QPen(Qt::darkGray, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->drawText(rect, Qt::AlignCenter, QString(KindLetter(m_kind)));
}

void CActiveEditorClientItem::OnViewChange()
{
    // Only an item standing in the text has a place to lay out again.
    if (m_pEditor && m_nHandle && m_pEditor->Document().PlaceOf(*this) == CActiveEditorDoc::Place::InText)
        m_pEditor->RelayoutItem(m_nHandle);
}

void CActiveEditorClientItem::PutFontExtents() const
{
    const auto [x, y] = FontExtentMembers();
    if (!m_pEditor || !x)
        return;
    m_proxy.Put(x, QVariant::fromValue<qint16>(m_pEditor->FontExtentX()));
    m_proxy.Put(y, QVariant::fromValue<qint16>(m_pEditor->FontExtentY()));
}

// The separator.

CActiveEditorSeparatorItem::CActiveEditorSeparatorItem()
    : CActiveEditorClientItem(ItemKind::Separator)
    , m_consultationDate(QDateTime::currentDateTime())
{
    m_bProtected = true;
}

std::pair<int, int> CActiveEditorSeparatorItem::FontExtentMembers() const
{
    return { ItemProxy::Consult::MaxFontExtentX, ItemProxy::Consult::MaxFontExtentY };
}

bool CActiveEditorSeparatorItem::DoVerb(int verb)
{
    // A double click asks the host to set an appointment for the patient.
    if (verb == -2 && m_pEditor)
        m_pEditor->SendHostEvent(CommandCode::Appointments);
    return true;
}

bool CActiveEditorSeparatorItem::ResizeToContainer(const QRect &container)
{
    PutFontExtents();
    return Component::Succeeded(m_proxy.Call(ItemProxy::Consult::SetItemSize, { container.width() - 8, 0 }));
}

bool CActiveEditorSeparatorItem::UpdateProxy()
{
    if (!m_proxy.IsValid())
        return true;
    bool done = true;
    if (m_consultationDate.isValid())
        done = Component::Succeeded(
            m_proxy.Put(ItemProxy::Consult::ConsultationDate, Verdanta::ToOleDate(m_consultationDate)));
    if (m_nextDate.isValid())
        done = Component::Succeeded(
                   m_proxy.Put(ItemProxy::Consult::NextConsultationDate, Verdanta::ToOleDate(m_nextDate)))
            && done;
    return done;
}

void CActiveEditorSeparatorItem::CopyFrom(const CActiveEditorClientItem &source)
{
    CActiveEditorClientItem::CopyFrom(source);
    if (source.Kind() == ItemKind::Separator) {
        const auto &separator = static_cast<const CActiveEditorSeparatorItem &>(source);
        m_consultationDate = separator.m_consultationDate;
        m_nextDate = separator.m_nextDate;
    }
    m_bProtected = true;
}

// The image.

CActiveEditorImageItem::CActiveEditorImageItem()
    : CActiveEditorClientItem(ItemKind::Image)
{ }

bool CActiveEditorImageItem::DoVerb(int verb)
{
    IPatientImages *images = m_pEditor ? m_pEditor->Images() : nullptr;
    if (verb == 0) {
        if (!images)
            return false;
        const QString chosen = images->Choose(m_pEditor->DialogParent(), m_strImagesFolder, m_strFilePath);
        if (chosen.isEmpty())
            return false;
        m_strFilePath = chosen;
        return true;
    }
    if (verb == -2)
        return images && images->ShowImage(m_pEditor->DialogParent(), m_strFilePath);
    return true;
}

void CActiveEditorImageItem::CopyFrom(const CActiveEditorClientItem &source)
{
    CActiveEditorClientItem::CopyFrom(source);
    if (source.Kind() == ItemKind::Image) {
        const auto &image = static_cast<const CActiveEditorImageItem &>(source);
        m_strFilePath = image.m_strFilePath;
    }
}

// The recordings.

CActiveEditorAudioItem::CActiveEditorAudioItem()
    : CActiveEditorMediaItem(ItemKind::Audio)
{ }

CActiveEditorVideoItem::CActiveEditorVideoItem()
    : CActiveEditorMediaItem(ItemKind::Video)
{ }

bool CActiveEditorMediaItem::DoVerb(int)
{
    if (!m_pMediaLogic)
        return false;
    const bool wasEmpty = m_strFilePath.isEmpty();
    if (!m_pMediaLogic->Open(m_strFilePath))
        return false;
    // A new recording goes into the file the media logic chose.
    if (wasEmpty)
        m_strFilePath = m_pMediaLogic->CurrentFile();
    return true;
}

void CActiveEditorMediaItem::CopyFrom(const CActiveEditorClientItem &source)
{
    CActiveEditorClientItem::CopyFrom(source);
    if (source.Kind() == ItemKind::Audio || source.Kind() == ItemKind::Video) {
        const auto &media = static_cast<const CActiveEditorMediaItem &>(source);
        m_strFilePath = media.m_strFilePath;
    }
    if (m_pEditor)
        m_pMediaLogic = m_pEditor->MediaLogic();
}

// The treatment line.

CActiveEditorSequenceItem::CActiveEditorSequenceItem()
    : CActiveEditorClientItem(ItemKind::Sequence)
{ }

std::pair<int, int> CActiveEditorSequenceItem::FontExtentMembers() const
{
    return { ItemProxy::Inh::MaxFontExtentX, ItemProxy::Inh::MaxFontExtentY };
}

bool CActiveEditorSequenceItem::IsSameItem(const CActiveEditorClientItem &other) const
{
    if (other.Kind() != ItemKind::Sequence)
        return false;
    const auto &line = static_cast<const CActiveEditorSequenceItem &>(other);
    if (!m_bNew)
        return m_strRecordId == line.m_strRecordId;
    return m_remedy.Key() == line.m_remedy.Key() && m_nLineIndex == line.m_nLineIndex;
}

bool CActiveEditorSequenceItem::ResizeToContainer(const QRect &container)
{
    PutFontExtents();
    return Component::Succeeded(
        m_proxy.Call(ItemProxy::Inh::OnResizeContainer, { container.width(), container.height() }));
}

bool CActiveEditorSequenceItem::UpdateProxy()
{
    if (!m_proxy.IsValid())
        return true;
    bool done = Component::Succeeded(m_proxy.Put(ItemProxy::Inh::strName, m_remedy.medicineName));
    done = Component::Succeeded(m_proxy.Put(ItemProxy::Inh::strDilution, m_remedy.dilutionName)) && done;
    for (const QDate &day : std::as_const(m_dates))
        done = Component::Succeeded(
                   m_proxy.Call(ItemProxy::Inh::SelectTimestamp, { Verdanta::ToOleDate(day), true }))
            && done;
    return done;
}

bool CActiveEditorSequenceItem::SelectDay(const QDate &day, bool select)
{
    if (!TreatmentDays::Select(m_dates, day, select))
        return false;
    m_bModified = true;
    if (m_proxy.IsValid())
        m_proxy.Call(ItemProxy::Inh::SelectTimestamp, { Verdanta::ToOleDate(day), select });
    return true;
}

void CActiveEditorSequenceItem::CopyFrom(const CActiveEditorClientItem &source)
{
    CActiveEditorClientItem::CopyFrom(source);
    if (source.Kind() == ItemKind::Sequence) {
        const auto &line = static_cast<const CActiveEditorSequenceItem &>(source);
        m_remedy = line.m_remedy;
        // Read again from the stored form, so that the days are in order and unique.
        m_dates = TreatmentDays::Parse(TreatmentDays::Format(line.m_dates));
        m_nLineIndex = line.m_nLineIndex;
    }
}

// The prescription.

CActiveEditorPrescItem::CActiveEditorPrescItem()
    : CActiveEditorClientItem(ItemKind::Prescription)
{ }

std::pair<int, int> CActiveEditorPrescItem::FontExtentMembers() const
{
    return { ItemProxy::Presc::MaxFontExtentX, ItemProxy::Presc::MaxFontExtentY };
}

bool CActiveEditorPrescItem::DoVerb(int verb)
{
    // Only an insertion opens the prescription dialog; a double click does nothing.
    if (verb != 0 || !m_pEditor)
        return false;
    IPrescriptionEditor *editor = m_pEditor->PrescriptionEditor();
    if (!editor || !editor->Edit(m_pEditor->DialogParent(), *this))
        return false;
    if (m_references.remedies) {
        QString name;
        if (m_references.remedies->GetName(Verdanta::ParseId(m_remedy.medicineId), &name))
            m_remedy.medicineName = name;
    }
    if (m_references.dilutions) {
        QString name;
        if (m_references.dilutions->GetValue(Verdanta::ParseId(m_remedy.dilutionId), &name))
            m_remedy.dilutionName = name;
    }
    UpdateProxy();
    return true;
}

bool CActiveEditorPrescItem::ResizeToContainer(const QRect &container)
{
    PutFontExtents();
    return Component::Succeeded(
        m_proxy.Call(ItemProxy::Presc::OnResizeContainer, { container.width(), container.height() }));
}

bool CActiveEditorPrescItem::UpdateProxy()
{
    if (!m_proxy.IsValid())
        return true;
    bool done = Component::Succeeded(m_proxy.Put(ItemProxy::Presc::strMedicine, m_remedy.medicineName));
    done = Component::Succeeded(m_proxy.Put(ItemProxy::Presc::strDilution, m_remedy.dilutionName)) && done;
    done = Component::Succeeded(m_proxy.Put(
               ItemProxy::Presc::lQuantity, QVariant::fromValue<quint32>(quint32(std::max(m_nQuantity, 0)))))
        && done;
    // A status the status table does not know is drawn white, as the
    // prescription list draws its row.
    if (m_references.statusColours) {
        const quint32 colour = m_references.statusColours->value(m_nStatusId, 0xFFFFFFu);
        done = Component::Succeeded(m_proxy.Put(ItemProxy::Presc::clrStatus, QVariant::fromValue(colour)))
            && done;
    }
    return done;
}

void CActiveEditorPrescItem::CopyFrom(const CActiveEditorClientItem &source)
{
    CActiveEditorClientItem::CopyFrom(source);
    if (source.Kind() == ItemKind::Prescription) {
        const auto &prescription = static_cast<const CActiveEditorPrescItem &>(source);
        m_remedy = prescription.m_remedy;
        m_nStatusId = prescription.m_nStatusId;
        m_nQuantity = prescription.m_nQuantity;
        m_strInvoicingId = prescription.m_strInvoicingId;
        m_strCreationDate = prescription.m_strCreationDate;
        m_amount = prescription.m_amount;
        m_tax1 = prescription.m_tax1;
        m_tax2 = prescription.m_tax2;
        m_references = prescription.m_references;
    }
}
