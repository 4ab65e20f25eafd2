#include "safety/CLogicPracticeData.h"

#include "safety/PracticeConnection.h"
#include "safety/PracticeDataDialogs.h"
#include "safety/PracticeTransfer.h"
#include "safety/ServerBackups.h"
#include "safety/ServerMigration.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"
#include "secrets/SecretStore.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>

#include <memory>

namespace {

class PracticeDataLogic final : public ISubsystem
{
public:
    explicit PracticeDataLogic(LogicContext &context)
        : m_context(context)
        , m_logic(context)
    {
        m_logic.SetServices(&context.Services());
        context.Routes().Own(Owner::PracticeData, &m_logic);
    }
    ~PracticeDataLogic() override { m_context.Routes().Forget(Owner::PracticeData); }

private:
    LogicContext &m_context;
    CLogicPracticeData m_logic;
};

// What the person is told when a restored database does not open and the
// kept one was (or could not be) put back.
bool PutBackTold(bool putBack, const QString &error, const QString &kept, QString *message)
{
    *message = putBack
        ? CLogicPracticeData::tr("The restored database cannot be opened; the previous one was put back.")
        : CLogicPracticeData::tr(
            "The restored database cannot be opened, and the previous one cannot be put back: %1\n\n"
            "It is kept as \"%2\".")
              .arg(error, QDir::toNativeSeparators(kept));
    return putBack;
}

QString Problems(const Korbel::FileCheck &check)
{
    return check.problems.isEmpty() ? check.error : check.problems.mid(0, 5).join(QLatin1Char('\n'));
}

} // namespace

std::unique_ptr<ISubsystem> InstallPracticeData(LogicContext &context)
{
    return std::make_unique<PracticeDataLogic>(context);
}

CLogicPracticeData::CLogicPracticeData(LogicContext &context)
    : m_context(context)
{ }

IProgressRunner &CLogicPracticeData::Runner()
{
    IProgressRunner *runner = Service<IProgressRunner>();
    return runner ? *runner : m_inlineRunner;
}

std::optional<Korbel::ServerLogin> CLogicPracticeData::Server() const
{
    const CLogicFolders &folders = m_context.Folders();
    Korbel::ServerAddress address;
    if (!folders.DatabaseOnServer()
        || !Korbel::ServerAddress::Parse(folders.GetDatabasePath(), &address, nullptr))
        return std::nullopt;
    Secrets::ISecretStore *keyring = Service<Secrets::ISecretStore>();
    return Korbel::ServerLogin { address, keyring ? ServerPasswords::Read(*keyring, address) : QString() };
}

int CLogicPracticeData::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::RestoreBackup:
        return RestoreBackup(command.window);
    case CommandCode::CheckDatabase:
        return CheckDatabase(command.window);
    case CommandCode::ExportPractice:
        return ExportPractice(command.window);
    case CommandCode::ImportPractice:
        return ImportPractice(command.window);
    case CommandCode::MovePracticeToServer:
        return MovePracticeToServer(command.window);
    default:
        return 0;
    }
}

QString CLogicPracticeData::RestoreQuestion(const BackupCopy &copy, const QString &keptName)
{
    return tr("Restore %1?\n\n"
              "The practice will hold the data as they were in this copy. The database as it is now is "
              "kept beside it as \"%2\", so nothing is lost.\n\n"
              "The patient folders (pictures, recordings, documents, invoices) are left as they are: files "
              "added since stay, and files removed since do not come back.\n\n"
              "Verdanta saves the current patient, closes the practice, restores the copy and opens the "
              "practice again.")
        .arg(PracticeRestore::Title(copy), QFileInfo(keptName).fileName());
}

QString CLogicPracticeData::DamagedQuestion(
    const Korbel::FileCheck &damage, const BackupCopy &copy, const QString &keptName)
{
    return tr("The practice's database is damaged:\n\n%1\n\n"
              "The newest good backup is %2. Restore it now?\n\n"
              "The damaged database is kept beside it as \"%3\". The patient folders are left as they are. "
              "What was entered since the backup is not in it.")
        .arg(Problems(damage), PracticeRestore::Title(copy), QFileInfo(keptName).fileName());
}

