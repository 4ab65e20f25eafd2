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

// SQL that differs between engines; everything else the library writes is
// portable. Only SQLite is wired today.
struct SqlDialect
{
    static QString quote(const QString &identifier);
    static QString columnType(ColumnKind kind, bool caseInsensitive);
    // A condition "column starts with the bound text, ignoring ASCII case";
    // binds two values.
    static QString prefixCondition(const QString &quotedColumn);
    static QString prefixUpperBound(const QString &prefix);
    // Tables the engine keeps for itself; they are never exported.
    static bool isInternalTable(const QString &name);
    // The columns of a table, in order: name, declared type and whether the
    // column is the primary key; binds the table name.
    static QString tableColumnsQuery();
    // The last key an auto-increment table handed out, -1 when none.
    static qint64 lastKey(QSqlDatabase database, const QString &table);
    static bool setLastKey(QSqlDatabase database, const QString &table, qint64 key, QString *error);
    // Whether the engine holds a transaction open on the connection.
    static bool inTransaction(QSqlDatabase database);
    // Settings for filling a new database file that nobody uses until it is
    // complete (a failed fill is thrown away): no waiting for the disk at
    // every step. SyncFileToDisk makes it durable at the end.
    static bool prepareBulkLoad(QSqlDatabase database, QString *error);
};

// Flushes a file (or a folder's entries) to the disk.
void SyncFileToDisk(const QString &path);

// Shared by the data source and its tables. Every write bumps the version, so
// that row caches of every table of this connection see the new values.
class Connection
{
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    const QString &name() const { return m_name; }

    quint64 version() const { return m_version; }
    void bumpVersion() { ++m_version; }

    // Layout of a table as the database has it, kinds from the schema; null
    // when the table does not exist.
    const TableLayout *layout(const QString &table);
    void forgetLayouts() { m_layouts.clear(); }

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
    bool onServer() const;
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
    quint64 m_version = 1;
    QHash<QString, std::shared_ptr<TableLayout>> m_layouts;

    quint64 m_rowsWritten = 0;
    QStringList m_notices;
    bool m_manyNotices = false;
    QString m_outsideStamp;
    QElapsedTimer m_outsideClock;
    quint64 m_outsideGeneration = 0;
};

// Prepares and runs one statement with its bound values; on failure sets the
// error text and returns false.
bool RunStatement(QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error);

// Remembers on the connection's driver that a statement failed because the
// storage refused it (a full disk, a read-only file, an input/output error,
// damage), so that the program can tell the person why a save failed; other
// errors are not remembered. TakeStorageFailure (Maintenance.h) reads it.
void NoteStorageFailure(const QSqlDriver *driver, const QSqlError &error);

} // namespace Korbel
