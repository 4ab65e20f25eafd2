#include "Korbel/SharedAccess.h"

#include "Korbel/SqlDataSource.h"
#include "Korbel/SqlTable.h"

#include <QtCore/QTimer>
#include <QtSql/QSqlDriver>

namespace Korbel {

namespace {

// The channel on which seats announce what they wrote.
const QString kChannel = QStringLiteral("verdanta_changes");
// More rows than this in one transaction are announced as "something changed".
constexpr int kMaxNotices = 64;
// On a server, a table's move looks for other seats' commits at most this often.
constexpr qint64 kOutsideCheckMs = 25;

std::shared_ptr<Connection> connectionOf(IDataSource *source)
{
    auto *sql = dynamic_cast<SqlDataSource *>(source);
    return sql ? sql->connection() : nullptr;
}

bool failWith(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

void Connection::noteWrite(const QString &table, qint64 id)
{
    ++m_rowsWritten;
    if (!onServer())
        return;
    if (m_notices.size() >= kMaxNotices)
        m_manyNotices = true;
    else
        m_notices << table.toUpper() + QLatin1Char(':') + QString::number(id);
    if (transactionDepth == 0)
        flushNotices();
}

void Connection::flushNotices()
{
    if (!onServer()) {
        dropNotices();
        return;
    }
    QStringList payloads = m_notices;
    payloads.removeDuplicates();
    if (m_manyNotices)
        payloads = QStringList { QString() };
    m_notices.clear();
    m_manyNotices = false;
    QSqlQuery query(db());
    for (const QString &payload : payloads) {
        QString error;
        // An announcement that cannot be sent costs the other seats only
        // promptness: they see the row at their next look.
        if (!RunStatement(query, QStringLiteral("SELECT pg_notify(?, ?)"), { kChannel, payload }, &error))
            qCWarning(lcKorbel).noquote() << "the change could not be announced:" << error;
    }
}

bool Connection::checkOutsideChanges(bool force)
{
    if (transactionDepth > 0)
        return false;
    // A look costs a round trip on a server: walks over many rows look only
    // now and then. SQLite answers from memory.
    if (!force && onServer() && m_outsideClock.isValid() && m_outsideClock.elapsed() < kOutsideCheckMs)
        return false;
    m_outsideClock.start();
    // SQLite counts the commits of other connections to the file; a server's
    // next transaction number grows with every writing transaction anywhere
    // (this seat's too, which only costs a needless look at the keys).
    if (!m_outsideQuery) {
        m_outsideQuery = std::make_unique<QSqlQuery>(db());
        m_outsideQuery->setForwardOnly(true);
        if (!m_outsideQuery->prepare(onServer()
                    ? QStringLiteral("SELECT pg_snapshot_xmax(pg_current_snapshot())::text")
                    : QStringLiteral("PRAGMA data_version"))) {
            m_outsideQuery.reset();
            return false;
        }
    }
    if (!m_outsideQuery->exec() || !m_outsideQuery->next()) {
        m_outsideQuery->finish();
        return false;
    }
    const QString stamp = m_outsideQuery->value(0).toString();
    // A finished statement holds no read snapshot open.
    m_outsideQuery->finish();
    if (stamp == m_outsideStamp)
        return false;
    const bool first = m_outsideStamp.isEmpty();
    m_outsideStamp = stamp;
    if (first)
        return false;
    noteOutsideChange();
    return true;
}

void Connection::noteOutsideChange()
{
    ++m_outsideGeneration;
    bumpVersion();
}

QString RowVersionField()
{
    return QStringLiteral("ROW_VERSION");
}

RowState CheckRowVersion(IDataSource *source, const QString &table, qint64 id, qint64 loadedVersion,
    RowLock lock, qint64 *currentVersion, QString *error)
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    if (!conn) {
        failWith(error, QStringLiteral("The database is not open."));
        return RowState::Failed;
    }
    QSqlQuery query(conn->db());
    query.setForwardOnly(true);
    const QString sql
        = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?%4")
              .arg(QStringLiteral("COALESCE(%1, 0)").arg(conn->dialect().quote(RowVersionField())),
                  conn->dialect().quote(table), conn->dialect().quote(QStringLiteral("ID")),
                  lock == RowLock::UntilCommit && conn->onServer() ? QStringLiteral(" FOR UPDATE")
                                                                   : QString());
    QString failure;
    if (!RunStatement(query, sql, { id }, &failure)) {
        failWith(error, failure);
        return RowState::Failed;
    }
    if (!query.next())
        return RowState::Gone;
    const qint64 current = query.value(0).toLongLong();
    if (currentVersion)
        *currentVersion = current;
    return current == loadedVersion ? RowState::Unchanged : RowState::Changed;
}

bool BumpRowVersion(IDataSource *source, const QString &table, qint64 id, qint64 expected, QString *error)
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    if (!conn)
        return failWith(error, QStringLiteral("The database is not open."));
    QString failure;
    if (!conn->canWrite(&failure))
        return failWith(error, failure);
    const QString version = conn->dialect().quote(RowVersionField());
    QSqlQuery query(conn->db());
    if (!RunStatement(query,
            QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, 0) + 1 WHERE %3 = ? AND COALESCE(%2, 0) = ?")
                .arg(conn->dialect().quote(table), version, conn->dialect().quote(QStringLiteral("ID"))),
            { id, expected }, &failure))
        return failWith(error, failure);
    if (query.numRowsAffected() != 1)
        return failWith(error, QStringLiteral("Another seat changed row %1 of table %2.").arg(id).arg(table));
    conn->noteWrite(table, id);
    conn->bumpVersion();
    return true;
}

