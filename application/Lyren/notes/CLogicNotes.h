#pragma once

#include "notes/ActiveEditorInterfaces.h"
#include "notes/CActiveEditor.h"
#include "notes/NotesTables.h"
#include "notes/TreatmentGrid.h"

#include "core/LogicCommand.h"
#include "core/UnsavedWork.h"

#include "component/DispatchDriver.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtCore/QStringList>

#include <memory>

class CLogicMedia;
class LogicContext;

// The current patient's consultation notes: loads the notes text and every
// item from the database into the editor, and writes them back with the
// patient's save; answers the editor's events and the notes commands of the
// hub (10 to 13, 33, 39, 61, 67).
//
// What it guarantees:
// - The text and every item row of a save are written in the save's one
//   transaction; a row or the text that cannot be written fails the save, so
//   that the move stops and nothing typed is lost, and the items' keys are
//   given back when the save rolls back.
// - Rows of an item deleted from the text go at the next save, so that undo
//   before it brings the item back whole; an item brought back after its rows
//   went gets new rows. A recording's file goes only once its item can no
//   longer come back.
// - Notes that cannot be read as rich text are shown read-only as plain text
//   and never written over. Notes whose reading approximated or lost
//   something are kept as they were stored, in a file of the patient's
//   folder, before the first save rewrites them.
// - Items whose stored position cannot take them go to the end of their
//   consultation, and the person is told once; nothing stored is deleted.
class CLogicNotes final : public ILogicObject, public IActiveEditorEvents, public INotesDraft
{
    Q_DECLARE_TR_FUNCTIONS(CLogicNotes)

public:
    explicit CLogicNotes(LogicContext &context);
    ~CLogicNotes() override;
    CLogicNotes(const CLogicNotes &) = delete;
    CLogicNotes &operator=(const CLogicNotes &) = delete;

    // Rebuilds the editor for the current patient.
    bool Load();
    // Saves text and items.
    bool Commit();
    // Collects the items from the text and saves their rows.
    bool SaveActiveEditorItems();
    // The patient's rows of consultations, images, media and treatment lines
    // and the markers of its media files (the patient is being deleted).
    int DeletePatientRows();
    // INotesDraft
    QByteArray NotesDraft() const override;
    // Inserts a stamp (a call or a mail) at the end of the notes.
    bool AppendToNotes(const QString &text);

    int OnCommand(LogicCommand &command) override;

    // IActiveEditorEvents
    void OnClick() override;
    void OnObjectDeleted(CActiveEditorClientItem &item) override;
    void OnObjectReinserted(CActiveEditorClientItem &item) override;
    void OnItemInserted(CActiveEditorClientItem &item) override;
    bool GetPrintHeaderFooter(QString *header, QString *footerFormat) override;
    void OnKeyword(CActiveEditorSeparatorItem *separator, const QString &keyword) override;

    CActiveEditor &ActiveEditor() { return *m_pEditor; }
    void SetMediaLogic(CLogicMedia *media);
    // The treatment page's button grid (empty when there is none); it is
    // filled from the notes at once.
    void SetTreatmentGrid(const Component::DispatchDriver &grid) { m_treatmentGrid.SetGrid(grid); }
    CTreatmentGrid &TreatmentGrid() { return m_treatmentGrid; }

    // Whether the notes are shown read-only (they could not be read, or what
    // they held could not be kept); then nothing of them is ever written.
    bool IsReadOnly() const { return m_pEditor->IsReadOnly(); }
    // What the person is told about the notes of the current patient.
    const QStringList &Notices() const { return m_notices; }
    // The separator of today's consultation; none after a save that stored none.
    CActiveEditorSeparatorItem *TodaysSeparator() const;

    static QString UnreadableNotice();
    static QString KeptOriginalNotice(const QString &path, const QStringList &issues);
    static QString ReadOnlyOriginalNotice(const QStringList &issues);
    static QString MisplacedNotice(int count);

private:
    struct Loaded;
    bool SameAsStored(Korbel::ITable *main, const QByteArray &bytes) const;
    enum class SeparatorSave { Saved, Removed, Failed };

    Korbel::ITable *Main() const;
    QString PatientIdText() const;
    void OpenTables(qint64 patientId);
    NotesTable *TableOf(ItemKind kind);
    void ReleaseDocument();
    void ReadNotes();
    bool KeepOriginal(const QByteArray &bytes, QString *path) const;
    void ReadStatus();
    // The patient's stored items in ascending position; true when one of the
    // consultations is of today.
    bool LoadTemplates(std::vector<Loaded> &loaded);
    void PlaceTemplates(std::vector<Loaded> &loaded);
    int EndOfConsultation(const QString &consultationId, int storedPosition) const;
    void AppendTodaysSeparator();
    SeparatorSave SaveSeparator(CActiveEditorSeparatorItem &separator, bool checkEmpty);
    bool SaveItem(CActiveEditorClientItem &item, const CActiveEditorSeparatorItem *separator);
    bool WriteRow(NotesTable &table, CActiveEditorClientItem &item, const QString &consultationId);
    bool SaveInvoicing(CActiveEditorPrescItem &prescription);
    bool DeleteRows(CActiveEditorClientItem &item);
    void RememberForRollback();
    int PickPhrase(const QString &phrase);
    void Log(int level, const QString &text) const;

    LogicContext &m_context;
    std::unique_ptr<CActiveEditor> m_pEditor;
    CLogicMedia *m_pMedia = nullptr;
    CTreatmentGrid m_treatmentGrid;

    qint64 m_nPatientId = 0;
    NotesTable m_consultations;
    NotesTable m_images;
    NotesTable m_media;
    NotesTable m_inhalations;
    NotesTable m_prescriptions;
    NotesTable m_invoicing;

    ItemList m_items;
    qint64 m_nTodaysSeparator = 0; // the handle of today's separator, 0 when none
    QHash<qint64, QString> m_statusNames;
    QHash<qint64, quint32> m_statusColours;
    QStringList m_notices;
    bool m_bLoading = false;
};
