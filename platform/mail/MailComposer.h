#pragma once

#include "mail_export.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>

namespace Mail {

// One message as the composers receive it.
struct MailMessage
{
    QString recipientName;
    QString recipientAddress;
    QString subject;
    QString body; // plain text, lines broken by "\n"
    QStringList attachments; // file paths, each attached whole under its file name
    // Empty when the message names no sender; the mail program or the SMTP
    // settings then supply it.
    QString senderName;
    QString senderAddress;
    QDateTime date;
};

// The practice's particulars that every mail carries: its name and address as
// the sender and its signature under the text.
struct OfficeIdentity
{
    QString name;
    QString address;
    QString footer;
};

// The complete message: with the office data, the office is the sender (when
// its address is set) and its footer follows the body after "\n\n" (when it
// has one); the date is the given moment.
MAIL_EXPORT MailMessage ComposeMessage(const QString &recipientName, const QString &recipientAddress,
    const QString &subject, const QString &body, const QStringList &attachments,
    const std::optional<OfficeIdentity> &office, const QDateTime &now = QDateTime::currentDateTime());

enum class SendOutcome {
    Sent, // the message went out (or the user confirmed it did)
    NotSent, // cancelled, discarded or not confirmed
    Failed, // could not be sent; the reason says why
};

struct SendResult
{
    SendOutcome outcome = SendOutcome::NotSent;
    QString reason; // for Failed: a sentence for the user

    bool IsSent() const { return outcome == SendOutcome::Sent; }
    static SendResult Sent() { return { SendOutcome::Sent, {} }; }
    static SendResult NotSent() { return { SendOutcome::NotSent, {} }; }
    static SendResult Failed(const QString &why) { return { SendOutcome::Failed, why }; }
};

// Hands a message to a way of sending mail. Only a Sent result may lead to a
// record that the mail went out (a stamp in the notes, an order marked sent).
class MAIL_EXPORT IMailComposer
{
public:
    virtual ~IMailComposer() = default;
    virtual SendResult SendMail(const MailMessage &message) = 0;
};

} // namespace Mail
