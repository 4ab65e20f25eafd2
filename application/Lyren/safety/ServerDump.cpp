#include "safety/ServerDump.h"

#include "safety/ServerLink.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>

#include <algorithm>

namespace {

constexpr int VersionTimeoutMs = 10000;
// A dump or a restore of a large practice takes minutes, never hours.
constexpr int WorkTimeoutMs = 60 * 60 * 1000;

QStringList CandidateFolders(int majorVersion)
{
    QStringList folders;
    const QString testFolder = qEnvironmentVariable("VERDANTA_TEST_POSTGRES_BIN");
    if (!testFolder.isEmpty())
        folders << testFolder;
    const QDir packages(QStringLiteral("/usr/lib/postgresql"));
    if (majorVersion > 0) {
        folders << packages.filePath(QString::number(majorVersion) + QStringLiteral("/bin"));
    } else {
        QStringList versions = packages.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(),
            [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
        for (const QString &version : versions)
            folders << packages.filePath(version + QStringLiteral("/bin"));
    }
    return folders;
}

// The database name as a connection string of its own, quoted, so that no
// name is ever read as other connection parameters.
QString DatabaseConnectionString(const QString &database)
{
    QString quoted = database;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QStringLiteral("dbname='") + quoted + QLatin1Char('\'');
}

} // namespace

ServerDump::ServerDump(const Korbel::ServerAddress &address, const QString &password)
    : m_address(address)
    , m_password(password)
{ }

int ServerDump::ToolMajorVersion(const QString &program)
{
    QProcess process;
    process.start(program, { QStringLiteral("--version") });
    if (!process.waitForFinished(VersionTimeoutMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return 0;
    static const QRegularExpression Version(QStringLiteral("\\(PostgreSQL\\)\\s+(\\d+)"));
    const QRegularExpressionMatch match
        = Version.match(QString::fromLocal8Bit(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString ServerDump::FindTool(const QString &name, int majorVersion)
{
    QStringList candidates;
    for (const QString &folder : CandidateFolders(majorVersion)) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isExecutable())
            candidates << path;
    }
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        candidates << onPath;
    for (const QString &candidate : candidates) {
        if (majorVersion <= 0 || ToolMajorVersion(candidate) == majorVersion)
            return candidate;
    }
    return QString();
}

QString ServerDump::ToolFor(const QString &name, QString *error) const
{
    ServerLink link(m_address, m_password);
    if (!link.Open(error))
        return QString();
    const int server = link.ServerMajorVersion();
    if (server <= 0) {
        *error = tr("The version of the database server %1 cannot be read.").arg(m_address.ToString());
        return QString();
    }
    const QString tool = FindTool(name, server);
    if (tool.isEmpty()) {
        const QString other = FindTool(name, 0);
        *error = other.isEmpty()
            ? tr("%1 was not found. Install the PostgreSQL client programs (Debian package "
                 "postgresql-client-%2).")
                  .arg(name)
                  .arg(server)
            : tr("The database server runs PostgreSQL %1, but %2 is of version %3. Install the client "
                 "programs of version %1 (Debian package postgresql-client-%1).")
                  .arg(server)
                  .arg(QDir::toNativeSeparators(other))
                  .arg(ToolMajorVersion(other));
    }
    return tool;
}

QProcessEnvironment ServerDump::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Only the connection given here: nothing inherited may redirect it.
    for (const char *name : { "PGSERVICE", "PGSERVICEFILE", "PGOPTIONS", "PGHOSTADDR", "PGPASSWORD" })
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("PGHOST"), m_address.host);
    environment.insert(QStringLiteral("PGPORT"), QString::number(m_address.port));
    environment.insert(QStringLiteral("PGUSER"), m_address.user);
    environment.insert(QStringLiteral("PGDATABASE"), m_address.database);
    environment.insert(QStringLiteral("PGAPPNAME"), QStringLiteral("Verdanta"));
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    if (!m_password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), m_password);
    return environment;
}

bool ServerDump::RunTool(const QString &program, const QStringList &arguments, int timeoutMs, QString *output,
    QString *error) const
{
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.setProgram(program);
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(VersionTimeoutMs)) {
        *error = tr("%1 cannot be started: %2").arg(QDir::toNativeSeparators(program), process.errorString());
        return false;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(VersionTimeoutMs);
        *error = tr("%1 did not finish.").arg(QFileInfo(program).fileName());
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *error = tr("%1 failed: %2")
                     .arg(QFileInfo(program).fileName(), said.isEmpty() ? process.errorString() : said);
        return false;
    }
    return true;
}

bool ServerDump::Dump(const QString &file, QString *error) const
{
    QString reason;
    const QString tool = ToolFor(QStringLiteral("pg_dump"), &reason);
    if (tool.isEmpty()) {
        *error = reason;
        return false;
    }
    const QString partial = file + QStringLiteral(".partial");
    QFile::remove(partial);
    // The dump is one snapshot of the database: consistent while seats work.
    if (!RunTool(tool,
            { QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                QStringLiteral("--no-privileges"), QStringLiteral("--file=") + partial },
            WorkTimeoutMs, nullptr, &reason)) {
        QFile::remove(partial);
        *error = reason;
        return false;
    }
    QFile::remove(file);
    if (!QFile::rename(partial, file)) {
        QFile::remove(partial);
        *error = tr("The dump cannot be put in place as %1.").arg(QDir::toNativeSeparators(file));
        return false;
    }
    return true;
}

bool ServerDump::CheckDumpFile(const QString &file, QString *error) const
{
    if (!QFileInfo(file).isFile()) {
        *error = tr("The file %1 does not exist.").arg(QDir::toNativeSeparators(file));
        return false;
    }
    QString reason;
    const QString tool = ToolFor(QStringLiteral("pg_restore"), &reason);
    QString listing;
    if (tool.isEmpty()
        || !RunTool(tool, { QStringLiteral("--list"), QFileInfo(file).absoluteFilePath() },
            VersionTimeoutMs * 6, &listing, &reason)) {
        *error = reason;
        return false;
    }
    return true;
}

bool ServerDump::Restore(const QString &file, QString *error) const
{
    QString reason;
    const QString tool = ToolFor(QStringLiteral("pg_restore"), &reason);
    if (tool.isEmpty()) {
        *error = reason;
        return false;
    }
    if (!RunTool(tool,
            { QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                QStringLiteral("--dbname=") + DatabaseConnectionString(m_address.database),
                QFileInfo(file).absoluteFilePath() },
            WorkTimeoutMs, nullptr, &reason)) {
        *error = reason;
        return false;
    }
    return true;
}
