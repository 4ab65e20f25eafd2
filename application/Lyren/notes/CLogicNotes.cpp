#include "notes/CLogicNotes.h"

#include "notes/CLogicMedia.h"
#include "notes/NotesServices.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/PrescriptionCharge.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/Loggers.h"
#include "core/LogicContext.h"
#include "core/Transaction.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "common/LocaleDates.h"
#include "common/Money.h"
#include "richedit/RtfReadReport.h"
#include "richedit/RtfReader.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QTextDocument>

#include <algorithm>

using Records::TablePtr;

namespace {

const QString Id = QStringLiteral("ID");
const QString Notes = QStringLiteral("NOTES");
const QString CharPos = QStringLiteral("CHAR_POS");
const QString ConsultationId = QStringLiteral("CONSULTATION_ID");

QString NormalizedId(const QString &text)
{
    const qint64 id = Verdanta::ParseId(text);
    return id > 0 ? Verdanta::FormatId(id) : QString();
}

} // namespace

// A template read from storage, with the consultation its row names.
struct CLogicNotes::Loaded
{
    std::unique_ptr<CActiveEditorClientItem> item;
    QString consultationId;
};

CLogicNotes::CLogicNotes(LogicContext &context)
    : m_context(context)
    , m_pEditor(std::make_unique<CActiveEditor>())
    , m_treatmentGrid(*m_pEditor)
{
    m_pEditor->SetEvents(this);
    m_pEditor->SetServices(&context.Services());
    m_pEditor->SetHost([&context](LogicCommand &command) { return context.SendCommand(command); });
    m_pEditor->SetDialogParent([&context] { return context.DialogParent(); });
}

CLogicNotes::~CLogicNotes()
{
    ReleaseDocument();
    m_pEditor->SetEvents(nullptr);
}

QString CLogicNotes::UnreadableNotice()
{
    return tr("These notes are not rich text and cannot be read as such. They are shown as plain text, "
              "read-only, and nothing is written over them.");
}

QString CLogicNotes::KeptOriginalNotice(const QString &path, const QStringList &issues)
{
    return tr("These notes were written by another program or are damaged (%1). They are shown as well as "
              "they can be read; the notes as they were stored are kept in \"%2\".")
        .arg(issues.join(QStringLiteral("; ")), path);
}

QString CLogicNotes::ReadOnlyOriginalNotice(const QStringList &issues)
{
    return tr("These notes were written by another program or are damaged (%1), and they could not be kept "
              "as they were stored. They are shown read-only, and nothing is written over them.")
        .arg(issues.join(QStringLiteral("; ")));
}

QString CLogicNotes::MisplacedNotice(int count)
{
    return tr("%n item(s) of these notes could not be placed where they were stored and were put at the end "
              "of their consultation.",
        nullptr, count);
}

void CLogicNotes::Log(int level, const QString &text) const
{
    Loggers::Log(Loggers::Category::Notes, level, text);
}

Korbel::ITable *CLogicNotes::Main() const
{
    return m_context.MainTable();
}

QString CLogicNotes::PatientIdText() const
{
    const qint64 id = m_context.CurrentPatientId();
    return id > 0 ? Verdanta::FormatId(id) : QString();
}

void CLogicNotes::SetMediaLogic(CLogicMedia *media)
{
    m_pMedia = media;
    m_pEditor->SetMediaLogic(media);
}

CActiveEditorSeparatorItem *CLogicNotes::TodaysSeparator() const
{
    CActiveEditorClientItem *item
        = m_nTodaysSeparator ? m_pEditor->FindByObject(m_nTodaysSeparator) : nullptr;
    return item && item->Kind() == ItemKind::Separator ? static_cast<CActiveEditorSeparatorItem *>(item)
                                                       : nullptr;
}

NotesTable *CLogicNotes::TableOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Separator:
        return &m_consultations;
    case ItemKind::Image:
        return &m_images;
    case ItemKind::Audio:
    case ItemKind::Video:
        return &m_media;
    case ItemKind::Sequence:
        return &m_inhalations;
    case ItemKind::Prescription:
        return &m_prescriptions;
    }
    return nullptr;
}

void CLogicNotes::OpenTables(qint64 patientId)
{
    Korbel::IDataSource *source = m_context.DataSource();
    m_consultations.Open(source, QStringLiteral("CONSULTATIONS"), patientId);
    m_images.Open(source, QStringLiteral("IMAGES"), patientId);
    m_media.Open(source, m_context.MediaTableName(), patientId);
    m_inhalations.Open(source, QStringLiteral("INHALATIONS"), patientId);
    m_prescriptions.Open(source, QStringLiteral("PRESCRIPTIONS"), patientId);
    m_invoicing.Open(source, QStringLiteral("INVOICING"), patientId);
}

