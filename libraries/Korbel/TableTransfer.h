#pragma once

// Every table of a database as plain files and back, so that the data are
// never locked in: the tables of the practice export.
//
// An export folder holds:
//   tables/<TABLE>.csv  one file per table: a header row with the column
//                       names, then one record per row in key order;
//   columns.csv         TABLE,COLUMN,KIND: the kind of every column (key, id,
//                       integer, text, money, real, date, datetime, bool,
//                       binary);
//   tables.csv          TABLE,FILE,ROWS,LAST_KEY: each table's file, its row
//                       count and the last key it handed out (empty: none);
//   manifest.csv        KEY,VALUE: FORMAT, SCHEMA_VERSION and CREATED (UTC,
//                       ISO 8601). It is written last: a folder without it
//                       holds no complete export.
// The files are comma-separated values (Csv.h), UTF-8. An empty field is no
// value (NULL) and "" an empty text. Texts stand as they are; keys,
// references and integers in decimal; money in decimal with four decimals
// ("-12.3400"); rates in the shortest decimal form that reads back to the
// same number; dates "yyyy-MM-dd" and dates with a time
// "yyyy-MM-ddTHH:mm:ss"; yes/no as 1 and 0; binary values in base64. A value
// that does not have its column's kind is written in its text form.

#include "Korbel/Maintenance.h"
#include "Korbel/ServerAddress.h"

#include <QtCore/QDateTime>
#include <QtCore/QMap>
#include <QtCore/QString>

#include <vector>

namespace Korbel {

struct KORBEL_EXPORT ExportManifest
{
    struct Table
    {
        QString name;
        QString file; // under tables/
        qint64 rows = 0;
        qint64 lastKey = -1; // -1: none
    };

    int format = 0;
    int schemaVersion = 0;
    QDateTime created;
    std::vector<Table> tables;

    qint64 TotalRows() const;
};

// The format this library writes and reads.
KORBEL_EXPORT int ExportFormat();

// Writes every table of the database file into 'folder', which must be empty
// or absent. The database may be open in the program: the export reads one
// consistent state of it. A failed or cancelled export removes what it wrote.
KORBEL_EXPORT Outcome ExportTables(
    const QString &databasePath, const QString &folder, const Progress &progress, QString *error);

// Reads and checks the description of an export (manifest and table list):
// false with the reason when the folder holds no complete export this
// program can read.
KORBEL_EXPORT bool ReadExport(const QString &folder, ExportManifest *manifest, QString *error);

// Makes a new database file (which must not exist) holding exactly the
// tables, rows and key sequences of the export in 'folder', at this
// program's schema version. A failed or cancelled import leaves no file.
KORBEL_EXPORT Outcome ImportTables(
    const QString &folder, const QString &databasePath, const Progress &progress, QString *error);

// The row count of every table of a database file, by table name.
KORBEL_EXPORT bool CountRows(const QString &databasePath, QMap<QString, qint64> *rows, QString *error);

// A database on a server for the transfers: its address and its password
// (empty: the server's client library reads the PostgreSQL password file).
struct ServerLogin
{
    ServerAddress address;
    QString password;
};

// The same for a database on a server. The export reads one snapshot of the
// database while others work on it; the import fills a database that holds
// none of the export's tables, in one transaction (a failed or cancelled
// import leaves it as it was).
KORBEL_EXPORT Outcome ExportTables(
    const ServerLogin &server, const QString &folder, const Progress &progress, QString *error);
KORBEL_EXPORT Outcome ImportTables(
    const QString &folder, const ServerLogin &server, const Progress &progress, QString *error);
KORBEL_EXPORT bool CountRows(const ServerLogin &server, QMap<QString, qint64> *rows, QString *error);

} // namespace Korbel
