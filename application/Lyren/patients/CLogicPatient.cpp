#include "patients/CLogicPatient.h"

#include "patients/CFindDlg.h"
#include "patients/PatientParticipants.h"
#include "shell/CLogicMain.h"
#include "shell/CMainView.h"
#include "shell/LogicCommand.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"
#include "finance/RecordAccess.h"

#include <QtGui/QGuiApplication>

#include <algorithm>

using Finance::OpenField;
using Finance::WriteText;

namespace {

// The wait cursor for the length of a scope.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

template<typename Place> int RunAll(const std::vector<std::pair<Place, PatientStep>> &steps)
{
    int result = 1;
    for (const auto &[place, step] : steps) {
        if (!step())
            result = 0;
    }
    return result;
}

} // namespace

CLogicPatient::CLogicPatient() = default;

CLogicPatient::~CLogicPatient()
{
    Close();
}

bool CLogicPatient::Open(Korbel::IDataSource *source, Korbel::ITable *main, CLogicMain *hub)
{
    Close();
    m_pDataSource = source;
    m_pMain = main;
    m_pHub = hub;
    m_pAddress = hub ? hub->GetAddressTable() : nullptr;

    // The patient's own rows: MAIN, whose failure ends the save, and ADDRESS.
    Join(SaveStep::PatientRow, [this] { return SavePatientRow(); });
    if (m_pAddress) {
        Join(SaveStep::Address, [this] { return SaveAddressRow(); });
        Join(DeleteStep::Address, [this] { return DeleteAddressRows(); });
    }
    if (hub)
        JoinPatientParticipants(*this, *hub);
    return m_pMain != nullptr;
}

void CLogicPatient::Close()
{
    m_saveSteps.clear();
    m_loadSteps.clear();
    m_newSteps.clear();
    m_deleteSteps.clear();
    m_pMedia = nullptr;
    m_pDataSource = nullptr;
    m_pMain = nullptr;
    m_pAddress = nullptr;
    m_pHub = nullptr;
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

void CLogicPatient::Join(IPatientParticipant *participant, const ParticipantPlaces &places)
{
    if (!participant)
        return;
    if (places.save)
        Join(*places.save, [participant] { return participant->Save(); });
    if (places.load)
        Join(*places.load, [participant] { return participant->Load(); });
    if (places.prepareNew)
        Join(*places.prepareNew, [participant] { return participant->PrepareNew(); });
    if (places.deleteRows)
        Join(*places.deleteRows, [participant] { return participant->DeletePatientRows(); });
}

qint64 CLogicPatient::CurrentId() const
{
    return m_pMain && m_pMain->CurrentPosition() >= 0 ? Finance::CurrentId(m_pMain) : 0;
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
    // The address follows the current patient; its first edit makes the row.
    if (!m_pAddress || m_pAddress->Edit() != 1)
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

int CLogicPatient::Save(bool *mainSaved)
{
    *mainSaved = false;
    int result = 1;
    for (const auto &[place, step] : m_saveSteps) {
        const int stepResult = step();
        if (place == SaveStep::PatientRow) {
            if (!stepResult)
                return 0;
            *mainSaved = true;
        }
        if (!stepResult)
            result = 0;
    }
    return result;
}

int CLogicPatient::SaveAll()
{
    bool mainSaved = false;
    return m_pMain ? Save(&mainSaved) : 0;
}

int CLogicPatient::LoadAll()
{
    if (!m_pMain)
        return 0;
    const int result = RunAll(m_loadSteps);
    if (m_pHub)
        m_pHub->RefreshPages();
    return result;
}

int CLogicPatient::MoveAndLoad(const std::function<bool()> &move)
{
    if (!m_pMain)
        return 0;
    if (m_pMedia)
        m_pMedia->StopPlayer();
    // Without a current patient (an empty practice) there is nothing to save.
    // A patient whose record could not be written is not left.
    bool mainSaved = false;
    const int saved = m_pMain->CurrentPosition() < 0 ? 1 : Save(&mainSaved);
    if (!mainSaved && m_pMain->CurrentPosition() >= 0)
        return 0;
    if (!move())
        return 0;
    const int loaded = LoadAll();
    return saved && loaded ? 1 : 0;
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
    if (!m_pMain || m_pMain->CurrentPosition() < 0)
        return 0;
    QWidget *parent = m_pHub ? m_pHub->GetMainView() : nullptr;
    if (Desktop::Prompts().Show(parent, DeleteQuestion(), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;

    const WaitCursor wait;
    if (m_pMedia)
        m_pMedia->DetachFromPatient();

    // The child rows go in one transaction (one durable write instead of one
    // per row); a failed step does not stop the others.
    const bool transaction = m_pDataSource && m_pDataSource->BeginTransaction();
    RunAll(m_deleteSteps);
    if (transaction && m_pDataSource->CommitTransaction() != 1)
        m_pDataSource->RollbackTransaction();

    if (m_pMain->Delete() <= 0) {
        Desktop::Prompts().Show(parent, DeleteRefusedMessage(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
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
    if (command.control)
        return command.control->window();
    CMainView *view = m_pHub ? m_pHub->GetMainView() : nullptr;
    return view ? view->window() : nullptr;
}

int CLogicPatient::ChoosePatient(LogicCommand &command, qint64 excludeLinkedTo, FoundPatient *chosen)
{
    CFindDlg dialog([this, excludeLinkedTo](const QString &first,
                        const QString &last) { return OpenFind(first, last, excludeLinkedTo); },
        DialogParent(command));
    const int shown = m_findPresenter ? m_findPresenter(dialog) : dialog.exec();
    if (shown != QDialog::Accepted || dialog.ChosenId().isEmpty())
        return 0;
    *chosen = dialog.Chosen();
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
