#include "safety/ServerLink.h"

#include <QtCore/QUuid>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>

namespace {

// Reads one value of a query without parameters; an invalid value when it fails.
QVariant ReadOne(const QSqlDatabase &database, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return {};
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec() || !query.next())
        return {};
    return query.value(0);
}

} // namespace

ServerLink::ServerLink(const Korbel::ServerAddress &address, const QString &password)
    : m_address(address)
    , m_password(password)
    , m_name(QStringLiteral("verdanta-server-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

ServerLink::~ServerLink()
{
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase database = QSqlDatabase::database(m_name, false);
            if (database.isOpen())
                database.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool ServerLink::Open(QString *error)
{
    if (IsOpen())
        return true;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        if (error)
            *error = tr("The PostgreSQL driver of Qt is not installed (Debian package libqt6sql6-psql).");
        return false;
    }
    QSqlDatabase database = QSqlDatabase::contains(m_name)
        ? QSqlDatabase::database(m_name, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    database.setHostName(m_address.host);
    database.setPort(m_address.port);
    database.setDatabaseName(m_address.database);
    database.setUserName(m_address.user);
    if (!m_password.isEmpty())
        database.setPassword(m_password);
    database.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=Verdanta"));
    if (database.open())
        return true;
    if (error)
        *error = tr("%1 cannot be reached: %2")
                     .arg(m_address.ToString(),
                         database.lastError().databaseText().trimmed().isEmpty()
                             ? database.lastError().text()
                             : database.lastError().databaseText().trimmed());
    return false;
}

bool ServerLink::IsOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase ServerLink::Database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool ServerLink::TryConnection(
    const Korbel::ServerAddress &address, const QString &password, QString *message)
{
    ServerLink link(address, password);
    if (!link.Open(message))
        return false;
    qint64 tables = 0;
    qint64 rows = 0;
    QString holds;
    if (!link.CountUserTables(&tables, &rows, &holds))
        holds = tr("What it holds cannot be read: %1").arg(holds);
    else if (tables == 0)
        holds = tr("The database is empty: Verdanta makes a new practice there, or a practice can be moved "
                   "into it (Patient > Move Practice to Server...).");
    else {
        const QVariant patients = ReadOne(link.Database(), QStringLiteral("SELECT count(*) FROM main"));
        holds = patients.isValid()
            ? tr("The database holds a practice with %n patient(s).", nullptr, patients.toInt())
            : tr("The database holds %n table(s), but no practice of Verdanta.", nullptr,
                static_cast<int>(tables));
    }
    *message = tr("Connected to PostgreSQL %1 at %2.").arg(link.ServerMajorVersion()).arg(address.ToString())
        + QStringLiteral("\n\n") + holds;
    return true;
}

int ServerLink::ServerMajorVersion() const
{
    const QVariant number
        = ReadOne(Database(), QStringLiteral("SELECT current_setting('server_version_num')"));
    bool ok = false;
    const int version = number.toString().toInt(&ok);
    return ok ? version / 10000 : 0;
}

bool ServerLink::CountUserTables(qint64 *tables, qint64 *rows, QString *error) const
{
    QSqlQuery list(Database());
    list.setForwardOnly(true);
    if (!list.exec(QStringLiteral("SELECT quote_ident(table_name) FROM information_schema.tables "
                                  "WHERE table_schema = 'public' AND table_type = 'BASE TABLE'"))) {
        if (error)
            *error = list.lastError().text();
        return false;
    }
    QStringList names;
    while (list.next())
        names << list.value(0).toString();
    *tables = names.size();
    *rows = 0;
    for (const QString &name : names) {
        // The name comes from the server quoted as an identifier.
        const QVariant count = ReadOne(Database(), QStringLiteral("SELECT count(*) FROM public.") + name);
        if (!count.isValid()) {
            if (error)
                *error = tr("The table %1 cannot be read.").arg(name);
            return false;
        }
        *rows += count.toLongLong();
    }
    return true;
}

bool ServerLink::DropEverything(QString *error)
{
    QSqlDatabase database = Database();
    if (!database.transaction()) {
        *error = database.lastError().text();
        return false;
    }
    QSqlQuery list(database);
    QSqlQuery drop(database);
    const std::pair<QString, QString> kinds[] = {
        { QStringLiteral("SELECT quote_ident(table_name) FROM information_schema.tables "
                         "WHERE table_schema = 'public' AND table_type = 'VIEW'"),
            QStringLiteral("DROP VIEW IF EXISTS public.%1 CASCADE") },
        { QStringLiteral("SELECT quote_ident(table_name) FROM information_schema.tables "
                         "WHERE table_schema = 'public' AND table_type = 'BASE TABLE'"),
            QStringLiteral("DROP TABLE IF EXISTS public.%1 CASCADE") },
        { QStringLiteral("SELECT quote_ident(sequence_name) FROM information_schema.sequences "
                         "WHERE sequence_schema = 'public'"),
            QStringLiteral("DROP SEQUENCE IF EXISTS public.%1 CASCADE") },
    };
    for (const auto &[select, statement] : kinds) {
        QStringList names;
        if (list.exec(select)) {
            while (list.next())
                names << list.value(0).toString();
        }
        if (list.lastError().isValid()) {
            *error = list.lastError().text();
            database.rollback();
            return false;
        }
        // The names come quoted from the server.
        for (const QString &name : names) {
            if (!drop.exec(statement.arg(name))) {
                *error = drop.lastError().text();
                database.rollback();
                return false;
            }
        }
    }
    if (!database.commit()) {
        *error = database.lastError().text();
        return false;
    }
    return true;
}

ServerPracticeLock::ServerPracticeLock(const Korbel::ServerAddress &address, const QString &password)
    : m_link(address, password)
{ }

ServerPracticeLock::~ServerPracticeLock()
{
    Release();
}

ServerPracticeLock::State ServerPracticeLock::Acquire(Mode mode)
{
    if (m_held && m_mode == mode)
        return State::Held;
    Release();
    m_error.clear();
    if (!m_link.Open(&m_error))
        return State::Unavailable;
    m_mode = mode;
    const QVariant taken = ReadOne(m_link.Database(),
        mode == Mode::Shared ? QStringLiteral("SELECT pg_try_advisory_lock_shared(?)")
                             : QStringLiteral("SELECT pg_try_advisory_lock(?)"),
        { LockKey() });
    if (!taken.isValid()) {
        m_error = tr("The lock of the practice cannot be taken on %1: %2")
                      .arg(m_link.Address().ToString(), m_link.Database().lastError().text());
        return State::Unavailable;
    }
    m_held = taken.toBool();
    return m_held ? State::Held : State::HeldElsewhere;
}

void ServerPracticeLock::Release()
{
    if (!m_held)
        return;
    m_held = false;
    ReadOne(m_link.Database(),
        m_mode == Mode::Shared ? QStringLiteral("SELECT pg_advisory_unlock_shared(?)")
                               : QStringLiteral("SELECT pg_advisory_unlock(?)"),
        { LockKey() });
}

int ServerPracticeLock::OtherSeats() const
{
    if (!m_link.IsOpen())
        return -1;
    // A key below 2^32 stands in objid, with classid 0 and objsubid 1.
    const QVariant count = ReadOne(m_link.Database(),
        QStringLiteral("SELECT count(DISTINCT pid) FROM pg_locks WHERE locktype = 'advisory' AND granted "
                       "AND database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                       "AND classid = 0 AND objid = ? AND objsubid = 1 AND pid <> pg_backend_pid()"),
        { LockKey() });
    return count.isValid() ? count.toInt() : -1;
}

QString ServerPracticeLock::HeldElsewhereMessage() const
{
    if (m_mode == Mode::Shared)
        return tr("Another Verdanta is restoring, importing or migrating the practice on %1 and needs it "
                  "alone meanwhile.\n\nTry again once it has finished.")
            .arg(m_link.Address().ToString());
    const int others = OtherSeats();
    const QString where = others > 0
        ? tr("The practice on %1 is open in %n other Verdanta program(s).", nullptr, others)
              .arg(m_link.Address().ToString())
        : tr("The practice on %1 is open in another Verdanta program.").arg(m_link.Address().ToString());
    return where
        + tr("\n\nRestoring a backup, importing a practice or migrating into it needs the practice alone: "
             "close Verdanta on every other computer first.");
}
