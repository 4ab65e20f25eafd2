#include "notes/NotesLogic.h"

#include "notes/CLogicMedia.h"
#include "notes/CLogicNotes.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/PatientSteps.h"

NotesLogic::NotesLogic(LogicContext &context)
    : m_context(context)
    , m_pMedia(std::make_unique<CLogicMedia>(context))
    , m_pNotes(std::make_unique<CLogicNotes>(context))
{
    m_pNotes->SetMediaLogic(m_pMedia.get());
    CActiveEditor *editor = &m_pNotes->ActiveEditor();
    m_pMedia->SetNewRecordingSink([editor](bool video) { return editor->InsertNewRecording(video); });

    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::Notes, m_pNotes.get());
    routes.Own(Owner::Media, m_pMedia.get());
    routes.Own(Owner::ImageInsertion, &m_imageInsertion);
    LogicServices &services = context.Services();
    services.Provide(m_pNotes.get());
    services.Provide<INotesDraft>(m_pNotes.get());
    services.Provide(m_pMedia.get());
    services.Provide<IPatientMedia>(m_pMedia.get());

    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    CLogicNotes *notes = m_pNotes.get();
    steps->Join(SaveStep::Notes, [notes] { return notes->Commit() ? 1 : 0; });
    steps->Join(LoadStep::Notes, [notes] { return notes->Load() ? 1 : 0; });
    steps->Join(DeleteStep::Notes, [notes] { return notes->DeletePatientRows(); });
}

NotesLogic::~NotesLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw<IPatientMedia>(m_pMedia.get());
    services.Withdraw(m_pMedia.get());
    services.Withdraw<INotesDraft>(m_pNotes.get());
    services.Withdraw(m_pNotes.get());
    m_context.Routes().Forget(Owner::Notes);
    m_context.Routes().Forget(Owner::Media);
    m_context.Routes().Forget(Owner::ImageInsertion);
    m_pNotes.reset();
}

int NotesLogic::ImageInsertionGate::OnCommand(LogicCommand &command)
{
    return command.code == CommandCode::InsertImageAsked ? 1 : 0;
}

std::unique_ptr<ISubsystem> InstallNotes(LogicContext &context)
{
    return std::make_unique<NotesLogic>(context);
}
