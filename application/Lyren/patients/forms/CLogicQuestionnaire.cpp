#include "patients/forms/CLogicQuestionnaire.h"
#include "core/CommandCodes.h"

CLogicQuestionnaire::CLogicQuestionnaire(Korbel::IDataSource *source, Korbel::ITable *main)
    : CLogicIntakeForm(source, main,
        { QStringLiteral("QUESTIONARY_A"), QStringLiteral("QUESTIONARY_B"), QStringLiteral("QUESTIONARY_C"),
            QStringLiteral("QUESTIONARY_D"), QStringLiteral("QUESTIONARY_E"), QStringLiteral("QUESTIONARY_F"),
            QStringLiteral("QUESTIONARY_G"), QStringLiteral("QUESTIONARY_H") },
        { CommandCode::Questionnaire, CommandCode::QuestionnaireOk, CommandCode::QuestionnaireCancel })
{ }
