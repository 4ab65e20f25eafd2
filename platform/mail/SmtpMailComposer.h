#pragma once

#include "mail/MailComposer.h"

#include <QtCore/QCoreApplication>

namespace Mail {

enum class TlsMode {
    None, // plain text throughout
    StartTls, // plain connection upgraded with STARTTLS; refused when the server cannot
    Implicit, // TLS from the first byte ("SMTPS")
};

// How to reach the mail server. The password is not part of the settings: it
// lives in the keyring and is handed to the composer for the one send.
struct MAIL_EXPORT SmtpSettings
{
    QString server;
    int port = 0; // 0: the usual port of the TLS mode (25, 587 or 465)
    QString user; // empty: no log-in
    TlsMode tls = TlsMode::StartTls;
    QString senderAddress; // envelope sender and From address
    QString senderName; // From name when the message names none
    int timeoutSeconds = 60; // for connecting and for each stalled step
    // A PEM file of certificates to trust besides the system's, for a server
    // of the practice's own with a self-made certificate; empty: the system's.
    QString trustedCertificates;

    int EffectivePort() const;
};

// Sends over SMTP with libcurl and reports Sent only when the server took the
// message (its 250 after the data). The envelope and From use the settings'
// sender, so that the server accepts the mail as its account's; a different
// sender address named by the message becomes the Reply-To. The transfer runs
// on a worker thread while this call waits, so the caller's window keeps
// painting (without taking input).
class MAIL_EXPORT SmtpMailComposer final : public IMailComposer
{
    Q_DECLARE_TR_FUNCTIONS(Mail::SmtpMailComposer)

public:
    SmtpMailComposer(SmtpSettings settings, QString password);

    SendResult SendMail(const MailMessage &message) override;

private:
    SmtpSettings m_settings;
    QString m_password;
};

} // namespace Mail
