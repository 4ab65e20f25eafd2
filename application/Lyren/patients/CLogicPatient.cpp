#include "patients/CLogicPatient.h"

#include "patients/PatientPresenters.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/LogicCommand.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Transaction.h"
#include "core/UnsavedWork.h"
#include "core/WaitCursor.h"

#include "Korbel/DataSource.h"
#include "Korbel/SharedAccess.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <algorithm>

using Records::OpenField;
using Records::WriteText;

namespace {

template<typename Place> int RunAll(const std::vector<std::pair<Place, PatientStep>> &steps)
{
    int result = 1;
    for (const auto &[place, step] : steps) {
        if (!step())
            result = 0;
    }
    return result;
}

const QString kMainTable = QStringLiteral("MAIN");

// The lines of a conflict copy for one table: each value typed here that
// differs from what was shown when the patient was loaded.
QStringList ChangedLines(const std::vector<std::pair<QString, QString>> &loaded,
    const std::vector<std::pair<QString, QString>> &typed)
{
    QStringList lines;
    for (const auto &entry : typed) {
        const QString &field = entry.first;
        const auto was = std::find_if(
            loaded.begin(), loaded.end(), [&field](const auto &shown) { return shown.first == field; });
        if (was == loaded.end() || was->second != entry.second)
            lines << QStringLiteral("  %1: %2").arg(field, entry.second);
    }
    return lines;
}

} // namespace

CLogicPatient::CLogicPatient() = default;

CLogicPatient::~CLogicPatient()
{
    Close();
}

bool CLogicPatient::Open(LogicContext &context)
{
    Close();
    m_pContext = &context;
    m_pDataSource = context.DataSource();
    m_pMain = context.MainTable();
    m_pAddress = context.AddressTable();

    // The patient's own rows: MAIN, whose failure ends the save, and ADDRESS.
    // The other logic objects join as their subsystems are installed.
    Join(SaveStep::PatientRow, [this] { return SavePatientRow(); });
    if (m_pAddress) {
        Join(SaveStep::Address, [this] { return SaveAddressRow(); });
        Join(DeleteStep::Address, [this] { return DeleteAddressRows(); });
    }
    return m_pMain != nullptr;
}

void CLogicPatient::Close()
{
    m_saveSteps.clear();
    m_loadSteps.clear();
    m_newSteps.clear();
    m_deleteSteps.clear();
    m_pContext = nullptr;
    m_pDataSource = nullptr;
    m_pMain = nullptr;
    m_pAddress = nullptr;
}

IPatientMedia *CLogicPatient::Media() const
{
    return m_pContext ? m_pContext->Services().Get<IPatientMedia>() : nullptr;
}

template<typename Place> void CLogicPatient::Insert(StepList<Place> &list, Place place, PatientStep step)
{
    if (!step)
        return;
    // After every step of the same place: those run in the order they joined.
    const auto at = std::upper_bound(list.begin(), list.end(), place,
        [](Place value, const std::pair<Place, PatientStep> &entry) { return value < entry.first; });
    list.insert(at, { place, std::move(step) });
}

void CLogicPatient::Join(SaveStep place, PatientStep step)
{
    Insert(m_saveSteps, place, std::move(step));
}

void CLogicPatient::Join(LoadStep place, PatientStep step)
{
    Insert(m_loadSteps, place, std::move(step));
}

void CLogicPatient::Join(NewPatientStep place, PatientStep step)
{
    Insert(m_newSteps, place, std::move(step));
}

void CLogicPatient::Join(DeleteStep place, PatientStep step)
{
    Insert(m_deleteSteps, place, std::move(step));
}

qint64 CLogicPatient::CurrentId() const
{
    return m_pMain && m_pMain->CurrentPosition() >= 0 ? Records::CurrentId(m_pMain) : 0;
}

int CLogicPatient::SavePatientRow()
{
    // Without a current row there is no patient to save. A failed update
    // stays pending, so that the controls keep what was typed and the next
    // save tries again.
    if (!m_pMain || m_pMain->CurrentPosition() < 0 || m_pMain->Edit() != 1)
        return 0;
    return m_pMain->Update() ? 1 : 0;
}

int CLogicPatient::SaveAddressRow()
{
    // The address follows the current patient; its first edit makes the row,
    // once something was typed into it (an empty row would be a write that
    // tells other seats the patient changed).
    if (!m_pAddress)
        return 0;
    if (m_pAddress->CurrentPosition() < 0 && !m_pAddress->IsEditing()) {
        const auto typed = Korbel::TypedValues(m_pAddress);
        const bool anything = std::any_of(typed.begin(), typed.end(), [](const auto &entry) {
            return entry.first != QLatin1String("PATIENT_ID") && !entry.second.isEmpty();
        });
        if (!anything)
            return 1;
    }
    if (m_pAddress->Edit() != 1)
        return 0;
    return m_pAddress->Update() ? 1 : 0;
}

