#include "Korbel/SqlDataSource.h"

#include "Korbel/Migrations.h"
#include "Korbel/SqlQueryBuilder.h"
#include "Korbel/SqlTable.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>
#include <QtCore/QUuid>
#include <QtSql/QSqlDriver>
#include <QtSql/QSqlError>

#include <sqlite3.h>

#include <cstdio>

namespace Korbel {

namespace {

const QByteArray kSqliteHeader("SQLite format 3\0", 16);

// Settings of every connection: write-ahead logging keeps readers and the
// online backup off the writer's way, and a committed write survives a crash of
// the program; a full sync of the log at every commit also survives a crash of
// the machine.
const char *const kConnectionPragmas[] = {
    "PRAGMA journal_mode = WAL",
    "PRAGMA synchronous = FULL",
    "PRAGMA foreign_keys = OFF",
};

void removeDatabaseFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

SqlDataSource::~SqlDataSource()
{
    close();
}

void SqlDataSource::Release()
{
    delete this;
}

bool SqlDataSource::fail(const QString &error)
{
    m_error = error;
    qCWarning(lcKorbel).noquote() << error;
    return false;
}

void SqlDataSource::close()
{
    m_conn.reset();
    m_path.clear();
}

bool SqlDataSource::connect(const QString &path)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return fail(QCoreApplication::translate("Korbel", "The SQLite driver of Qt is not installed."));
    const QString name = QStringLiteral("korbel-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    bool opened = false;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        opened = database.open();
        if (!opened)
            error = database.lastError().text();
    }
    m_conn = std::make_shared<Connection>(name, Engine::SQLite);
    if (!opened) {
        m_conn.reset();
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be opened: %2").arg(path, error));
    }
    return true;
}

bool SqlDataSource::createNew(const QString &path)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return fail(
            QCoreApplication::translate("Korbel", "The folder of the database %1 does not exist.").arg(path));
    if (!connect(path))
        return false;
    QString error;
    bool ok = true;
    {
        QSqlDatabase database = m_conn->db();
        for (const char *pragma : kConnectionPragmas) {
            QSqlQuery query(database);
            ok = ok && RunStatement(query, QString::fromLatin1(pragma), {}, &error);
        }
    }
    ok = ok && createSchema(&error);
    if (!ok) {
        m_conn.reset();
        removeDatabaseFiles(path);
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be created: %2").arg(path, error));
    }
    qCInfo(lcKorbel).noquote() << "created a new database" << path << "with schema version"
                               << Schema::instance().version();
    return true;
}

