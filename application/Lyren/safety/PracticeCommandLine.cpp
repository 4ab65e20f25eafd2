#include "safety/PracticeCommandLine.h"

#include "safety/PracticeConnection.h"
#include "safety/PracticeLock.h"
#include "safety/PracticeRestore.h"
#include "safety/PracticeTransfer.h"
#include "safety/ServerBackups.h"
#include "safety/ServerMigration.h"

#include "core/CLogicFolders.h"
#include "core/ProgressRunner.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTextStream>

namespace {

const QString RestoreOption = QStringLiteral("restore");
const QString ExportOption = QStringLiteral("export");
const QString ImportOption = QStringLiteral("import");
const QString MigrateOption = QStringLiteral("migrate-to");
const QString DatabaseOption = QStringLiteral("database");

// Prints each step once, and the progress in tenths.
class ConsoleProgress final : public IProgress
{
public:
    explicit ConsoleProgress(QTextStream &out)
        : m_out(out)
    { }
    void SetStep(const QString &text) override
    {
        m_out << text << Qt::endl;
        m_tenth = -1;
    }
    void SetProgress(qint64 done, qint64 total) override
    {
        const int tenth = total > 0 ? static_cast<int>(done * 10 / total) : 0;
        if (tenth > m_tenth && tenth > 0) {
            m_out << QStringLiteral("  %1%").arg(tenth * 10) << Qt::endl;
            m_tenth = tenth;
        }
    }
    bool IsCancelled() const override { return false; }

private:
    QTextStream &m_out;
    int m_tenth = -1;
};

} // namespace

bool PracticeCommandLine::AsksForCommand(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        for (const QString &option :
            { RestoreOption, ExportOption, ImportOption, MigrateOption, QStringLiteral("help") }) {
            if (argument == QStringLiteral("--") + option
                || argument.startsWith(QStringLiteral("--") + option + QLatin1Char('=')))
                return true;
        }
        if (argument == QLatin1String("-h"))
            return true;
    }
    return false;
}

QString PracticeCommandLine::HelpText()
{
    return tr(
        "Usage: verdanta [--database <address>]\n"
        "                [--restore <generation or file> | --export <folder> | --import <folder>\n"
        "                 | --migrate-to <address>]\n"
        "\n"
        "Without an option Verdanta opens the practice in the current directory (or on the database\n"
        "server named in Options > Database Connection...).\n"
        "\n"
        "  --restore <generation or file>  restores a weekly backup (ThisWeek, LastWeek, BeforeLastWeek,\n"
        "                                  BeforeBeforeLastWeek, or 1 to 4 from the newest) or a database\n"
        "                                  file; the current database is kept as a dated copy beside it\n"
        "  --export <folder>               exports the practice (every table as CSV, the patient folders)\n"
        "                                  into an empty or new folder\n"
        "  --import <folder>               imports such an export into this practice, which must be empty\n"
        "  --migrate-to <address>          copies the practice's database file into an empty PostgreSQL\n"
        "                                  database and checks the copy; the patient folders stay in\n"
        "                                  this folder, which the computers of the practice then share\n"
        "  --database <address>            works on the PostgreSQL database at the address for this run\n"
        "                                  (postgresql://user@host[:port]/dbname). The address never holds\n"
        "                                  the password: it comes from the desktop keyring or from the\n"
        "                                  PostgreSQL password file (~/.pgpass). --database file works on\n"
        "                                  the database file in the current directory for this run, when\n"
        "                                  the server this computer names cannot be reached\n"
        "\n"
        "The practice must not be open in Verdanta meanwhile.\n");
}

PracticeCommandLine::Request PracticeCommandLine::Parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption restore(RestoreOption, QString(), QStringLiteral("generation"));
    const QCommandLineOption exportTo(ExportOption, QString(), QStringLiteral("folder"));
    const QCommandLineOption importFrom(ImportOption, QString(), QStringLiteral("folder"));
    const QCommandLineOption migrateTo(MigrateOption, QString(), QStringLiteral("address"));
    const QCommandLineOption database(DatabaseOption, QString(), QStringLiteral("address"));
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    parser.addOptions({ restore, exportTo, importFrom, migrateTo, database, help });

    Request request;
    if (!parser.parse(arguments)) {
        request.error = parser.errorText();
        return request;
    }
    if (parser.isSet(help)) {
        request.command = Command::Help;
        return request;
    }
    int asked = 0;
    for (const auto &[option, command] :
        { std::pair { &restore, Command::Restore }, std::pair { &exportTo, Command::Export },
            std::pair { &importFrom, Command::Import }, std::pair { &migrateTo, Command::MigrateTo } }) {
        if (!parser.isSet(*option))
            continue;
        ++asked;
        request.command = command;
        request.argument = parser.value(*option);
    }
    if (asked > 1) {
        request = {};
        request.error = tr("Give only one of --restore, --export, --import and --migrate-to.");
    } else if (asked == 1 && request.argument.trimmed().isEmpty()) {
        request.error = tr("The option needs a value.");
        request.command = Command::None;
    } else if (!parser.positionalArguments().isEmpty() && asked == 1) {
        request.error = tr("Unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        request.command = Command::None;
    }
    QString reason;
    Korbel::ServerAddress address;
    if (request.error.isEmpty() && request.command == Command::MigrateTo
        && !Korbel::ServerAddress::Parse(request.argument.trimmed(), &address, &reason)) {
        request.error = tr("--migrate-to: %1").arg(reason);
        request.command = Command::None;
    }
    if (request.error.isEmpty() && parser.isSet(database)) {
        request.database = parser.value(database).trimmed();
        if (request.database != PracticeConnection::FileDatabase()
            && !Korbel::ServerAddress::Parse(request.database, &address, &reason)) {
            request.error = tr("--database: %1").arg(reason);
            request.command = Command::None;
            request.database.clear();
        }
    }
    return request;
}

