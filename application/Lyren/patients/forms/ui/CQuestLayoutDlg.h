#pragma once

#include "patients/forms/ui/CFormLayoutDlg.h"
#include "patients/forms/ui/CFormPage.h"

// The pages of the questionnaire, each bound to one to three of the tables
// QUESTIONARY_A to QUESTIONARY_H. A double click in a free-text field picks a
// phrase for the possible rubrics.
template<int Number>
using CQuestionnairePage
    = CNumberedFormPage<&PatientForms::FormLayouts::Questionnaire, Number, CFormPage::PhrasePicking::On>;
using CDialogQuestionary_1 = CQuestionnairePage<1>;
using CDialogQuestionary_2 = CQuestionnairePage<2>;
using CDialogQuestionary_3 = CQuestionnairePage<3>;
using CDialogQuestionary_4 = CQuestionnairePage<4>;
using CDialogQuestionary_5 = CQuestionnairePage<5>;
using CDialogQuestionary_6 = CQuestionnairePage<6>;
using CDialogQuestionary_7 = CQuestionnairePage<7>;

// "Questionnaire": the seven pages, OK (code 20) and Cancel (code 21).
class CQuestLayoutDlg final : public CFormLayoutDlg
{
    Q_OBJECT

public:
    CQuestLayoutDlg(IFormFieldBinder *binder, CommandSink sink, QWidget *parent = nullptr);
};
