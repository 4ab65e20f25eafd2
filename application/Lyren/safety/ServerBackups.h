#pragma once

#include "safety/PracticeRestore.h"

#include "core/CLogicFolders.h"

#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <functional>
#include <vector>

class IProgress;

// The weekly backups of a practice on a database server and their restore.
// A backup is a dump of the whole database at one moment (ServerDump), kept
// as "data.dump" in the same four generations as a database file's backups,
// in the Backup folder of the folder the seats share. A restore needs the
// practice alone (the server lock taken exclusively): the database as it is
// is dumped first and kept beside the Backup folder, so that the restore can
// be undone, then the chosen dump replaces the database's contents in one
// transaction.
class ServerBackups
{
    Q_DECLARE_TR_FUNCTIONS(ServerBackups)

public:
    using Slot = CLogicFolders::BackupSlot;

    ServerBackups(
        const CLogicFolders &folders, const Korbel::ServerAddress &address, const QString &password);

    QString DumpPath(Slot slot) const;
    // The four generations, newest slot first, described without a check.
    std::vector<BackupCopy> Generations() const;
    BackupCopy Describe(const QString &path) const;

    // Makes a new dump and rotates the generations (the oldest one goes),
    // as the weekly backup of a database file does; while a backup runs no
    // other seat makes one, and 'stillDue' (when given) says, once this seat
    // has its turn, whether the backup is still to be made. False with the
    // reason (none when it was no longer due); the earlier generations are
    // then as they were.
    bool MakeBackup(QString *error, const std::function<bool()> &stillDue = {}) const;

    // Puts a new copy ('made', beside the newest generation) in place as the
    // newest generation named 'fileName', each older one moved on, the oldest
    // dropped. The moves run oldest first, and a move that fails stops the
    // rotation before any copy is replaced; 'made' is then removed. Used for
    // database files and dumps alike.
    static bool Rotate(
        const CLogicFolders &folders, const QString &fileName, const QString &made, QString *error);

    // Whether the file is a dump that can be restored; false with the reason.
    bool Verify(const QString &path, QString *reason) const;
    // With the practice closed: takes the practice alone, keeps the database
    // as it is under KeptName(reason, now) ('keptPath'), then restores the
    // dump. False with the reason; the database is then as it was.
    bool Restore(const QString &dump, PracticeRestore::Reason reason, const QDateTime &now,
        IProgress *progress, QString *keptPath, QString *error) const;
    // Puts a kept dump back (when the practice does not open on the
    // restored one).
    bool PutBack(const QString &keptPath, QString *error) const;
    // "data-before-restore-<date>.dump" in the shared folder.
    QString KeptName(PracticeRestore::Reason reason, const QDateTime &now) const;

private:
    const CLogicFolders &m_folders;
    Korbel::ServerAddress m_address;
    QString m_password;
};
