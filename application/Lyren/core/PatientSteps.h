#pragma once

#include <QtCore/QString>

#include <functional>
#include <optional>

// The steps by which the logic objects of the program keep their share of the
// current patient. Each list runs its steps in the order of its enumeration,
// whatever the order in which they joined; a logic object joins a list by
// naming its place. Places nobody has joined yet cost nothing.

// SaveAll: every move, new patient, Save and the close of the main window.
// The whole save is one database transaction: the rows of every step are
// written together or not at all, and side files are written after the
// commit (LogicContext::WriteAfterCommit).
enum class SaveStep {
    MonthlyFee, // the pending monthly fee
    PatientRow, // the MAIN row with its bound controls; its failure ends the save
    Address, // the ADDRESS row
    ChiefComplaints,
    Notes, // consultation notes with their items
    Wellness,
    DynamicQuestionnaire,
    Rubrics, // possible rubrics
    Header, // the patient picture and the header band
};

// LoadAll: after every successful move, new patient and delete.
enum class LoadStep {
    Header, // the patient picture and the header band
    Documents,
    LinkedAccount,
    ChiefComplaints,
    Emails,
    Phones,
    ChildLists, // prescriptions, due payments, payments, invoices
    Notes,
    InsuranceBoxes,
    Wellness,
    DynamicQuestionnaire,
    Rubrics,
    RadarLink,
    CustomFields,
};

// New patient: after the new MAIN row is written, before LoadAll.
enum class NewPatientStep {
    DynamicQuestionnaire,
    Wellness,
    Rubrics,
    CustomFields,
};

// Delete: the patient's child rows and files, before the MAIN row goes.
enum class DeleteStep {
    Address,
    ChiefComplaints,
    Emails,
    Phones,
    Prescriptions,
    DuePayments,
    MonthlyFee,
    Notes,
    CustomFields,
    Payments,
    Invoices,
    MedicalHistory,
    Questionnaires,
    DynamicQuestionnaire,
    Rubrics,
    PatientFolder,
};

// One step: 1 on success, 0 on failure.
using PatientStep = std::function<int()>;

// A logic object that takes part in several lists. Every step it does not
// take part in does nothing and succeeds.
class IPatientParticipant
{
public:
    virtual ~IPatientParticipant() = default;
    virtual int Save() { return 1; }
    virtual int Load() { return 1; }
    virtual int PrepareNew() { return 1; }
    virtual int DeletePatientRows() { return 1; }
};

// Where a participant's steps go; a step without a place is not run.
struct ParticipantPlaces
{
    std::optional<SaveStep> save {};
    std::optional<LoadStep> load {};
    std::optional<NewPatientStep> prepareNew {};
    std::optional<DeleteStep> deleteRows {};
};

// Where the logic objects join the current patient's steps. A step that
// joins a place runs after the steps that joined the same place earlier.
class IPatientSteps
{
public:
    virtual void Join(SaveStep place, PatientStep step) = 0;
    virtual void Join(LoadStep place, PatientStep step) = 0;
    virtual void Join(NewPatientStep place, PatientStep step) = 0;
    virtual void Join(DeleteStep place, PatientStep step) = 0;
    // A participant's steps, each in its place (not owned).
    void Join(IPatientParticipant *participant, const ParticipantPlaces &places)
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

protected:
    ~IPatientSteps() = default;
};

// What the media logic does for the patient record: the player stops before
// every move and lets go of the patient before it is deleted, and a chief
// complaint may carry a recording made while its dialog is open.
class IPatientMedia
{
public:
    virtual ~IPatientMedia() = default;
    virtual void StopPlayer() = 0;
    virtual void DetachFromPatient() = 0;
    // The chief complaint dialog opens: the recorder is made ready.
    virtual void PrepareComplaintRecording() = 0;
    // The dialog was cancelled: what was recorded is dropped.
    virtual void ResetComplaintRecording() = 0;
    // The dialog was confirmed: the file the complaint keeps as AUDIO_PATH.
    virtual QString ComplaintRecording() = 0;
    // A click on a complaint's audio cell.
    virtual void PlayComplaint(const QString &path) = 0;
};