int CLogicPatient::DeleteAddressRows()
{
    if (!m_pAddress)
        return 0;
    while (m_pAddress->Move(Korbel::MoveFirst) == 1) {
        if (m_pAddress->Delete() <= 0)
            return 0;
    }
    return 1;
}

int CLogicPatient::Save()
{
    // Every row of the save is written in one transaction. The first failed
    // step ends the save: what the steps before it wrote is rolled back, and
    // the bound controls keep what was typed, so the next save tries again.
    ScopedTransaction transaction(m_pDataSource);
    if (!transaction.IsActive())
        return 0;
    // Another seat may have saved the patient since it was loaded here: its
    // version is compared. A save that then writes nothing is harmless; one
    // that writes would overwrite the other seat's save, so it is not made.
    // The row is locked only by the version's own update at the end, so that
    // a save that writes nothing takes no lock.
    const qint64 id = CurrentId();
    const bool known = id > 0 && id == m_loadedId;
    Korbel::RowState state = known ? Korbel::CheckRowVersion(m_pDataSource, kMainTable, id, m_loadedVersion)
                                   : Korbel::RowState::Unchanged;
    if (state == Korbel::RowState::Failed)
        return 0;
    // What was typed into the record, read before the steps write it.
    const TypedRecord typed = TypedNow();
    const quint64 rowsBefore = Korbel::RowsWritten(m_pDataSource);
    m_pContext->BeginSave();
    bool written = true;
    for (const auto &[place, step] : m_saveSteps) {
        if (!step()) {
            written = false;
            break;
        }
    }
    const bool wroteRows = Korbel::RowsWritten(m_pDataSource) != rowsBefore;
    // The version is counted up from the one loaded; another seat's save
    // that committed meanwhile (or waits on this one) makes that fail.
    bool counted = !(written && wroteRows && known);
    if (!counted && state == Korbel::RowState::Unchanged) {
        counted = Korbel::BumpRowVersion(m_pDataSource, kMainTable, id, m_loadedVersion);
        if (!counted)
            state = Korbel::CheckRowVersion(m_pDataSource, kMainTable, id, m_loadedVersion);
    }
    const bool typedHere = wroteRows || !ChangedLines(m_loadedMain, typed.main).isEmpty()
        || !ChangedLines(m_loadedAddress, typed.address).isEmpty();
    const bool gone = state == Korbel::RowState::Gone;
    if ((wroteRows && state == Korbel::RowState::Changed) || (gone && typedHere)) {
        const QString name = LoadedName();
        const QString copy = WriteConflictCopy(name, typed);
        transaction.Rollback();
        m_pContext->FinishSave(false);
        ResolveConflict(gone, name, copy);
        return 0;
    }
    if (gone) {
        // Deleted elsewhere, nothing typed here: the neighbour is shown.
        transaction.Rollback();
        m_pContext->FinishSave(false);
        ShowStored();
        return 1;
    }
    const bool committed = written && counted && transaction.Commit();
    if (!committed)
        transaction.Rollback();
    else if (wroteRows && known)
        ++m_loadedVersion;
    // Side files are written once the rows are committed.
    const bool filesWritten = m_pContext->FinishSave(committed);
    return committed && filesWritten ? 1 : 0;
}

void CLogicPatient::RememberLoaded()
{
    m_loadedId = CurrentId();
    m_loadedVersion = m_loadedId > 0 ? Records::ReadText(m_pMain, Korbel::RowVersionField()).toLongLong() : 0;
    m_loadedMain = Korbel::TypedValues(m_pMain);
    m_loadedAddress = m_pAddress ? Korbel::TypedValues(m_pAddress) : decltype(m_loadedAddress) {};
    m_loadedName = CurrentName();
}

QString CLogicPatient::CurrentName() const
{
    if (!m_pMain || m_pMain->CurrentPosition() < 0)
        return {};
    return QStringLiteral("%1 %2")
        .arg(Records::ReadText(m_pMain, QStringLiteral("FIRST_NAME")),
            Records::ReadText(m_pMain, QStringLiteral("LAST_NAME")))
        .trimmed();
}

QString CLogicPatient::LoadedName() const
{
    return m_loadedName.isEmpty() ? CurrentName() : m_loadedName;
}