void CLogicNotes::ReleaseDocument()
{
    // Recordings deleted from the notes whose rows are gone can no longer come
    // back: their files go now (the media logic deletes only its own).
    if (m_pMedia) {
        for (CActiveEditorClientItem *item : m_pEditor->Document().DepartedItems()) {
            if ((item->Kind() == ItemKind::Audio || item->Kind() == ItemKind::Video)
                && item->m_strRecordId.isEmpty())
                m_pMedia->DeleteFile(static_cast<CActiveEditorMediaItem *>(item)->m_strFilePath);
        }
    }
    m_items.clear();
    m_nTodaysSeparator = 0;
    m_pEditor->Document().Reset();
}

// Loading.

bool CLogicNotes::KeepOriginal(const QByteArray &bytes, QString *path) const
{
    const QString folder = m_context.Folders().GetPatientFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QString hash
        = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12));
    *path = QDir(folder).filePath(QStringLiteral("NotesAsStored-%1.rtf").arg(hash));
    // The same notes are kept once.
    if (QFileInfo(*path).isFile() && QFileInfo(*path).size() == bytes.size())
        return true;
    QString error;
    if (Files::WriteAtomically(*path, bytes, &error))
        return true;
    Log(Loggers::Error,
        QStringLiteral("CLogicNotes::Load() cannot keep the stored notes in %1: %2").arg(*path, error));
    return false;
}

void CLogicNotes::ReadNotes()
{
    QByteArray bytes;
    Korbel::ITable *main = Main();
    const bool read = m_nPatientId > 0 && main->GetBinary(Notes, &bytes);
    if (!read) {
        // Notes that cannot be read are not written over either.
        m_pEditor->ShowPlainText(QString());
        if (m_nPatientId > 0) {
            Log(Loggers::Error,
                QStringLiteral("CLogicNotes::Load() cannot read the notes. Error desc: %1")
                    .arg(main->GetErrorDescription()));
            m_notices << UnreadableNotice();
        }
        return;
    }
    const bool blank
        = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return QChar::isSpace(uchar(c)); });
    // Blank notes leave the new document empty.
    if (blank)
        return;
    RichEdit::RtfReadReport report;
    if (!m_pEditor->LoadNotes(bytes, &report)) {
        m_pEditor->ShowPlainText(RichEdit::RtfReader::asPlainText(bytes));
        Log(Loggers::Error,
            QStringLiteral("CLogicNotes::Load() the notes are not rich text: %1").arg(report.error));
        m_notices << UnreadableNotice();
        return;
    }
    if (report.isClean())
        return;
    // What the reading approximated would be lost at the next save: the notes
    // as stored are kept first, or the notes are not written at all.
    QString path;
    if (KeepOriginal(bytes, &path)) {
        m_notices << KeptOriginalNotice(path, report.descriptions());
        Log(Loggers::Information,
            QStringLiteral("CLogicNotes::Load() notes read with approximations; stored notes kept in %1")
                .arg(path));
        return;
    }
    m_pEditor->SetReadOnly(true);
    m_notices << ReadOnlyOriginalNotice(report.descriptions());
    return;
}

void CLogicNotes::ReadStatus()
{
    m_statusNames.clear();
    m_statusColours.clear();
    TablePtr status = Records::OpenOrdered(m_context.DataSource(), QStringLiteral("STATUS"), QString());
    if (!status)
        return;
    for (int more = status->Move(Korbel::MoveFirst); more == 1; more = status->Move(Korbel::MoveNext)) {
        const qint64 id = Records::CurrentId(status.get());
        m_statusNames.insert(id, Records::ReadText(status.get(), QStringLiteral("NAME")));
        m_statusColours.insert(
            id, quint32(Verdanta::ParseId(Records::ReadText(status.get(), QStringLiteral("COLOR")))));
    }
}

