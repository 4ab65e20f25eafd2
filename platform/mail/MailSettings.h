#pragma once

#include "mail/SmtpMailComposer.h"

#include <memory>

class QSettings;

namespace Mail {

enum class SendingMethod {
    Desktop, // compose in the user's mail program, the user confirms sending
    Smtp, // send directly through the mail server of the settings
};

// The user's choice of how mail leaves the program. Kept in the user's
// settings (group "Mail"); never holds the SMTP password.
struct MailSettings
{
    SendingMethod method = SendingMethod::Desktop;
    SmtpSettings smtp;
};

MAIL_EXPORT MailSettings ReadMailSettings(QSettings &settings);
MAIL_EXPORT void WriteMailSettings(QSettings &settings, const MailSettings &mail);

// Service and key under which the SMTP password of these settings is kept in
// the keyring: one password per user and server.
MAIL_EXPORT QString SmtpSecretService();
MAIL_EXPORT QString SmtpSecretKey(const SmtpSettings &smtp);

// The composer for the settings; the password is used only for direct sending.
MAIL_EXPORT std::unique_ptr<IMailComposer> CreateMailComposer(
    const MailSettings &mail, const QString &smtpPassword = QString());

} // namespace Mail
