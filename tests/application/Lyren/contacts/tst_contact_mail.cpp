// Mail from the program: what the user's mail program receives (through a
// stand-in xdg-email), the stamps in today's notes that only a sent mail
// leaves, the questionnaire attached, the call stamp, feedback with and
// without a mail program, and direct sending to a mail server on localhost.
#include "ContactsTestUtil.h"

#include "platform/mail/SmtpTestServer.h"

#include "mail/MailSettings.h"
#include "support/FakeXdgEmail.h"
#include "support/MemorySecretStore.h"

#include <QtCore/QSettings>
#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

using namespace ContactsTest;
using TestSupport::FakeXdgEmail;
using TestSupport::NoXdgEmail;

namespace {

const QString Footer = QStringLiteral("Green Practice\nMain St 1");

class ContactMail : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        ASSERT_TRUE(practice.Open());
    }
    void TearDown() override { QSettings().clear(); }

    QString QuestionnairePath() const
    {
        return practice.hub->GetLogicFolders()->GetPatientFolder() + CLogicEmails::QuestionnaireFileName();
    }

    Practice practice;
};

QString QueryValue(const QString &url, const QString &name)
{
    return QUrlQuery(QUrl(url).query(QUrl::FullyEncoded)).queryItemValue(name, QUrl::FullyDecoded);
}

} // namespace

TEST_F(ContactMail, TheLinkMailsTheCurrentAddressAndOnlyAConfirmedMailIsStamped)
{
    FakeXdgEmail xdg;
    // Nothing to mail without a current address.
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 0);
    EXPECT_FALSE(xdg.Ran());

    practice.Emails().Add(QStringLiteral("anna@x.example"));
    practice.prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 0);
    // The composer received exactly the recipient and the office's signature.
    EXPECT_EQ(
        xdg.Arguments(), (QStringList { "--utf8", "--body", "\n\n" + Footer, "Anna Pop <anna@x.example>" }));
    EXPECT_EQ(practice.prompts.LastText(),
        QStringLiteral(
            "Was the message to anna@x.example sent?\n\nAnswer Yes once your mail program has sent it, "
            "or No if it was not sent."));
    EXPECT_TRUE(practice.Stamps().isEmpty());

    practice.prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 1);
    EXPECT_EQ(practice.Stamps(), QStringList { "<<Email to: anna@x.example at HH:MM>>" });

    // The stamp ends today's consultation, after its separator, and is saved
    // with the notes.
    const QString text = practice.NotesText();
    EXPECT_TRUE(text.endsWith(QStringLiteral(">>")));
    EXPECT_LT(text.lastIndexOf(QChar(0xFFFC)), text.indexOf(QStringLiteral("<<Email to:")));
    ASSERT_EQ(practice.Send(CommandCode::SavePatient), 1);
    ASSERT_EQ(practice.GoTo(practice.ids[1]), 1);
    EXPECT_TRUE(practice.Stamps().isEmpty());
    ASSERT_EQ(practice.GoTo(practice.ids[0]), 1);
    EXPECT_EQ(practice.Stamps(), QStringList { "<<Email to: anna@x.example at HH:MM>>" });
}

TEST_F(ContactMail, LongNamesAndAddressesReachTheComposerWhole)
{
    FakeXdgEmail xdg;
    const QString local = QString(120, QLatin1Char('a'));
    const QString address = local + QStringLiteral("@x.example");
    practice.Emails().Add(address);
    practice.prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(practice.Send(CommandCode::MailTo), 1);
    EXPECT_EQ(xdg.Arguments().last(), QStringLiteral("Anna Pop <%1>").arg(address));
    EXPECT_EQ(practice.Stamps(), QStringList { QStringLiteral("<<Email to: %1 at HH:MM>>").arg(address) });
}

TEST_F(ContactMail, TheQuestionnaireGoesAsAttachmentAndAMissingOneIsToldNotStamped)
{
    FakeXdgEmail xdg;
    // Without a current address the person is told, and nothing is composed.
    practice.menus.QueueChoice(QStringLiteral("Email questionnaire"));
    EXPECT_EQ(practice.Send(CommandCode::EmailChoice), 0);
    EXPECT_EQ(practice.prompts.LastText(),
        QStringLiteral("The patient has no current e-mail address. Add one on the Address tab first."));
    EXPECT_FALSE(xdg.Ran());

    practice.Emails().Add(QStringLiteral("anna@x.example"));
    practice.menus.QueueChoice(QStringLiteral("Email questionnaire"));
    EXPECT_EQ(practice.Send(CommandCode::EmailChoice), 0);
    EXPECT_EQ(practice.prompts.LastText(),
        QStringLiteral("The attachment \"%1\" cannot be read.").arg(QuestionnairePath()));
    EXPECT_FALSE(xdg.Ran());
    EXPECT_TRUE(practice.Stamps().isEmpty());

    QFile file(QuestionnairePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 Questions}");
    file.close();
    practice.menus.QueueChoice(QStringLiteral("Email questionnaire"));
    practice.prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_EQ(practice.Send(CommandCode::EmailChoice), 1);
    EXPECT_EQ(xdg.Arguments(),
        (QStringList { "--utf8", "--attach", QuestionnairePath(), "--body", "\n\n" + Footer,
            "Anna Pop <anna@x.example>" }));
    EXPECT_EQ(practice.Stamps(), QStringList { "<<Questionnaire emailed to: anna@x.example at HH:MM>>" });
}

