// The message as composers receive it, composing in the user's mail program
// through a stand-in xdg-email, the mailto: fall-back through the shell, and
// the plausibility check of typed addresses.
#include "mail/AddressCheck.h"
#include "mail/DesktopMailComposer.h"
#include "mail/MailSettings.h"
#include "mail/Mailto.h"

#include "support/FakeXdgEmail.h"
#include "support/ScriptedDesktop.h"
#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

#include <gtest/gtest.h>

using namespace Mail;
using TestSupport::FakeXdgEmail;
using TestSupport::NoXdgEmail;

namespace {

const QString kAwkwardText
    = QStringLiteral("Dose & timing? #3 at 50% + more\nSecond line\r\nÜbung «fin» 日本 🌿");

QString queryValue(const QString &url, const QString &name)
{
    return QUrlQuery(QUrl(url).query(QUrl::FullyEncoded)).queryItemValue(name, QUrl::FullyDecoded);
}

QString crlf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace

TEST(MailMessage, OfficeDataMakeTheSenderAndAppendTheFooter)
{
    const QDateTime now(QDate(2024, 3, 5), QTime(14, 7));
    const MailMessage withOffice
        = ComposeMessage(QStringLiteral("Ana Pop"), QStringLiteral("ana@example.org"),
            QStringLiteral("Hello"), QStringLiteral("Text"), { QStringLiteral("/a/b.rtf") },
            OfficeIdentity { QStringLiteral("Green Practice"), QStringLiteral("office@example.org"),
                QStringLiteral("Green Practice\nMain St 1") },
            now);
    EXPECT_EQ(withOffice.body, QStringLiteral("Text\n\nGreen Practice\nMain St 1"));
    EXPECT_EQ(withOffice.senderName, QStringLiteral("Green Practice"));
    EXPECT_EQ(withOffice.senderAddress, QStringLiteral("office@example.org"));
    EXPECT_EQ(withOffice.date, now);
    EXPECT_EQ(withOffice.attachments, QStringList { QStringLiteral("/a/b.rtf") });

    // An office without address names no sender; without footer nothing is appended.
    const MailMessage bare
        = ComposeMessage(QString(), QStringLiteral("a@b.org"), QString(), QStringLiteral("Text"), {},
            OfficeIdentity { QStringLiteral("Green Practice"), QString(), QString() }, now);
    EXPECT_EQ(bare.body, QStringLiteral("Text"));
    EXPECT_TRUE(bare.senderName.isEmpty());
    EXPECT_TRUE(bare.senderAddress.isEmpty());
    EXPECT_EQ(
        ComposeMessage(QString(), QStringLiteral("a@b.org"), QString(), QStringLiteral("T"), {}, std::nullopt)
            .body,
        QStringLiteral("T"));
}

TEST(DesktopMail, XdgEmailReceivesRecipientSubjectBodyAndAttachments)
{
    FakeXdgEmail xdg;
    const QString first = xdg.MakeFile(QStringLiteral("DynamicQuestionnaire.rtf"));
    const QString second = xdg.MakeFile(QStringLiteral("invoice 2024.pdf"));
    Desktop::ScriptedPrompts prompts;
    prompts.QueueAnswer(Desktop::Answer::Yes);
    Desktop::ScriptedShell shell;

    const MailMessage message = ComposeMessage(QStringLiteral("Ana Pop"), QStringLiteral("ana@example.org"),
        QStringLiteral("Your questionnaire"), QStringLiteral("Dear Ana,\nplease fill it in."),
        { first, second },
        OfficeIdentity {
            QStringLiteral("Office"), QStringLiteral("office@example.org"), QStringLiteral("Dr. X") });
    DesktopMailComposer composer;
    EXPECT_TRUE(composer.SendMail(message).IsSent());

    EXPECT_EQ(xdg.Arguments(),
        (QStringList { QStringLiteral("--utf8"), QStringLiteral("--attach"), first,
            QStringLiteral("--attach"), second, QStringLiteral("--subject"),
            QStringLiteral("Your questionnaire"), QStringLiteral("--body"),
            QStringLiteral("Dear Ana,\nplease fill it in.\n\nDr. X"),
            QStringLiteral("Ana Pop <ana@example.org>") }));
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("ana@example.org")));
    EXPECT_TRUE(shell.Launches().empty());
}

