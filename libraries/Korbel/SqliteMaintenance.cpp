// The SQLite side of keeping the database sound: integrity checks, copies
// through the online backup, replacing the database file with its journal
// files, and the result codes that mean the storage refused a write.

#include "Korbel/Maintenance.h"

#include "Korbel/Schema.h"
#include "Korbel/SqlConnection.h"
#include "Korbel/SqlDataSource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtSql/QSqlDriver>
#include <QtSql/QSqlQuery>

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Korbel {

namespace {

const QByteArray kSqliteHeader("SQLite format 3\0", 16);
const char *const kFailureCode = "korbelStorageFailure";
const char *const kFailureText = "korbelStorageFailureText";
// Journal files that belong to a database file and must travel with it.
const char *const kJournalSuffixes[] = { "-wal", "-journal" };
constexpr int kMaxProblems = 20;
constexpr int kBackupPagesPerStep = 1024;

QString tr(const char *text)
{
    return QCoreApplication::translate("Korbel", text);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

// A connection of its own to a database file.
class FileConnection
{
public:
    FileConnection(const QString &path, int flags)
    {
        m_code = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (m_db) {
            sqlite3_extended_result_codes(m_db, 1);
            sqlite3_busy_timeout(m_db, 5000);
        }
    }
    ~FileConnection() { sqlite3_close(m_db); }
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;

    bool IsOpen() const { return m_code == SQLITE_OK; }
    sqlite3 *Handle() const { return m_db; }
    int Code() const { return m_code; }
    QString Error() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_code));
    }

    // Runs one statement; every result row is handed to 'row'. False with
    // Code() and Error() when it fails.
    bool Run(const QByteArray &sql, const std::function<void(sqlite3_stmt *)> &row = {})
    {
        sqlite3_stmt *statement = nullptr;
        m_code = sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &statement, nullptr);
        if (m_code != SQLITE_OK)
            return false;
        while ((m_code = sqlite3_step(statement)) == SQLITE_ROW) {
            if (row)
                row(statement);
        }
        sqlite3_finalize(statement);
        if (m_code == SQLITE_DONE)
            m_code = SQLITE_OK;
        return m_code == SQLITE_OK;
    }

private:
    sqlite3 *m_db = nullptr;
    int m_code = SQLITE_OK;
};

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text) : QString();
}

bool isDamage(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_IOERR;
}

// Asks the caller's progress whether to go on while a long statement runs.
struct CheckProgress
{
    const Progress *progress = nullptr;
    qint64 done = 0;
    qint64 total = 1;
    bool cancelled = false;

    bool Report()
    {
        if (progress && *progress && !(*progress)(done, total))
            cancelled = true;
        return !cancelled;
    }
};

int onCheckProgress(void *context)
{
    return static_cast<CheckProgress *>(context)->Report() ? 0 : 1;
}

// Sets the state after a statement of the check failed.
void checkFailed(FileCheck &check, const FileConnection &db, const CheckProgress &progress)
{
    if (progress.cancelled || (db.Code() & 0xff) == SQLITE_INTERRUPT) {
        check.state = FileCheck::State::Cancelled;
    } else if (isDamage(db.Code())) {
        check.state = FileCheck::State::Damaged;
        check.problems << db.Error();
    } else {
        check.state = FileCheck::State::Unreadable;
        check.error = db.Error();
    }
}

} // namespace

