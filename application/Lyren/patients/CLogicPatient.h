#pragma once

#include "core/CurrentPatient.h"
#include "core/PatientSteps.h"

#include "Korbel/DataSource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QList>
#include <QtCore/QString>

#include <utility>
#include <vector>

class LogicContext;
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
// ordered lists of steps (see core/PatientSteps.h). The MAIN and ADDRESS
// steps are its own; the other logic objects join when their subsystem is
// installed.
//
// A save is one database transaction: every row of every step is committed
// together, or, when a step fails, nothing is and the move stops, so that
// nothing typed is lost; side files are written after the commit. A delete is
// one transaction as well, the patient's folder going once it committed.
// Loading runs every step and returns the AND.
class CLogicPatient final : public ICurrentPatient, public IPatientSteps
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPatient)

public:
    CLogicPatient();
    ~CLogicPatient() override;
    CLogicPatient(const CLogicPatient &) = delete;
    CLogicPatient &operator=(const CLogicPatient &) = delete;

    // ICurrentPatient.
    bool Open(LogicContext &context) override;
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

    // IPatientSteps.
    using IPatientSteps::Join;
    void Join(SaveStep place, PatientStep step) override;
    void Join(LoadStep place, PatientStep step) override;
    void Join(NewPatientStep place, PatientStep step) override;
    void Join(DeleteStep place, PatientStep step) override;

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
    qint64 CurrentId() const override;
    int ShowOutsideChanges() override;

    static QString DeleteQuestion();
    static QString DeleteRefusedMessage();
    // What the person is told when another seat saved (or deleted) the
    // patient after it was loaded here; the conflict copy is at 'path'.
    static QString ConflictMessage(const QString &name, const QString &path);
    static QString DeletedElsewhereMessage(const QString &name, const QString &path);
    static QString DeleteConflictMessage(const QString &name);

private:
    template<typename Place> using StepList = std::vector<std::pair<Place, PatientStep>>;
    template<typename Place> static void Insert(StepList<Place> &list, Place place, PatientStep step);

    // SaveAll in one transaction; 1 when every row was committed and every
    // side file written.
    int Save();
    IPatientMedia *Media() const;
    // Stop the player, save, then move; LoadAll when the move succeeded.
    int MoveAndLoad(const std::function<bool()> &move);
    int ChoosePatient(LogicCommand &command, qint64 excludeLinkedTo, FoundPatient *chosen);
    QWidget *DialogParent(const LogicCommand &command) const;

    // The patient as this seat loaded it: its key, row version and what the
    // bound controls showed, so that a save can tell whether another seat
    // saved it since and what was typed here.
    void RememberLoaded();
    // A save found that another seat saved or deleted the patient: what was
    // typed here goes to a conflict copy, the patient is shown as stored, and
    // the person is told.
    struct TypedRecord
    {
        std::vector<std::pair<QString, QString>> main;
        std::vector<std::pair<QString, QString>> address;
    };
    TypedRecord TypedNow() const;
    void ResolveConflict(bool deleted, const QString &name, const QString &copy);
    QString WriteConflictCopy(const QString &name, const TypedRecord &typed);
    // Drops what is pending and shows the current patient (or, gone, a
    // neighbour) as stored.
    void ShowStored();
    QString CurrentName() const;
    // The name as the patient was loaded (a patient deleted meanwhile has
    // no current row to name it).
    QString LoadedName() const;

    int SavePatientRow();
    int SaveAddressRow();
    int DeleteAddressRows();

    LogicContext *m_pContext = nullptr;
    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    Korbel::ITable *m_pAddress = nullptr;

    qint64 m_loadedId = 0;
    qint64 m_loadedVersion = 0;
    std::vector<std::pair<QString, QString>> m_loadedMain;
    std::vector<std::pair<QString, QString>> m_loadedAddress;
    QString m_loadedName;

    StepList<SaveStep> m_saveSteps;
    StepList<LoadStep> m_loadSteps;
    StepList<NewPatientStep> m_newSteps;
    StepList<DeleteStep> m_deleteSteps;
};