TEST(DesktopMail, AnswerNoIsNotSentAndMissingAttachmentFails)
{
    FakeXdgEmail xdg;
    Desktop::ScriptedPrompts prompts;
    prompts.QueueAnswer(Desktop::Answer::No);
    DesktopMailComposer composer;
    // An empty subject and body (a mail to the current address) are left out:
    // xdg-email refuses empty ones.
    const SendResult result = composer.SendMail(ComposeMessage(
        QStringLiteral("Ana Pop"), QStringLiteral("ana@example.org"), {}, {}, {}, std::nullopt));
    EXPECT_EQ(result.outcome, SendOutcome::NotSent);
    EXPECT_EQ(xdg.Arguments(),
        (QStringList { QStringLiteral("--utf8"), QStringLiteral("Ana Pop <ana@example.org>") }));

    const SendResult missing = composer.SendMail(ComposeMessage(QString(), QStringLiteral("a@b.org"), {}, {},
        { xdg.Folder() + QStringLiteral("/gone.rtf") }, std::nullopt));
    EXPECT_EQ(missing.outcome, SendOutcome::Failed);
    EXPECT_TRUE(missing.reason.contains(QStringLiteral("gone.rtf")));
    EXPECT_EQ(prompts.Count(), 1); // no question for a mail that never opened
}

TEST(DesktopMail, AnXdgEmailThatKeepsRunningIsTakenAsOpenAndLeftToFinish)
{
    FakeXdgEmail xdg(0, 1);
    Desktop::ScriptedPrompts prompts;
    prompts.QueueAnswer(Desktop::Answer::Yes);
    DesktopMailComposer composer;
    composer.SetLaunchWait(std::chrono::milliseconds(200));
    EXPECT_TRUE(composer
                    .SendMail(ComposeMessage(
                        {}, QStringLiteral("a@b.org"), QStringLiteral("S"), {}, {}, std::nullopt))
                    .IsSent());
    EXPECT_FALSE(xdg.Finished());
    EXPECT_TRUE(TestSupport::WaitFor([&] { return xdg.Finished(); }, 10000)); // not killed
}

TEST(DesktopMail, LongAndAwkwardNamesAndPathsArePassedWhole)
{
    FakeXdgEmail xdg;
    Desktop::ScriptedPrompts prompts;
    const QString longName = QStringLiteral("Maria-Magdalena ") + QString(150, QLatin1Char('x'));
    const QString longAddress = QString(120, QLatin1Char('m')) + QStringLiteral("@")
        + QString(100, QLatin1Char('d')) + QStringLiteral(".example.org");
    const QString longPath
        = xdg.MakeFile(QString(40, QLatin1Char('f')) + QLatin1Char('/') + QString(40, QLatin1Char('g'))
            + QLatin1Char('/') + QString(120, QLatin1Char('h')) + QStringLiteral(" é.rtf"));
    ASSERT_GT(longPath.size(), 200);
    DesktopMailComposer composer;
    composer.SendMail(ComposeMessage(
        longName, longAddress, QStringLiteral("S"), QStringLiteral("B"), { longPath }, std::nullopt));
    const QStringList arguments = xdg.Arguments();
    EXPECT_TRUE(arguments.contains(longPath));
    EXPECT_EQ(arguments.last(), longName + QStringLiteral(" <") + longAddress + QLatin1Char('>'));

    // Names that mail syntax would split are quoted; a leading "-" cannot pass as an option.
    EXPECT_EQ(DesktopMailComposer::RecipientText(QStringLiteral("Pop, \"Ana\""), QStringLiteral("a@b.org")),
        QStringLiteral("\"Pop, \\\"Ana\\\"\" <a@b.org>"));
    EXPECT_EQ(DesktopMailComposer::RecipientText(QStringLiteral("-x"), QStringLiteral("a@b.org")),
        QStringLiteral("\"-x\" <a@b.org>"));
    EXPECT_EQ(DesktopMailComposer::RecipientText(QString(), QStringLiteral("-a@b.org")),
        QStringLiteral("<-a@b.org>"));
    EXPECT_EQ(DesktopMailComposer::RecipientText(QStringLiteral("Ana\nPop"), QStringLiteral("a@b.org")),
        QStringLiteral("Ana Pop <a@b.org>"));
}