QString CLogicPracticeData::NoGoodBackupMessage(const Korbel::FileCheck &damage)
{
    return tr(
        "The practice's database is damaged:\n\n%1\n\n"
        "No good backup was found. Make a copy of the whole practice folder now, keep working with care "
        "and ask for help; Patient > Export practice... saves what can still be read.")
        .arg(Problems(damage));
}

ClosedWork CLogicPracticeData::RestoreWork(
    const QString &rootFolder, const BackupCopy &copy, PracticeRestore::Reason reason)
{
    auto kept = std::make_shared<QString>();
    ClosedWork work;
    work.caption = tr("Restoring %1").arg(PracticeRestore::Title(copy));
    work.run = [rootFolder, copy, reason, kept](IProgress &progress, QString *message) {
        const CLogicFolders folders(rootFolder, QString());
        QString error;
        if (!PracticeRestore(folders).Restore(
                copy.path, reason, QDateTime::currentDateTime(), &progress, kept.get(), &error)) {
            *message = tr("The copy was not restored:\n\n%1\n\nThe practice is as it was.").arg(error);
            return false;
        }
        *message = tr("%1 was restored.").arg(PracticeRestore::Title(copy));
        if (!kept->isEmpty())
            *message += tr("\n\nThe database as it was before is kept as \"%1\".")
                            .arg(QDir::toNativeSeparators(*kept));
        *message += tr("\n\nThe patient folders were left as they are.");
        return true;
    };
    work.undo = [rootFolder, kept](QString *message) {
        if (kept->isEmpty())
            return false;
        const CLogicFolders folders(rootFolder, QString());
        QString error;
        return PutBackTold(PracticeRestore(folders).PutBack(*kept, QDateTime::currentDateTime(), &error),
            error, *kept, message);
    };
    return work;
}

std::optional<BackupCopy> CLogicPracticeData::OfferNewestGood(QWidget *parent, const QString &rootFolder,
    const Korbel::FileCheck &damage, IProgressRunner &runner, bool tellWhenNone)
{
    const CLogicFolders folders(rootFolder, QString());
    const PracticeRestore restore(folders);
    std::optional<BackupCopy> newest;
    runner.Run(parent, tr("Looking for the newest good backup"), true, [&](IProgress &progress) {
        newest = restore.NewestGood(&progress);
        return newest.has_value();
    });
    if (!newest) {
        if (tellWhenNone)
            Desktop::Prompts().Show(
                parent, NoGoodBackupMessage(damage), Desktop::Buttons::Ok, Desktop::Icon::Error);
        return std::nullopt;
    }
    const QString kept = restore.KeptName(PracticeRestore::Reason::Damage, QDateTime::currentDateTime());
    if (Desktop::Prompts().Show(
            parent, DamagedQuestion(damage, *newest, kept), Desktop::Buttons::YesNo, Desktop::Icon::Warning)
        != Desktop::Answer::Yes)
        return std::nullopt;
    return newest;
}

