#pragma once

// Internal: the connection shared by a data source and the tables it opened,
// and the few SQL pieces that differ between database engines.

#include "Korbel/DataSource.h"
#include "Korbel/Schema.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtCore/QLoggingCategory>
#include <QtCore/QStringList>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>

#include <memory>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcKorbel)

class QSqlDriver;

namespace Korbel {

class SqlTable;

struct ColumnInfo
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool caseInsensitive = false;
    QVariant defaultValue; // storage form
};

struct TableLayout
{
    QString name; // as the database spells it
    std::vector<ColumnInfo> columns;
    int keyColumn = -1;
    int columnIndex(const QString &name) const;
};

// What the engine says of the connection's transaction.
enum class TransactionState {
    None, // no transaction is open (or the engine rolled it back by itself)
    Open,
    Failed, // open, but a statement failed: only a rollback is accepted (PostgreSQL)
};

// SQL that differs between engines; everything else the library writes is
// portable. On PostgreSQL the library's identifiers are folded to lower case,
// as the server folds names written without quotes, so that statements with
// plain names (the reports') and the library's quoted ones meet the same
// tables; the schema's upper-case spelling stays the one the program uses.
class SqlDialect
{
public:
    explicit SqlDialect(Engine engine = Engine::SQLite)
        : m_engine(engine)
    { }
    // The dialect of a connection, from its driver.
    static SqlDialect of(const QSqlDatabase &database);

    Engine engine() const { return m_engine; }
    bool onServer() const { return m_engine == Engine::PostgreSQL; }

    QString quote(const QString &identifier) const;
    QString columnType(ColumnKind kind, bool caseInsensitive) const;
    // The expression that compares and sorts a column: case-insensitive text
    // is folded on the server (ASCII only, as the embedded engine's NOCASE
    // does), where an index on the same expression serves it.
    QString compared(const QString &quotedColumn, bool caseInsensitive) const;
    // A value compared with compared(): folded the same way.
    QVariant comparedValue(const QVariant &stored, bool caseInsensitive) const;
    // A condition "column starts with the bound text, ignoring ASCII case";
    // binds the two values of prefixValues.
    QString prefixCondition(const QString &quotedColumn) const;
    QVariantList prefixValues(const QString &prefix) const;
    // The statement that inserts a row and hands back its new key as its only
    // result row (PostgreSQL), or empty when the driver's last insert id serves.
    QString returningKey(const QString &quotedKey) const;
    // "INSERT OR IGNORE" on the embedded engine: skips rows whose key exists.
    QString insertIgnoringExisting(
        const QString &quotedTable, const QString &columns, const QString &marks) const;
    // Tables the engine (or this library) keeps for itself; never exported.
    bool isInternalTable(const QString &name) const;
    // The tables of the database, as the database spells them.
    QString tablesQuery() const;
    // The table of that name, whatever the case; binds the name.
    QString tableByNameQuery() const;
    // The columns of a table, in order: name, declared type and whether the
    // column is the primary key; binds the table name as the database spells it.
    QString tableColumnsQuery() const;
    // The last key an auto-increment table handed out, -1 when none.
    qint64 lastKey(QSqlDatabase database, const QString &table) const;
    bool setLastKey(QSqlDatabase database, const QString &table, qint64 key, QString *error) const;
    TransactionState transactionState(QSqlDatabase database) const;
    // Whether the engine holds a transaction open on the connection.
    bool inTransaction(QSqlDatabase database) const
    {
        return transactionState(database) != TransactionState::None;
    }
    // Settings for filling a new database that nobody uses until it is
    // complete (a failed fill is thrown away): no waiting for the disk at
    // every step. SyncFileToDisk makes a file durable at the end.
    bool prepareBulkLoad(QSqlDatabase database, QString *error) const;

private:
    Engine m_engine;
};

// Flushes a file (or a folder's entries) to the disk.
void SyncFileToDisk(const QString &path);

// Shared by the data source and its tables. Every write bumps the version, so
// that row caches of every table of this connection see the new values.
class Connection
{
public:
    Connection(QString name, Engine engine);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    const QString &name() const { return m_name; }
    const SqlDialect &dialect() const { return m_dialect; }

    quint64 version() const { return m_version; }
    void bumpVersion() { ++m_version; }

    // Layout of a table as the database has it, kinds from the schema; null
    // when the table does not exist.
    const TableLayout *layout(const QString &table);
    void forgetLayouts()
    {
        m_layouts.clear();
        m_statements.clear();
    }

