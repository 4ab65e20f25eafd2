#pragma once

#include "core/LogicCommand.h"
#include "core/Subsystem.h"

#include <memory>

class CLogicMedia;
class CLogicNotes;
class LogicContext;

// The consultation notes and the patient's media: the notes logic with its
// editor (codes 33, 39, 61, 63 and 67), the media logic (codes 32, 71, 73 and
// 83) and the answer to the notes' question before an image is inserted (82),
// joined to the patient's save, load and delete steps. Other subsystems
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
    // Agrees to every image insertion the notes ask about: nothing in the
    // practice's settings forbids one.
    class ImageInsertionGate final : public ILogicObject
    {
    public:
        int OnCommand(LogicCommand &command) override;
    };

    LogicContext &m_context;
    ImageInsertionGate m_imageInsertion;
    std::unique_ptr<CLogicMedia> m_pMedia;
    // Refers to the media logic: released before it.
    std::unique_ptr<CLogicNotes> m_pNotes;
};

std::unique_ptr<ISubsystem> InstallNotes(LogicContext &context);