bool CLogicNotes::LoadTemplates(std::vector<Loaded> &loaded)
{
    const CActiveEditorDoc &document = m_pEditor->Document();
    auto *remedies = m_context.Services().Get<CLogicMedicines>();
    auto *dilutions = m_context.Services().Get<CLogicDilutions>();
    QHash<qint64, QString> remedyNames;
    QHash<qint64, QString> dilutionNames;
    const auto remedy = [&](const QString &medicineId, const QString &dilutionId) {
        RemedyRef ref { medicineId, QString(), dilutionId, QString() };
        const qint64 medicine = Verdanta::ParseId(medicineId);
        const qint64 dilution = Verdanta::ParseId(dilutionId);
        if (!remedyNames.contains(medicine) && remedies)
            remedies->GetName(medicine, &remedyNames[medicine]);
        if (!dilutionNames.contains(dilution) && dilutions)
            dilutions->GetValue(dilution, &dilutionNames[dilution]);
        ref.medicineName = remedyNames.value(medicine);
        ref.dilutionName = dilutionNames.value(dilution);
        return ref;
    };
    const QDate today = QDate::currentDate();
    bool todayFound = false;

    const auto readRows = [&](NotesTable &table, ItemKind kind) {
        if (!table)
            return;
        Korbel::ITable *rows = table.Get();
        for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext)) {
            ItemKind rowKind = kind;
            if (kind == ItemKind::Audio)
                rowKind = table.Read(QStringLiteral("IS_VIDEO")) == QStringLiteral("1") ? ItemKind::Video
                                                                                        : ItemKind::Audio;
            std::unique_ptr<CActiveEditorClientItem> item
                = document.CreateTemplate(ItemProxy::ClassIdOf(rowKind));
            if (!item)
                continue;
            item->m_strRecordId = NormalizedId(table.Read(Id));
            item->m_nCharPos = Verdanta::AtoI(table.Read(CharPos));
            item->m_bNew = false;
            QString consultation;
            switch (rowKind) {
            case ItemKind::Separator: {
                auto &separator = static_cast<CActiveEditorSeparatorItem &>(*item);
                QDate date;
                separator.m_consultationDate
                    = Verdanta::ParseLocaleDate(table.Read(QStringLiteral("DATE")), &date) ? date.startOfDay()
                                                                                           : QDateTime();
                separator.m_nextDate
                    = Verdanta::ParseLocaleDate(table.Read(QStringLiteral("NEXT_DATE")), &date)
                    ? date.startOfDay()
                    : QDateTime();
                if (separator.m_consultationDate.date() == today)
                    todayFound = true;
                break;
            }
            case ItemKind::Image:
                static_cast<CActiveEditorImageItem &>(*item).m_strFilePath
                    = table.Read(QStringLiteral("FILE_PATH"));
                break;
            case ItemKind::Audio:
            case ItemKind::Video:
                static_cast<CActiveEditorMediaItem &>(*item).m_strFilePath
                    = table.Read(QStringLiteral("FILE_PATH"));
                break;
            case ItemKind::Sequence: {
                auto &line = static_cast<CActiveEditorSequenceItem &>(*item);
                line.m_remedy = remedy(
                    table.Read(QStringLiteral("MEDICINE_ID")), table.Read(QStringLiteral("DILUTION_ID")));
                line.m_dates = TreatmentDays::Parse(table.Read(QStringLiteral("SEQUENCE")));
                break;
            }
            case ItemKind::Prescription: {
                auto &prescription = static_cast<CActiveEditorPrescItem &>(*item);
                prescription.m_remedy = remedy(
                    table.Read(QStringLiteral("MEDICINE_ID")), table.Read(QStringLiteral("DILUTION_ID")));
                prescription.m_nStatusId = Verdanta::ParseId(table.Read(QStringLiteral("STATUS_ID")));
                prescription.m_nQuantity = Verdanta::AtoI(table.Read(QStringLiteral("QUANTITY")));
                prescription.m_strInvoicingId = NormalizedId(table.Read(QStringLiteral("INVOICING_ID")));
                prescription.m_strCreationDate = table.Read(QStringLiteral("CREATION_DT"));
                if (m_invoicing.Locate(Verdanta::ParseId(prescription.m_strInvoicingId))) {
                    prescription.m_amount
                        = Verdanta::Money::FromText(m_invoicing.Read(QStringLiteral("AMOUNT")));
                    prescription.m_tax1
                        = Verdanta::Money::FromText(m_invoicing.Read(QStringLiteral("AMOUNT_TAX1")));
                    prescription.m_tax2
                        = Verdanta::Money::FromText(m_invoicing.Read(QStringLiteral("AMOUNT_TAX2")));
                }
                break;
            }
            }
            if (rowKind != ItemKind::Separator)
                consultation = NormalizedId(table.Read(ConsultationId));
            item->m_stored = NotesRows::Signature(*item, consultation);
            loaded.push_back({ std::move(item), consultation });
        }
    };
    readRows(m_consultations, ItemKind::Separator);
    readRows(m_inhalations, ItemKind::Sequence);
    readRows(m_images, ItemKind::Image);
    readRows(m_media, ItemKind::Audio);
    readRows(m_prescriptions, ItemKind::Prescription);

    // The templates in ascending position; those of one position keep the
    // order in which their tables were read.
    std::stable_sort(loaded.begin(), loaded.end(),
        [](const Loaded &a, const Loaded &b) { return a.item->m_nCharPos < b.item->m_nCharPos; });
    return todayFound;
}

int CLogicNotes::EndOfConsultation(const QString &consultationId, int storedPosition) const
{
    // The consultation an item belongs to: the separator its row names, else
    // the one before its stored position. Its end is where the next
    // separator's line begins, or the end of the text.
    const RichEdit::RichDocument &rich = m_pEditor->Document().Rich();
    const QList<RichEdit::EmbeddedObject> objects = rich.objects();
    int separatorAt = -1;
    for (const RichEdit::EmbeddedObject &object : objects) {
        if (object.kind != int(ItemKind::Separator))
            continue;
        const CActiveEditorClientItem *separator = m_pEditor->FindByObject(object.handle);
        if (!consultationId.isEmpty() && separator && separator->m_strRecordId == consultationId) {
            separatorAt = object.position;
            break;
        }
        if (consultationId.isEmpty() && object.position <= storedPosition)
            separatorAt = object.position;
    }
    if (separatorAt < 0 && !consultationId.isEmpty())
        return EndOfConsultation(QString(), storedPosition);
    for (const RichEdit::EmbeddedObject &object : objects) {
        if (object.kind == int(ItemKind::Separator) && object.position > separatorAt) {
            const bool lineBreak = object.position > 0
                && rich.textRange(object.position - 1, object.position) == QStringLiteral("\n");
            return lineBreak ? object.position - 1 : object.position;
        }
    }
    return rich.textLength();
}

