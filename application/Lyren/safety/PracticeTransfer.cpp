#include "safety/PracticeTransfer.h"

#include "safety/PracticeRestore.h"
#include "safety/ServerBackups.h"
#include "safety/ServerDump.h"
#include "safety/ServerLink.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/ProgressRunner.h"

#include "Korbel/TableTransfer.h"

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct TreeFile
{
    QString relative; // from the folder that was listed, with "/"
    qint64 size = 0;
};

// Every regular file under a folder (links are neither followed nor copied:
// they could lead out of the practice) and every folder, relative to it.
void ListTree(const QString &root, std::vector<TreeFile> *files, QStringList *folders)
{
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        if (info.isDir())
            folders->append(base.relativeFilePath(info.filePath()));
        else if (info.isFile())
            files->push_back({ base.relativeFilePath(info.filePath()), info.size() });
    }
}

bool SameContent(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly)
        || !second.open(QIODevice::ReadOnly))
        return false;
    while (!first.atEnd()) {
        if (first.read(1 << 20) != second.read(1 << 20))
            return false;
    }
    return true;
}

// Copies one file without replacing anything, keeping its modification time.
// A copy that breaks off is removed again.
bool CopyOne(const QString &from, const QString &to, QString *error)
{
    namespace fs = std::filesystem;
    const fs::path source(from.toStdU16String());
    const fs::path target(to.toStdU16String());
    std::error_code ec;
    if (!fs::copy_file(source, target, fs::copy_options::none, ec)) {
        *error = QString::fromLocal8Bit(ec.message().c_str());
        if (ec != std::errc::file_exists)
            fs::remove(target, ec);
        return false;
    }
    fs::last_write_time(target, fs::last_write_time(source, ec), ec);
    return true;
}

// The files of the practice's folders that one copy step handles.
struct FileSet
{
    QString fromRoot;
    QString toRoot;
    std::vector<TreeFile> files;
    QStringList folders;
};

std::vector<FileSet> FileSets(const QString &fromRoot, const QString &toRoot)
{
    std::vector<FileSet> sets;
    for (const QString &name : PracticeTransfer::FileFolders()) {
        FileSet set { QDir(fromRoot).filePath(name), QDir(toRoot).filePath(name), {}, {} };
        if (QFileInfo(set.fromRoot).isDir())
            ListTree(set.fromRoot, &set.files, &set.folders);
        sets.push_back(std::move(set));
    }
    return sets;
}

// Copies the sets; files that exist with the same content are left; what was
// made is listed in 'made' (files, then folders) so that it can be undone.
Korbel::Outcome CopySets(const std::vector<FileSet> &sets, IProgress &progress, QStringList *madeFiles,
    QStringList *madeFolders, PracticeTransfer::Summary *summary, QString *error)
{
    qint64 total = 0;
    for (const FileSet &set : sets) {
        for (const TreeFile &file : set.files)
            total += file.size + 1;
    }
    qint64 done = 0;
    for (const FileSet &set : sets) {
        QStringList folders = set.folders;
        folders.prepend(QString());
        for (const QString &folder : std::as_const(folders)) {
            const QString path = QDir(set.toRoot).filePath(folder);
            if (QFileInfo(path).isDir())
                continue;
            if (!QDir().mkpath(path)) {
                *error = PracticeTransfer::tr("The folder %1 cannot be made.")
                             .arg(QDir::toNativeSeparators(path));
                return Korbel::Outcome::Failed;
            }
            madeFolders->prepend(path);
        }
        for (const TreeFile &file : set.files) {
            if (!progress.Continue(done, total))
                return Korbel::Outcome::Cancelled;
            const QString from = QDir(set.fromRoot).filePath(file.relative);
            const QString to = QDir(set.toRoot).filePath(file.relative);
            done += file.size + 1;
            if (QFileInfo::exists(to) && SameContent(from, to))
                continue;
            QString reason;
            if (!CopyOne(from, to, &reason)) {
                *error = PracticeTransfer::tr("%1 cannot be copied to %2: %3")
                             .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), reason);
                return Korbel::Outcome::Failed;
            }
            madeFiles->append(to);
            if (summary) {
                ++summary->files;
                summary->bytes += file.size;
            }
        }
    }
    progress.SetProgress(total, total);
    return Korbel::Outcome::Done;
}