TEST(DesktopMail, TextsTheShellEchoWouldMangleGoAsOneMailtoAddress)
{
    FakeXdgEmail xdg;
    Desktop::ScriptedPrompts prompts;
    const QString subject = QStringLiteral("Path C:\\new\\temp");
    const QString body = QStringLiteral("Line \\c cut here?\nand & more");
    DesktopMailComposer composer;
    composer.SendMail(ComposeMessage({}, QStringLiteral("a@b.org"), subject, body, {}, std::nullopt));
    const QStringList arguments = xdg.Arguments();
    ASSERT_EQ(arguments.size(), 2);
    ASSERT_TRUE(arguments.last().startsWith(QStringLiteral("mailto:a@b.org?")));
    EXPECT_EQ(queryValue(arguments.last(), QStringLiteral("subject")), subject);
    EXPECT_EQ(queryValue(arguments.last(), QStringLiteral("body")), crlf(body));
}

TEST(DesktopMail, MailtoFallBackWhenXdgEmailIsMissingOrFails)
{
    TestSupport::TemporaryFolder files;
    files.writeFile(QStringLiteral("a.rtf"), "x");
    const QString attachment = files.filePath(QStringLiteral("a.rtf"));
    const MailMessage message
        = ComposeMessage(QStringLiteral("Support"), QStringLiteral("support@example.org"),
            QStringLiteral("Feedback & ideas? #1"), kAwkwardText, { attachment }, std::nullopt);

    for (const bool installed : { false, true }) {
        SCOPED_TRACE(installed ? "xdg-email exits 3" : "no xdg-email");
        std::unique_ptr<FakeXdgEmail> failing = installed ? std::make_unique<FakeXdgEmail>(3) : nullptr;
        std::unique_ptr<NoXdgEmail> missing = installed ? nullptr : std::make_unique<NoXdgEmail>();
        Desktop::ScriptedPrompts prompts;
        prompts.QueueAnswer(Desktop::Answer::Yes);
        Desktop::ScriptedShell shell;
        DesktopMailComposer composer;
        EXPECT_TRUE(composer.SendMail(message).IsSent());
        EXPECT_TRUE(!failing || failing->Ran());

        ASSERT_EQ(shell.Launches().size(), 2u);
        const QString url = shell.Launches()[0].target;
        EXPECT_EQ(shell.Launches()[0].verb, QStringLiteral("open"));
        EXPECT_EQ(shell.Launches()[1].target, attachment); // to attach by hand
        EXPECT_TRUE(url.startsWith(QStringLiteral("mailto:support@example.org?subject=")));
        EXPECT_EQ(queryValue(url, QStringLiteral("subject")), message.subject);
        EXPECT_EQ(queryValue(url, QStringLiteral("body")), crlf(kAwkwardText));
        EXPECT_EQ(QUrlQuery(QUrl(url)).queryItems().size(), 2);
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("by hand")));
    }

    // When not even the shell can open the address, the mail failed and nothing is asked.
    NoXdgEmail missing;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    shell.SetResult(false);
    const SendResult result = DesktopMailComposer().SendMail(message);
    EXPECT_EQ(result.outcome, SendOutcome::Failed);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_EQ(shell.Launches().size(), 1u);
    EXPECT_EQ(prompts.Count(), 0);
}