CLogicPatient::TypedRecord CLogicPatient::TypedNow() const
{
    TypedRecord typed;
    typed.main = Korbel::TypedValues(m_pMain);
    if (m_pAddress)
        typed.address = Korbel::TypedValues(m_pAddress);
    return typed;
}

void CLogicPatient::ShowStored()
{
    m_pMain->CancelUpdate();
    if (m_pAddress)
        m_pAddress->CancelUpdate();
    const int position = m_pMain->CurrentPosition();
    if (position < 0 || m_pMain->Move(Korbel::MoveToPosition, position) != 1)
        m_pMain->Move(Korbel::MoveFirst);
    LoadAll();
}

QString CLogicPatient::WriteConflictCopy(const QString &name, const TypedRecord &typed)
{
    CLogicFolders &folders = m_pContext->Folders();
    QString folder = folders.GetPatientFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = folders.GetUserDataFolder() + QLatin1Char('/');
    if (!QDir().mkpath(folder))
        return {};
    const QDateTime now = QDateTime::currentDateTime();
    const QString base
        = folder + tr("Conflict copy %1").arg(now.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));

    QStringList text;
    text << tr("Conflict copy of the patient %1 (ID %2), made %3.")
                .arg(name, QString::number(m_loadedId), QLocale().toString(now))
         << QString()
         << tr("Another computer saved this patient after it was opened here, so what was typed here "
               "was not saved. These are the values typed here that differ from what was shown when "
               "the patient was opened; enter again those you want to keep.")
         << QString();
    const QStringList patientLines = ChangedLines(m_loadedMain, typed.main);
    const QStringList addressLines = ChangedLines(m_loadedAddress, typed.address);
    if (!patientLines.isEmpty())
        text << tr("Patient") << patientLines << QString();
    if (!addressLines.isEmpty())
        text << tr("Address") << addressLines << QString();
    if (patientLines.isEmpty() && addressLines.isEmpty())
        text << tr("No value of the Patient page was changed here.") << QString();

    if (const auto *notes = m_pContext->Services().Get<INotesDraft>()) {
        const QByteArray draft = notes->NotesDraft();
        const QString notesPath = base + QStringLiteral(".rtf");
        if (!draft.isEmpty() && Files::WriteAtomically(notesPath, draft))
            text << tr("The notes as they stood here: %1").arg(QFileInfo(notesPath).fileName());
    }

    const QString path = base + QStringLiteral(".txt");
    return Files::WriteAtomically(path, text.join(QLatin1Char('\n')).toUtf8() + '\n') ? path : QString();
}

void CLogicPatient::ResolveConflict(bool deleted, const QString &name, const QString &copy)
{
    // The patient is shown as the other seat stored it (or, deleted there,
    // its neighbour); what was typed here is in the conflict copy.
    ShowStored();
    const QString text = deleted ? DeletedElsewhereMessage(name, copy) : ConflictMessage(name, copy);
    const Desktop::Answer answer = Desktop::Prompts().Show(m_pContext->DialogParent(), text,
        copy.isEmpty() ? Desktop::Buttons::Ok : Desktop::Buttons::YesNo, Desktop::Icon::Warning);
    if (answer == Desktop::Answer::Yes && !copy.isEmpty())
        Desktop::Shell().Open(copy);
}

int CLogicPatient::ShowOutsideChanges()
{
    const qint64 id = CurrentId();
    if (!m_pMain || !m_pContext || id <= 0 || id != m_loadedId || m_pContext->IsSaving())
        return 0;
    const Korbel::RowState state = Korbel::CheckRowVersion(m_pDataSource, kMainTable, id, m_loadedVersion);
    if (state == Korbel::RowState::Unchanged || state == Korbel::RowState::Failed)
        return 0;
    // A save tells whether anything was typed here: with nothing typed it
    // writes nothing, and the patient is shown as stored; otherwise it is a
    // conflict, which keeps what was typed and shows the patient as stored.
    if (!Save())
        return 0;
    ShowStored();
    return 1;
}

int CLogicPatient::SaveAll()
{
    return m_pMain && m_pContext ? Save() : 0;
}

int CLogicPatient::LoadAll()
{
    if (!m_pMain)
        return 0;
    const int result = RunAll(m_loadSteps);
    if (m_pContext)
        m_pContext->RefreshPages();
    RememberLoaded();
    return result;
}

int CLogicPatient::MoveAndLoad(const std::function<bool()> &move)
{
    if (!m_pMain || !m_pContext)
        return 0;
    if (IPatientMedia *media = Media())
        media->StopPlayer();
    // Without a current patient (an empty practice) there is nothing to save.
    // A patient whose save failed is not left.
    if (m_pMain->CurrentPosition() >= 0 && !Save())
        return 0;
    if (!move())
        return 0;
    return LoadAll();
}

