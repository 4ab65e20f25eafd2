#include "contacts/ContactsLogic.h"

#include "contacts/CLogicEmails.h"
#include "contacts/CLogicPhones.h"
#include "contacts/CMailSender.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"

ContactsLogic::ContactsLogic(LogicContext &context)
    : m_context(context)
    , m_pMailSender(std::make_unique<CMailSender>(context))
    , m_pEmails(std::make_unique<CLogicEmails>(context))
    , m_pPhones(std::make_unique<CLogicPhones>(context))
{
    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::Emails, m_pEmails.get());
    routes.Own(Owner::Phones, m_pPhones.get());
    LogicServices &services = context.Services();
    services.Provide<IMailSender>(m_pMailSender.get());
    services.Provide(m_pEmails.get());
    services.Provide(m_pPhones.get());

    if (IPatientSteps *steps = context.Steps()) {
        steps->Join(m_pEmails.get(), { .load = LoadStep::Emails, .deleteRows = DeleteStep::Emails });
        steps->Join(m_pPhones.get(), { .load = LoadStep::Phones, .deleteRows = DeleteStep::Phones });
    }
    // The hub loads its first patient after every subsystem is installed.
}

ContactsLogic::~ContactsLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw(m_pPhones.get());
    services.Withdraw(m_pEmails.get());
    services.Withdraw<IMailSender>(m_pMailSender.get());
    m_context.Routes().Forget(Owner::Phones);
    m_context.Routes().Forget(Owner::Emails);
}

std::unique_ptr<ISubsystem> InstallContacts(LogicContext &context)
{
    return std::make_unique<ContactsLogic>(context);
}
