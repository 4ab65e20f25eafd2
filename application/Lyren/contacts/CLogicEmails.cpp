#include "contacts/CLogicEmails.h"

#include "contacts/Stamps.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CurrentPatient.h"
#include "core/LogicContext.h"
#include "core/MailSender.h"
#include "core/RecordAccess.h"
#include "core/Views.h"

#include "desktop/Prompts.h"
#include "mail/AddressCheck.h"

CLogicEmails::CLogicEmails(LogicContext &context)
    : CLogicContactList(
        context, { QStringLiteral("EMAILS"), QStringLiteral("EMAIL"), QStringLiteral("EMAIL"), tr("Emails") })
{ }

QString CLogicEmails::NoCurrentText()
{
    return tr("No current email");
}

QString CLogicEmails::QuestionnaireEntry()
{
    return tr("Email questionnaire");
}

QString CLogicEmails::LinkTextFor(const QString &current) const
{
    return current.isEmpty() ? NoCurrentText() : tr("Email To: %1").arg(current);
}

void CLogicEmails::ShowOnBand(IHeaderBand &band, const QString &text, bool active) const
{
    band.SetEmailLink(text, active);
}

QString CLogicEmails::Warning(const QString &text) const
{
    return Mail::AddressWarning(text);
}

int CLogicEmails::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::EmailChoice: {
        bool madeCurrent = false;
        if (ChooseCurrent(command, tr("No emails"), { QuestionnaireEntry() }, &madeCurrent) == 0)
            return MailQuestionnaire(WindowOf(command));
        return madeCurrent ? 1 : 0;
    }
    case CommandCode::MailTo:
        return MailToCurrent(WindowOf(command));
    default:
        return 0;
    }
}

int CLogicEmails::MailToCurrent(QWidget *window)
{
    const QString address = CurrentText();
    if (address.isEmpty() || Send(window, address, {}) != 1)
        return 0;
    AppendToNotes(tr("<<Email to: %1 at %2>>").arg(address, Contacts::StampTime()));
    return 1;
}

int CLogicEmails::MailQuestionnaire(QWidget *window)
{
    const QString address = CurrentText();
    if (address.isEmpty()) {
        Desktop::Prompts().Show(window,
            tr("The patient has no current e-mail address. Add one on the Address tab first."),
            Desktop::Buttons::Ok, Desktop::Icon::Information, tr("Email questionnaire"));
        return 0;
    }
    // The questionnaire goes as it stands on screen: the patient is saved,
    // which writes it into its file.
    if (ICurrentPatient *patient = m_context.Patient())
        patient->SaveAll();
    const QString questionnaire = m_context.Folders().GetPatientFolder() + QuestionnaireFileName();
    if (Send(window, address, { questionnaire }) != 1)
        return 0;
    AppendToNotes(tr("<<Questionnaire emailed to: %1 at %2>>").arg(address, Contacts::StampTime()));
    return 1;
}

int CLogicEmails::Send(QWidget *window, const QString &address, const QStringList &attachments)
{
    IMailSender *sender = m_context.Services().Get<IMailSender>();
    if (!sender)
        return 0;
    Korbel::ITable *main = m_context.MainTable();
    const QString name = Records::ReadText(main, QStringLiteral("FIRST_NAME")) + QLatin1Char(' ')
        + Records::ReadText(main, QStringLiteral("LAST_NAME"));
    return sender->SendMail(window, name, address, QString(), QString(), attachments);
}
