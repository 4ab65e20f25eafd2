#pragma once

#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>
#include <QtSql/QSqlDatabase>

// A connection of its own to a practice's database server, apart from the
// program's data source: for trying a connection, the lock of the practice,
// the checks before a migration and the server's version. Closed with the
// object. The password is given only when the keyring holds one; without it
// the server's client library reads the PostgreSQL password file.
class ServerLink
{
    Q_DECLARE_TR_FUNCTIONS(ServerLink)

public:
    ServerLink(const Korbel::ServerAddress &address, const QString &password);
    ~ServerLink();
    ServerLink(const ServerLink &) = delete;
    ServerLink &operator=(const ServerLink &) = delete;

    // Connects; false with the reason, for the person.
    bool Open(QString *error);
    bool IsOpen() const;
    QSqlDatabase Database() const;
    const Korbel::ServerAddress &Address() const { return m_address; }

    // Connects to the address and says what is there, for the person ("Connected
    // to PostgreSQL 15 …; the database holds a practice with 12 patients");
    // false with the reason when it cannot connect.
    static bool TryConnection(
        const Korbel::ServerAddress &address, const QString &password, QString *message);

    // The server's major version (15 for 15.4); 0 when it cannot be read.
    int ServerMajorVersion() const;
    // The number of rows in every table of the public schema together, and
    // the number of such tables: a database to migrate into holds none.
    bool CountUserTables(qint64 *tables, qint64 *rows, QString *error) const;
    // Drops every table, view and sequence of the public schema, in one
    // transaction: for emptying a database the caller holds alone (a copy
    // that failed its check, an empty practice replaced by an import).
    bool DropEverything(QString *error);

private:
    Korbel::ServerAddress m_address;
    QString m_password;
    QString m_name;
};

// The lock of "one program per practice" on a server, where several seats
// are the point: every seat holds the practice's advisory lock shared while
// it works on it; the work that needs the practice alone (restoring a backup,
// importing a practice, migrating into it) takes it exclusively and is
// refused while any other seat holds it. The server lets both go when the
// connection ends in any way (a crash, a cut network).
class ServerPracticeLock
{
    Q_DECLARE_TR_FUNCTIONS(ServerPracticeLock)

public:
    enum class Mode { Shared, Exclusive };
    enum class State { Held, HeldElsewhere, Unavailable };

    ServerPracticeLock(const Korbel::ServerAddress &address, const QString &password);
    ~ServerPracticeLock();
    ServerPracticeLock(const ServerPracticeLock &) = delete;
    ServerPracticeLock &operator=(const ServerPracticeLock &) = delete;

    State Acquire(Mode mode);
    void Release();
    bool IsHeld() const { return m_held; }
    // The seats (other programs) that hold the practice now; -1 when unknown.
    int OtherSeats() const;
    QString Error() const { return m_error; }
    // "The practice is open on 2 other computers…", for the person.
    QString HeldElsewhereMessage() const;

    // The advisory lock's key: the same for every seat of every practice;
    // advisory locks belong to one database.
    static qint64 LockKey() { return 0x56657264LL; }

private:
    ServerLink m_link;
    Mode m_mode = Mode::Shared;
    bool m_held = false;
    QString m_error;
};