void Undo(const QStringList &madeFiles, const QStringList &madeFolders)
{
    for (const QString &file : madeFiles)
        QFile::remove(file);
    for (const QString &folder : madeFolders)
        QDir().rmdir(folder);
}

bool Inside(const QString &path, const QString &folder)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    QString probe = QFileInfo(path).absoluteFilePath();
    // The export folder may not exist yet: its nearest existing parent counts.
    while (!QFileInfo::exists(probe) && probe != QFileInfo(probe).path())
        probe = QFileInfo(probe).path();
    const QString canonical = QFileInfo(probe).canonicalFilePath();
    return !canonicalFolder.isEmpty()
        && (canonical == canonicalFolder || canonical.startsWith(canonicalFolder + QLatin1Char('/')));
}

QString ReadmeText()
{
    return PracticeTransfer::tr(
        "Verdanta practice export\n"
        "========================\n"
        "\n"
        "This folder holds a whole Verdanta practice in plain files that other programs can read.\n"
        "\n"
        "tables/      every table of the practice's database, one CSV file per table\n"
        "tables.csv   the tables: file, number of rows, last key handed out\n"
        "columns.csv  the kind of every column\n"
        "manifest.csv the format, the database schema version and when the export was made\n"
        "UserData/    the patient folders (one per patient ID: Images, Media, Pdf, Invoices) and the\n"
        "             practice's other files (appointments, custom fields)\n"
        "Templates/   the invoice templates\n"
        "\n"
        "The CSV files are UTF-8 text with a header row, fields separated by commas, records by CR LF;\n"
        "fields with commas, quotes or line breaks are quoted, with quotes doubled. An empty field has no\n"
        "value; \"\" is an empty text. Keys, references and whole numbers are decimal; money has four\n"
        "decimals (-12.3400); rates are decimal numbers; dates are written yyyy-MM-dd and dates with a\n"
        "time yyyy-MM-ddTHH:mm:ss; yes/no fields are 1 and 0; binary values (the consultation notes)\n"
        "are base64.\n"
        "\n"
        "Verdanta imports such a folder into an empty practice (Patient > Import practice..., or\n"
        "verdanta --import <folder> in the new practice's folder) and gives back the same data.\n");
}

} // namespace

PracticeTransfer::Summary PracticeTransfer::SummaryOf(const Korbel::ExportManifest &manifest)
{
    Summary summary;
    summary.tables = static_cast<qint64>(manifest.tables.size());
    summary.rows = manifest.TotalRows();
    summary.created = manifest.created;
    for (const Korbel::ExportManifest::Table &table : manifest.tables) {
        if (table.name.compare(QLatin1String("MAIN"), Qt::CaseInsensitive) == 0)
            summary.patients = table.rows;
    }
    return summary;
}

PracticeTransfer::PracticeTransfer(const CLogicFolders &folders)
    : m_folders(folders)
{ }

PracticeTransfer::PracticeTransfer(
    const CLogicFolders &folders, const Korbel::ServerAddress &server, const QString &password)
    : m_folders(folders)
    , m_onServer(true)
    , m_server { server, password }
{ }

QStringList PracticeTransfer::FileFolders()
{
    return { QStringLiteral("UserData"), QStringLiteral("Templates") };
}

QString PracticeTransfer::ExportFolderName(const QDateTime &now)
{
    return tr("Verdanta practice %1").arg(now.toString(QStringLiteral("yyyy-MM-dd HHmm")));
}

