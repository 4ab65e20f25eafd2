#pragma once

#include <QtCore/QString>
#include <QtSql/QSqlDatabase>

namespace Korbel {

// Brings the database from schema version 'version - 1' to 'version'. Every
// step is idempotent (tables and columns are created only when missing, seed
// rows only when their ID is free), so a migration interrupted by a crash can
// simply run again. The caller wraps it in a transaction.
bool ApplyMigration(QSqlDatabase database, int version, QString *error);

// The schema version recorded in the database file.
int StoredSchemaVersion(QSqlDatabase database, bool *ok = nullptr);

} // namespace Korbel
