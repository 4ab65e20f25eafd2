#include "Korbel/Migrations.h"

#include "Korbel/Schema.h"
#include "Korbel/SqlConnection.h"
#include "Korbel/ValueText.h"

#include <QtCore/QSet>

namespace Korbel {

namespace {

QSet<QString> existingTables(QSqlDatabase database, QString *error)
{
    QSet<QString> names;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!RunStatement(
            query, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"), {}, error))
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
    if (!RunStatement(query, QStringLiteral("SELECT name FROM pragma_table_info(?)"), { table }, error))
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

// Baseline: every table, column, index and seed row of the current program.
bool baseline(QSqlDatabase database, QString *error)
{
    const Schema &schema = Schema::instance();
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
                        .arg(SqlDialect::quote(table.name), ColumnDefinition(column)),
                    {}, error))
                return false;
        }
    }

    if (!CreateIndexes(database, error))
        return false;

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
            names << SqlDialect::quote(name);
            marks << QStringLiteral("?");
            values << stored;
        }
        if (!exec(database,
                QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                    .arg(SqlDialect::quote(seed.table), names.join(QStringLiteral(", ")),
                        marks.join(QStringLiteral(", "))),
                values, error))
            return false;
    }
    return true;
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
    return exec(database,
        QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
            .arg(SqlDialect::quote(main->name), ColumnDefinition(*column)),
        {}, error);
}

} // namespace

QString ColumnDefinition(const ColumnDef &column)
{
    return SqlDialect::quote(column.name) + QLatin1Char(' ')
        + SqlDialect::columnType(column.kind, column.caseInsensitive) + defaultClause(column);
}

bool CreateTable(
    QSqlDatabase database, const QString &name, const std::vector<ColumnDef> &columns, QString *error)
{
    QStringList definitions;
    for (const ColumnDef &column : columns)
        definitions << ColumnDefinition(column);
    return exec(database,
        QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(SqlDialect::quote(name), definitions.join(QStringLiteral(", "))),
        {}, error);
}

bool CreateIndexes(QSqlDatabase database, QString *error)
{
    const QSet<QString> tables = existingTables(database, error);
    for (const IndexDef &index : Schema::instance().indexes()) {
        if (!tables.contains(index.table.toUpper()))
            continue;
        QStringList columns;
        for (const QString &c : index.columns)
            columns << SqlDialect::quote(c);
        const QString body = QStringLiteral("INDEX IF NOT EXISTS %1 ON %2 (%3)")
                                 .arg(SqlDialect::quote(index.name), SqlDialect::quote(index.table),
                                     columns.join(QStringLiteral(", ")));
        if (exec(database,
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
    const bool read = RunStatement(query, QStringLiteral("PRAGMA user_version"), {}, &error) && query.next();
    if (ok)
        *ok = read;
    return read ? query.value(0).toInt() : 0;
}

bool StoreSchemaVersion(QSqlDatabase database, int version, QString *error)
{
    return exec(database, QStringLiteral("PRAGMA user_version = %1").arg(version), {}, error);
}

} // namespace Korbel
