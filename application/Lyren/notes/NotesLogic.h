#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicMedia;
class CLogicNotes;
class LogicContext;

// The consultation notes and the patient's media: the notes logic with its
// editor (codes 33, 39, 61 and 67) and the media logic (codes 32, 71, 73 and
// 83), joined to the patient's save, load and delete steps. Other subsystems
// find both among the services; the patient record finds the media logic as
// its IPatientMedia.
class NotesLogic final : public ISubsystem
{
public:
    explicit NotesLogic(LogicContext &context);
    ~NotesLogic() override;

    CLogicNotes &Notes() const { return *m_pNotes; }
    CLogicMedia &Media() const { return *m_pMedia; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicMedia> m_pMedia;
    // Refers to the media logic: released before it.
    std::unique_ptr<CLogicNotes> m_pNotes;
};

std::unique_ptr<ISubsystem> InstallNotes(LogicContext &context);
