#include "mail/MailComposer.h"

namespace Mail {

MailMessage ComposeMessage(const QString &recipientName, const QString &recipientAddress,
    const QString &subject, const QString &body, const QStringList &attachments,
    const std::optional<OfficeIdentity> &office, const QDateTime &now)
{
    MailMessage message;
    message.recipientName = recipientName;
    message.recipientAddress = recipientAddress;
    message.subject = subject;
    message.body = body;
    message.attachments = attachments;
    message.date = now;
    if (office) {
        if (!office->address.trimmed().isEmpty()) {
            message.senderName = office->name;
            message.senderAddress = office->address.trimmed();
        }
        if (!office->footer.trimmed().isEmpty())
            message.body += QStringLiteral("\n\n") + office->footer;
    }
    return message;
}

} // namespace Mail