bool SqlDataSource::checkExisting(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return fail(QCoreApplication::translate("Korbel", "%1 is not a database file.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QCoreApplication::translate("Korbel", "The database %1 cannot be read: %2")
                        .arg(path, file.errorString()));
    const QByteArray header = file.read(kSqliteHeader.size());
    file.close();
    if (info.size() == 0)
        return fail(QCoreApplication::translate("Korbel", "The database file %1 is empty.").arg(path));
    if (header != kSqliteHeader)
        return fail(
            QCoreApplication::translate("Korbel", "%1 is not a database this program can read.").arg(path));
    if (!info.isWritable())
        return fail(QCoreApplication::translate("Korbel", "The database %1 is read-only.").arg(path));
    return true;
}

bool SqlDataSource::openServer(const QString &text)
{
    m_engine = Engine::PostgreSQL;
    ServerAddress address;
    QString error;
    if (!ServerAddress::Parse(text, &address, &error))
        return fail(error);
    const QString shown = address.ToString();
    const QString name = QStringLiteral("korbel-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const bool opened = OpenServerConnection(name, address, m_serverPassword, &error);
    m_conn = std::make_shared<Connection>(name, Engine::PostgreSQL);
    if (!opened) {
        m_conn.reset();
        return fail(QCoreApplication::translate("Korbel", "The database %1 cannot be opened: %2")
                        .arg(shown, error.trimmed()));
    }

    // Read before anything is written: a database that holds tables of
    // something else, or one made by a newer program, is left as it is.
    QSqlDatabase database = m_conn->db();
    QSqlQuery probe(database);
    if (!RunStatement(probe, m_conn->dialect().tablesQuery(), {}, &error)) {
        m_conn.reset();
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be read: %2").arg(shown, error));
    }
    const bool empty = !probe.next();
    probe.finish();
    bool ok = false;
    const int version = StoredSchemaVersion(database, &ok);
    if (!ok) {
        m_conn.reset();
        return fail(QCoreApplication::translate("Korbel", "The database %1 cannot be read.").arg(shown));
    }
    if (version > Schema::instance().version()) {
        m_conn.reset();
        return fail(QCoreApplication::translate("Korbel",
            "The database %1 was made by a newer version of the program "
            "(schema %2, this program knows up to %3).")
                        .arg(shown)
                        .arg(version)
                        .arg(Schema::instance().version()));
    }
    if (version == 0 && !empty) {
        m_conn.reset();
        return fail(QCoreApplication::translate("Korbel",
            "The database %1 holds tables that this program did not make; it is left as it is. "
            "Give an empty database for a new practice.")
                        .arg(shown));
    }
    if (empty && !createSchema(&error)) {
        m_conn.reset();
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be created: %2").arg(shown, error));
    }
    if (empty)
        qCInfo(lcKorbel).noquote() << "created the schema in" << shown << "with version"
                                   << Schema::instance().version();
    m_path = shown;
    return true;
}

bool SqlDataSource::createSchema(QString *error)
{
    // One transaction: a failure leaves nothing behind (the server's schema
    // changes are transactional too).
    QSqlDatabase database = m_conn->db();
    bool ok = database.transaction();
    for (int version = 1; ok && version <= Schema::instance().version(); ++version) {
        ok = ApplyMigration(database, version, error);
        ok = ok && StoreSchemaVersion(database, version, error);
    }
    ok = ok && database.commit();
    if (!ok) {
        if (error->isEmpty())
            *error = database.lastError().text();
        database.rollback();
    }
    m_conn->forgetLayouts();
    return ok;
}

bool SqlDataSource::Open(const QString &path)
{
    close();
    m_error.clear();
    m_engine = Engine::SQLite;
    if (IsServerAddress(path))
        return openServer(path);
    if (path.isEmpty())
        return fail(QCoreApplication::translate("Korbel", "No database file was given."));
    if (!QFileInfo::exists(path)) {
        if (!createNew(path))
            return false;
        m_path = path;
        return true;
    }
    if (!checkExisting(path) || !connect(path))
        return false;

    // Read before anything is written: a file that is not a readable database,
    // or one made by a newer program, is left exactly as it is.
    QString error;
    enum { Readable, Unreadable, Newer, Unsettable } state = Readable;
    int version = 0;
    {
        QSqlDatabase database = m_conn->db();
        QSqlQuery probe(database);
        probe.setForwardOnly(true);
        bool ok = false;
        if (!RunStatement(probe, QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, &error)
            || !probe.next()) {
            state = Unreadable;
        } else {
            probe.finish();
            version = StoredSchemaVersion(database, &ok);
            if (!ok || version > Schema::instance().version()) {
                state = Newer;
            } else {
                for (const char *pragma : kConnectionPragmas) {
                    QSqlQuery query(database);
                    if (!RunStatement(query, QString::fromLatin1(pragma), {}, &error)) {
                        state = Unsettable;
                        break;
                    }
                }
            }
        }
    }
    switch (state) {
    case Readable:
        break;
    case Unreadable:
        m_conn.reset();
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be read: %2").arg(path, error));
    case Newer:
        m_conn.reset();
        return fail(QCoreApplication::translate("Korbel",
            "The database %1 was made by a newer version of the program "
            "(schema %2, this program knows up to %3).")
                        .arg(path)
                        .arg(version)
                        .arg(Schema::instance().version()));
    case Unsettable:
        m_conn.reset();
        return fail(
            QCoreApplication::translate("Korbel", "The database %1 cannot be opened: %2").arg(path, error));
    }
    m_path = path;
    return true;
}

int SqlDataSource::SchemaVersion() const
{
    if (!m_conn)
        return 0;
    return StoredSchemaVersion(m_conn->db());
}

ITable *SqlDataSource::OpenTable(const QString &name)
{
    if (!m_conn) {
        fail(QStringLiteral("The database is not open."));
        return nullptr;
    }
    const TableLayout *layout = m_conn->layout(name);
    if (!layout) {
        fail(QStringLiteral("There is no table %1.").arg(name));
        return nullptr;
    }
    auto table = std::make_unique<SqlTable>(m_conn, *layout, SqlTable::Filter {});
    QString error;
    if (!table->load(&error)) {
        fail(error);
        return nullptr;
    }
    // The address table always shows the row of the current patient.
    if (layout->name.compare(QLatin1String("ADDRESS"), Qt::CaseInsensitive) == 0) {
        const int column = layout->columnIndex(QStringLiteral("PATIENT_ID"));
        if (column >= 0)
            table->follow(m_conn->primaryMain, column);
    } else if (layout->name.compare(QLatin1String("MAIN"), Qt::CaseInsensitive) == 0
        && !m_conn->primaryMain) {
        m_conn->primaryMain = table.get();
    }
    return table.release();
}

bool SqlDataSource::TableExists(const QString &name)
{
    if (!m_conn)
        return false;
    QSqlQuery query(m_conn->db());
    query.setForwardOnly(true);
    return RunStatement(query, m_conn->dialect().tableByNameQuery(), { name }, &m_error) && query.next();
}

bool SqlDataSource::UpgradeSchema()
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open."));
    QSqlDatabase database = m_conn->db();
    const int target = Schema::instance().version();
    int version = StoredSchemaVersion(database);
    while (version < target) {
        const int next = version + 1;
        QString error;
        if (!database.transaction())
            return fail(database.lastError().text());
        const bool ok = ApplyMigration(database, next, &error) && StoreSchemaVersion(database, next, &error);
        if (!ok || !database.commit()) {
            database.rollback();
            m_conn->forgetLayouts();
            m_conn->bumpVersion();
            return fail(QStringLiteral("The database schema could not be upgraded to version %1: %2")
                            .arg(next)
                            .arg(error));
        }
        qCInfo(lcKorbel).noquote() << "upgraded the database schema to version" << next;
        m_conn->forgetLayouts();
        m_conn->bumpVersion();
        version = next;
    }
    return true;
}

bool SqlDataSource::execute(const QString &sql)
{
    QSqlQuery query(m_conn->db());
    if (!query.exec(sql))
        return fail(query.lastError().text());
    return true;
}

bool SqlDataSource::BeginTransaction()
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open."));
    const int depth = m_conn->transactionDepth;
    if (depth == 0) {
        // On SQLite the write lock is taken at the start: another program's
        // commit between this transaction's first read and its first write
        // would otherwise make that write fail at once instead of waiting.
        const bool begun
            = m_conn->onServer() ? m_conn->db().transaction() : execute(QStringLiteral("BEGIN IMMEDIATE"));
        if (!begun)
            return fail(m_conn->onServer() ? m_conn->db().lastError().text() : m_error);
        m_conn->dropNotices();
    } else {
        // A savepoint outside a transaction would start a new one.
        QString error;
        if (!m_conn->canWrite(&error))
            return fail(error);
        if (!execute(QStringLiteral("SAVEPOINT korbel_%1").arg(depth)))
            return false;
    }
    ++m_conn->transactionDepth;
    return true;
}

