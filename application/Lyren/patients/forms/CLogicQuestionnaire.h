#pragma once

#include "patients/forms/CLogicIntakeForm.h"

// The questionnaire of the current patient: the eight tables QUESTIONARY_A to
// QUESTIONARY_H (written in that order), dialog CQuestLayoutDlg, codes 17
// (open), 20 (OK) and 21 (Cancel).
class CLogicQuestionnaire final : public CLogicIntakeForm
{
public:
    explicit CLogicQuestionnaire(Korbel::IDataSource *source = nullptr, Korbel::ITable *main = nullptr);

protected:
    IntakeForm Form() const override { return IntakeForm::Questionnaire; }
};
