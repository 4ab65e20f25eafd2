#include "SmtpTestServer.h"

#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtNetwork/QSslKey>
#include <QtNetwork/QSslSocket>

#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString SmtpTestServer::CertificateFile()
{
    return TestSupport::TestDataFolder() + QStringLiteral("/mail/test-server.crt");
}

SmtpTestServer::SmtpTestServer(Behaviour behaviour, Tls tls)
    : m_behaviour(behaviour)
    , m_tls(tls)
{
    if (m_tls != Tls::None) {
        m_tlsConfiguration = QSslConfiguration::defaultConfiguration();
        m_tlsConfiguration.setLocalCertificate(QSslCertificate(readFile(CertificateFile())));
        m_tlsConfiguration.setPrivateKey(QSslKey(
            readFile(TestSupport::TestDataFolder() + QStringLiteral("/mail/test-server.key")), QSsl::Rsa));
        m_tlsConfiguration.setPeerVerifyMode(QSslSocket::VerifyNone);
    }
    listen(QHostAddress::LocalHost);
}

void SmtpTestServer::incomingConnection(qintptr descriptor)
{
    ++m_connections;
    auto *socket = new QSslSocket(this);
    socket->setSocketDescriptor(descriptor);
    socket->setSslConfiguration(m_tlsConfiguration);
    auto session = std::make_shared<Session>();
    connect(socket, &QSslSocket::readyRead, this, [this, socket, session] { Serve(socket, *session); });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    if (m_tls == Tls::Implicit) {
        connect(socket, &QSslSocket::encrypted, socket,
            [socket] { socket->write("220 localhost test server\r\n"); });
        socket->startServerEncryption();
    } else {
        socket->write("220 localhost test server\r\n");
    }
}

void SmtpTestServer::Serve(QSslSocket *socket, Session &session)
{
    session.buffer += socket->readAll();
    while (socket->state() == QAbstractSocket::ConnectedState) {
        if (session.inData) {
            if (m_behaviour == Behaviour::CloseDuringData && !session.buffer.isEmpty()) {
                socket->abort();
                return;
            }
            const qsizetype end = session.buffer.indexOf("\r\n.\r\n");
            if (end < 0)
                return;
            QByteArray data = session.buffer.left(end + 2);
            session.buffer.remove(0, end + 5);
            data.replace("\r\n..", "\r\n.");
            if (data.startsWith(".."))
                data.remove(0, 1);
            session.inData = false;
            if (m_behaviour == Behaviour::RefuseData) {
                socket->write("554 5.7.1 message refused\r\n");
                continue;
            }
            m_message = data;
            socket->write("250 2.0.0 queued as 1\r\n");
            continue;
        }
        const qsizetype newline = session.buffer.indexOf("\r\n");
        if (newline < 0)
            return;
        const QByteArray line = session.buffer.left(newline);
        session.buffer.remove(0, newline + 2);
        Command(socket, session, line);
    }
}

void SmtpTestServer::Command(QSslSocket *socket, Session &session, const QByteArray &line)
{
    if (session.awaitingAuth) {
        session.awaitingAuth = false;
        Credentials(socket, line);
        socket->write("235 2.7.0 accepted\r\n");
        return;
    }
    const QByteArray verb = line.left(line.indexOf(' ') < 0 ? line.size() : line.indexOf(' ')).toUpper();
    m_commands << (verb == "AUTH" ? QByteArray("AUTH") : line);
    if (verb == "EHLO") {
        const bool offerTls = m_tls == Tls::StartTls && !socket->isEncrypted();
        socket->write(offerTls ? "250-localhost\r\n250-STARTTLS\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n"
                               : "250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n");
    } else if (verb == "STARTTLS" && m_tls == Tls::StartTls && !socket->isEncrypted()) {
        socket->write("220 2.0.0 ready\r\n");
        socket->flush();
        session.buffer.clear();
        socket->startServerEncryption();
    } else if (verb == "AUTH") {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() > 2) {
            Credentials(socket, words.at(2));
            socket->write("235 2.7.0 accepted\r\n");
        } else {
            session.awaitingAuth = true;
            socket->write("334 \r\n");
        }
    } else if (verb == "MAIL") {
        m_mailFrom = line.mid(line.indexOf(':') + 1).trimmed();
        socket->write("250 2.1.0 ok\r\n");
    } else if (verb == "RCPT") {
        m_recipients << line.mid(line.indexOf(':') + 1).trimmed();
        socket->write(m_behaviour == Behaviour::RefuseRecipient ? "550 5.1.1 no such mailbox here\r\n"
                                                                : "250 2.1.5 ok\r\n");
    } else if (verb == "DATA") {
        session.inData = true;
        socket->write("354 go ahead\r\n");
    } else if (verb == "QUIT") {
        socket->write("221 bye\r\n");
        socket->disconnectFromHost();
    } else if (verb == "RSET" || verb == "NOOP") {
        socket->write("250 ok\r\n");
    } else {
        socket->write("502 not implemented\r\n");
    }
}

void SmtpTestServer::Credentials(QSslSocket *socket, const QByteArray &base64)
{
    const QList<QByteArray> parts = QByteArray::fromBase64(base64).split('\0');
    if (parts.size() == 3) {
        m_authUser = parts.at(1);
        m_authPassword = parts.at(2);
        m_authEncrypted = socket->isEncrypted();
    }
}