void CLogicNotes::PlaceTemplates(std::vector<Loaded> &loaded)
{
    // First every item whose blank is where it was stored (the text keeps its
    // length), then the others at the end of their consultations, separators
    // first so that the items of their consultations follow them.
    std::vector<Loaded *> misplaced;
    {
        // One edit of the text for all of them: the text is laid out once,
        // and the objects are listed once, when the edit ends.
        QTextCursor batch(m_pEditor->Document().Document());
        batch.beginEditBlock();
        for (Loaded &entry : loaded) {
            if (!m_pEditor->InsertAt(*entry.item))
                misplaced.push_back(&entry);
        }
        batch.endEditBlock();
    }
    std::stable_partition(misplaced.begin(), misplaced.end(),
        [](const Loaded *entry) { return entry->item->Kind() == ItemKind::Separator; });
    for (Loaded *entry : misplaced) {
        CActiveEditorClientItem &item = *entry->item;
        if (item.Kind() == ItemKind::Separator) {
            m_pEditor->Append(item);
            continue;
        }
        m_pEditor->SetCaret(EndOfConsultation(entry->consultationId, std::max(0, item.m_nCharPos)));
        if (!m_pEditor->InsertFromTemplate(item))
            Log(Loggers::Error,
                QStringLiteral("CLogicNotes::Load() cannot place the item of row %1 of table %2")
                    .arg(item.m_strRecordId, TableOf(item.Kind())->Name()));
    }
    if (!misplaced.empty()) {
        m_notices << MisplacedNotice(int(misplaced.size()));
        Log(Loggers::Information,
            QStringLiteral("CLogicNotes::Load() %1 item(s) could not be placed at their stored positions")
                .arg(misplaced.size()));
    }
}

void CLogicNotes::AppendTodaysSeparator()
{
    std::unique_ptr<CActiveEditorClientItem> separator = m_pEditor->CreateTemplate(ItemProxy::ConsultProxy);
    CActiveEditorClientItem *made = nullptr;
    const int before = m_pEditor->Document().Rich().objectCount();
    if (separator && m_pEditor->Append(*separator)) {
        const RichEdit::RichDocument &rich = m_pEditor->Document().Rich();
        // The separator is the last object of the text now.
        if (rich.objectCount() > before)
            made = m_pEditor->FindByObject(rich.object(rich.objectCount() - 1).handle);
    }
    m_nTodaysSeparator = made ? made->m_nHandle : 0;
    m_pEditor->SetCaret(-1);
}

bool CLogicNotes::Load()
{
    m_notices.clear();
    if (!m_context.DataSource() || !Main())
        return false;
    if (IPrescriptionList *list = m_pEditor->PrescriptionList())
        list->Reset();
    ReleaseDocument();
    // The notes are rebuilt apart from the view, which is given them whole.
    IActiveEditorView *view = m_pEditor->View();
    m_pEditor->SetView(nullptr);
    m_pEditor->BeginLoad();
    m_nPatientId = m_context.CurrentPatientId();
    OpenTables(m_nPatientId);
    m_pEditor->SetImagesFolder(m_context.Folders().GetImagesFolder());
    m_pEditor->SetMediaLogic(m_pMedia);

    // What the text reports while it is rebuilt is not the person's doing.
    m_bLoading = true;
    ReadNotes();

    ReadStatus();
    m_pEditor->SetPrescriptionReferences({ m_context.Services().Get<CLogicMedicines>(),
        m_context.Services().Get<CLogicDilutions>(), &m_statusNames, &m_statusColours });
    // Items are placed only in notes that are written back.
    if (!m_pEditor->IsReadOnly() && m_nPatientId > 0) {
        std::vector<Loaded> loaded;
        const bool todayFound = LoadTemplates(loaded);
        PlaceTemplates(loaded);
        // Without a consultation of today, one is opened at the end.
        if (!todayFound)
            AppendTodaysSeparator();
    }
    m_bLoading = false;
    m_pEditor->EndLoad();
    // Every remedy of the notes is a line of the treatment grid, each
    // treatment line a sequence on it, the placeholder line last.
    m_treatmentGrid.Rebuild();
    m_pEditor->SetView(view);
    if (IPrescriptionList *list = m_pEditor->PrescriptionList())
        list->SelectLast();
    for (const QString &notice : std::as_const(m_notices))
        Log(Loggers::Information, QStringLiteral("CLogicNotes::Load() ") + notice);
    if (view)
        view->NotesReloaded();
    return true;
}

// Saving.

