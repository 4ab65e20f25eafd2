// Direct sending over SMTP against a small server of the tests on localhost:
// the envelope, the headers, the body and attachments as a mail program reads
// them back, and refusals that must never count as sent.
#include "SmtpTestServer.h"

#include "mail/SmtpMailComposer.h"
#include "support/TestSupport.h"

#include <QtCore/QHash>
#include <QtCore/QRegularExpression>
#include <QtNetwork/QTcpServer>

#include <gtest/gtest.h>

using namespace Mail;

namespace {

// Reading a mail back as a mail program would: enough MIME to check ours.
QByteArray unfold(QByteArray header)
{
    return header.replace("\r\n ", " ").replace("\r\n\t", " ");
}

QHash<QByteArray, QByteArray> headersOf(const QByteArray &head)
{
    QHash<QByteArray, QByteArray> headers;
    for (const QByteArray &line : unfold(head).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
    }
    return headers;
}

QString decodeWords(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?=(\\s+(?==\\?))?"));
    QString text = QString::fromLatin1(value);
    QByteArray utf8;
    qsizetype last = 0;
    for (auto match = word.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        utf8 += text.mid(last, m.capturedStart() - last).toLatin1();
        utf8 += QByteArray::fromBase64(m.captured(1).toLatin1());
        last = m.capturedEnd();
    }
    utf8 += text.mid(last).toLatin1();
    return QString::fromUtf8(utf8);
}

QByteArray decodeQuotedPrintable(QByteArray text)
{
    text.replace("=\r\n", "");
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '=' && i + 2 < text.size()) {
            out += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// filename*0*=UTF-8''..;filename*1*=.. or filename*=UTF-8''.. or filename="..".
QString parameterValue(const QByteArray &header, const QByteArray &name)
{
    const QRegularExpression quoted(
        QStringLiteral("\\b%1=\"((?:[^\"\\\\]|\\\\.)*)\"").arg(QString::fromLatin1(name)));
    const QString text = QString::fromLatin1(header);
    if (const auto m = quoted.match(text); m.hasMatch())
        return m.captured(1)
            .replace(QStringLiteral("\\\""), QStringLiteral("\""))
            .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    const QRegularExpression extended(
        QStringLiteral("\\b%1\\*(?:\\d+\\*)?=([^;\\s]*)").arg(QString::fromLatin1(name)));
    QByteArray encoded;
    for (auto match = extended.globalMatch(text); match.hasNext();)
        encoded += match.next().captured(1).toLatin1();
    encoded.replace("UTF-8''", "");
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
}

struct Part
{
    QHash<QByteArray, QByteArray> headers;
    QByteArray body;
};

Part splitPart(const QByteArray &text)
{
    const qsizetype gap = text.indexOf("\r\n\r\n");
    return { headersOf(text.left(gap)), text.mid(gap + 4) };
}

QList<Part> multipartParts(const Part &message)
{
    const QString boundary = parameterValue(message.headers.value("content-type"), "boundary");
    QList<Part> parts;
    const QList<QByteArray> pieces = message.body.split('\n');
    QByteArray current;
    bool inside = false;
    for (const QByteArray &piece : pieces) {
        const QByteArray line = piece.endsWith('\r') ? piece.chopped(1) : piece;
        if (line == "--" + boundary.toLatin1() || line == "--" + boundary.toLatin1() + "--") {
            if (inside)
                parts << splitPart(current);
            current.clear();
            inside = true;
            continue;
        }
        if (inside)
            current += piece + '\n';
    }
    return parts;
}

QString crlf(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

SmtpSettings localSettings(quint16 port)
{
    SmtpSettings settings;
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.tls = TlsMode::None;
    settings.user = QStringLiteral("office");
    settings.senderAddress = QStringLiteral("office@practice.example");
    settings.senderName = QStringLiteral("Practice");
    settings.timeoutSeconds = 10;
    return settings;
}

MailMessage simpleMessage()
{
    MailMessage message;
    message.recipientName = QStringLiteral("Ana Pop");
    message.recipientAddress = QStringLiteral("ana@example.org");
    message.subject = QStringLiteral("Order");
    message.body = QStringLiteral("Please deliver.");
    message.date = QDateTime::currentDateTime();
    return message;
}

} // namespace

TEST(SmtpMail, TheServerReceivesEnvelopeHeadersBodyAndAttachments)
{
    SmtpTestServer server;
    TestSupport::TemporaryFolder files;
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary += static_cast<char>(i % 256);
    const QString attachmentName
        = QStringLiteral("Fragebogen für Ana – ") + QString(60, QLatin1Char('x')) + QStringLiteral(".rtf");
    ASSERT_TRUE(files.writeFile(attachmentName, binary));
    ASSERT_TRUE(files.writeFile(QStringLiteral("plain \"quoted\".txt"), "plain text\r\n"));

    MailMessage message = simpleMessage();
    message.recipientName = QStringLiteral("Ána Pöp, Jr.");
    message.subject = QStringLiteral(
        "Ihr Fragebogen – Übung & Tipps für die nächsten Wochen 🌿 (bitte bis Freitag zurück)");
    message.body
        = QStringLiteral(".starts with a dot\n..two dots\n.\nUmlaute: äöü ß, = sign, trailing space \n")
        + QString(200, QLatin1Char('y')) + QStringLiteral("\nlast line");
    message.attachments
        = { files.filePath(attachmentName), files.filePath(QStringLiteral("plain \"quoted\".txt")) };
    message.senderName = QStringLiteral("Grüne Praxis");
    message.senderAddress = QStringLiteral("info@gruene-praxis.example");

    SmtpMailComposer composer(localSettings(server.Port()), QStringLiteral("s3cret pass"));
    const SendResult result = composer.SendMail(message);
    ASSERT_TRUE(result.IsSent()) << result.reason.toStdString();

    EXPECT_EQ(server.AuthUser(), "office");
    EXPECT_EQ(server.AuthPassword(), "s3cret pass");
    EXPECT_EQ(server.MailFrom(), "<office@practice.example>");
    EXPECT_EQ(server.Recipients(), QList<QByteArray> { "<ana@example.org>" });

    const QByteArray mail = server.Message();
    for (const QByteArray &line : mail.split('\n'))
        EXPECT_LE(line.size(), 78) << line.toStdString();
    const Part whole = splitPart(mail);
    EXPECT_EQ(decodeWords(whole.headers.value("subject")), message.subject);
    EXPECT_EQ(
        decodeWords(whole.headers.value("from")), QStringLiteral("Grüne Praxis <office@practice.example>"));
    EXPECT_EQ(whole.headers.value("reply-to"), "<info@gruene-praxis.example>");
    EXPECT_EQ(decodeWords(whole.headers.value("to")), QStringLiteral("Ána Pöp, Jr. <ana@example.org>"));
    EXPECT_TRUE(whole.headers.value("message-id").endsWith("@practice.example>"));
    EXPECT_TRUE(
        QDateTime::fromString(QString::fromLatin1(whole.headers.value("date")), Qt::RFC2822Date).isValid());
    EXPECT_EQ(whole.headers.value("mime-version"), "1.0");

    const QList<Part> parts = multipartParts(whole);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[0].headers.value("content-type").contains("charset=UTF-8"));
    EXPECT_EQ(
        QString::fromUtf8(decodeQuotedPrintable(parts[0].body)), crlf(message.body) + QStringLiteral("\r\n"));
    EXPECT_EQ(parameterValue(parts[1].headers.value("content-disposition"), "filename"), attachmentName);
    EXPECT_EQ(parameterValue(parts[1].headers.value("content-type"), "name"), attachmentName);
    EXPECT_EQ(parts[1].headers.value("content-transfer-encoding"), "base64");
    EXPECT_EQ(QByteArray::fromBase64(parts[1].body), binary);
    EXPECT_EQ(parameterValue(parts[2].headers.value("content-disposition"), "filename"),
        QStringLiteral("plain \"quoted\".txt"));
    EXPECT_TRUE(parts[2].headers.value("content-type").startsWith("text/plain"));
    EXPECT_EQ(QByteArray::fromBase64(parts[2].body), "plain text\r\n");
}

TEST(SmtpMail, AMessageWithoutAttachmentsIsOnePlainPartAndHeadersCannotBeInjected)
{
    SmtpTestServer server;
    SmtpSettings settings = localSettings(server.Port());
    settings.user.clear(); // no log-in
    MailMessage message = simpleMessage();
    message.subject = QStringLiteral("Hello\r\nBcc: victim@example.org");
    message.recipientName = QStringLiteral("Ana\nX-Injected: yes");
    ASSERT_TRUE(SmtpMailComposer(settings, QString()).SendMail(message).IsSent());

    EXPECT_FALSE(server.Commands().contains("AUTH"));
    const Part whole = splitPart(server.Message());
    EXPECT_FALSE(whole.headers.contains("bcc"));
    EXPECT_FALSE(whole.headers.contains("x-injected"));
    EXPECT_FALSE(whole.headers.contains("reply-to"));
    EXPECT_EQ(whole.headers.value("subject"), "Hello  Bcc: victim@example.org");
    EXPECT_EQ(
        decodeWords(whole.headers.value("from")), QStringLiteral("\"Practice\" <office@practice.example>"));
    EXPECT_TRUE(whole.headers.value("content-type").startsWith("text/plain"));
    EXPECT_EQ(decodeQuotedPrintable(whole.body), "Please deliver.\r\n");
}

TEST(SmtpMail, RefusalsAndBrokenConnectionsAreFailuresWithAReason)
{
    {
        SmtpTestServer server(SmtpTestServer::Behaviour::RefuseRecipient);
        const SendResult result
            = SmtpMailComposer(localSettings(server.Port()), QStringLiteral("pw")).SendMail(simpleMessage());
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_TRUE(result.reason.contains(QStringLiteral("550"))) << result.reason.toStdString();
        EXPECT_TRUE(server.Message().isEmpty());
        EXPECT_FALSE(server.Commands().contains("DATA"));
    }
    {
        // Refused after the data: the server's answer to the message itself counts.
        SmtpTestServer server(SmtpTestServer::Behaviour::RefuseData);
        const SendResult result
            = SmtpMailComposer(localSettings(server.Port()), QStringLiteral("pw")).SendMail(simpleMessage());
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_TRUE(result.reason.contains(QStringLiteral("554"))) << result.reason.toStdString();
    }
    {
        SmtpTestServer server(SmtpTestServer::Behaviour::CloseDuringData);
        const SendResult result
            = SmtpMailComposer(localSettings(server.Port()), QStringLiteral("pw")).SendMail(simpleMessage());
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_FALSE(result.reason.isEmpty());
        EXPECT_TRUE(result.reason.contains(QStringLiteral("broke off"))) << result.reason.toStdString();
        EXPECT_TRUE(server.Commands().contains("DATA"));
    }
    {
        // A required STARTTLS that the server does not offer: nothing goes out in plain text.
        SmtpTestServer server;
        SmtpSettings settings = localSettings(server.Port());
        settings.tls = TlsMode::StartTls;
        const SendResult result = SmtpMailComposer(settings, QStringLiteral("pw")).SendMail(simpleMessage());
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_TRUE(result.reason.contains(QStringLiteral("STARTTLS"))) << result.reason.toStdString();
        EXPECT_TRUE(server.AuthPassword().isEmpty());
        EXPECT_TRUE(server.MailFrom().isEmpty());
    }
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const quint16 port = closed.serverPort();
        closed.close();
        const SendResult result = SmtpMailComposer(localSettings(port), QString()).SendMail(simpleMessage());
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_TRUE(result.reason.contains(QString::number(port))) << result.reason.toStdString();
    }
}

