#pragma once

#include "patients/forms/CLogicIntakeForm.h"

// The medical history of the current patient: table MEDICAL_HISTORY, dialog
// CMedicalHistoryLayoutDlg, codes 16 (open), 18 (OK) and 19 (Cancel).
class CLogicMedicalHistory final : public CLogicIntakeForm
{
public:
    explicit CLogicMedicalHistory(Korbel::IDataSource *source = nullptr, Korbel::ITable *main = nullptr);

protected:
    IntakeForm Form() const override { return IntakeForm::MedicalHistory; }
};