void CLogicNotes::RememberForRollback()
{
    // What a save changes of the items in memory comes back when the save's
    // rows are rolled back: no item may point at a row that is not there.
    struct State
    {
        qint64 handle;
        QString recordId;
        bool isNew;
        bool modified;
        QStringList stored;
        QString invoicingId;
    };
    std::vector<State> states;
    for (CActiveEditorClientItem *item : m_pEditor->Document().AllItems()) {
        QString invoicing;
        if (item->Kind() == ItemKind::Prescription)
            invoicing = static_cast<CActiveEditorPrescItem *>(item)->m_strInvoicingId;
        states.push_back({ item->m_nHandle, item->m_strRecordId, item->m_bNew, item->m_bModified,
            item->m_stored, invoicing });
    }
    const qint64 today = m_nTodaysSeparator;
    m_context.OnRollback([this, states = std::move(states), today] {
        for (const State &state : states) {
            CActiveEditorClientItem *item = m_pEditor->FindByObject(state.handle);
            if (!item)
                continue;
            item->m_strRecordId = state.recordId;
            item->m_bNew = state.isNew;
            item->m_bModified = state.modified;
            item->m_stored = state.stored;
            if (item->Kind() == ItemKind::Prescription)
                static_cast<CActiveEditorPrescItem *>(item)->m_strInvoicingId = state.invoicingId;
        }
        if (!m_nTodaysSeparator)
            m_nTodaysSeparator = today;
    });
}

CLogicNotes::SeparatorSave CLogicNotes::SaveSeparator(CActiveEditorSeparatorItem &separator, bool checkEmpty)
{
    if (!Main() || !m_consultations)
        return SeparatorSave::Failed;
    // An empty consultation at the end is not stored: it goes from the text.
    if (checkEmpty && m_pEditor->IsConsultationEmpty(separator.m_nCharPos)) {
        m_pEditor->DeleteRange(separator.m_nCharPos, -1);
        return SeparatorSave::Removed;
    }
    if (!WriteRow(m_consultations, separator, QString()))
        return SeparatorSave::Failed;
    if (separator.m_consultationDate.date() == QDate::currentDate())
        m_nTodaysSeparator = separator.m_nHandle;
    return SeparatorSave::Saved;
}

bool CLogicNotes::WriteRow(NotesTable &table, CActiveEditorClientItem &item, const QString &consultationId)
{
    const QStringList signature = NotesRows::Signature(item, consultationId);
    if (!item.m_bNew) {
        // Unchanged rows are not written again.
        if (!item.m_bModified && signature == item.m_stored)
            return true;
        const qint64 id = Verdanta::ParseId(item.m_strRecordId);
        // A row deleted meanwhile (through another list) stays deleted.
        if (!table.Locate(id) && !table.RowExists(id))
            return true;
        if (!Records::BeginAddOrEdit(table.Get(), false, id))
            return !table.RowExists(id);
        bool written = true;
        for (const ItemColumn &column : NotesRows::Columns(item, consultationId, QString(), false))
            written = written && table.Write(column.name, column.value);
        if (!Records::FinishWrite(table.Get(), written))
            return !table.RowExists(id);
        item.m_bModified = false;
        item.m_stored = signature;
        return true;
    }
    if (!table.Get() || table.Get()->AddNew() != 1)
        return false;
    bool written = true;
    for (const ItemColumn &column : NotesRows::Columns(item, consultationId, PatientIdText(), true))
        written = written && table.Write(column.name, column.value);
    if (!Records::FinishWrite(table.Get(), written))
        return false;
    item.m_strRecordId = Verdanta::FormatId(Records::CurrentId(table.Get()));
    item.m_bNew = false;
    item.m_bModified = false;
    item.m_stored = signature;
    return true;
}

bool CLogicNotes::SaveInvoicing(CActiveEditorPrescItem &prescription)
{
    return PrescriptionCharge::Save(m_invoicing.Get(), prescription.m_bNew, PatientIdText(),
        prescription.m_nStatusId, { prescription.m_amount, prescription.m_tax1, prescription.m_tax2 },
        &prescription.m_strInvoicingId);
}

bool CLogicNotes::SaveItem(CActiveEditorClientItem &item, const CActiveEditorSeparatorItem *separator)
{
    NotesTable *table = TableOf(item.Kind());
    if (!Main() || !table || !*table)
        return false;
    const QString consultation = separator ? separator->m_strRecordId : QString();
    const bool isNew = item.m_bNew;
    // A stored item whose columns are as stored needs nothing written.
    if (!isNew && !item.m_bModified && NotesRows::Signature(item, consultation) == item.m_stored)
        return true;
    if (item.Kind() == ItemKind::Prescription) {
        auto &prescription = static_cast<CActiveEditorPrescItem &>(item);
        IPrescriptionList *list = m_pEditor->PrescriptionList();
        if (isNew && list && !list->OnFirstSave(prescription))
            return false;
        if (!SaveInvoicing(prescription))
            return false;
    }
    if (!WriteRow(*table, item, consultation))
        return false;
    // A recording saved for the first time keeps the markers set while it was made.
    if (isNew && m_pMedia && (item.Kind() == ItemKind::Audio || item.Kind() == ItemKind::Video)) {
        const QString path = static_cast<CActiveEditorMediaItem &>(item).m_strFilePath;
        if (!path.isEmpty() && path == m_pMedia->CurrentFile())
            m_pMedia->StoreMarkers();
    }
    return true;
}

