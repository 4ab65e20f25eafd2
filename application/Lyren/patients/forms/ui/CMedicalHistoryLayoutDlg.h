#pragma once

#include "patients/forms/ui/CFormLayoutDlg.h"
#include "patients/forms/ui/CFormPage.h"

// The pages of the medical history, bound to MEDICAL_HISTORY.
template<int Number>
using CMedicalHistoryPage
    = CNumberedFormPage<&PatientForms::FormLayouts::MedicalHistory, Number, CFormPage::PhrasePicking::Off>;
using CDialogMedicalHistory_1 = CMedicalHistoryPage<1>;
using CDialogMedicalHistory_2 = CMedicalHistoryPage<2>;

// "Medical History": the two pages, OK (code 18) and Cancel (code 19).
class CMedicalHistoryLayoutDlg final : public CFormLayoutDlg
{
    Q_OBJECT

public:
    CMedicalHistoryLayoutDlg(IFormFieldBinder *binder, CommandSink sink, QWidget *parent = nullptr);
};
