#include "patients/forms/CLogicMedicalHistory.h"
#include "core/CommandCodes.h"

CLogicMedicalHistory::CLogicMedicalHistory(Korbel::IDataSource *source, Korbel::ITable *main)
    : CLogicIntakeForm(source, main, { QStringLiteral("MEDICAL_HISTORY") },
        { CommandCode::MedicalHistory, CommandCode::MedicalHistoryOk, CommandCode::MedicalHistoryCancel })
{ }
