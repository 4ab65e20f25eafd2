#pragma once

#include "safety/PracticeRestore.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"
#include "core/PracticeSession.h"
#include "core/ProgressRunner.h"
#include "core/Subsystem.h"

#include "Korbel/TableTransfer.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

class LogicContext;

// The practice's data as a whole, from the Patient menu: restoring a weekly
// backup (or another copy), checking the database, exporting the practice and
// importing an export into an empty practice. Restore and import need the
// practice closed: they are handed to the program's session
// (IPracticeSession), which closes the practice, runs them and opens it again.
class CLogicPracticeData final : public ILogicObject, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPracticeData)

public:
    explicit CLogicPracticeData(LogicContext &context);

    // Codes RestoreBackup, CheckDatabase, ExportPractice, ImportPractice and
    // MovePracticeToServer. On a server, backups are dumps and the database
    // is checked by the server itself.
    int OnCommand(LogicCommand &command) override;

    int RestoreBackup(QWidget *parent);
    int CheckDatabase(QWidget *parent);
    int ExportPractice(QWidget *parent);
    int ImportPractice(QWidget *parent);
    // Moves the practice's database file into the (empty) database of the
    // server that Options > Database Connection... names; this computer then
    // works there, the practice's folder becoming the shared folder.
    int MovePracticeToServer(QWidget *parent);

    // The restore of a copy with the practice closed, as the session runs it
    // (also at start when the database is damaged and the practice is not
    // open). The messages say what happened, for the person.
    static ClosedWork RestoreWork(
        const QString &rootFolder, const BackupCopy &copy, PracticeRestore::Reason reason);
    // Finds the newest good backup for a damaged database and asks whether to
    // restore it; the copy to restore, none when the person said no or there
    // is none (then told what to do, unless 'tellWhenNone' is false).
    static std::optional<BackupCopy> OfferNewestGood(QWidget *parent, const QString &rootFolder,
        const Korbel::FileCheck &damage, IProgressRunner &runner, bool tellWhenNone = true);

    static QString RestoreQuestion(const BackupCopy &copy, const QString &keptName);
    static QString DamagedQuestion(
        const Korbel::FileCheck &damage, const BackupCopy &copy, const QString &keptName);
    static QString NoGoodBackupMessage(const Korbel::FileCheck &damage);
    // The restore of a dump into the practice's server database, with the
    // practice closed.
    static ClosedWork ServerRestoreWork(
        const QString &rootFolder, const Korbel::ServerLogin &server, const BackupCopy &copy);

private:
    IProgressRunner &Runner();
    // The server the practice is on, with its password from the keyring;
    // none for a database file.
    std::optional<Korbel::ServerLogin> Server() const;
    // Checks a copy and, when it can be restored and the person confirms,
    // queues its restore; 1 when queued.
    int OfferRestore(QWidget *parent, const BackupCopy &copy);

    LogicContext &m_context;
    InlineProgressRunner m_inlineRunner;
};

// Installs the practice data commands.
std::unique_ptr<ISubsystem> InstallPracticeData(LogicContext &context);
