#pragma once

#include "patients/PatientParticipant.h"
#include "shell/CurrentPatient.h"

#include "Korbel/DataSource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QList>
#include <QtCore/QString>

#include <utility>
#include <vector>

class CFindDlg;
class QWidget;

// One patient found by the find dialog's query.
struct FoundPatient
{
    QString id;
    QString firstName;
    QString lastName;
};

// The patients a find query matched, in table order. Each row is read from
// the database when it is asked for, so that a query matching most of a large
// practice opens at once and only the rows shown are read.
class FoundPatients
{
public:
    FoundPatients() = default;
    // Takes the query's rows (owned).
    explicit FoundPatients(Korbel::ITable *rows);

    int Count() const { return m_count; }
    // The patient of a row; an empty one outside the rows.
    FoundPatient At(int row) const;
    QList<FoundPatient> ToList() const;

private:
    Korbel::ReleasePtr<Korbel::ITable> m_pRows;
    Korbel::ReleasePtr<Korbel::IField> m_pId;
    Korbel::ReleasePtr<Korbel::IField> m_pFirstName;
    Korbel::ReleasePtr<Korbel::IField> m_pLastName;
    int m_count = 0;
};

// The current patient: the current row of MAIN. Moves between patients,
// creates and deletes them, and makes every other logic object save, load,
// prepare or delete its share of the patient at the right moment through four
// ordered lists of steps (see PatientParticipant.h). The MAIN and ADDRESS
// steps are its own; the other logic objects join at Open
// (JoinPatientParticipants).
//
// Every operation returns 1 on success and 0 otherwise; composite operations
// run every step and return the AND, except that a failed MAIN edit or update
// ends the save and stops the move, so that nothing typed is lost.
class CLogicPatient final : public ICurrentPatient
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPatient)

public:
    // Shows the find dialog modally and returns its result; tests drive the
    // dialog through one of these instead of a person.
    using FindPresenter = std::function<int(CFindDlg &dialog)>;

    CLogicPatient();
    ~CLogicPatient() override;
    CLogicPatient(const CLogicPatient &) = delete;
    CLogicPatient &operator=(const CLogicPatient &) = delete;

    // ICurrentPatient. Open joins the hub's logic objects (none without a hub).
    bool Open(Korbel::IDataSource *source, Korbel::ITable *main, CLogicMain *hub) override;
    void Close() override;
    int First() override;
    int Previous() override;
    int Next() override;
    int Last() override;
    int New() override;
    int Delete() override;
    int GoTo(const QString &id) override;
    int SaveAll() override;
    int LoadAll() override;
    int Find(LogicCommand &command) override;
    int LinkedAccount(LogicCommand &command) override;

    // Joining the lists.
    void Join(SaveStep place, PatientStep step);
    void Join(LoadStep place, PatientStep step);
    void Join(NewPatientStep place, PatientStep step);
    void Join(DeleteStep place, PatientStep step);
    // A participant's steps, each in its place (not owned).
    void Join(IPatientParticipant *participant, const ParticipantPlaces &places);
    // The media logic (not owned); none until it exists.
    void SetMedia(IPatientMedia *media) { m_pMedia = media; }
    void SetFindPresenter(FindPresenter presenter) { m_findPresenter = std::move(presenter); }

    // The find dialog's query: patients whose first and last names start with
    // the texts (an empty text matches every name; wildcard characters match
    // themselves), in table order. With a patient ID, that patient and the
    // patients linked to it are left out (the choices of a linked account).
    QList<FoundPatient> FindPatients(
        const QString &firstName, const QString &lastName, qint64 excludeLinkedTo = 0) const;
    // The same query, its rows read as they are shown.
    FoundPatients OpenFind(
        const QString &firstName, const QString &lastName, qint64 excludeLinkedTo = 0) const;
    // The display name of a found patient: first name, a space, last name.
    static QString DisplayName(const FoundPatient &patient);

    // The current patient's ID, 0 when there is none.
    qint64 CurrentId() const;

    static QString DeleteQuestion();
    static QString DeleteRefusedMessage();

private:
    template<typename Place> using StepList = std::vector<std::pair<Place, PatientStep>>;
    template<typename Place> static void Insert(StepList<Place> &list, Place place, PatientStep step);

    // SaveAll; mainSaved tells whether the MAIN row was written.
    int Save(bool *mainSaved);
    // Stop the player, save, then move; LoadAll when the move succeeded.
    int MoveAndLoad(const std::function<bool()> &move);
    int ChoosePatient(LogicCommand &command, qint64 excludeLinkedTo, FoundPatient *chosen);
    QWidget *DialogParent(const LogicCommand &command) const;

    int SavePatientRow();
    int SaveAddressRow();
    int DeleteAddressRows();

    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    Korbel::ITable *m_pAddress = nullptr;
    CLogicMain *m_pHub = nullptr;
    IPatientMedia *m_pMedia = nullptr;
    FindPresenter m_findPresenter;

    StepList<SaveStep> m_saveSteps;
    StepList<LoadStep> m_loadSteps;
    StepList<NewPatientStep> m_newSteps;
    StepList<DeleteStep> m_deleteSteps;
};
