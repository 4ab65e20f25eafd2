#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtNetwork/QTcpServer>

class QTcpSocket;

// A small SMTP server on localhost for the tests: it takes EHLO, AUTH PLAIN,
// MAIL, RCPT, DATA, RSET, NOOP and QUIT, records what a client sent, and can
// refuse the recipient or drop the connection in the middle of the data.
class SmtpTestServer final : public QObject
{
public:
    enum class Behaviour { Accept, RefuseRecipient, CloseDuringData };

    explicit SmtpTestServer(Behaviour behaviour = Behaviour::Accept);
    quint16 Port() const { return m_server.serverPort(); }

    int Connections() const { return m_connections; }
    QList<QByteArray> Commands() const { return m_commands; } // verbs and arguments, AUTH data left out
    QByteArray MailFrom() const { return m_mailFrom; }
    QList<QByteArray> Recipients() const { return m_recipients; }
    QByteArray Message() const { return m_message; } // with dot-stuffing undone
    QByteArray AuthUser() const { return m_authUser; }
    QByteArray AuthPassword() const { return m_authPassword; }

private:
    struct Session
    {
        QByteArray buffer;
        bool inData = false;
        bool awaitingAuth = false;
    };

    void Serve(QTcpSocket *socket, Session &session);
    void Command(QTcpSocket *socket, Session &session, const QByteArray &line);
    void Credentials(const QByteArray &base64);

    QTcpServer m_server;
    Behaviour m_behaviour;
    int m_connections = 0;
    QList<QByteArray> m_commands;
    QByteArray m_mailFrom;
    QList<QByteArray> m_recipients;
    QByteArray m_message;
    QByteArray m_authUser;
    QByteArray m_authPassword;
};
