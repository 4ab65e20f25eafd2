#include "contacts/CMailSender.h"

#include "core/LogicContext.h"
#include "finance/LogicOfficeData.h"

#include "desktop/Prompts.h"
#include "mail/MailSettings.h"
#include "secrets/KeychainSecretStore.h"

#include <QtCore/QSettings>

CMailSender::CMailSender(LogicContext &context)
    : m_context(context)
{ }

CMailSender::~CMailSender() = default;

Secrets::ISecretStore &CMailSender::SecretStore()
{
    // A store among the services (tests keep secrets in memory) comes first.
    if (Secrets::ISecretStore *store = m_context.Services().Get<Secrets::ISecretStore>())
        return *store;
    if (!m_pKeyring)
        m_pKeyring = std::make_unique<Secrets::KeychainSecretStore>();
    return *m_pKeyring;
}

std::unique_ptr<Mail::IMailComposer> CMailSender::Composer(QWidget *window)
{
    QSettings settings;
    const Mail::MailSettings mail = Mail::ReadMailSettings(settings);
    QString password;
    if (mail.method == Mail::SendingMethod::Smtp && !mail.smtp.user.isEmpty()) {
        const Secrets::SecretResult secret
            = SecretStore().Read(Mail::SmtpSecretService(), Mail::SmtpSecretKey(mail.smtp));
        if (!secret.IsOk()) {
            const QString why = secret.status == Secrets::SecretStatus::NotFound
                ? tr("No password for the mail server is kept in the keyring.")
                : secret.error;
            Desktop::Prompts().Show(window, tr("The mail could not be sent. %1").arg(why),
                Desktop::Buttons::Ok, Desktop::Icon::Warning, tr("Mail"));
            return nullptr;
        }
        password = secret.secret;
    }
    return Mail::CreateMailComposer(mail, password);
}

int CMailSender::SendMail(QWidget *window, const QString &recipientName, const QString &recipientAddress,
    const QString &subject, const QString &body, const QStringList &attachments)
{
    std::optional<Mail::OfficeIdentity> office;
    if (CLogicOfficeData *officeData = m_context.Services().Get<CLogicOfficeData>())
        office = Mail::OfficeIdentity { officeData->GetName(), officeData->GetEmail(),
            officeData->GetEmailFooter() };
    const Mail::MailMessage message
        = Mail::ComposeMessage(recipientName, recipientAddress, subject, body, attachments, office);

    std::unique_ptr<Mail::IMailComposer> composer = Composer(window);
    if (!composer)
        return 0;
    const Mail::SendResult result = composer->SendMail(message);
    if (result.outcome == Mail::SendOutcome::Failed)
        Desktop::Prompts().Show(
            window, result.reason, Desktop::Buttons::Ok, Desktop::Icon::Warning, tr("Mail"));
    return result.IsSent() ? 1 : 0;
}