bool CLogicNotes::DeleteRows(CActiveEditorClientItem &item)
{
    NotesTable *table = TableOf(item.Kind());
    const qint64 id = Verdanta::ParseId(item.m_strRecordId);
    if (!table || !*table || !table->DeleteRow(id))
        return false;
    if (item.Kind() == ItemKind::Prescription) {
        auto &prescription = static_cast<CActiveEditorPrescItem &>(item);
        const qint64 invoicing = Verdanta::ParseId(prescription.m_strInvoicingId);
        if (invoicing > 0 && !m_invoicing.DeleteRow(invoicing))
            return false;
        IPrescriptionList *list = m_pEditor->PrescriptionList();
        if (list && !list->OnRowsDeleted(prescription))
            return false;
        prescription.m_strInvoicingId.clear();
    }
    // Should undo bring the item back, it is stored again as a new one.
    item.m_strRecordId.clear();
    item.m_bNew = true;
    item.m_stored.clear();
    return true;
}

bool CLogicNotes::SaveActiveEditorItems()
{
    if (m_pEditor->IsReadOnly())
        return true;
    if (!m_pEditor->CollectItems(m_items))
        Log(Loggers::Error,
            QStringLiteral("CLogicNotes::SaveActiveEditorItems() failed to collect (all) active editor "
                           "items. Continuing."));
    bool result = true;
    // The consultations first, in the order of the text, so that each item
    // knows the row of the consultation it stands in; then the items, a table
    // after the other (writing to one table makes the others read their rows
    // again, which rows interleaved by the text would do at every item).
    const CActiveEditorSeparatorItem *current = nullptr;
    int currentPosition = 0;
    std::vector<std::pair<CActiveEditorClientItem *, const CActiveEditorSeparatorItem *>> items;
    items.reserve(m_items.size());
    for (CActiveEditorClientItem *item : m_items) {
        if (item->Kind() == ItemKind::Separator) {
            auto &separator = static_cast<CActiveEditorSeparatorItem &>(*item);
            const SeparatorSave saved = SaveSeparator(separator, true);
            if (saved == SeparatorSave::Saved && item->m_nCharPos >= currentPosition) {
                current = &separator;
                currentPosition = item->m_nCharPos;
            } else if (saved == SeparatorSave::Failed) {
                Log(Loggers::Error,
                    QStringLiteral("CLogicNotes::SaveActiveEditorItems() failed to save separator item at "
                                   "character position: %1.")
                        .arg(item->m_nCharPos));
                result = false;
            }
            continue;
        }
        items.emplace_back(item, current);
    }
    // Recordings of sound and of pictures share a table.
    const auto table = [](const CActiveEditorClientItem *item) {
        return item->Kind() == ItemKind::Video ? ItemKind::Audio : item->Kind();
    };
    std::stable_sort(items.begin(), items.end(),
        [&](const auto &left, const auto &right) { return table(left.first) < table(right.first); });
    for (const auto &[item, consultation] : items) {
        if (SaveItem(*item, consultation))
            continue;
        result = false;
        QString what;
        switch (item->Kind()) {
        case ItemKind::Image:
            what = QStringLiteral("image");
            break;
        case ItemKind::Audio:
            what = QStringLiteral("audio");
            break;
        case ItemKind::Video:
            what = QStringLiteral("video");
            break;
        case ItemKind::Prescription:
            what = QStringLiteral("prescription");
            break;
        default:
            what = QStringLiteral("sequence");
            break;
        }
        Log(Loggers::Error,
            QStringLiteral(
                "CLogicNotes::SaveActiveEditorItems() failed to save %1 item at character position: %2.")
                .arg(what)
                .arg(item->m_nCharPos));
    }
    // The rows of items deleted from the text since the last save go now.
    for (CActiveEditorClientItem *item : m_pEditor->Document().DepartedItems()) {
        if (item->m_bNew || item->m_strRecordId.isEmpty() || DeleteRows(*item))
            continue;
        result = false;
        Log(Loggers::Error,
            QStringLiteral(
                "CLogicNotes::SaveActiveEditorItems() failed to delete the rows of a removed item (row %1).")
                .arg(item->m_strRecordId));
    }
    m_items.clear();
    return result;
}

// Notes that did not change are not written again: a save that writes
// nothing tells other seats nothing changed.
bool CLogicNotes::SameAsStored(Korbel::ITable *main, const QByteArray &bytes) const
{
    QByteArray stored;
    if (!main->GetBinary(Notes, &stored))
        return false;
    // A patient without notes keeps none while nothing is written into them.
    if (stored.isEmpty())
        return m_pEditor->Document().Document()->isEmpty();
    return stored == bytes;
}

