#include "patients/forms/CLogicQuestionnaire.h"

#include "patients/forms/CQuestLayoutDlg.h"

CLogicQuestionnaire::CLogicQuestionnaire(Korbel::IDataSource *source, Korbel::ITable *main)
    : CLogicIntakeForm(source, main,
        { QStringLiteral("QUESTIONARY_A"), QStringLiteral("QUESTIONARY_B"), QStringLiteral("QUESTIONARY_C"),
            QStringLiteral("QUESTIONARY_D"), QStringLiteral("QUESTIONARY_E"), QStringLiteral("QUESTIONARY_F"),
            QStringLiteral("QUESTIONARY_G"), QStringLiteral("QUESTIONARY_H") },
        { FormCode::OpenQuestionnaire, FormCode::QuestionnaireOk, FormCode::QuestionnaireCancel })
{ }

std::unique_ptr<QDialog> CLogicQuestionnaire::CreateDialog(
    IFormFieldBinder *binder, CommandSink sink, QWidget *parent)
{
    return std::make_unique<CQuestLayoutDlg>(binder, std::move(sink), parent);
}
