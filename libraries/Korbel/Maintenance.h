#pragma once

// Keeping the database sound: checking a database file, summarising a copy,
// copying one into a new self-contained file, putting a verified file in the
// place of the database, and telling why a write of the open database failed.
// The file functions take paths and use connections of their own, so they
// can run on a worker thread while the program holds the database open. What
// they do with files is the embedded engine's (SQLite) business and lives in
// SqliteMaintenance.cpp.

#include "korbel_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

namespace Korbel {

class IDataSource;

// Long work reports the work done and the whole; returning false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Outcome { Done, Failed, Cancelled };

enum class CheckDepth {
    Quick, // every page, record and tree readable and well formed
    Full, // the quick check, and every index agrees with its table
};

struct FileCheck
{
    enum class State {
        Sound,
        Damaged, // damage was found, or the file is not a readable database (empty, wrong header)
        Newer, // made by a newer version of the program: not checked further
        Missing,
        Unreadable, // the file cannot be opened for reading (permissions, input/output)
        Cancelled,
    };
    State state = State::Missing;
    int schemaVersion = 0;
    // What the check found, a few lines at most.
    QStringList problems;
    // Why the file could not be checked (Missing, Unreadable).
    QString error;

    bool IsSound() const { return state == State::Sound; }
};

// Checks a database file without changing it (also while it is open).
KORBEL_EXPORT FileCheck CheckDatabaseFile(
    const QString &path, CheckDepth depth, const Progress &progress = {});

struct FileSummary
{
    bool readable = false;
    int schemaVersion = 0;
    // Rows of the counted table; -1 when the file has no such table.
    qint64 rows = -1;
    QString error;
};

// The schema version of a database file and the row count of one table,
// read without changing the file.
KORBEL_EXPORT FileSummary SummarizeDatabaseFile(const QString &path, const QString &countedTable);

// Copies a database file, with what its write-ahead log holds, into a new
// self-contained file 'to' (which must not exist). A failed or cancelled copy
// leaves nothing behind.
KORBEL_EXPORT Outcome CopyDatabaseFile(
    const QString &from, const QString &to, const Progress &progress, QString *error);

// Puts the complete database file 'replacement' (in the same folder) in the
// place of the database at 'databasePath'; both must be closed. The previous
// database, with its log, stays whole under 'keepPreviousAs' (and its log
// beside it). The replacement takes the database's name in one rename, so
// that the database is at every moment either the previous one or the new
// one; when a step fails, nothing has changed and the reason is given.
KORBEL_EXPORT bool ReplaceDatabaseFile(
    const QString &databasePath, const QString &replacement, const QString &keepPreviousAs, QString *error);

// Removes a database file and the companion files of its journal.
KORBEL_EXPORT void RemoveDatabaseFile(const QString &path);

// Why the last failed write (or read) of the open database failed, when the
// storage refused it; the failure is forgotten once taken.
enum class StorageFailure {
    None,
    DiskFull,
    ReadOnly, // the file or its folder cannot be written
    InputOutput,
    Damaged, // the database file is damaged
};
KORBEL_EXPORT StorageFailure TakeStorageFailure(IDataSource *source, QString *reason = nullptr);

// Lets the open database grow to at most about 'bytes' (never below its
// present size); writes that need more fail as on a full disk. Used to show
// how the program behaves on a full disk; 0 lifts the limit.
KORBEL_EXPORT bool LimitDatabaseSize(IDataSource *source, qint64 bytes);

} // namespace Korbel