bool LockRow(IDataSource *source, const QString &table, qint64 id, QString *error)
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    if (!conn)
        return failWith(error, QStringLiteral("The database is not open."));
    QSqlQuery query(conn->db());
    query.setForwardOnly(true);
    const QString id_ = conn->dialect().quote(QStringLiteral("ID"));
    QString failure;
    if (!RunStatement(query,
            QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ?%3")
                .arg(id_, conn->dialect().quote(table),
                    conn->onServer() ? QStringLiteral(" FOR UPDATE") : QString()),
            { id }, &failure))
        return failWith(error, failure);
    if (!query.next())
        return failWith(error, QStringLiteral("There is no row %1 in table %2.").arg(id).arg(table));
    return true;
}

bool AddToCounts(IDataSource *source, const QString &table, qint64 id,
    const std::vector<CountChange> &changes, QString *error)
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    if (!conn)
        return failWith(error, QStringLiteral("The database is not open."));
    if (changes.empty())
        return true;
    QString failure;
    if (!conn->canWrite(&failure))
        return failWith(error, failure);
    QStringList sets;
    QVariantList values;
    for (const CountChange &change : changes) {
        const QString column = conn->dialect().quote(change.field);
        // NULL counts as 0.
        const QString sum = QStringLiteral("COALESCE(%1, 0) + ?").arg(column);
        if (change.hasFloor) {
            sets << QStringLiteral("%1 = CASE WHEN %2 < ? THEN ? ELSE %2 END").arg(column, sum);
            values << change.delta << change.floor << change.floor << change.delta;
        } else {
            sets << QStringLiteral("%1 = %2").arg(column, sum);
            values << change.delta;
        }
    }
    values << id;
    QSqlQuery query(conn->db());
    if (!RunStatement(query,
            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                .arg(conn->dialect().quote(table), sets.join(QStringLiteral(", ")),
                    conn->dialect().quote(QStringLiteral("ID"))),
            values, &failure))
        return failWith(error, failure);
    if (query.numRowsAffected() != 1)
        return failWith(error, QStringLiteral("There is no row %1 in table %2.").arg(id).arg(table));
    conn->noteWrite(table, id);
    conn->bumpVersion();
    return true;
}

quint64 RowsWritten(IDataSource *source)
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    return conn ? conn->rowsWritten() : 0;
}

std::vector<std::pair<QString, QString>> TypedValues(ITable *table)
{
    auto *sql = dynamic_cast<SqlTable *>(table);
    return sql ? sql->typedValues() : std::vector<std::pair<QString, QString>> {};
}

struct ChangeWatcher::Private
{
    std::weak_ptr<Connection> connection;
    quint64 generation = 0;
    QTimer *timer = nullptr;
};

ChangeWatcher::ChangeWatcher(IDataSource *source, int intervalMs, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    const std::shared_ptr<Connection> conn = connectionOf(source);
    if (!conn)
        return;
    d->connection = conn;
    conn->checkOutsideChanges(true);
    d->generation = conn->outsideGeneration();
    d->timer = new QTimer(this);
    connect(d->timer, &QTimer::timeout, this, &ChangeWatcher::Poll);
    d->timer->start(intervalMs);

    QSqlDriver *driver = conn->db().driver();
    if (conn->onServer() && driver && driver->subscribeToNotification(kChannel)) {
        connect(driver, &QSqlDriver::notification, this,
            [this](const QString &name, QSqlDriver::NotificationSource from, const QVariant &payload) {
                const std::shared_ptr<Connection> listening = d->connection.lock();
                if (name != kChannel || from == QSqlDriver::SelfSource || !listening)
                    return;
                listening->noteOutsideChange();
                d->generation = listening->outsideGeneration();
                const QString text = payload.toString();
                const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
                if (colon <= 0)
                    emit Changed(QString(), 0);
                else
                    emit Changed(text.left(colon), text.mid(colon + 1).toLongLong());
            });
    }
}

ChangeWatcher::~ChangeWatcher()
{
    const std::shared_ptr<Connection> conn = d->connection.lock();
    if (conn && conn->onServer() && conn->db().driver())
        conn->db().driver()->unsubscribeFromNotification(kChannel);
}

void ChangeWatcher::Poll()
{
    const std::shared_ptr<Connection> conn = d->connection.lock();
    // A server announces other seats' commits itself (what a look there finds
    // includes this seat's own).
    if (!conn || !conn->db().isOpen() || conn->onServer())
        return;
    conn->checkOutsideChanges(true);
    if (conn->outsideGeneration() == d->generation)
        return;
    d->generation = conn->outsideGeneration();
    emit Changed(QString(), 0);
}

} // namespace Korbel