TEST(SmtpMail, EncryptedSessionsLogInOnlyOverTlsWithATrustedCertificate)
{
    using Tls = SmtpTestServer::Tls;
    for (const auto &[serverTls, clientTls] :
        { std::pair { Tls::StartTls, TlsMode::StartTls }, std::pair { Tls::Implicit, TlsMode::Implicit } }) {
        SCOPED_TRACE(clientTls == TlsMode::StartTls ? "STARTTLS" : "implicit TLS");
        SmtpTestServer server(SmtpTestServer::Behaviour::Accept, serverTls);
        SmtpSettings settings = localSettings(server.Port());
        settings.tls = clientTls;
        settings.trustedCertificates = SmtpTestServer::CertificateFile();
        const SendResult result = SmtpMailComposer(settings, QStringLiteral("pw")).SendMail(simpleMessage());
        ASSERT_TRUE(result.IsSent()) << result.reason.toStdString();
        EXPECT_TRUE(server.AuthEncrypted());
        EXPECT_EQ(server.AuthPassword(), "pw");
        EXPECT_TRUE(server.Message().contains("Please deliver."));

        // The same server with a certificate nobody vouches for: nothing is sent, no password shown.
        SmtpTestServer untrusted(SmtpTestServer::Behaviour::Accept, serverTls);
        settings = localSettings(untrusted.Port());
        settings.tls = clientTls;
        const SendResult refused = SmtpMailComposer(settings, QStringLiteral("pw")).SendMail(simpleMessage());
        EXPECT_EQ(refused.outcome, SendOutcome::Failed);
        EXPECT_TRUE(refused.reason.contains(QStringLiteral("certificate"))) << refused.reason.toStdString();
        EXPECT_TRUE(untrusted.AuthPassword().isEmpty());
        EXPECT_TRUE(untrusted.Message().isEmpty());
    }
}

TEST(SmtpMail, UnusableSettingsOrAttachmentsFailBeforeConnecting)
{
    SmtpTestServer server;
    const auto fails = [&](SmtpSettings settings, MailMessage message) {
        const SendResult result = SmtpMailComposer(settings, QString()).SendMail(message);
        EXPECT_EQ(result.outcome, SendOutcome::Failed);
        EXPECT_FALSE(result.reason.isEmpty());
    };
    SmtpSettings noSender = localSettings(server.Port());
    noSender.senderAddress.clear();
    fails(noSender, simpleMessage());
    SmtpSettings badServer = localSettings(server.Port());
    badServer.server = QStringLiteral("smtp.example.org/evil?x");
    fails(badServer, simpleMessage());
    MailMessage missingFile = simpleMessage();
    missingFile.attachments = { QStringLiteral("/nonexistent/questionnaire.rtf") };
    fails(localSettings(server.Port()), missingFile);
    MailMessage badRecipient = simpleMessage();
    badRecipient.recipientAddress = QStringLiteral("ana>\r\nRCPT TO:<x@y.org");
    fails(localSettings(server.Port()), badRecipient);
    EXPECT_EQ(server.Connections(), 0);
}