int SqlDataSource::CommitTransaction()
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open.")) ? 1 : 0;
    const int depth = m_conn->transactionDepth;
    if (depth <= 0) {
        fail(QStringLiteral("No transaction is open."));
        return 0;
    }
    m_conn->bumpVersion();
    // A transaction in which a statement failed cannot be committed (the
    // server would roll it back and call that a commit): the caller rolls back.
    QString refused;
    if (!m_conn->canWrite(&refused)) {
        fail(refused);
        return 0;
    }
    if (depth > 1) {
        if (!execute(QStringLiteral("RELEASE SAVEPOINT korbel_%1").arg(depth - 1)))
            return 0;
        --m_conn->transactionDepth;
        return 1;
    }
    m_conn->flushNotices();
    if (!m_conn->db().commit()) {
        // The transaction stays open: the caller rolls it back.
        NoteStorageFailure(m_conn->db().driver(), m_conn->db().lastError());
        fail(m_conn->db().lastError().text());
        return 0;
    }
    m_conn->transactionDepth = 0;
    return 1;
}

bool SqlDataSource::RollbackTransaction()
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open."));
    const int depth = m_conn->transactionDepth;
    if (depth <= 0)
        return fail(QStringLiteral("No transaction is open."));
    m_conn->bumpVersion();
    if (depth == 1)
        m_conn->dropNotices();
    bool undone = true;
    if (!m_conn->dialect().inTransaction(m_conn->db())) {
        // The engine rolled everything back by itself after a failure.
        --m_conn->transactionDepth;
    } else if (depth > 1) {
        const QString savepoint = QStringLiteral("korbel_%1").arg(depth - 1);
        undone = execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint)
            && execute(QStringLiteral("RELEASE SAVEPOINT ") + savepoint);
        --m_conn->transactionDepth;
    } else {
        undone = m_conn->db().rollback();
        if (!undone)
            fail(m_conn->db().lastError().text());
        m_conn->transactionDepth = 0;
    }
    // Rows written in the transaction are gone: every open table forgets them.
    const std::vector<SqlTable *> tables = m_conn->openTables;
    for (SqlTable *table : tables)
        table->reloadAfterRollback();
    return undone;
}

