#pragma once

#include "Korbel/Schema.h"

#include <QtCore/QString>
#include <QtSql/QSqlDatabase>

#include <vector>

namespace Korbel {

class SqlDialect;

// Brings the database from schema version 'version - 1' to 'version'. Every
// step is idempotent (tables and columns are created only when missing, seed
// rows only when their ID is free), so a migration interrupted by a crash can
// simply run again. The caller wraps it in a transaction.
bool ApplyMigration(QSqlDatabase database, int version, QString *error);

// The declaration of a column in CREATE TABLE and ALTER TABLE: quoted name,
// type of its kind and default.
QString ColumnDefinition(const SqlDialect &dialect, const ColumnDef &column);
// Creates a table with the given columns, in their order.
bool CreateTable(
    QSqlDatabase database, const QString &name, const std::vector<ColumnDef> &columns, QString *error);
// The schema's indexes of every table the database holds (those that exist are
// kept). A unique index that older data contradict is made plain.
bool CreateIndexes(QSqlDatabase database, QString *error);

// The schema version recorded in the database file.
int StoredSchemaVersion(QSqlDatabase database, bool *ok = nullptr);
bool StoreSchemaVersion(QSqlDatabase database, int version, QString *error);

} // namespace Korbel
