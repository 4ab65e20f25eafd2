#include "patients/forms/ui/CMedicalHistoryLayoutDlg.h"
#include "core/CommandCodes.h"

CMedicalHistoryLayoutDlg::CMedicalHistoryLayoutDlg(
    IFormFieldBinder *binder, CommandSink sink, QWidget *parent)
    : CFormLayoutDlg(tr("Medical History"),
        { CommandCode::MedicalHistoryOk, CommandCode::MedicalHistoryCancel }, std::move(sink), parent)
{
    AddPage(new CDialogMedicalHistory_1(binder));
    AddPage(new CDialogMedicalHistory_2(binder));
}