int CLogicPracticeData::OfferRestore(QWidget *parent, const BackupCopy &copy)
{
    const PracticeRestore restore(m_context.Folders());
    const std::optional<Korbel::ServerLogin> server = Server();
    PracticeRestore::Verdict verdict;
    Runner().Run(
        parent, tr("Checking %1").arg(PracticeRestore::Title(copy)), !server, [&](IProgress &progress) {
            if (!server) {
                verdict = restore.Verify(copy.path, &progress);
                return verdict.usable;
            }
            verdict.usable = ServerBackups(m_context.Folders(), server->address, server->password)
                                 .Verify(copy.path, &verdict.reason);
            return verdict.usable;
        });
    if (!verdict.usable) {
        Desktop::Prompts().Show(parent,
            tr("%1 cannot be restored.\n\n%2\n\nThe practice stays as it is.")
                .arg(PracticeRestore::Title(copy), verdict.reason),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    BackupCopy checked = copy;
    checked.patients = verdict.patients;
    const QString kept = server
        ? ServerBackups(m_context.Folders(), server->address, server->password)
              .KeptName(PracticeRestore::Reason::Restore, QDateTime::currentDateTime())
        : restore.KeptName(PracticeRestore::Reason::Restore, QDateTime::currentDateTime());
    if (Desktop::Prompts().Show(
            parent, RestoreQuestion(checked, kept), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;
    IPracticeSession *session = Service<IPracticeSession>();
    const QString root = m_context.Folders().GetRootFolder();
    return session
            && session->ReopenAfter(server ? ServerRestoreWork(root, *server, checked)
                                           : RestoreWork(root, checked, PracticeRestore::Reason::Restore))
        ? 1
        : 0;
}

int CLogicPracticeData::RestoreBackup(QWidget *parent)
{
    IBackupChooser *chooser = Service<IBackupChooser>();
    if (!chooser)
        return 0;
    const PracticeRestore restore(m_context.Folders());
    const std::optional<Korbel::ServerLogin> server = Server();
    const std::optional<ServerBackups> dumps = server
        ? std::optional<ServerBackups>(std::in_place, m_context.Folders(), server->address, server->password)
        : std::nullopt;
    const std::vector<BackupCopy> copies = dumps ? dumps->Generations() : restore.Generations();
    const QString chosen = chooser->ChooseBackup(parent, copies);
    if (chosen.isEmpty())
        return 0;
    for (const BackupCopy &copy : copies) {
        if (copy.path == chosen)
            return OfferRestore(parent, copy);
    }
    return OfferRestore(parent, dumps ? dumps->Describe(chosen) : restore.Describe(chosen));
}

int CLogicPracticeData::CheckDatabase(QWidget *parent)
{
    if (m_context.Folders().DatabaseOnServer()) {
        Desktop::Prompts().Show(parent,
            tr("The practice's database is on the server %1, which checks its own pages as it reads them. "
               "Verdanta checks database files only; the weekly backups of the server are complete dumps.")
                .arg(m_context.Folders().GetDatabasePath()),
            Desktop::Buttons::Ok, Desktop::Icon::Information);
        return 1;
    }
    const QString database = m_context.Folders().GetDatabasePath();
    Korbel::FileCheck check;
    Runner().Run(parent, tr("Checking the database"), true, [&](IProgress &progress) {
        progress.SetStep(
            tr("Checking every page, record and index of %1...").arg(QDir::toNativeSeparators(database)));
        check = Korbel::CheckDatabaseFile(database, Korbel::CheckDepth::Full,
            [&progress](qint64 done, qint64 total) { return progress.Continue(done, total); });
        return check.IsSound();
    });
    switch (check.state) {
    case Korbel::FileCheck::State::Sound:
        Desktop::Prompts().Show(parent,
            tr("The database is sound: every page, record and index of %1 was checked.")
                .arg(QDir::toNativeSeparators(database)),
            Desktop::Buttons::Ok, Desktop::Icon::Information);
        return 1;
    case Korbel::FileCheck::State::Cancelled:
        return 0;
    case Korbel::FileCheck::State::Damaged:
        break;
    default:
        Desktop::Prompts().Show(parent,
            tr("The database could not be checked.\n\n%1").arg(PracticeRestore::Explain(check)),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    const std::optional<BackupCopy> newest
        = OfferNewestGood(parent, m_context.Folders().GetRootFolder(), check, Runner());
    IPracticeSession *session = Service<IPracticeSession>();
    if (!newest || !session)
        return 0;
    return session->ReopenAfter(
               RestoreWork(m_context.Folders().GetRootFolder(), *newest, PracticeRestore::Reason::Damage))
        ? 1
        : 0;
}

int CLogicPracticeData::ExportPractice(QWidget *parent)
{
    const QString chosen = Desktop::FileDialogs().GetExistingFolder(
        parent, tr("Export the practice into a folder"), QDir::homePath());
    if (chosen.isEmpty())
        return 0;
    // Always a new folder inside the chosen one: an export never mixes with
    // other files.
    const QString folder
        = QDir(chosen).filePath(PracticeTransfer::ExportFolderName(QDateTime::currentDateTime()));
    if (QFileInfo::exists(folder)) {
        Desktop::Prompts().Show(parent,
            tr("The folder %1 exists already. Wait a minute and export again.")
                .arg(QDir::toNativeSeparators(folder)),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    const std::optional<Korbel::ServerLogin> server = Server();
    const PracticeTransfer transfer = server
        ? PracticeTransfer(m_context.Folders(), server->address, server->password)
        : PracticeTransfer(m_context.Folders());
    PracticeTransfer::Summary summary;
    QString error;
    Korbel::Outcome outcome = Korbel::Outcome::Failed;
    Runner().Run(parent, tr("Exporting the practice"), true, [&](IProgress &progress) {
        outcome = transfer.Export(folder, progress, &summary, &error);
        return outcome == Korbel::Outcome::Done;
    });
    if (outcome == Korbel::Outcome::Cancelled)
        return 0;
    if (outcome != Korbel::Outcome::Done) {
        Desktop::Prompts().Show(parent, tr("The practice could not be exported:\n\n%1").arg(error),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    Desktop::Prompts().Show(parent,
        tr("The practice was exported to %1:\n\n%2 tables with %3 rows (%4), and %5 files of the patient "
           "folders. README.txt in that folder says how to read it.")
            .arg(QDir::toNativeSeparators(folder))
            .arg(summary.tables)
            .arg(summary.rows)
            .arg(PracticeRestore::Patients(summary.patients))
            .arg(summary.files),
        Desktop::Buttons::Ok, Desktop::Icon::Information);
    return 1;
}

int CLogicPracticeData::ImportPractice(QWidget *parent)
{
    const QString folder = Desktop::FileDialogs().GetExistingFolder(
        parent, tr("Import the practice exported into a folder"), QDir::homePath());
    if (folder.isEmpty())
        return 0;
    const std::optional<Korbel::ServerLogin> server = Server();
    const PracticeTransfer transfer = server
        ? PracticeTransfer(m_context.Folders(), server->address, server->password)
        : PracticeTransfer(m_context.Folders());
    PracticeTransfer::Summary summary;
    QString error;
    if (!transfer.CheckImport(folder, &summary, &error)) {
        Desktop::Prompts().Show(parent, tr("The practice cannot be imported.\n\n%1").arg(error),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    const QString made = QLocale().toString(summary.created.toLocalTime(), QLocale::ShortFormat);
    if (Desktop::Prompts().Show(parent,
            tr("Import the practice exported on %1 from %2?\n\n"
               "It holds %3, %4 rows in %5 tables and %6 files. This practice has no patients; it will hold "
               "the imported data, and its database as it is now is kept beside it.\n\n"
               "Verdanta closes the practice, imports the export and opens the practice again.")
                .arg(made, QDir::toNativeSeparators(folder), PracticeRestore::Patients(summary.patients))
                .arg(summary.rows)
                .arg(summary.tables)
                .arg(summary.files),
            Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;
    IPracticeSession *session = Service<IPracticeSession>();
    if (!session)
        return 0;
    const QString root = m_context.Folders().GetRootFolder();
    ClosedWork work;
    work.caption = tr("Importing the practice");
    work.run = [root, folder, server](IProgress &progress, QString *message) {
        const CLogicFolders folders(root, QString());
        QString kept;
        QString reason;
        const PracticeTransfer closed = server ? PracticeTransfer(folders, server->address, server->password)
                                               : PracticeTransfer(folders);
        const Korbel::Outcome outcome
            = closed.Import(folder, QDateTime::currentDateTime(), progress, &kept, &reason);
        if (outcome == Korbel::Outcome::Done) {
            *message = tr("The practice was imported from %1.").arg(QDir::toNativeSeparators(folder));
            return true;
        }
        *message = outcome == Korbel::Outcome::Cancelled
            ? tr("The import was stopped; the practice is as it was.")
            : tr("The practice could not be imported:\n\n%1\n\nThe practice is as it was.").arg(reason);
        return false;
    };
    return session->ReopenAfter(std::move(work)) ? 1 : 0;
}

ClosedWork CLogicPracticeData::ServerRestoreWork(
    const QString &rootFolder, const Korbel::ServerLogin &server, const BackupCopy &copy)
{
    auto kept = std::make_shared<QString>();
    ClosedWork work;
    work.caption = tr("Restoring %1").arg(PracticeRestore::Title(copy));
    work.run = [rootFolder, server, copy, kept](IProgress &progress, QString *message) {
        const CLogicFolders folders(rootFolder, QString());
        QString error;
        if (!ServerBackups(folders, server.address, server.password)
                 .Restore(copy.path, PracticeRestore::Reason::Restore, QDateTime::currentDateTime(),
                     &progress, kept.get(), &error)) {
            *message = tr("The copy was not restored:\n\n%1\n\nThe practice is as it was.").arg(error);
            return false;
        }
        *message = tr("%1 was restored.\n\nThe database as it was before is kept as \"%2\".\n\nThe patient "
                      "folders were left as they are.")
                       .arg(PracticeRestore::Title(copy), QDir::toNativeSeparators(*kept));
        return true;
    };
    work.undo = [rootFolder, server, kept](QString *message) {
        const CLogicFolders folders(rootFolder, QString());
        QString error;
        return PutBackTold(!kept->isEmpty()
                && ServerBackups(folders, server.address, server.password).PutBack(*kept, &error),
            error, *kept, message);
    };
    return work;
}

int CLogicPracticeData::MovePracticeToServer(QWidget *parent)
{
    const CLogicFolders &folders = m_context.Folders();
    const PracticeConnection connection = PracticeConnection::Load();
    Korbel::ServerAddress address;
    if (folders.DatabaseOnServer() || !connection.ServerAddressOf(&address, nullptr)) {
        Desktop::Prompts().Show(parent,
            folders.DatabaseOnServer()
                ? tr("The practice is on the database server %1 already.").arg(folders.GetDatabasePath())
                : tr(
                    "Name the database server first, in Options > Database Connection...: the practice moves "
                    "into that database, which must be empty."),
            Desktop::Buttons::Ok, Desktop::Icon::Information);
        return 0;
    }
    Secrets::ISecretStore *keyring = Service<Secrets::ISecretStore>();
    const QString password = keyring ? ServerPasswords::Read(*keyring, address) : QString();
    const QString root = folders.GetRootFolder();
    const QString file = folders.GetDatabasePath();
    QString error;
    bool ready = false;
    Runner().Run(parent, tr("Checking %1").arg(address.ToString()), false, [&](IProgress &) {
        ready = ServerMigration(file, address, password).Check(&error);
        return ready;
    });
    if (!ready) {
        Desktop::Prompts().Show(parent, tr("The practice cannot be moved.\n\n%1").arg(error),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    if (Desktop::Prompts().Show(parent,
            tr("Move the practice into %1?\n\n"
               "Verdanta closes the practice, copies every table with every row into that database, compares "
               "the copy with the database file value by value, and opens the practice again on the server. "
               "The database file is left as it was.\n\n"
               "The patient folders stay in %2: every computer of the practice names this folder as its "
               "shared "
               "folder.")
                .arg(address.ToString(), QDir::toNativeSeparators(root)),
            Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;
    IPracticeSession *session = Service<IPracticeSession>();
    if (!session)
        return 0;
    ClosedWork work;
    work.caption = tr("Moving the practice to %1").arg(address.ToString());
    work.run = [root, file, address, password](IProgress &progress, QString *message) {
        ServerMigration::Summary summary;
        QString reason;
        const Korbel::Outcome outcome
            = ServerMigration(file, address, password).Run(progress, &summary, &reason);
        if (outcome != Korbel::Outcome::Done) {
            *message = outcome == Korbel::Outcome::Cancelled
                ? tr("The move was stopped; the server's database is empty again and the practice is as it "
                     "was.")
                : tr("The practice was not moved:\n\n%1\n\nThe server's database is empty again and the "
                     "practice is as it was.")
                      .arg(reason);
            return false;
        }
        // This computer works on the server from now on, with the patient
        // folders where they are.
        PracticeConnection { address.ToString(), root }.Save();
        *message = tr("The practice was moved into %1: %2 tables with %3 rows, compared value by value.\n\n"
                      "Name the same server and the shared folder %4 on the practice's other computers "
                      "(Options > Database Connection...).")
                       .arg(address.ToString())
                       .arg(summary.tables)
                       .arg(summary.rows)
                       .arg(QDir::toNativeSeparators(root));
        return true;
    };
    return session->ReopenAfter(std::move(work)) ? 1 : 0;
}
