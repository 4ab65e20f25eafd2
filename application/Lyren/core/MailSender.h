#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

class QWidget;

// The program's mail composer as every part that mails uses it (mail to a
// patient, orders to providers, feedback): it adds the office's sender and
// signature and hands the message to the way of sending the user chose.
class IMailSender
{
public:
    virtual ~IMailSender() = default;
    // 1 only when the message was sent: the mail server took it, or the user
    // confirmed that the mail program sent it. 0 when it was cancelled, not
    // confirmed or could not be sent (the user is then told why). Nothing that
    // records a mail as sent may follow a 0. window: where questions belong.
    virtual int SendMail(QWidget *window, const QString &recipientName, const QString &recipientAddress,
        const QString &subject, const QString &body, const QStringList &attachments)
        = 0;
};
