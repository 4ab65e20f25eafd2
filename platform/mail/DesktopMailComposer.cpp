#include "mail/DesktopMailComposer.h"

#include "mail/Mailto.h"

#include "desktop/Prompts.h"
#include "desktop/Shell.h"

#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTimer>

#include <memory>

namespace Mail {

namespace {

// Line breaks, tabs and other control characters have no place in a name or
// address on a command line; they become spaces.
QString singleLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line.trimmed();
}

bool needsQuoting(const QString &name)
{
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    if (name.startsWith(QLatin1Char('-')))
        return true;
    for (const QChar c : name) {
        if (specials.contains(c))
            return true;
    }
    return false;
}

// xdg-email encodes its --subject, --body and recipient texts after passing
// them through the shell's echo, which (with dash as /bin/sh) turns
// backslash sequences into other characters and cuts the text at "\c", and
// prints nothing for a lone "-n". Such texts go in a mailto: address instead.
bool survivesShellEcho(const QString &text)
{
    return !text.contains(QLatin1Char('\\')) && text != QStringLiteral("-n");
}

} // namespace

QString DesktopMailComposer::RecipientText(const QString &name, const QString &address)
{
    const QString mailbox = singleLine(address);
    const QString display = singleLine(name);
    if (display.isEmpty())
        // A bare address that begins with "-" would read as an option.
        return mailbox.startsWith(QLatin1Char('-')) ? QLatin1Char('<') + mailbox + QLatin1Char('>') : mailbox;
    if (!needsQuoting(display))
        return display + QStringLiteral(" <") + mailbox + QLatin1Char('>');
    QString quoted = display;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + quoted + QStringLiteral("\" <") + mailbox + QLatin1Char('>');
}

QStringList DesktopMailComposer::XdgEmailArguments(const MailMessage &message)
{
    // The texts are handed over as UTF-8 whatever the locale.
    QStringList arguments { QStringLiteral("--utf8") };
    for (const QString &path : message.attachments)
        arguments << QStringLiteral("--attach") << QFileInfo(path).absoluteFilePath();
    const QString recipient = message.recipientAddress.trimmed().isEmpty()
        ? QString()
        : RecipientText(message.recipientName, message.recipientAddress);
    if (!survivesShellEcho(message.subject) || !survivesShellEcho(message.body)
        || !survivesShellEcho(recipient)) {
        // xdg-email takes a mailto: address as it stands.
        arguments << MailtoUrl(message.recipientAddress, message.subject, message.body);
        return arguments;
    }
    // xdg-email refuses an empty --subject or --body, so empty ones are left out.
    if (!message.subject.isEmpty())
        arguments << QStringLiteral("--subject") << message.subject;
    if (!message.body.isEmpty())
        arguments << QStringLiteral("--body") << message.body;
    if (!recipient.isEmpty())
        arguments << recipient;
    return arguments;
}

SendResult DesktopMailComposer::SendMail(const MailMessage &message)
{
    for (const QString &path : message.attachments) {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable())
            return SendResult::Failed(tr("The attachment \"%1\" cannot be read.").arg(path));
    }
    if (ComposeWithXdgEmail(message))
        return AskWhetherSent(message, false);
    return ComposeWithMailto(message);
}

bool DesktopMailComposer::ComposeWithXdgEmail(const MailMessage &message) const
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return false;
    // Not parented and not deleted while it runs: a mail program that keeps
    // xdg-email waiting must outlive this call, and a QProcess kills its
    // process when it is destroyed.
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(XdgEmailArguments(message));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted())
        return false;

    QEventLoop loop;
    QObject::connect(process.get(), &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(m_launchWait, &loop, &QEventLoop::quit);
    // Paint, but take no input while the compose window opens.
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (process->state() != QProcess::NotRunning) {
        QProcess *running = process.release();
        QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
        return true;
    }
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

SendResult DesktopMailComposer::ComposeWithMailto(const MailMessage &message) const
{
    const QString url = MailtoUrl(message.recipientAddress, message.subject, message.body);
    if (!Desktop::Shell().Open(url, QStringLiteral("open")))
        return SendResult::Failed(
            tr("No mail program could be opened. Set up a mail program on this computer, or direct "
               "sending in the mail settings."));
    for (const QString &path : message.attachments)
        Desktop::Shell().Open(QFileInfo(path).absoluteFilePath(), QStringLiteral("open"));
    return AskWhetherSent(message, !message.attachments.isEmpty());
}

SendResult DesktopMailComposer::AskWhetherSent(const MailMessage &message, bool attachByHand) const
{
    QString text;
    if (attachByHand)
        text = tr("Your mail program could not be handed the attachments; they have been opened so that "
                  "you can attach them by hand.")
            + QStringLiteral("\n\n");
    const QString recipient = singleLine(message.recipientAddress);
    text += recipient.isEmpty() ? tr("Was the message sent?")
                                : tr("Was the message to %1 sent?").arg(recipient);
    text += QStringLiteral("\n\n")
        + tr("Answer Yes once your mail program has sent it, or No if it was not sent.");
    const Desktop::Answer answer = Desktop::Prompts().Show(
        nullptr, text, Desktop::Buttons::YesNo, Desktop::Icon::Question, tr("Mail"));
    return answer == Desktop::Answer::Yes ? SendResult::Sent() : SendResult::NotSent();
}

} // namespace Mail
