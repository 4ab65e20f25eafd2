#include "patients/PatientsLogic.h"

#include "patients/CLogicComesFor.h"
#include "patients/CLogicPatientPicture.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"

#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "core/PatientSteps.h"

PatientsLogic::PatientsLogic(LogicContext &context)
    : m_context(context)
    , m_pComesFor(std::make_unique<CLogicComesFor>(context))
    , m_pPicture(std::make_unique<CLogicPatientPicture>(context))
    , m_pMedicalHistory(std::make_unique<CLogicMedicalHistory>(context.DataSource(), context.MainTable()))
    , m_pQuestionnaire(std::make_unique<CLogicQuestionnaire>(context.DataSource(), context.MainTable()))
{
    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::ChiefComplaints, m_pComesFor.get());
    routes.Own(Owner::PatientPicture, m_pPicture.get());
    routes.Own(Owner::MedicalHistory, m_pMedicalHistory.get());
    routes.Own(Owner::Questionnaires, m_pQuestionnaire.get());

    for (CLogicIntakeForm *form :
        std::initializer_list<CLogicIntakeForm *> { m_pMedicalHistory.get(), m_pQuestionnaire.get() }) {
        form->SetServices(&context.Services());
        form->SetCommandSink([&context](LogicCommand &command) { return context.SendCommand(command); });
    }
    context.Services().Provide(m_pComesFor.get());
    context.Services().Provide(m_pPicture.get());
    context.Services().Provide(m_pMedicalHistory.get());
    context.Services().Provide(m_pQuestionnaire.get());

    IPatientSteps *steps = context.Steps();
    if (!steps)
        return;
    steps->Join(
        m_pComesFor.get(), { .load = LoadStep::ChiefComplaints, .deleteRows = DeleteStep::ChiefComplaints });
    CLogicMedicalHistory *history = m_pMedicalHistory.get();
    steps->Join(DeleteStep::MedicalHistory, [history] { return history->DeletePatientRows(); });
    CLogicQuestionnaire *questionnaire = m_pQuestionnaire.get();
    steps->Join(DeleteStep::Questionnaires, [questionnaire] { return questionnaire->DeletePatientRows(); });
    // The patient's folder goes once the delete is committed; its path is
    // taken while the patient is still current.
    steps->Join(DeleteStep::PatientFolder, [&context] {
        const QString folder = context.Folders().GetPatientFolder();
        context.AfterCommit([folder] { return CLogicFolders::DeleteFolder(folder); });
        return 1;
    });
    steps->Join(m_pPicture.get(), { .save = SaveStep::Header, .load = LoadStep::Header });
}

PatientsLogic::~PatientsLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw(m_pComesFor.get());
    services.Withdraw(m_pPicture.get());
    services.Withdraw(m_pMedicalHistory.get());
    services.Withdraw(m_pQuestionnaire.get());
    LogicRoutes &routes = m_context.Routes();
    for (Owner owner :
        { Owner::ChiefComplaints, Owner::PatientPicture, Owner::MedicalHistory, Owner::Questionnaires })
        routes.Forget(owner);
}

std::unique_ptr<ISubsystem> InstallPatients(LogicContext &context)
{
    return std::make_unique<PatientsLogic>(context);
}