Korbel::Outcome PracticeTransfer::Export(
    const QString &folder, IProgress &progress, Summary *summary, QString *error) const
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return Korbel::Outcome::Failed;
    };
    const QString root = m_folders.GetRootFolder();
    for (const QString &name : FileFolders()) {
        if (Inside(folder, QDir(root).filePath(name)))
            return fail(tr("The export cannot go into the practice's own folder %1.")
                            .arg(QDir::toNativeSeparators(QDir(root).filePath(name))));
    }
    const bool existed = QFileInfo::exists(folder);
    progress.SetStep(tr("Exporting the tables..."));
    QString reason;
    const Korbel::Progress reportTo
        = [&progress](qint64 done, qint64 total) { return progress.Continue(done, total); };
    const Korbel::Outcome tables = m_onServer
        ? Korbel::ExportTables(m_server, folder, reportTo, &reason)
        : Korbel::ExportTables(m_folders.GetDatabasePath(), folder, reportTo, &reason);
    if (tables != Korbel::Outcome::Done)
        return tables == Korbel::Outcome::Cancelled ? tables : fail(reason);

    Korbel::ExportManifest manifest;
    Summary counted = Korbel::ReadExport(folder, &manifest, &reason) ? SummaryOf(manifest) : Summary();
    progress.SetStep(tr("Copying the patient folders..."));
    QStringList madeFiles;
    QStringList madeFolders;
    Korbel::Outcome files
        = CopySets(FileSets(root, folder), progress, &madeFiles, &madeFolders, &counted, &reason);
    if (files == Korbel::Outcome::Done
        && !Files::WriteAtomically(
            QDir(folder).filePath(QStringLiteral("README.txt")), ReadmeText().toUtf8(), &reason))
        files = Korbel::Outcome::Failed;
    if (files != Korbel::Outcome::Done) {
        // The folder was empty or absent before: everything in it is the export's.
        QDir(folder).removeRecursively();
        if (existed)
            QDir().mkpath(folder);
        return files == Korbel::Outcome::Cancelled ? files : fail(reason);
    }
    if (summary)
        *summary = counted;
    return Korbel::Outcome::Done;
}

bool PracticeTransfer::IsEmptyPractice(QString *holds, QString *error) const
{
    const QString database = m_folders.GetDatabasePath();
    if (m_onServer || QFileInfo::exists(database)) {
        QMap<QString, qint64> rows;
        if (!(m_onServer ? Korbel::CountRows(m_server, &rows, error)
                         : Korbel::CountRows(database, &rows, error)))
            return false;
        for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
            if (it.key().compare(QLatin1String("MAIN"), Qt::CaseInsensitive) == 0 && it.value() > 0) {
                *holds = PracticeRestore::Patients(it.value());
                return false;
            }
        }
    }
    std::vector<TreeFile> files;
    QStringList folders;
    ListTree(m_folders.GetUserDataFolder(), &files, &folders);
    if (!files.empty()) {
        *holds = tr("the file %1")
                     .arg(QDir::toNativeSeparators(
                         QDir(m_folders.GetUserDataFolder()).filePath(files.front().relative)));
        return false;
    }
    return true;
}

bool PracticeTransfer::CheckImport(const QString &folder, Summary *summary, QString *error) const
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    Korbel::ExportManifest manifest;
    QString reason;
    if (!Korbel::ReadExport(folder, &manifest, &reason))
        return fail(reason);
    Summary counted = SummaryOf(manifest);

    QString holds;
    if (!IsEmptyPractice(&holds, &reason)) {
        if (!reason.isEmpty())
            return fail(reason);
        return fail(
            tr("The practice in %1 is not empty: it holds %2. A practice export is imported only into an "
               "empty practice, so that nothing here is overwritten: start Verdanta in a new, empty "
               "folder and import there.")
                .arg(QDir::toNativeSeparators(m_folders.GetRootFolder()), holds));
    }
    for (const FileSet &set : FileSets(folder, m_folders.GetRootFolder())) {
        for (const TreeFile &file : set.files) {
            const QString here = QDir(set.toRoot).filePath(file.relative);
            if (QFileInfo::exists(here) && !SameContent(QDir(set.fromRoot).filePath(file.relative), here))
                return fail(tr("The file %1 exists here with other content; the import would replace it.")
                                .arg(QDir::toNativeSeparators(here)));
            ++counted.files;
            counted.bytes += file.size;
        }
    }
    if (summary)
        *summary = counted;
    return true;
}

