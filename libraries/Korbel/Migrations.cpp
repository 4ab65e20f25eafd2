#include "Korbel/Migrations.h"

#include "Korbel/Schema.h"
#include "Korbel/SqlConnection.h"
#include "Korbel/ValueText.h"

#include <QtCore/QSet>

namespace Korbel {

namespace {

const QString kServerVersionTable = QStringLiteral("korbel_schema");

QSet<QString> existingTables(QSqlDatabase database, QString *error)
{
    QSet<QString> names;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!RunStatement(query, SqlDialect::of(database).tablesQuery(), {}, error))
        return names;
    while (query.next())
        names.insert(query.value(0).toString().toUpper());
    return names;
}

QSet<QString> existingColumns(QSqlDatabase database, const QString &table, QString *error)
{
    QSet<QString> names;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    const SqlDialect dialect = SqlDialect::of(database);
    // The server holds the names folded to lower case.
    if (!RunStatement(
            query, dialect.tableColumnsQuery(), { dialect.onServer() ? table.toLower() : table }, error))
        return names;
    while (query.next())
        names.insert(query.value(0).toString().toUpper());
    return names;
}

QString defaultClause(const ColumnDef &column)
{
    if (!column.defaultValue.isValid())
        return {};
    QVariant stored;
    if (!StorageFromValue(column.kind, column.defaultValue, &stored))
        return {};
    // Only numeric defaults are used; they need no quoting.
    return QStringLiteral(" DEFAULT ") + QString::number(stored.toLongLong());
}

bool exec(QSqlDatabase database, const QString &sql, const QVariantList &values, QString *error)
{
    QSqlQuery query(database);
    return RunStatement(query, sql, values, error);
}

// Moves the key sequences of the server past the keys of rows inserted
// with their keys (the seed rows), as the embedded engine does by itself.
bool advanceKeySequences(QSqlDatabase database, const QSet<QString> &tables, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(database);
    for (const QString &table : tables) {
        QSqlQuery query(database);
        if (!RunStatement(query,
                QStringLiteral("SELECT MAX(%1) FROM %2")
                    .arg(dialect.quote(QStringLiteral("ID")), dialect.quote(table)),
                {}, error))
            return false;
        const qint64 highest = query.next() ? query.value(0).toLongLong() : 0;
        if (highest > dialect.lastKey(database, table)
            && !dialect.setLastKey(database, table, highest, error))
            return false;
    }
    return true;
}

// Baseline: every table, column, index and seed row of the current program.
bool baseline(QSqlDatabase database, QString *error)
{
    const Schema &schema = Schema::instance();
    const SqlDialect dialect = SqlDialect::of(database);
    QSet<QString> tables = existingTables(database, error);

    for (const TableDef &table : schema.tables()) {
        if (table.legacyOnly)
            continue;
        bool replaced = false;
        for (const QString &other : table.absentWhenPresent)
            replaced = replaced || tables.contains(other.toUpper());
        if (replaced)
            continue;
        if (!tables.contains(table.name.toUpper())) {
            if (!CreateTable(database, table.name, table.columns, error))
                return false;
            tables.insert(table.name.toUpper());
            continue;
        }
        // An older database: add the columns it lacks.
        const QSet<QString> columns = existingColumns(database, table.name, error);
        for (const ColumnDef &column : table.columns) {
            if (column.kind == ColumnKind::Key || columns.contains(column.name.toUpper()))
                continue;
            if (!exec(database,
                    QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                        .arg(dialect.quote(table.name), ColumnDefinition(dialect, column)),
                    {}, error))
                return false;
        }
    }

    if (!CreateIndexes(database, error))
        return false;

    QSet<QString> seeded;
    for (const SeedRow &seed : SeedRows()) {
        const TableDef *table = schema.table(seed.table);
        if (!table || !tables.contains(seed.table.toUpper()))
            continue;
        QStringList names;
        QStringList marks;
        QVariantList values;
        for (const auto &[name, value] : seed.values) {
            const ColumnDef *column = table->column(name);
            QVariant stored;
            if (!column || !StorageFromValue(column->kind, value, &stored))
                continue;
            names << dialect.quote(name);
            marks << QStringLiteral("?");
            values << stored;
        }
        if (!exec(database,
                dialect.insertIgnoringExisting(dialect.quote(seed.table), names.join(QStringLiteral(", ")),
                    marks.join(QStringLiteral(", "))),
                values, error))
            return false;
        seeded.insert(seed.table);
    }
    return !dialect.onServer() || advanceKeySequences(database, seeded, error);
}

// Version 2: the row version of MAIN, which seats compare at every save.
bool addRowVersions(QSqlDatabase database, QString *error)
{
    const TableDef *main = Schema::instance().table(QStringLiteral("MAIN"));
    const ColumnDef *column = main ? main->column(QStringLiteral("ROW_VERSION")) : nullptr;
    if (!column || !existingTables(database, error).contains(QStringLiteral("MAIN")))
        return column != nullptr;
    if (existingColumns(database, main->name, error).contains(column->name.toUpper()))
        return true;
    const SqlDialect dialect = SqlDialect::of(database);
    return exec(database,
        QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
            .arg(dialect.quote(main->name), ColumnDefinition(dialect, *column)),
        {}, error);
}

} // namespace