FileCheck CheckDatabaseFile(const QString &path, CheckDepth depth, const Progress &progress)
{
    FileCheck check;
    const QFileInfo info(path);
    if (!info.exists()) {
        check.error = tr("The file %1 does not exist.").arg(native(path));
        return check;
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        check.state = FileCheck::State::Unreadable;
        check.error = tr("The file %1 cannot be read: %2").arg(native(path), file.errorString());
        return check;
    }
    const QByteArray header = file.read(kSqliteHeader.size());
    file.close();
    if (info.size() == 0 || header != kSqliteHeader) {
        check.state = FileCheck::State::Damaged;
        check.problems << (info.size() == 0
                ? tr("The file is empty.")
                : tr("The file is not a database, or its first page is damaged."));
        return check;
    }

    FileConnection db(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    CheckProgress watch { &progress };
    if (!db.IsOpen()) {
        checkFailed(check, db, watch);
        return check;
    }
    sqlite3_progress_handler(db.Handle(), 4000, &onCheckProgress, &watch);

    if (!db.Run("PRAGMA user_version",
            [&check](sqlite3_stmt *s) { check.schemaVersion = sqlite3_column_int(s, 0); })
        || !watch.Report()) {
        checkFailed(check, db, watch);
        return check;
    }
    if (check.schemaVersion > Schema::instance().version()) {
        check.state = FileCheck::State::Newer;
        return check;
    }

    auto collect = [&check](sqlite3_stmt *s) {
        const QString line = columnText(s, 0);
        if (line != QLatin1String("ok") && check.problems.size() < kMaxProblems)
            check.problems << line;
    };
    QStringList tables;
    if (depth == CheckDepth::Full
        && !db.Run("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid",
            [&tables](sqlite3_stmt *s) { tables << columnText(s, 0); })) {
        checkFailed(check, db, watch);
        return check;
    }
    // Table by table (each with its indexes), so that the check shows
    // progress and can stop between tables; then the whole file once more,
    // for what belongs to no single table (free pages, pages used twice).
    watch.total = tables.size() + 1;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        watch.done = i;
        const QByteArray sql = "PRAGMA integrity_check(" + SqlDialect().quote(tables.at(i)).toUtf8() + ")";
        if (!watch.Report() || !db.Run(sql, collect)) {
            checkFailed(check, db, watch);
            if (check.state != FileCheck::State::Damaged)
                return check;
        }
    }
    watch.done = tables.size();
    if (!watch.Report()
        || !db.Run(QByteArray("PRAGMA quick_check(") + QByteArray::number(kMaxProblems) + ")", collect)) {
        checkFailed(check, db, watch);
        if (check.state != FileCheck::State::Damaged)
            return check;
    }
    watch.done = watch.total;
    watch.Report();
    check.state = check.problems.isEmpty() ? FileCheck::State::Sound : FileCheck::State::Damaged;
    return check;
}

