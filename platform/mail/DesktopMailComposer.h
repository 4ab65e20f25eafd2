#pragma once

#include "mail/MailComposer.h"

#include <QtCore/QCoreApplication>

#include <chrono>

namespace Mail {

// Composes in the user's own mail program: xdg-email opens its compose window
// with recipient, subject, body and attachments filled in; without a usable
// xdg-email or mail program, a mailto: address goes to the shell and each
// attachment is opened so that the user can attach it by hand. Neither way can
// tell whether the user sent the message, so afterwards the user is asked,
// and only a Yes counts as sent.
class MAIL_EXPORT DesktopMailComposer final : public IMailComposer
{
    Q_DECLARE_TR_FUNCTIONS(Mail::DesktopMailComposer)

public:
    // How long to wait for xdg-email to return. Some mail programs keep it
    // running until they close; past this wait the compose window is taken to
    // be open and xdg-email is left running.
    void SetLaunchWait(std::chrono::milliseconds wait) { m_launchWait = wait; }

    SendResult SendMail(const MailMessage &message) override;

    // The arguments handed to xdg-email for the message.
    static QStringList XdgEmailArguments(const MailMessage &message);
    // "Name <address>", the name quoted where mail syntax needs it.
    static QString RecipientText(const QString &name, const QString &address);

private:
    bool ComposeWithXdgEmail(const MailMessage &message) const;
    SendResult ComposeWithMailto(const MailMessage &message) const;
    SendResult AskWhetherSent(const MailMessage &message, bool attachByHand) const;

    std::chrono::milliseconds m_launchWait { 10000 };
};

} // namespace Mail
