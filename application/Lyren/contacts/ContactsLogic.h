#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicEmails;
class CLogicPhones;
class CMailSender;
class LogicContext;

// How the practice reaches a patient: the e-mail and phone logic (codes 38 to
// 41), joined to the patient's load and delete steps, and the program's mail
// composer, which other subsystems find among the services as IMailSender.
// The postal address is the ADDRESS row the hub keeps with the patient.
class ContactsLogic final : public ISubsystem
{
public:
    explicit ContactsLogic(LogicContext &context);
    ~ContactsLogic() override;

    CLogicEmails &Emails() const { return *m_pEmails; }
    CLogicPhones &Phones() const { return *m_pPhones; }
    CMailSender &MailSender() const { return *m_pMailSender; }

private:
    LogicContext &m_context;
    std::unique_ptr<CMailSender> m_pMailSender;
    std::unique_ptr<CLogicEmails> m_pEmails;
    std::unique_ptr<CLogicPhones> m_pPhones;
};

std::unique_ptr<ISubsystem> InstallContacts(LogicContext &context);
