#include "patients/PatientParticipants.h"

#include "patients/CLogicComesFor.h"
#include "patients/CLogicPatient.h"
#include "patients/CLogicPatientPicture.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "shell/CLogicFolders.h"
#include "shell/CLogicMain.h"

void JoinPatientParticipants(CLogicPatient &patient, CLogicMain &hub)
{
    // The pending monthly fee (SaveStep::MonthlyFee) joins with the invoicing
    // logic, the media player (SetMedia) with the media logic.

    if (CLogicComesFor *comesFor = hub.GetLogicComesFor())
        patient.Join(
            comesFor, { .load = LoadStep::ChiefComplaints, .deleteRows = DeleteStep::ChiefComplaints });

    if (CLogicMedicalHistory *history = hub.GetLogicMedicalHistory())
        patient.Join(DeleteStep::MedicalHistory, [history] { return history->DeletePatientRows(); });
    if (CLogicQuestionnaire *questionnaire = hub.GetLogicQuestionnaire())
        patient.Join(
            DeleteStep::Questionnaires, [questionnaire] { return questionnaire->DeletePatientRows(); });

    if (CLogicFolders *folders = hub.GetLogicFolders())
        patient.Join(DeleteStep::PatientFolder, [folders] { return folders->DeletePatientFolder() ? 1 : 0; });

    if (CLogicPatientPicture *picture = hub.GetLogicPatientPicture())
        patient.Join(picture, { .save = SaveStep::Header, .load = LoadStep::Header });
}
