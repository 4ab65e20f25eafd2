#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

class CLogicConfiguration;
class CLogicFolders;

namespace Korbel {
class IDataSource;
}

// The weekly backup of the database, run at every close of the main window
// while the database is still open. Four generations rotate under
// Backup/ThisWeek, LastWeek, BeforeLastWeek and BeforeBeforeLastWeek: copies
// of the database file, or dumps of a database on a server.
class CLogicBackup
{
    Q_DECLARE_TR_FUNCTIONS(CLogicBackup)

public:
    // Makes the backup when it is due; true when one was made. The copy is the
    // data library's online backup of the open database, so it is consistent
    // even though the program holds the file open. The generations rotate only
    // once the new copy exists, a move that fails stops the rotation before
    // any copy is replaced, and "LastBackupTS" records the day only once the
    // new copy is in place, so a failed backup is tried again at the next
    // close. 'failure' gets the reason when a due backup could not be made
    // (a full disk, a read-only folder); the earlier copies are then as they
    // were.
    bool RunIfDue(CLogicConfiguration &configuration, const CLogicFolders &folders,
        Korbel::IDataSource *source, const QDateTime &now = QDateTime::currentDateTime(),
        QString *failure = nullptr);

    // The password of the database server for its dumps (kept in memory
    // only); without one the PostgreSQL password file is read.
    void SetServerPassword(const QString &password) { m_serverPassword = password; }

    // Due when the stamp is empty or not a date, when the day lies in the
    // future, or when seven days or more have passed.
    static bool IsDue(const QString &stamp, const QDate &today);

private:
    QString m_serverPassword;
};