    // A statement prepared once for the connection's life, for statements
    // run often whose rows are read at once (the keys of a table, rows by
    // key): a server then parses and plans it once instead of at every run,
    // which saves two round trips a run. Null, with the error, when it
    // cannot be prepared. Its rows must be read before it runs again.
    QSqlQuery *preparedStatement(const QString &sql, QString *error);

    // The table that ADDRESS follows: the first unfiltered MAIN table opened.
    SqlTable *primaryMain = nullptr;

    // Every open table of the connection, so that a rollback can make each
    // one forget the rows that were undone.
    std::vector<SqlTable *> openTables;
    // Nesting depth of BeginTransaction: the outermost is a transaction, the
    // inner ones are savepoints.
    int transactionDepth = 0;
    // False with the reason while the program's transaction is open but the
    // engine rolled it back by itself after a failure (a full disk, an
    // input/output error): nothing may be written until the program rolls
    // back too, or it would be written outside any transaction.
    bool canWrite(QString *error) const;

    StoredQueryHandler storedQueryHandler;
    // Shows values in bound controls and takes them back; none: no binding.
    const IControlBinder *binder = nullptr;

    // Other seats (programs on the same database). Every row this connection
    // writes is counted and, on a database server, announced to the other
    // seats when its transaction commits.
    bool onServer() const { return m_dialect.onServer(); }
    quint64 rowsWritten() const { return m_rowsWritten; }
    void noteWrite(const QString &table, qint64 id);
    // Sends the announcements of the rows written in the transaction about to
    // commit (on a server they are delivered at the commit); a rollback drops them.
    void flushNotices();
    void dropNotices() { m_notices.clear(); }
    // Whether another seat committed since the last look; then every row
    // cache is dropped and the outside generation grows, so that each table
    // reads its keys again at its next move. Looks at most every few
    // milliseconds unless forced, and never inside a transaction.
    bool checkOutsideChanges(bool force = false);
    // What another seat announced: the same as a change seen by looking.
    void noteOutsideChange();
    quint64 outsideGeneration() const { return m_outsideGeneration; }

private:
    QString m_name;
    SqlDialect m_dialect;
    quint64 m_version = 1;
    QHash<QString, std::shared_ptr<TableLayout>> m_layouts;

    quint64 m_rowsWritten = 0;
    QStringList m_notices;
    bool m_manyNotices = false;
    QString m_outsideStamp;
    QElapsedTimer m_outsideClock;
    // The look, prepared once: it runs at every move.
    std::unique_ptr<QSqlQuery> m_outsideQuery;
    quint64 m_outsideGeneration = 0;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_statements;
};

// A value of the current row of a query in the library's storage form: the
// server's driver reads positive 64-bit integers as unsigned, which would
// leave them out of every place that takes stored integers as qint64.
QVariant ReadStored(const QSqlQuery &query, int column);

// Prepares and runs one statement with its bound values; on failure sets the
// error text and returns false.
bool RunStatement(QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error);
// Runs a prepared statement with its bound values, the same way.
bool RunPrepared(QSqlQuery &query, const QVariantList &values, QString *error);
// The same for a statement that may fail without harm (a probe, an optional
// index): on PostgreSQL inside a transaction it runs under a savepoint of its
// own, so that its failure does not end the whole transaction.
bool RunFallibleStatement(
    QSqlDatabase database, QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error);

// The engines' own ways of telling the state of a connection's transaction
// (SqliteMaintenance.cpp, ServerConnection.cpp).
TransactionState EmbeddedTransactionState(QSqlDatabase database);
TransactionState ServerTransactionState(QSqlDatabase database);
bool PrepareEmbeddedBulkLoad(QSqlDatabase database, QString *error);

enum class StorageFailure;
// The storage failure a server error means (a full disk, a read-only
// transaction, a lost connection), None for other errors.
StorageFailure ServerStorageFailure(const QSqlDriver *driver, const QSqlError &error);
// Whether the server's connection is gone for good.
bool ServerConnectionLost(const QSqlDriver *driver);
// Opens a connection under 'name' to the database at the address; false with
// the reason. The password, when not empty, is handed to the client library
// only; without one it reads the PostgreSQL password file.
bool OpenServerConnection(
    const QString &name, const ServerAddress &address, const QString &password, QString *error);

// Remembers on the connection's driver that a statement failed because the
// storage refused it (a full disk, a read-only file, an input/output error,
// damage), so that the program can tell the person why a save failed; other
// errors are not remembered. TakeStorageFailure (Maintenance.h) reads it.
void NoteStorageFailure(const QSqlDriver *driver, const QSqlError &error);

} // namespace Korbel
