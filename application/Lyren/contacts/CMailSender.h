#pragma once

#include "core/MailSender.h"

#include <QtCore/QCoreApplication>

#include <memory>

class LogicContext;

namespace Mail {
class IMailComposer;
}
namespace Secrets {
class ISecretStore;
}

// The program's mail composer. With the office data, the office is the
// sender and its e-mail signature follows the text. The message goes the way
// of the user's mail settings: composed in the user's mail program (xdg-email,
// or a mailto: address), after which the user tells whether it was sent; or
// sent directly to the practice's mail server, whose password is taken from
// the desktop keyring. A failure is told to the user and counts as not sent.
class CMailSender final : public IMailSender
{
    Q_DECLARE_TR_FUNCTIONS(CMailSender)

public:
    explicit CMailSender(LogicContext &context);
    ~CMailSender() override;
    CMailSender(const CMailSender &) = delete;
    CMailSender &operator=(const CMailSender &) = delete;

    int SendMail(QWidget *window, const QString &recipientName, const QString &recipientAddress,
        const QString &subject, const QString &body, const QStringList &attachments) override;

private:
    // The composer of the user's settings; none (the user told why) when the
    // mail server's password cannot be read.
    std::unique_ptr<Mail::IMailComposer> Composer(QWidget *window);
    Secrets::ISecretStore &SecretStore();

    LogicContext &m_context;
    std::unique_ptr<Secrets::ISecretStore> m_pKeyring; // made when first needed
};
