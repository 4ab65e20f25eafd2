#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtNetwork/QSslConfiguration>
#include <QtNetwork/QTcpServer>

class QSslSocket;

// A small SMTP server on localhost for the tests: it takes EHLO, STARTTLS,
// AUTH PLAIN, MAIL, RCPT, DATA, RSET, NOOP and QUIT, records what a client
// sent, and can refuse the recipient or the data, or drop the connection in
// the middle of the data. With a certificate it offers STARTTLS or speaks TLS
// from the first byte.
class SmtpTestServer final : public QTcpServer
{
public:
    enum class Behaviour { Accept, RefuseRecipient, RefuseData, CloseDuringData };
    enum class Tls { None, StartTls, Implicit };

    explicit SmtpTestServer(Behaviour behaviour = Behaviour::Accept, Tls tls = Tls::None);
    quint16 Port() const { return serverPort(); }

    int Connections() const { return m_connections; }
    QList<QByteArray> Commands() const { return m_commands; } // verbs and arguments, AUTH data left out
    QByteArray MailFrom() const { return m_mailFrom; }
    QList<QByteArray> Recipients() const { return m_recipients; }
    QByteArray Message() const { return m_message; } // with dot-stuffing undone
    QByteArray AuthUser() const { return m_authUser; }
    QByteArray AuthPassword() const { return m_authPassword; }
    bool AuthEncrypted() const { return m_authEncrypted; }

    // The certificate the server shows (a file of the test data).
    static QString CertificateFile();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Session
    {
        QByteArray buffer;
        bool inData = false;
        bool awaitingAuth = false;
    };

    void Serve(QSslSocket *socket, Session &session);
    void Command(QSslSocket *socket, Session &session, const QByteArray &line);
    void Credentials(QSslSocket *socket, const QByteArray &base64);

    Behaviour m_behaviour;
    Tls m_tls;
    QSslConfiguration m_tlsConfiguration;
    int m_connections = 0;
    QList<QByteArray> m_commands;
    QByteArray m_mailFrom;
    QList<QByteArray> m_recipients;
    QByteArray m_message;
    QByteArray m_authUser;
    QByteArray m_authPassword;
    bool m_authEncrypted = false;
};