FileSummary SummarizeDatabaseFile(const QString &path, const QString &countedTable)
{
    FileSummary summary;
    if (!QFileInfo(path).isFile()) {
        summary.error = tr("The file %1 does not exist.").arg(native(path));
        return summary;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(kSqliteHeader.size()) != kSqliteHeader) {
        summary.error = tr("The file %1 is not a database.").arg(native(path));
        return summary;
    }
    file.close();
    FileConnection db(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    bool hasTable = false;
    if (!db.IsOpen()
        || !db.Run("PRAGMA user_version",
            [&summary](sqlite3_stmt *s) { summary.schemaVersion = sqlite3_column_int(s, 0); })
        || !db.Run("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = '"
                + QString(countedTable).replace(QLatin1Char('\''), QStringLiteral("''")).toUtf8()
                + "' COLLATE NOCASE",
            [&hasTable](sqlite3_stmt *s) { hasTable = sqlite3_column_int(s, 0) > 0; })
        || (hasTable
            && !db.Run("SELECT count(*) FROM " + SqlDialect().quote(countedTable).toUtf8(),
                [&summary](sqlite3_stmt *s) { summary.rows = sqlite3_column_int64(s, 0); }))) {
        summary.error = db.Error();
        return summary;
    }
    summary.readable = true;
    return summary;
}

Outcome CopyDatabaseFile(const QString &from, const QString &to, const Progress &progress, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return Outcome::Failed;
    };
    if (!QFileInfo(from).isFile())
        return fail(tr("The file %1 does not exist.").arg(native(from)));
    if (QFileInfo::exists(to))
        return fail(tr("The file %1 exists already.").arg(native(to)));

    Outcome outcome = Outcome::Done;
    QString reason;
    {
        FileConnection source(from, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
        FileConnection target(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
        if (!source.IsOpen()) {
            reason = source.Error();
        } else if (!target.IsOpen()) {
            reason = target.Error();
        } else if (sqlite3_backup *backup
            = sqlite3_backup_init(target.Handle(), "main", source.Handle(), "main")) {
            int rc = SQLITE_OK;
            do {
                rc = sqlite3_backup_step(backup, kBackupPagesPerStep);
                const int total = sqlite3_backup_pagecount(backup);
                if (progress && !progress(total - sqlite3_backup_remaining(backup), total)) {
                    outcome = Outcome::Cancelled;
                    break;
                }
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            if (outcome == Outcome::Done && rc != SQLITE_DONE)
                reason = QString::fromUtf8(sqlite3_errstr(rc));
            // The copy stands alone: no write-ahead log beside it.
            if (outcome == Outcome::Done && reason.isEmpty() && !target.Run("PRAGMA journal_mode = DELETE"))
                reason = target.Error();
        } else {
            reason = target.Error();
        }
    }
    if (outcome == Outcome::Done && reason.isEmpty())
        return Outcome::Done;
    RemoveDatabaseFile(to);
    if (outcome == Outcome::Cancelled)
        return outcome;
    return fail(tr("The database %1 cannot be copied to %2: %3").arg(native(from), native(to), reason));
}

bool ReplaceDatabaseFile(
    const QString &databasePath, const QString &replacement, const QString &keepPreviousAs, QString *error)
{
    namespace fs = std::filesystem;
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo replacementInfo(replacement);
    if (!replacementInfo.isFile())
        return fail(tr("The file %1 does not exist.").arg(native(replacement)));
    if (replacementInfo.absolutePath() != QFileInfo(databasePath).absolutePath())
        return fail(tr("The file %1 is not in the folder of the database.").arg(native(replacement)));

    // The previous database keeps its content under the other name: a second
    // name for the same file where the file system allows it, a copy
    // otherwise.
    std::error_code ec;
    QStringList kept;
    auto forgetKept = [&kept] {
        for (const QString &path : std::as_const(kept))
            QFile::remove(path);
    };
    if (QFileInfo::exists(databasePath)) {
        if (keepPreviousAs.isEmpty())
            return fail(tr("No name was given under which to keep the database."));
        QStringList suffixes { QString() };
        for (const char *suffix : kJournalSuffixes)
            suffixes << QLatin1String(suffix);
        for (const QString &suffix : std::as_const(suffixes)) {
            const QString from = databasePath + suffix;
            const QString to = keepPreviousAs + suffix;
            if (!QFileInfo::exists(from))
                continue;
            if (QFileInfo::exists(to)) {
                forgetKept();
                return fail(tr("The file %1 exists already.").arg(native(to)));
            }
            fs::create_hard_link(fsPath(from), fsPath(to), ec);
            if (ec) {
                ec.clear();
                fs::copy_file(fsPath(from), fsPath(to), fs::copy_options::none, ec);
                if (ec) {
                    QFile::remove(to);
                    forgetKept();
                    return fail(tr("The database cannot be kept as %1: %2")
                                    .arg(native(to), QString::fromLocal8Bit(ec.message().c_str())));
                }
                SyncFileToDisk(to);
            }
            kept << to;
        }
    }

    // The journal of the previous database must never be applied to the new
    // file: it goes (kept above), with the shared-memory index.
    QStringList removed;
    auto relink = [&] {
        for (const QString &suffix : std::as_const(removed)) {
            std::error_code ignored;
            fs::create_hard_link(fsPath(keepPreviousAs + suffix), fsPath(databasePath + suffix), ignored);
        }
    };
    for (const char *suffix : kJournalSuffixes) {
        const QString path = databasePath + QLatin1String(suffix);
        if (!QFileInfo::exists(path))
            continue;
        if (!QFile::remove(path)) {
            relink();
            forgetKept();
            return fail(tr("The file %1 cannot be removed.").arg(native(path)));
        }
        removed << QLatin1String(suffix);
    }
    QFile::remove(databasePath + QStringLiteral("-shm"));

    SyncFileToDisk(replacement);
    fs::rename(fsPath(replacement), fsPath(databasePath), ec);
    if (ec) {
        relink();
        forgetKept();
        return fail(tr("The database %1 cannot be replaced: %2")
                        .arg(native(databasePath), QString::fromLocal8Bit(ec.message().c_str())));
    }
    SyncFileToDisk(QFileInfo(databasePath).absolutePath());
    return true;
}

void RemoveDatabaseFile(const QString &path)
{
    QFile::remove(path);
    for (const char *suffix : { "-wal", "-shm", "-journal" })
        QFile::remove(path + QLatin1String(suffix));
}

void SyncFileToDisk(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

bool PrepareEmbeddedBulkLoad(QSqlDatabase database, QString *error)
{
    QSqlQuery query(database);
    return RunStatement(query, QStringLiteral("PRAGMA journal_mode = MEMORY"), {}, error)
        && RunStatement(query, QStringLiteral("PRAGMA synchronous = OFF"), {}, error);
}

TransactionState EmbeddedTransactionState(QSqlDatabase database)
{
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return TransactionState::None;
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    return db && sqlite3_get_autocommit(db) == 0 ? TransactionState::Open : TransactionState::None;
}

namespace {

StorageFailure embeddedStorageFailure(const QSqlDriver *driver, const QSqlError &error)
{
    bool ok = false;
    int code = error.nativeErrorCode().toInt(&ok);
    if (!ok) {
        // Some failures (a commit) come without the engine's code: the
        // connection still holds it.
        const QVariant handle = driver->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            return StorageFailure::None;
        sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
        if (!db)
            return StorageFailure::None;
        code = sqlite3_extended_errcode(db);
    }
    switch (code & 0xff) {
    case SQLITE_FULL:
        return StorageFailure::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return StorageFailure::ReadOnly;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StorageFailure::Damaged;
    case SQLITE_IOERR:
        return StorageFailure::InputOutput;
    default:
        return StorageFailure::None;
    }
}

} // namespace

void NoteStorageFailure(const QSqlDriver *driver, const QSqlError &error)
{
    if (!driver)
        return;
    const StorageFailure failure = driver->dbmsType() == QSqlDriver::PostgreSQL
        ? ServerStorageFailure(driver, error)
        : embeddedStorageFailure(driver, error);
    if (failure == StorageFailure::None)
        return;
    // The driver is the connection's own object; the note is its state.
    auto *writable = const_cast<QSqlDriver *>(driver);
    writable->setProperty(kFailureCode, static_cast<int>(failure));
    writable->setProperty(kFailureText, error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

StorageFailure TakeStorageFailure(IDataSource *source, QString *reason)
{
    auto *sql = dynamic_cast<SqlDataSource *>(source);
    QSqlDriver *driver = sql ? sql->database().driver() : nullptr;
    if (!driver)
        return StorageFailure::None;
    const int code = driver->property(kFailureCode).toInt();
    if (code == 0)
        return StorageFailure::None;
    if (reason)
        *reason = driver->property(kFailureText).toString();
    driver->setProperty(kFailureCode, QVariant());
    driver->setProperty(kFailureText, QVariant());
    return static_cast<StorageFailure>(code);
}

bool LimitDatabaseSize(IDataSource *source, qint64 bytes)
{
    auto *sql = dynamic_cast<SqlDataSource *>(source);
    if (!sql || !sql->database().isOpen() || sql->engine() != Engine::SQLite)
        return false;
    QSqlQuery query(sql->database());
    QString error;
    if (!RunStatement(query, QStringLiteral("PRAGMA page_size"), {}, &error) || !query.next())
        return false;
    const qint64 pageSize = std::max<qint64>(query.value(0).toLongLong(), 512);
    query.finish();
    // The library's own upper bound when the limit is lifted.
    const qint64 pages = bytes > 0 ? std::max<qint64>(bytes / pageSize, 1) : 1073741823;
    return RunStatement(query, QStringLiteral("PRAGMA max_page_count = %1").arg(pages), {}, &error);
}

} // namespace Korbel