int CLogicPatient::First()
{
    return MoveAndLoad([this] { return m_pMain->Move(Korbel::MoveFirst) == 1; });
}

int CLogicPatient::Previous()
{
    return MoveAndLoad([this] { return m_pMain->Move(Korbel::MovePrevious) == 1; });
}

int CLogicPatient::Next()
{
    return MoveAndLoad([this] { return m_pMain->Move(Korbel::MoveNext) == 1; });
}

int CLogicPatient::Last()
{
    return MoveAndLoad([this] { return m_pMain->Move(Korbel::MoveLast) == 1; });
}

int CLogicPatient::GoTo(const QString &id)
{
    return MoveAndLoad(
        [this, &id] { return m_pMain->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id) == 1; });
}

int CLogicPatient::New()
{
    int prepared = 1;
    const int result = MoveAndLoad([this, &prepared] {
        if (!m_pMain->AddNew())
            return false;
        if (!m_pMain->Update()) {
            m_pMain->CancelUpdate();
            return false;
        }
        // Shown again, so that the bound controls show the new row's ID.
        m_pMain->Move(Korbel::MoveToPosition, m_pMain->CurrentPosition());
        prepared = RunAll(m_newSteps);
        return true;
    });
    return result && prepared ? 1 : 0;
}

int CLogicPatient::Delete()
{
    if (!m_pMain || !m_pContext || m_pMain->CurrentPosition() < 0)
        return 0;
    QWidget *parent = m_pContext->DialogParent();
    if (Desktop::Prompts().Show(parent, DeleteQuestion(), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;

    const WaitCursor wait;
    if (IPatientMedia *media = Media())
        media->DetachFromPatient();

    // The child rows and the MAIN row go in one transaction: when a child
    // step fails or the database refuses the patient, the patient stays
    // whole, child rows included. Files (the patient's folder) go once the
    // delete is committed.
    ScopedTransaction transaction(m_pDataSource);
    // A patient another seat saved since it was loaded here is not deleted
    // unseen: it is shown as stored, and the person may delete it then.
    const qint64 id = CurrentId();
    const Korbel::RowState state = transaction.IsActive() && id == m_loadedId
        ? Korbel::CheckRowVersion(
            m_pDataSource, kMainTable, id, m_loadedVersion, Korbel::RowLock::UntilCommit)
        : Korbel::RowState::Unchanged;
    if (state == Korbel::RowState::Changed || state == Korbel::RowState::Gone) {
        const QString name = LoadedName();
        transaction.Rollback();
        m_pMain->CancelUpdate();
        m_pMain->Move(Korbel::MoveToPosition, std::max(m_pMain->CurrentPosition(), 0));
        LoadAll();
        Desktop::Prompts().Show(
            parent, DeleteConflictMessage(name), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    m_pContext->BeginSave();
    const bool childRowsDeleted = RunAll(m_deleteSteps) == 1;
    const bool deleted
        = transaction.IsActive() && childRowsDeleted && m_pMain->Delete() > 0 && transaction.Commit();
    if (!deleted)
        transaction.Rollback();
    m_pContext->FinishSave(deleted);
    if (!deleted) {
        Desktop::Prompts().Show(parent, DeleteRefusedMessage(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        LoadAll();
        return 0;
    }
    return LoadAll();
}

QString CLogicPatient::DeleteQuestion()
{
    return tr("Are you sure you want to delete?\nAll current patient's data will be lost.");
}

QString CLogicPatient::DeleteRefusedMessage()
{
    return tr(
        "This patient cannot be deleted.\nIt is recommended to uncheck the Active field in Patient data.");
}

QString CLogicPatient::ConflictMessage(const QString &name, const QString &path)
{
    const QString head = tr("Another computer saved changes to the patient %1 after it was opened here.\n\n"
                            "So that neither computer's work is lost, nothing typed here was saved and "
                            "nothing saved there was overwritten. The patient is now shown as the other "
                            "computer saved it.")
                             .arg(name);
    if (path.isEmpty())
        return head + tr("\n\nThe conflict copy could not be written: enter your changes again now.");
    return head
        + tr("\n\nWhat was typed here is kept in the conflict copy:\n%1\n\nOpen it now to enter your "
             "changes again?")
              .arg(QDir::toNativeSeparators(path));
}

QString CLogicPatient::DeletedElsewhereMessage(const QString &name, const QString &path)
{
    const QString head = tr("Another computer deleted the patient %1 after it was opened here, so what was "
                            "typed here could not be saved.")
                             .arg(name);
    if (path.isEmpty())
        return head;
    return head
        + tr("\n\nWhat was typed here is kept in the conflict copy:\n%1\n\nOpen it now?")
              .arg(QDir::toNativeSeparators(path));
}

QString CLogicPatient::DeleteConflictMessage(const QString &name)
{
    return tr("Another computer changed or deleted the patient %1 after it was opened here, so it was not "
              "deleted. The patient is now shown as stored; delete it again if it should still go.")
        .arg(name);
}

FoundPatients::FoundPatients(Korbel::ITable *rows)
    : m_pRows(rows)
{
    if (!m_pRows)
        return;
    m_pId = OpenField(m_pRows.get(), QStringLiteral("ID"));
    m_pFirstName = OpenField(m_pRows.get(), QStringLiteral("FIRST_NAME"));
    m_pLastName = OpenField(m_pRows.get(), QStringLiteral("LAST_NAME"));
    m_count = m_pId && m_pFirstName && m_pLastName ? m_pRows->RecordCount() : 0;
}

FoundPatient FoundPatients::At(int row) const
{
    if (row < 0 || row >= m_count || m_pRows->Move(Korbel::MoveToPosition, row) != 1)
        return {};
    return { m_pId->GetAsString(), m_pFirstName->GetAsString(), m_pLastName->GetAsString() };
}

QList<FoundPatient> FoundPatients::ToList() const
{
    QList<FoundPatient> found;
    found.reserve(m_count);
    for (int row = 0; row < m_count; ++row)
        found.append(At(row));
    return found;
}

QList<FoundPatient> CLogicPatient::FindPatients(
    const QString &firstName, const QString &lastName, qint64 excludeLinkedTo) const
{
    return OpenFind(firstName, lastName, excludeLinkedTo).ToList();
}

FoundPatients CLogicPatient::OpenFind(
    const QString &firstName, const QString &lastName, qint64 excludeLinkedTo) const
{
    if (!m_pDataSource)
        return {};
    Korbel::ReleasePtr<Korbel::IQuery> query(m_pDataSource->CreateQuery());
    if (!query)
        return {};
    query->SetTable(QStringLiteral("MAIN"));
    query->Where(QStringLiteral("FIRST_NAME"), Korbel::Compare::Prefix, firstName);
    query->Where(QStringLiteral("LAST_NAME"), Korbel::Compare::Prefix, lastName);
    if (excludeLinkedTo > 0) {
        const QString id = Verdanta::FormatId(excludeLinkedTo);
        query->Where(QStringLiteral("ID"), Korbel::Compare::NotEqual, id);
        query->Where(QStringLiteral("PARENT_ID"), Korbel::Compare::NotEqual, id);
    }
    return FoundPatients(query->Open());
}

QString CLogicPatient::DisplayName(const FoundPatient &patient)
{
    return patient.firstName + QLatin1Char(' ') + patient.lastName;
}

QWidget *CLogicPatient::DialogParent(const LogicCommand &command) const
{
    if (command.window)
        return command.window;
    return m_pContext ? m_pContext->DialogParent() : nullptr;
}

int CLogicPatient::ChoosePatient(LogicCommand &command, qint64 excludeLinkedTo, FoundPatient *chosen)
{
    IPatientFinder *finder = m_pContext ? m_pContext->Services().Get<IPatientFinder>() : nullptr;
    if (!finder)
        return 0;
    const auto search = [this, excludeLinkedTo](const QString &first, const QString &last) {
        return OpenFind(first, last, excludeLinkedTo);
    };
    if (finder->Choose(DialogParent(command), search, chosen) != 1 || chosen->id.isEmpty())
        return 0;
    return 1;
}

int CLogicPatient::Find(LogicCommand &command)
{
    if (!m_pMain)
        return 0;
    FoundPatient chosen;
    if (!ChoosePatient(command, 0, &chosen))
        return 0;
    command.resultId = chosen.id;
    command.resultText1 = DisplayName(chosen);
    return 1;
}

int CLogicPatient::LinkedAccount(LogicCommand &command)
{
    const qint64 current = CurrentId();
    if (current <= 0)
        return 0;
    FoundPatient chosen;
    if (!ChoosePatient(command, current, &chosen))
        return 0;
    command.resultId = chosen.id;
    command.resultText1 = DisplayName(chosen);
    if (CurrentId() != current || m_pMain->Edit() != 1)
        return 0;
    if (!WriteText(m_pMain, QStringLiteral("PARENT_ID"), chosen.id)
        || !WriteText(m_pMain, QStringLiteral("PARENT_NAME"), command.resultText1))
        return 0;
    return m_pMain->Update() ? 1 : 0;
}