namespace {

// The practice export and import, on a file or a server alike.
int ExportWith(const PracticeTransfer &transfer, const QString &argument, IProgress &progress,
    QTextStream &out, QTextStream &err)
{
    using Tr = PracticeCommandLine;
    PracticeTransfer::Summary summary;
    QString error;
    const QString folder = QFileInfo(QDir::current(), argument).absoluteFilePath();
    if (transfer.Export(folder, progress, &summary, &error) != Korbel::Outcome::Done) {
        err << Tr::tr("The practice could not be exported: %1").arg(error) << Qt::endl;
        return 1;
    }
    out << Tr::tr("Exported %1 tables with %2 rows and %3 files into %4.")
               .arg(summary.tables)
               .arg(summary.rows)
               .arg(summary.files)
               .arg(QDir::toNativeSeparators(folder))
        << Qt::endl;
    return 0;
}

int ImportWith(const PracticeTransfer &transfer, const QString &argument, IProgress &progress,
    QTextStream &out, QTextStream &err)
{
    using Tr = PracticeCommandLine;
    QString error;
    QString kept;
    const QString folder = QFileInfo(QDir::current(), argument).absoluteFilePath();
    if (transfer.Import(folder, QDateTime::currentDateTime(), progress, &kept, &error)
        != Korbel::Outcome::Done) {
        err << Tr::tr("The practice could not be imported: %1").arg(error) << Qt::endl;
        return 1;
    }
    out << Tr::tr("The practice was imported from %1.").arg(QDir::toNativeSeparators(folder)) << Qt::endl;
    return 0;
}

QString PasswordOf(Secrets::ISecretStore *keyring, const Korbel::ServerAddress &address)
{
    return keyring ? ServerPasswords::Read(*keyring, address) : QString();
}

// The database file of the practice in 'root' into an empty server database;
// this computer then works on the server, with 'root' as the shared folder.
int Migrate(const QString &root, const QString &target, QTextStream &out, QTextStream &err,
    Secrets::ISecretStore *keyring)
{
    using Tr = PracticeCommandLine;
    Korbel::ServerAddress address;
    QString error;
    if (!Korbel::ServerAddress::Parse(target, &address, &error)) {
        err << error << Qt::endl;
        return 1;
    }
    const CLogicFolders folders(root, QString());
    const ServerMigration migration(folders.GetDatabasePath(), address, PasswordOf(keyring, address));
    ConsoleProgress progress(out);
    ServerMigration::Summary summary;
    const Korbel::Outcome outcome = migration.Run(progress, &summary, &error);
    if (outcome != Korbel::Outcome::Done) {
        err << Tr::tr("The practice was not moved: %1").arg(error) << Qt::endl
            << Tr::tr("The database %1 is as it was.").arg(address.ToString()) << Qt::endl;
        return 1;
    }
    PracticeConnection connection { address.ToString(), root };
    connection.Save();
    out << Tr::tr("The practice was moved into %1: %2 tables with %3 rows, compared with the database file "
                  "value by value.")
               .arg(address.ToString())
               .arg(summary.tables)
               .arg(summary.rows)
        << Qt::endl
        << Tr::tr(
               "Verdanta on this computer now works on %1; the patient folders stay in %2, the folder every "
               "computer of the practice names as its shared folder (Options > Database Connection...). "
               "The database file is left as it was.")
               .arg(address.ToString(), QDir::toNativeSeparators(root))
        << Qt::endl;
    return 0;
}

int RunOnServer(const PracticeCommandLine::Request &request, const PracticeConnection &connection,
    const QString &root, QTextStream &out, QTextStream &err, Secrets::ISecretStore *keyring)
{
    using Tr = PracticeCommandLine;
    using Command = PracticeCommandLine::Command;
    Korbel::ServerAddress address;
    QString error;
    if (!connection.ServerAddressOf(&address, &error)) {
        err << error << Qt::endl;
        return 1;
    }
    const QString password = PasswordOf(keyring, address);
    const CLogicFolders folders(connection.FilesFolder(root), QString());
    ConsoleProgress progress(out);
    const QDateTime now = QDateTime::currentDateTime();
    const PracticeTransfer transfer(folders, address, password);
    switch (request.command) {
    case Command::Restore: {
        const ServerBackups backups(folders, address, password);
        const std::optional<CLogicFolders::BackupSlot> slot = PracticeRestore::SlotNamed(request.argument);
        BackupCopy copy = backups.Describe(
            slot ? backups.DumpPath(*slot) : QFileInfo(QDir::current(), request.argument).absoluteFilePath());
        copy.slot = slot;
        QString kept;
        if (!backups.Restore(copy.path, PracticeRestore::Reason::Restore, now, &progress, &kept, &error)) {
            err << Tr::tr("%1 was not restored: %2").arg(PracticeRestore::Title(copy), error) << Qt::endl;
            return 1;
        }
        out << Tr::tr("%1 was restored into %2.").arg(PracticeRestore::Title(copy), address.ToString())
            << Qt::endl
            << Tr::tr("The database as it was before is kept as %1.").arg(QDir::toNativeSeparators(kept))
            << Qt::endl;
        return 0;
    }
    case Command::Export:
        return ExportWith(transfer, request.argument, progress, out, err);
    case Command::Import:
        return ImportWith(transfer, request.argument, progress, out, err);
    case Command::None:
    case Command::Help:
    case Command::MigrateTo:
        break;
    }
    return 0;
}

} // namespace

