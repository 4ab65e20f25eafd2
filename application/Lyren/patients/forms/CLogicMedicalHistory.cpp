#include "patients/forms/CLogicMedicalHistory.h"

#include "patients/forms/CMedicalHistoryLayoutDlg.h"

CLogicMedicalHistory::CLogicMedicalHistory(Korbel::IDataSource *source, Korbel::ITable *main)
    : CLogicIntakeForm(source, main, { QStringLiteral("MEDICAL_HISTORY") },
        { FormCode::OpenMedicalHistory, FormCode::MedicalHistoryOk, FormCode::MedicalHistoryCancel })
{ }

std::unique_ptr<QDialog> CLogicMedicalHistory::CreateDialog(
    IFormFieldBinder *binder, CommandSink sink, QWidget *parent)
{
    return std::make_unique<CMedicalHistoryLayoutDlg>(binder, std::move(sink), parent);
}
