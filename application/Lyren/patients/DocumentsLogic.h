#pragma once

#include "core/Subsystem.h"

class CLogicDocuments;

// The patient's documents (codes 29, 30, 31 and 80): the files of the
// patient's Pdf folder in the Patient tab's documents list. Offers
// IPatientDocuments, through which a file dropped on the header band that is
// not a picture becomes a document.
class DocumentsLogic final : public ISubsystem
{
public:
    explicit DocumentsLogic(LogicContext &context);
    ~DocumentsLogic() override;

    CLogicDocuments &Documents() const { return *m_pDocuments; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicDocuments> m_pDocuments;
};

std::unique_ptr<ISubsystem> InstallDocuments(LogicContext &context);