bool SqlDataSource::RunStoredQuery(const QString &name, const QString &parameter)
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open."));
    if (!m_conn->storedQueryHandler)
        return fail(QStringLiteral("There is no stored query %1.").arg(name));
    m_conn->bumpVersion();
    return m_conn->storedQueryHandler(this, name, parameter);
}

IQuery *SqlDataSource::CreateQuery()
{
    if (!m_conn) {
        fail(QStringLiteral("The database is not open."));
        return nullptr;
    }
    return new SqlQueryBuilder(m_conn);
}

void SqlDataSource::setStoredQueryHandler(StoredQueryHandler handler)
{
    if (m_conn)
        m_conn->storedQueryHandler = std::move(handler);
}

void SqlDataSource::setControlBinder(const IControlBinder *binder)
{
    if (m_conn)
        m_conn->binder = binder;
}

bool SqlDataSource::BackupTo(const QString &path)
{
    if (!m_conn)
        return fail(QStringLiteral("The database is not open."));
    const QVariant handle = m_conn->db().driver()->handle();
    if (m_engine != Engine::SQLite || !handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return fail(QStringLiteral("The online backup to a file needs an SQLite database; a database on a "
                                   "server is backed up with its dump."));
    sqlite3 *source = *static_cast<sqlite3 *const *>(handle.constData());
    if (!source)
        return fail(QStringLiteral("The database is not open."));

    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        return fail(QStringLiteral("The backup folder %1 does not exist.").arg(target.absolutePath()));
    // Copy into a new file beside the target, then put it in place in one rename,
    // so that a failed or interrupted backup never leaves a torn copy.
    QString temporaryPath;
    {
        QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
        temporary.setAutoRemove(false);
        if (!temporary.open())
            return fail(
                QStringLiteral("The backup %1 cannot be written: %2").arg(path, temporary.errorString()));
        temporaryPath = temporary.fileName();
    }
    sqlite3 *destination = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temporaryPath).constData(), &destination,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(destination, "main", source, "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        } else {
            rc = sqlite3_errcode(destination);
        }
    }
    if (rc == SQLITE_OK) {
        // The copy stands alone: no write-ahead log beside it.
        rc = sqlite3_exec(destination, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    }
    const QString sqliteError = destination ? QString::fromUtf8(sqlite3_errmsg(destination)) : QString();
    sqlite3_close(destination);
    if (rc != SQLITE_OK) {
        removeDatabaseFiles(temporaryPath);
        return fail(QStringLiteral("The backup %1 failed: %2").arg(path, sqliteError));
    }
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(path).constData()) != 0) {
        removeDatabaseFiles(temporaryPath);
        return fail(QStringLiteral("The backup %1 cannot be put in place.").arg(path));
    }
    return true;
}

int CurrentSchemaVersion()
{
    return Schema::instance().version();
}

void SetStoredQueryHandler(IDataSource *source, StoredQueryHandler handler)
{
    if (auto *sql = dynamic_cast<SqlDataSource *>(source))
        sql->setStoredQueryHandler(std::move(handler));
}

Engine EngineOf(IDataSource *source)
{
    if (auto *sql = dynamic_cast<SqlDataSource *>(source))
        return sql->engine();
    return Engine::SQLite;
}

void SetServerPassword(IDataSource *source, const QString &password)
{
    if (auto *sql = dynamic_cast<SqlDataSource *>(source))
        sql->setServerPassword(password);
}

void SetControlBinder(IDataSource *source, const IControlBinder *binder)
{
    if (auto *sql = dynamic_cast<SqlDataSource *>(source))
        sql->setControlBinder(binder);
}

} // namespace Korbel

Korbel::IDataSource *DataSourceFactory()
{
    return new Korbel::SqlDataSource();
}
