#include "SmtpTestServer.h"

#include <QtNetwork/QTcpSocket>

#include <memory>

SmtpTestServer::SmtpTestServer(Behaviour behaviour)
    : m_behaviour(behaviour)
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_connections;
            auto session = std::make_shared<Session>();
            connect(
                socket, &QTcpSocket::readyRead, this, [this, socket, session] { Serve(socket, *session); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->write("220 localhost test server\r\n");
        }
    });
}

void SmtpTestServer::Serve(QTcpSocket *socket, Session &session)
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
            m_message = data;
            session.inData = false;
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

void SmtpTestServer::Command(QTcpSocket *socket, Session &session, const QByteArray &line)
{
    if (session.awaitingAuth) {
        session.awaitingAuth = false;
        Credentials(line);
        socket->write("235 2.7.0 accepted\r\n");
        return;
    }
    const QByteArray verb = line.left(4).toUpper();
    m_commands << (verb == "AUTH" ? QByteArray("AUTH") : line);
    if (verb == "EHLO") {
        socket->write("250-localhost\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n");
    } else if (verb == "AUTH") {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() > 2) {
            Credentials(words.at(2));
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

void SmtpTestServer::Credentials(const QByteArray &base64)
{
    const QList<QByteArray> parts = QByteArray::fromBase64(base64).split('\0');
    if (parts.size() == 3) {
        m_authUser = parts.at(1);
        m_authPassword = parts.at(2);
    }
}
