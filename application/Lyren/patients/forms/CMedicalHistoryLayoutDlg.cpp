#include "patients/forms/CMedicalHistoryLayoutDlg.h"

CMedicalHistoryLayoutDlg::CMedicalHistoryLayoutDlg(
    IFormFieldBinder *binder, CommandSink sink, QWidget *parent)
    : CFormLayoutDlg(tr("Medical History"), { FormCode::MedicalHistoryOk, FormCode::MedicalHistoryCancel },
        std::move(sink), parent)
{
    AddPage(new CDialogMedicalHistory_1(binder));
    AddPage(new CDialogMedicalHistory_2(binder));
}