TEST_F(ContactMail, PressingThePhoneLinkStampsTheCallReleasingItDoesNot)
{
    QObject link;
    link.setProperty("checked", true);
    EXPECT_EQ(practice.Send(CommandCode::CallPhone, &link), 0); // no number
    practice.Phones().Add(QStringLiteral("0721 000 111"));
    EXPECT_EQ(practice.Send(CommandCode::CallPhone, &link), 1);
    link.setProperty("checked", false);
    EXPECT_EQ(practice.Send(CommandCode::CallPhone, &link), 0);
    EXPECT_EQ(practice.Stamps(), QStringList { "<<Call to 0721 000 111 initiated by office at HH:MM>>" });
}

TEST_F(ContactMail, FeedbackGoesToTheConfiguredSupportAddressWithOrWithoutAMailProgram)
{
    const QString body
        = QStringLiteral("We would love to hear from you!\nSend us your thoughts and we will get "
                         "back to you as soon as possible.\n\nVerdanta team");
    {
        // Without xdg-email the mailto: address goes to the shell, whole.
        NoXdgEmail none;
        practice.prompts.QueueAnswer(Desktop::Answer::Yes);
        EXPECT_EQ(practice.hub->SendFeedback(), 1);
        ASSERT_EQ(practice.shell.Launches().size(), 1U);
        const QString url = practice.shell.Launches().front().target;
        EXPECT_TRUE(url.startsWith(QStringLiteral("mailto:support@verdanta.example?"))) << url.toStdString();
        EXPECT_EQ(QueryValue(url, QStringLiteral("subject")), QStringLiteral("Feedback"));
        EXPECT_EQ(
            QueryValue(url, QStringLiteral("body")).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
            body + "\n\n" + Footer);
    }
    {
        QSettings settings;
        settings.setValue(QStringLiteral("Feedback/SupportAddress"), QStringLiteral("help@support.example"));
        settings.setValue(QStringLiteral("Feedback/Signature"), QStringLiteral("The team"));
    }
    FakeXdgEmail xdg;
    practice.prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(practice.hub->SendFeedback(), 0);
    QString configured = body;
    configured.replace(QStringLiteral("Verdanta team"), QStringLiteral("The team"));
    EXPECT_EQ(xdg.Arguments(),
        (QStringList { "--utf8", "--subject", "Feedback", "--body", configured + "\n\n" + Footer,
            "Support <help@support.example>" }));
}

TEST_F(ContactMail, DirectSendingReportsWhatTheServerSaid)
{
    SmtpTestServer server;
    Mail::MailSettings mail;
    mail.method = Mail::SendingMethod::Smtp;
    mail.smtp.server = QStringLiteral("127.0.0.1");
    mail.smtp.port = server.Port();
    mail.smtp.tls = Mail::TlsMode::None;
    mail.smtp.user = QStringLiteral("office");
    mail.smtp.senderAddress = QStringLiteral("office@green.example");
    mail.smtp.timeoutSeconds = 10;
    {
        QSettings settings;
        Mail::WriteMailSettings(settings, mail);
    }
    TestSupport::MemorySecretStore keyring;
    practice.hub->Services().Provide<Secrets::ISecretStore>(&keyring);
    practice.Emails().Add(QStringLiteral("anna@x.example"));

    // No password in the keyring: told, not sent, not stamped.
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 0);
    EXPECT_EQ(practice.prompts.LastText(),
        QStringLiteral(
            "The mail could not be sent. No password for the mail server is kept in the keyring."));
    EXPECT_EQ(server.Connections(), 0);

    ASSERT_TRUE(
        keyring.Write(Mail::SmtpSecretService(), Mail::SmtpSecretKey(mail.smtp), QStringLiteral("s3cret"))
            .IsOk());
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 1);
    EXPECT_EQ(server.Recipients(), QList<QByteArray> { "<anna@x.example>" });
    EXPECT_EQ(server.AuthPassword(), "s3cret");
    EXPECT_TRUE(server.Message().contains("Main St 1"));
    EXPECT_EQ(practice.Stamps(), QStringList { "<<Email to: anna@x.example at HH:MM>>" });

    // A server that refuses the message: the reason is told and nothing stamped.
    SmtpTestServer refusing(SmtpTestServer::Behaviour::RefuseData);
    mail.smtp.port = refusing.Port();
    {
        QSettings settings;
        Mail::WriteMailSettings(settings, mail);
    }
    const int prompts = practice.prompts.Count();
    EXPECT_EQ(practice.Send(CommandCode::MailTo), 0);
    EXPECT_EQ(practice.prompts.Count(), prompts + 1);
    EXPECT_EQ(practice.Stamps().size(), 1);
    practice.hub->Services().Withdraw<Secrets::ISecretStore>(&keyring);
}