TEST(DesktopMail, MailtoEncodingKeepsEveryCharacter)
{
    const QString url = MailtoUrl(
        QStringLiteral("a+b@example.org"), QStringLiteral("a&b=c?d#e%f+g h"), QStringLiteral("x\ry\nz\r\n"));
    EXPECT_EQ(url,
        QStringLiteral(
            "mailto:a%2Bb@example.org?subject=a%26b%3Dc%3Fd%23e%25f%2Bg%20h&body=x%0D%0Ay%0D%0Az%0D%0A"));
    // The shell's URL parsing leaves it as it is.
    EXPECT_EQ(QUrl(url).toString(QUrl::FullyEncoded), url);
    EXPECT_EQ(MailtoUrl(QStringLiteral("a@b.org"), {}, QStringLiteral("B")),
        QStringLiteral("mailto:a@b.org?body=B"));
    EXPECT_EQ(MailtoUrl(QStringLiteral("a@b.org"), {}, {}), QStringLiteral("mailto:a@b.org"));
}

TEST(MailAddress, ImplausibleFormsGetAWarning)
{
    for (const char *plausible : { "ana@example.org", "ana.pop+notes@mail.example.co.uk", "o'neil@example.ie",
             "jörg@müller.de", "x@a-b.example" }) {
        EXPECT_EQ(AddressWarning(QString::fromUtf8(plausible)), QString()) << plausible;
    }
    for (const char *implausible :
        { "", "ana", "ana@", "@example.org", "ana@example", "ana@@example.org", "a@b@example.org",
            "ana pop@example.org", " ana@example.org", "ana@example.org;bo@example.org",
            "Ana <ana@example.org>", "mailto:ana@example.org", ".ana@example.org", "an..a@example.org",
            "ana@example..org", "ana@-example.org", "ana@example.c", "ana@10.0.0.1", "ana(x)@example.org" }) {
        EXPECT_NE(AddressWarning(QString::fromUtf8(implausible)), QString()) << implausible;
    }
    EXPECT_NE(AddressWarning(QString(65, QLatin1Char('a')) + QStringLiteral("@example.org")), QString());
}

TEST(MailSettings, RoundTripWithoutPasswordAndChooseTheComposer)
{
    TestSupport::TemporaryFolder folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    MailSettings mail;
    mail.method = SendingMethod::Smtp;
    mail.smtp.server = QStringLiteral("smtp.example.org");
    mail.smtp.user = QStringLiteral("office");
    mail.smtp.tls = TlsMode::Implicit;
    mail.smtp.senderAddress = QStringLiteral("office@example.org");
    {
        QSettings settings(path, QSettings::IniFormat);
        WriteMailSettings(settings, mail);
    }
    QSettings settings(path, QSettings::IniFormat);
    const MailSettings read = ReadMailSettings(settings);
    EXPECT_EQ(read.method, SendingMethod::Smtp);
    EXPECT_EQ(read.smtp.server, mail.smtp.server);
    EXPECT_EQ(read.smtp.tls, TlsMode::Implicit);
    EXPECT_EQ(read.smtp.EffectivePort(), 465);
    EXPECT_EQ(SmtpSecretKey(read.smtp), QStringLiteral("office@smtp.example.org"));
    EXPECT_NE(
        dynamic_cast<SmtpMailComposer *>(CreateMailComposer(read, QStringLiteral("pw")).get()), nullptr);
    EXPECT_NE(dynamic_cast<DesktopMailComposer *>(CreateMailComposer(MailSettings {}).get()), nullptr);

    QSettings odd(folder.filePath(QStringLiteral("odd.ini")), QSettings::IniFormat);
    odd.setValue(QStringLiteral("Mail/SmtpTls"), QStringLiteral("whatever"));
    EXPECT_EQ(ReadMailSettings(odd).smtp.tls, TlsMode::StartTls); // unknown: never weaker
}
