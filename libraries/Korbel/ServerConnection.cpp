// The PostgreSQL side of the library: connecting to a server, the state of a
// connection's transaction, and the error codes that mean the storage (or the
// connection to it) refused a statement.

#include "Korbel/Maintenance.h"
#include "Korbel/SqlConnection.h"

#include <QtCore/QCoreApplication>
#include <QtSql/QSqlDriver>

#include <libpq-fe.h>

namespace Korbel {

namespace {

PGconn *serverHandle(const QSqlDriver *driver)
{
    if (!driver)
        return nullptr;
    const QVariant handle = driver->handle();
    // The handle's type is named after the structure behind the typedef.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

} // namespace

bool OpenServerConnection(
    const QString &name, const ServerAddress &address, const QString &password, QString *error)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        if (error)
            *error = QCoreApplication::translate("Korbel", "The PostgreSQL driver of Qt is not installed.");
        return false;
    }
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    database.setHostName(address.host);
    database.setPort(address.port);
    database.setUserName(address.user);
    database.setDatabaseName(address.database);
    if (!password.isEmpty())
        database.setPassword(password);
    // A server that does not answer is reported instead of hanging the program.
    database.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=Verdanta"));
    if (database.open())
        return true;
    if (error)
        *error = database.lastError().text();
    return false;
}

TransactionState ServerTransactionState(QSqlDatabase database)
{
    PGconn *connection = serverHandle(database.driver());
    if (!connection || PQstatus(connection) != CONNECTION_OK)
        return TransactionState::None;
    switch (PQtransactionStatus(connection)) {
    case PQTRANS_ACTIVE:
    case PQTRANS_INTRANS:
        return TransactionState::Open;
    case PQTRANS_INERROR:
        return TransactionState::Failed;
    case PQTRANS_IDLE:
    case PQTRANS_UNKNOWN:
        break;
    }
    return TransactionState::None;
}

bool ServerConnectionLost(const QSqlDriver *driver)
{
    PGconn *connection = serverHandle(driver);
    return connection && PQstatus(connection) == CONNECTION_BAD;
}

StorageFailure ServerStorageFailure(const QSqlDriver *driver, const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    if (state == QLatin1String("53100"))
        return StorageFailure::DiskFull;
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return StorageFailure::ReadOnly;
    if (state.startsWith(QLatin1String("XX00")))
        return StorageFailure::Damaged;
    // A lost connection (class 08, the server shutting down, an input/output
    // error of the server), or a connection that no longer works at all.
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"))
        || state == QLatin1String("58030"))
        return StorageFailure::InputOutput;
    return ServerConnectionLost(driver) ? StorageFailure::InputOutput : StorageFailure::None;
}

} // namespace Korbel