int PracticeCommandLine::Run(const Request &request, const QString &rootFolder, QTextStream &out,
    QTextStream &err, Secrets::ISecretStore *keyring)
{
    if (!request.error.isEmpty()) {
        err << request.error << Qt::endl << Qt::endl << HelpText();
        return 2;
    }
    if (request.command == Command::Help || request.command == Command::None) {
        out << HelpText();
        return 0;
    }
    const QString root = rootFolder.endsWith(QLatin1Char('/')) ? rootFolder : rootFolder + QLatin1Char('/');
    PracticeConnection connection = PracticeConnection::Load();
    connection.Override(request.database);
    if (request.command != Command::MigrateTo && connection.IsServer())
        return RunOnServer(request, connection, root, out, err, keyring);

    // The database file: one program at a time.
    PracticeLock lock(root);
    switch (lock.Acquire()) {
    case PracticeLock::State::Held:
        break;
    case PracticeLock::State::HeldElsewhere:
        err << tr("The practice in %1 is open in Verdanta; close it first.")
                   .arg(QDir::toNativeSeparators(root))
            << Qt::endl;
        return 1;
    case PracticeLock::State::Unavailable:
        err << lock.Error() << Qt::endl;
        return 1;
    }

    const CLogicFolders folders(root, QString());
    ConsoleProgress progress(out);
    const QDateTime now = QDateTime::currentDateTime();
    QString error;
    switch (request.command) {
    case Command::Restore: {
        const PracticeRestore restore(folders);
        const std::optional<CLogicFolders::BackupSlot> slot = PracticeRestore::SlotNamed(request.argument);
        BackupCopy copy = slot ? restore.Describe(folders.GetBackupPath(*slot))
                               : restore.Describe(QFileInfo(QDir(root), request.argument).absoluteFilePath());
        copy.slot = slot;
        const PracticeRestore::Verdict verdict = restore.Verify(copy.path, &progress);
        if (!verdict.usable) {
            err << tr("%1 cannot be restored.").arg(PracticeRestore::Title(copy)) << Qt::endl
                << verdict.reason << Qt::endl;
            return 1;
        }
        QString kept;
        if (!restore.Restore(copy.path, PracticeRestore::Reason::Restore, now, &progress, &kept, &error)) {
            err << tr("The copy was not restored: %1").arg(error) << Qt::endl;
            return 1;
        }
        out << tr("%1 was restored: the practice holds %2.")
                   .arg(PracticeRestore::Title(copy), PracticeRestore::Patients(verdict.patients))
            << Qt::endl;
        if (!kept.isEmpty())
            out << tr("The database as it was before is kept as %1.").arg(QDir::toNativeSeparators(kept))
                << Qt::endl;
        out << tr("The patient folders were left as they are.") << Qt::endl;
        return 0;
    }
    case Command::Export:
        return ExportWith(PracticeTransfer(folders), request.argument, progress, out, err);
    case Command::Import:
        return ImportWith(PracticeTransfer(folders), request.argument, progress, out, err);
    case Command::MigrateTo:
        return Migrate(root, request.argument.trimmed(), out, err, keyring);
    case Command::None:
    case Command::Help:
        break;
    }
    return 0;
}