bool CLogicNotes::Commit()
{
    if (!m_context.DataSource()) {
        Log(Loggers::Error, QStringLiteral("CLogicNotes::Commit() invalid (NULL) database object"));
        return false;
    }
    Korbel::ITable *main = Main();
    if (!main) {
        Log(Loggers::Error, QStringLiteral("CLogicNotes::Commit() invalid (NULL) main table object"));
        return false;
    }
    const QString patient = PatientIdText();
    Log(Loggers::Information,
        patient.isEmpty()
            ? QStringLiteral("CLogicNotes::Commit() called. Start to collect and save")
            : QStringLiteral("CLogicNotes::Commit() called for patient ID %1. Start to collect and save")
                  .arg(patient));
    // Notes that could not be read, or a patient other than the one loaded,
    // are never written.
    if (m_pEditor->IsReadOnly() || patient.isEmpty() || m_context.CurrentPatientId() != m_nPatientId)
        return true;

    // Outside a patient's save the notes are a transaction of their own.
    const bool ownSave = !m_context.IsSaving();
    std::unique_ptr<ScopedTransaction> transaction;
    if (ownSave) {
        transaction = std::make_unique<ScopedTransaction>(m_context.DataSource());
        m_context.BeginSave();
    }
    RememberForRollback();
    m_nTodaysSeparator = 0;

    bool result = SaveActiveEditorItems();
    if (result) {
        QByteArray bytes;
        if (main->Edit() != 1) {
            Log(Loggers::Error,
                QStringLiteral("CLogicNotes::Commit() failed to start edit operation. Error desc: %1")
                    .arg(main->GetErrorDescription()));
            result = false;
        } else if (!m_pEditor->SaveNotes(bytes)) {
            Log(Loggers::Error,
                QStringLiteral(
                    "CLogicNotes::Commit() failed to prepare notes content in active editor. Error desc: %1")
                    .arg(QStringLiteral("the rich text could not be written")));
            main->CancelUpdate();
            result = false;
        } else if (!SameAsStored(main, bytes) && !main->SetBinary(Notes, bytes)) {
            Log(Loggers::Error,
                QStringLiteral("CLogicNotes::Commit() failed to transfer notes content. Error desc: %1")
                    .arg(main->GetErrorDescription()));
            main->CancelUpdate();
            result = false;
        } else if (!main->Update()) {
            Log(Loggers::Error,
                QStringLiteral("CLogicNotes::Commit() failed to commit edit operation. Error desc: %1")
                    .arg(main->GetErrorDescription()));
            main->CancelUpdate();
            result = false;
        }
    }
    // Stored treatment lines are known to the grid by their IDs once the rows are there.
    if (result)
        m_context.AfterCommit([this] {
            m_treatmentGrid.LinkStoredLines();
            return true;
        });
    if (ownSave) {
        const bool committed = result && transaction->Commit();
        if (!committed)
            transaction->Rollback();
        result = m_context.FinishSave(committed) && committed;
    }

    // The practitioner always finds an open consultation of today at the end.
    if (!TodaysSeparator())
        AppendTodaysSeparator();
    return result;
}

int CLogicNotes::DeletePatientRows()
{
    const qint64 patient = m_context.CurrentPatientId();
    if (patient <= 0 || !m_context.DataSource())
        return 0;
    OpenTables(patient);
    int result = 1;
    // The markers of the patient's media files go with the rows.
    if (m_media && m_pMedia) {
        Korbel::ITable *rows = m_media.Get();
        for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext)) {
            if (!m_pMedia->DeleteMarkers(m_media.Read(QStringLiteral("FILE_PATH"))))
                result = 0;
        }
    }
    for (NotesTable *table : { &m_consultations, &m_images, &m_media, &m_inhalations }) {
        if (!*table) {
            result = 0;
            continue;
        }
        while (table->Get()->Move(Korbel::MoveFirst) == 1) {
            if (table->Get()->Delete() <= 0) {
                result = 0;
                break;
            }
        }
    }
    return result;
}

QByteArray CLogicNotes::NotesDraft() const
{
    QByteArray bytes;
    if (!m_pEditor->Document().StreamOut(bytes))
        return {};
    return bytes;
}

bool CLogicNotes::AppendToNotes(const QString &text)
{
    if (m_pEditor->IsReadOnly() || text.isEmpty())
        return false;
    m_pEditor->SetCaret(-1);
    m_pEditor->InsertText(text);
    m_pEditor->UpdateView();
    return true;
}

// Events and commands.

void CLogicNotes::OnClick()
{
    if (!m_treatmentGrid.IsValid())
        return;
    const QTextCursor caret = m_pEditor->Caret();
    const QList<RichEdit::EmbeddedObject> selected
        = m_pEditor->Document().Rich().objectsInRange(caret.selectionStart(), caret.selectionEnd());
    const CActiveEditorSequenceItem *line = nullptr;
    if (selected.size() == 1) {
        CActiveEditorClientItem *item = m_pEditor->FindByObject(selected.front().handle);
        if (item && item->Kind() == ItemKind::Sequence)
            line = static_cast<const CActiveEditorSequenceItem *>(item);
    }
    m_treatmentGrid.Select(line);
}

