#include "patients/forms/ui/FormDialogs.h"

#include "patients/forms/ui/CMedicalHistoryLayoutDlg.h"
#include "patients/forms/ui/CQuestLayoutDlg.h"

#include <memory>

void CFormDialogs::Show(IntakeForm form, QWidget *parent, IFormFieldBinder *binder, CommandSink sink)
{
    std::unique_ptr<QDialog> dialog;
    if (form == IntakeForm::MedicalHistory)
        dialog = std::make_unique<CMedicalHistoryLayoutDlg>(binder, std::move(sink), parent);
    else
        dialog = std::make_unique<CQuestLayoutDlg>(binder, std::move(sink), parent);
    if (m_driver)
        m_driver(*dialog);
    else
        dialog->exec();
}
