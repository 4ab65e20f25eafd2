#include "mail/SmtpMailComposer.h"

#include "mail/MimeMessage.h"

#include <QtCore/QEventLoop>
#include <QtCore/QUrl>

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <thread>

namespace Mail {

namespace {

struct Upload
{
    const QByteArray *data = nullptr;
    qsizetype offset = 0;
};

size_t readChunk(char *buffer, size_t size, size_t count, void *user)
{
    auto *upload = static_cast<Upload *>(user);
    const size_t left = static_cast<size_t>(upload->data->size() - upload->offset);
    const size_t chunk = std::min(left, size * count);
    std::memcpy(buffer, upload->data->constData() + upload->offset, chunk);
    upload->offset += static_cast<qsizetype>(chunk);
    return chunk;
}

// The server's last refusal (a 4xx or 5xx reply), for telling the user why.
int noteServerReply(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    if (type != CURLINFO_HEADER_IN || size == 0)
        return 0;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
    if (line.startsWith('4') || line.startsWith('5'))
        *static_cast<QByteArray *>(user) = line;
    return 0;
}

struct Envelope
{
    QByteArray url;
    QByteArray from;
    QByteArray recipient;
    QByteArray mail;
};

struct Outcome
{
    CURLcode code = CURLE_OK;
    QString detail; // curl's own words
    QByteArray refusal; // the server's last 4xx/5xx reply
};

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using Recipients = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

Outcome transfer(const Envelope &envelope, const SmtpSettings &settings, const QString &password)
{
    Outcome outcome;
    Easy easy(curl_easy_init(), &curl_easy_cleanup);
    if (!easy) {
        outcome.code = CURLE_FAILED_INIT;
        return outcome;
    }
    CURL *curl = easy.get();
    char errors[CURL_ERROR_SIZE] = {};
    const QByteArray mailFrom = '<' + envelope.from + '>';
    const QByteArray user = settings.user.toUtf8();
    const QByteArray certificates = settings.trustedCertificates.toLocal8Bit();
    const QByteArray secret = password.toUtf8();
    Recipients recipients(
        curl_slist_append(nullptr, ('<' + envelope.recipient + '>').constData()), &curl_slist_free_all);
    Upload upload { &envelope.mail, 0 };
    const long timeout = std::max(1, settings.timeoutSeconds);

    curl_easy_setopt(curl, CURLOPT_URL, envelope.url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
        static_cast<long>(settings.tls == TlsMode::None ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.get());
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, secret.constData());
    }
    if (!certificates.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, certificates.constData());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readChunk);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(envelope.mail.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // feeds the reply callback; prints nothing
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &noteServerReply);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &outcome.refusal);

    outcome.code = curl_easy_perform(curl);
    outcome.detail = QString::fromUtf8(errors[0] != '\0' ? errors : curl_easy_strerror(outcome.code));
    return outcome;
}

void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

} // namespace

int SmtpSettings::EffectivePort() const
{
    if (port > 0)
        return port;
    switch (tls) {
    case TlsMode::None:
        return 25;
    case TlsMode::StartTls:
        return 587;
    case TlsMode::Implicit:
        return 465;
    }
    return 25;
}

SmtpMailComposer::SmtpMailComposer(SmtpSettings settings, QString password)
    : m_settings(std::move(settings))
    , m_password(std::move(password))
{
    initialiseCurlOnce();
}

SendResult SmtpMailComposer::SendMail(const MailMessage &message)
{
    const QString server = m_settings.server.trimmed();
    QUrl url;
    url.setScheme(m_settings.tls == TlsMode::Implicit ? QStringLiteral("smtps") : QStringLiteral("smtp"));
    url.setHost(server, QUrl::StrictMode);
    url.setPort(m_settings.EffectivePort());
    if (server.isEmpty() || !url.isValid() || url.host().isEmpty())
        return SendResult::Failed(
            tr("The mail server \"%1\" in the mail settings is not valid.").arg(server));

    MailMessage mail = message;
    mail.senderAddress = m_settings.senderAddress.trimmed().isEmpty() ? message.senderAddress.trimmed()
                                                                      : m_settings.senderAddress.trimmed();
    if (message.senderName.trimmed().isEmpty())
        mail.senderName = m_settings.senderName;
    if (mail.senderAddress.isEmpty())
        return SendResult::Failed(tr("No sender address is set in the mail settings."));
    if (message.recipientAddress.trimmed().isEmpty())
        return SendResult::Failed(tr("The message has no recipient address."));
    const QString replyTo
        = message.senderAddress.trimmed().compare(mail.senderAddress, Qt::CaseInsensitive) == 0
        ? QString()
        : message.senderAddress.trimmed();

    Envelope envelope;
    envelope.url = url.toEncoded();
    envelope.from = EnvelopeAddress(mail.senderAddress);
    envelope.recipient = EnvelopeAddress(mail.recipientAddress);

    // Building the message reads the attachments; it runs on the worker too.
    QString error;
    Outcome outcome;
    QEventLoop loop;
    std::thread worker([&] {
        if (BuildMimeMessage(mail, replyTo, &envelope.mail, &error))
            outcome = transfer(envelope, m_settings, m_password);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();

    if (!error.isEmpty())
        return SendResult::Failed(error);
    if (outcome.code == CURLE_OK)
        return SendResult::Sent();
    const QString refusal = QString::fromUtf8(outcome.refusal);
    switch (outcome.code) {
    case CURLE_USE_SSL_FAILED:
        return SendResult::Failed(
            tr("The mail server %1 offers no encrypted connection (STARTTLS); the message was not sent.")
                .arg(server));
    case CURLE_LOGIN_DENIED:
        return SendResult::Failed(tr("The mail server refused the user name or password. %1").arg(refusal));
    case CURLE_COULDNT_RESOLVE_HOST:
        return SendResult::Failed(tr("The mail server %1 cannot be found.").arg(server));
    case CURLE_COULDNT_CONNECT:
        return SendResult::Failed(tr("The mail server %1 cannot be reached on port %2.")
                                      .arg(server)
                                      .arg(m_settings.EffectivePort()));
    case CURLE_OPERATION_TIMEDOUT:
        return SendResult::Failed(tr("The mail server %1 did not answer in time.").arg(server));
    case CURLE_PEER_FAILED_VERIFICATION:
        return SendResult::Failed(
            tr("The certificate of the mail server %1 cannot be trusted: %2").arg(server, outcome.detail));
    default:
        break;
    }
    if (refusal.isEmpty()
        && (outcome.code == CURLE_RECV_ERROR || outcome.code == CURLE_SEND_ERROR
            || outcome.code == CURLE_GOT_NOTHING || outcome.code == CURLE_WEIRD_SERVER_REPLY))
        return SendResult::Failed(
            tr("The connection to the mail server %1 broke off before the server confirmed the message (%2).")
                .arg(server, outcome.detail));
    if (!refusal.isEmpty())
        return SendResult::Failed(tr("The mail server did not take the message: %1").arg(refusal));
    return SendResult::Failed(tr("The message could not be sent: %1").arg(outcome.detail));
}

} // namespace Mail