QString ColumnDefinition(const SqlDialect &dialect, const ColumnDef &column)
{
    return dialect.quote(column.name) + QLatin1Char(' ')
        + dialect.columnType(column.kind, column.caseInsensitive) + defaultClause(column);
}

bool CreateTable(
    QSqlDatabase database, const QString &name, const std::vector<ColumnDef> &columns, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(database);
    QStringList definitions;
    for (const ColumnDef &column : columns)
        definitions << ColumnDefinition(dialect, column);
    return exec(database,
        QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(dialect.quote(name), definitions.join(QStringLiteral(", "))),
        {}, error);
}

bool CreateIndexes(QSqlDatabase database, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(database);
    const QSet<QString> tables = existingTables(database, error);
    for (const IndexDef &index : Schema::instance().indexes()) {
        if (!tables.contains(index.table.toUpper()))
            continue;
        const TableDef *table = Schema::instance().table(index.table);
        QStringList columns;
        for (const QString &c : index.columns) {
            // An index on the expression that finds and sorts compare.
            const ColumnDef *column = table ? table->column(c) : nullptr;
            const bool caseInsensitive = column && column->caseInsensitive;
            const QString expression = dialect.compared(dialect.quote(c), caseInsensitive);
            columns << (expression.startsWith(QLatin1Char('"'))
                    ? expression
                    : QLatin1Char('(') + expression + QLatin1Char(')'));
        }
        const QString body = QStringLiteral("INDEX IF NOT EXISTS %1 ON %2 (%3)")
                                 .arg(dialect.quote(index.name), dialect.quote(index.table),
                                     columns.join(QStringLiteral(", ")));
        QSqlQuery attempt(database);
        if (RunFallibleStatement(database, attempt,
                (index.unique ? QStringLiteral("CREATE UNIQUE ") : QStringLiteral("CREATE ")) + body, {},
                error))
            continue;
        // Older data may hold duplicates; the index then only speeds up lookups.
        if (!index.unique || !exec(database, QStringLiteral("CREATE ") + body, {}, error))
            return false;
    }
    return true;
}

bool ApplyMigration(QSqlDatabase database, int version, QString *error)
{
    switch (version) {
    case 1:
        return baseline(database, error);
    case 2:
        return addRowVersions(database, error);
    default:
        if (error)
            *error = QStringLiteral("Unknown schema version %1.").arg(version);
        return false;
    }
}

int StoredSchemaVersion(QSqlDatabase database, bool *ok)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    QString error;
    const SqlDialect dialect = SqlDialect::of(database);
    if (dialect.onServer()) {
        // The server database keeps the version in a table of the library's
        // own; a database without it has none yet.
        if (!RunStatement(query, dialect.tableByNameQuery(), { kServerVersionTable }, &error)) {
            if (ok)
                *ok = false;
            return 0;
        }
        if (!query.next()) {
            if (ok)
                *ok = true;
            return 0;
        }
        query.finish();
        const bool read = RunStatement(query,
                              QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM %1")
                                  .arg(dialect.quote(kServerVersionTable)),
                              {}, &error)
            && query.next();
        if (ok)
            *ok = read;
        return read ? query.value(0).toInt() : 0;
    }
    const bool read = RunStatement(query, QStringLiteral("PRAGMA user_version"), {}, &error) && query.next();
    if (ok)
        *ok = read;
    return read ? query.value(0).toInt() : 0;
}

bool StoreSchemaVersion(QSqlDatabase database, int version, QString *error)
{
    const SqlDialect dialect = SqlDialect::of(database);
    if (dialect.onServer()) {
        const QString table = dialect.quote(kServerVersionTable);
        return exec(database,
                   QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (version BIGINT NOT NULL)").arg(table), {},
                   error)
            && exec(database, QStringLiteral("DELETE FROM %1").arg(table), {}, error)
            && exec(database, QStringLiteral("INSERT INTO %1 (version) VALUES (?)").arg(table), { version },
                error);
    }
    return exec(database, QStringLiteral("PRAGMA user_version = %1").arg(version), {}, error);
}

} // namespace Korbel
