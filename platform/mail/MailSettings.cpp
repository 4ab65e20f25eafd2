#include "mail/MailSettings.h"

#include "mail/DesktopMailComposer.h"

#include <QtCore/QSettings>

namespace Mail {

namespace {

QString tlsName(TlsMode mode)
{
    switch (mode) {
    case TlsMode::None:
        return QStringLiteral("none");
    case TlsMode::StartTls:
        return QStringLiteral("starttls");
    case TlsMode::Implicit:
        return QStringLiteral("tls");
    }
    return QStringLiteral("starttls");
}

TlsMode tlsFromName(const QString &name)
{
    if (name == u"none")
        return TlsMode::None;
    if (name == u"tls")
        return TlsMode::Implicit;
    return TlsMode::StartTls; // also for unknown values: never weaker than asked
}

} // namespace

MailSettings ReadMailSettings(QSettings &settings)
{
    MailSettings mail;
    settings.beginGroup(QStringLiteral("Mail"));
    mail.method = settings.value(QStringLiteral("Method")).toString() == u"smtp" ? SendingMethod::Smtp
                                                                                 : SendingMethod::Desktop;
    mail.smtp.server = settings.value(QStringLiteral("SmtpServer")).toString();
    mail.smtp.port = settings.value(QStringLiteral("SmtpPort"), 0).toInt();
    mail.smtp.user = settings.value(QStringLiteral("SmtpUser")).toString();
    mail.smtp.tls = tlsFromName(settings.value(QStringLiteral("SmtpTls")).toString());
    mail.smtp.senderAddress = settings.value(QStringLiteral("SenderAddress")).toString();
    mail.smtp.senderName = settings.value(QStringLiteral("SenderName")).toString();
    mail.smtp.trustedCertificates = settings.value(QStringLiteral("TrustedCertificates")).toString();
    const int timeout = settings.value(QStringLiteral("TimeoutSeconds"), 60).toInt();
    mail.smtp.timeoutSeconds = timeout > 0 ? timeout : 60;
    settings.endGroup();
    return mail;
}

void WriteMailSettings(QSettings &settings, const MailSettings &mail)
{
    settings.beginGroup(QStringLiteral("Mail"));
    settings.setValue(QStringLiteral("Method"),
        mail.method == SendingMethod::Smtp ? QStringLiteral("smtp") : QStringLiteral("desktop"));
    settings.setValue(QStringLiteral("SmtpServer"), mail.smtp.server);
    settings.setValue(QStringLiteral("SmtpPort"), mail.smtp.port);
    settings.setValue(QStringLiteral("SmtpUser"), mail.smtp.user);
    settings.setValue(QStringLiteral("SmtpTls"), tlsName(mail.smtp.tls));
    settings.setValue(QStringLiteral("SenderAddress"), mail.smtp.senderAddress);
    settings.setValue(QStringLiteral("SenderName"), mail.smtp.senderName);
    settings.setValue(QStringLiteral("TimeoutSeconds"), mail.smtp.timeoutSeconds);
    settings.setValue(QStringLiteral("TrustedCertificates"), mail.smtp.trustedCertificates);
    settings.endGroup();
}

QString SmtpSecretService()
{
    return QStringLiteral("Verdanta SMTP");
}

QString SmtpSecretKey(const SmtpSettings &smtp)
{
    return smtp.user + QLatin1Char('@') + smtp.server.trimmed().toLower();
}

std::unique_ptr<IMailComposer> CreateMailComposer(const MailSettings &mail, const QString &smtpPassword)
{
    if (mail.method == SendingMethod::Smtp)
        return std::make_unique<SmtpMailComposer>(mail.smtp, smtpPassword);
    return std::make_unique<DesktopMailComposer>();
}

} // namespace Mail
