#pragma once

#include "core/Subsystem.h"

class CLogicDynamicFields;
class CLogicDynamicQuest;

// What the practitioner adds to the fixed patient record: the custom fields
// with their dictionary ("Custom Data" tab, code 81) and the patient's own
// questionnaire ("My Questionnaire" tab, code 74). The dictionary is read when
// the subsystem is installed (the database is open then) and written, when it
// holds unwritten names, when the hub closes.
class CustomDataLogic final : public ISubsystem
{
public:
    explicit CustomDataLogic(LogicContext &context);
    ~CustomDataLogic() override;

    CLogicDynamicFields &Fields() const { return *m_pFields; }
    CLogicDynamicQuest &Questionnaire() const { return *m_pQuestionnaire; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicDynamicFields> m_pFields;
    std::unique_ptr<CLogicDynamicQuest> m_pQuestionnaire;
};

std::unique_ptr<ISubsystem> InstallCustomData(LogicContext &context);