void CLogicNotes::OnObjectDeleted(CActiveEditorClientItem &item)
{
    // The rows wait for the next save (undo may bring the item back); what
    // shows the item elsewhere lets go of it now.
    if (m_bLoading)
        return;
    if (item.Kind() == ItemKind::Prescription) {
        if (IPrescriptionList *list = m_pEditor->PrescriptionList())
            list->RemoveFromList(static_cast<CActiveEditorPrescItem &>(item));
    } else if (item.Kind() == ItemKind::Sequence) {
        m_treatmentGrid.Remove(static_cast<const CActiveEditorSequenceItem &>(item));
    }
}

void CLogicNotes::OnObjectReinserted(CActiveEditorClientItem &item)
{
    if (m_bLoading)
        return;
    if (item.Kind() == ItemKind::Prescription) {
        if (IPrescriptionList *list = m_pEditor->PrescriptionList())
            list->AddToList(static_cast<CActiveEditorPrescItem &>(item));
    }
}

void CLogicNotes::OnItemInserted(CActiveEditorClientItem &item)
{
    if (item.Kind() != ItemKind::Prescription)
        return;
    auto &prescription = static_cast<CActiveEditorPrescItem &>(item);
    if (prescription.m_remedy.Key() == QStringLiteral("_"))
        return;
    m_treatmentGrid.AddRemedy(prescription.m_remedy);
    if (IPrescriptionList *list = m_pEditor->PrescriptionList())
        list->AddToList(prescription);
}

bool CLogicNotes::GetPrintHeaderFooter(QString *header, QString *footerFormat)
{
    if (header) {
        if (Korbel::ITable *main = Main()) {
            *header = QStringLiteral("NOTES FOR %1 %2")
                          .arg(Records::ReadText(main, QStringLiteral("FIRST_NAME")),
                              Records::ReadText(main, QStringLiteral("LAST_NAME")));
        } else {
            *header = QStringLiteral("NOTES");
        }
    }
    if (footerFormat)
        *footerFormat = QStringLiteral("Page %d of %d");
    return true;
}

void CLogicNotes::OnKeyword(CActiveEditorSeparatorItem *separator, const QString &keyword)
{
    // The keyword belongs to a consultation with a record ID: a new separator
    // is stored first.
    if (separator && separator->m_bNew && !m_pEditor->IsReadOnly()) {
        m_pEditor->PositionOf(*separator);
        ScopedTransaction transaction(m_context.DataSource());
        if (SaveSeparator(*separator, false) == SeparatorSave::Saved && transaction.Commit()) {
            m_nTodaysSeparator = 0;
        } else {
            // Its row is not there: it stays a new separator.
            separator->m_bNew = true;
            separator->m_strRecordId.clear();
            separator->m_stored.clear();
        }
    }
    if (!m_pEditor->HasHost())
        return;
    m_pEditor->ShowKeywordsBar();
    LogicCommand command;
    command.code = CommandCode::AddKeyword;
    command.text = separator ? separator->m_strRecordId : QString();
    command.resultText1 = keyword;
    command.resultText2
        = Verdanta::FormatXmlStamp(separator ? separator->m_consultationDate : QDateTime::currentDateTime());
    m_pEditor->SendHostCommand(command);
}

int CLogicNotes::PickPhrase(const QString &phrase)
{
    if (phrase.isEmpty() || m_pEditor->IsReadOnly())
        return 0;
    // The phrase goes to the consultation of today, the last one of the notes.
    m_pEditor->CollectItems(m_items);
    CActiveEditorSeparatorItem *separator = nullptr;
    for (CActiveEditorClientItem *item : m_items) {
        if (item->Kind() == ItemKind::Separator)
            separator = static_cast<CActiveEditorSeparatorItem *>(item);
    }
    m_items.clear();
    if (!separator)
        return 0;
    if (m_pEditor->IsConsultationEmpty(separator->m_nCharPos)) {
        m_pEditor->SetCaret(-1);
        m_pEditor->InsertText(phrase);
    }
    OnKeyword(separator, phrase);
    return 1;
}

int CLogicNotes::OnCommand(LogicCommand &command)
{
    if (!Main())
        return 0;
    switch (command.code) {
    case CommandCode::PrescriptionStatus:
        m_pEditor->UpdateView();
        return 1;
    case CommandCode::PhoneChoice:
        return 1;
    case CommandCode::Clipboard:
        return m_pEditor->EditCommand(command.subCommand);
    case CommandCode::Print:
        return m_pEditor->Print() ? 1 : 0;
    case CommandCode::PickPhrase:
        return PickPhrase(command.text);
    case CommandCode::TreatmentGrid:
    case CommandCode::TreatmentLineAdd:
    case CommandCode::TreatmentLineRemove:
    case CommandCode::TreatmentDateToggle:
        return m_treatmentGrid.OnCommand(command);
    default:
        return 0;
    }
}
