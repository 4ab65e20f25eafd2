#pragma once

#include "core/Subsystem.h"

class CLogicComesFor;
class CLogicMedicalHistory;
class CLogicPatientPicture;
class CLogicQuestionnaire;

// The patient record beside the current patient itself: chief complaints,
// the picture and header band values, the medical history and the
// questionnaire.
class PatientsLogic final : public ISubsystem
{
public:
    explicit PatientsLogic(LogicContext &context);
    ~PatientsLogic() override;

    CLogicComesFor &ComesFor() const { return *m_pComesFor; }
    CLogicPatientPicture &Picture() const { return *m_pPicture; }
    CLogicMedicalHistory &MedicalHistory() const { return *m_pMedicalHistory; }
    CLogicQuestionnaire &Questionnaire() const { return *m_pQuestionnaire; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicComesFor> m_pComesFor;
    std::unique_ptr<CLogicPatientPicture> m_pPicture;
    std::unique_ptr<CLogicMedicalHistory> m_pMedicalHistory;
    std::unique_ptr<CLogicQuestionnaire> m_pQuestionnaire;
};

std::unique_ptr<ISubsystem> InstallPatients(LogicContext &context);