Korbel::Outcome PracticeTransfer::Import(
    const QString &folder, const QDateTime &now, IProgress &progress, QString *keptPath, QString *error) const
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return Korbel::Outcome::Failed;
    };
    QString reason;
    if (!CheckImport(folder, nullptr, &reason))
        return fail(reason);
    if (m_onServer)
        return ImportToServer(folder, now, progress, keptPath, error);

    const QString database = m_folders.GetDatabasePath();
    const QString staged = PracticeRestore(m_folders).StagedName(QStringLiteral(".importing"), &reason);
    if (staged.isEmpty())
        return fail(reason);
    progress.SetStep(tr("Importing the tables..."));
    const Korbel::Outcome tables = Korbel::ImportTables(
        folder, staged, [&progress](qint64 done, qint64 total) { return progress.Continue(done, total); },
        &reason);
    if (tables != Korbel::Outcome::Done)
        return tables == Korbel::Outcome::Cancelled ? tables : fail(reason);
    progress.SetStep(tr("Checking the imported database..."));
    const Korbel::FileCheck check = Korbel::CheckDatabaseFile(staged, Korbel::CheckDepth::Quick);
    if (!check.IsSound()) {
        Korbel::RemoveDatabaseFile(staged);
        return fail(tr("The imported database is not sound. %1").arg(PracticeRestore::Explain(check)));
    }

    progress.SetStep(tr("Copying the patient folders..."));
    QStringList madeFiles;
    QStringList madeFolders;
    const Korbel::Outcome files = CopySets(
        FileSets(folder, m_folders.GetRootFolder()), progress, &madeFiles, &madeFolders, nullptr, &reason);
    if (files != Korbel::Outcome::Done) {
        Undo(madeFiles, madeFolders);
        Korbel::RemoveDatabaseFile(staged);
        return files == Korbel::Outcome::Cancelled ? files : fail(reason);
    }
    const QString kept = QFileInfo::exists(database)
        ? PracticeRestore(m_folders).KeptName(PracticeRestore::Reason::Import, now)
        : QString();
    if (!Korbel::ReplaceDatabaseFile(database, staged, kept, &reason)) {
        Undo(madeFiles, madeFolders);
        Korbel::RemoveDatabaseFile(staged);
        return fail(reason);
    }
    if (keptPath)
        *keptPath = kept;
    return Korbel::Outcome::Done;
}

Korbel::Outcome PracticeTransfer::ImportToServer(
    const QString &folder, const QDateTime &now, IProgress &progress, QString *keptPath, QString *error) const
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return Korbel::Outcome::Failed;
    };
    const Korbel::ServerAddress &address = m_server.address;
    ServerPracticeLock lock(address, m_server.password);
    switch (lock.Acquire(ServerPracticeLock::Mode::Exclusive)) {
    case ServerPracticeLock::State::Held:
        break;
    case ServerPracticeLock::State::HeldElsewhere:
        return fail(lock.HeldElsewhereMessage());
    case ServerPracticeLock::State::Unavailable:
        return fail(lock.Error());
    }
    QString reason;
    // The empty practice's database as a dump first: the import replaces it.
    progress.SetStep(tr("Keeping the practice's database as it is now..."));
    const ServerDump server(address, m_server.password);
    const QString kept
        = ServerBackups(m_folders, address, m_server.password).KeptName(PracticeRestore::Reason::Import, now);
    if (!server.Dump(kept, &reason))
        return fail(reason);
    // Whatever fails from here puts the kept database back.
    auto putBack = [&](Korbel::Outcome outcome, const QString &why) {
        QString restored;
        if (server.Restore(kept, &restored))
            QFile::remove(kept);
        else
            reason = why + QStringLiteral("\n\n")
                + tr("The practice's database could not be put back: %1\nIt is kept as %2.")
                      .arg(restored, QDir::toNativeSeparators(kept));
        if (outcome == Korbel::Outcome::Cancelled && reason.isEmpty())
            return outcome;
        return fail(reason.isEmpty() ? why : reason);
    };
    progress.SetStep(tr("Importing the tables..."));
    ServerLink link(address, m_server.password);
    if (!link.Open(&reason) || !link.DropEverything(&reason))
        return putBack(Korbel::Outcome::Failed, reason);
    reason.clear();
    QString why;
    const Korbel::Outcome tables = Korbel::ImportTables(
        folder, m_server, [&progress](qint64 done, qint64 total) { return progress.Continue(done, total); },
        &why);
    if (tables != Korbel::Outcome::Done)
        return putBack(tables, why);

    progress.SetStep(tr("Copying the patient folders..."));
    QStringList madeFiles;
    QStringList madeFolders;
    const Korbel::Outcome files = CopySets(
        FileSets(folder, m_folders.GetRootFolder()), progress, &madeFiles, &madeFolders, nullptr, &why);
    if (files != Korbel::Outcome::Done) {
        Undo(madeFiles, madeFolders);
        return putBack(files, why);
    }
    if (keptPath)
        *keptPath = kept;
    return Korbel::Outcome::Done;
}
