#pragma once

#include <QtCore/QDateTime>
#include <QtCore/QString>

class CLogicConfiguration;
class CLogicFolders;

namespace Korbel {
class IDataSource;
}

// The weekly backup of the database, run at every close of the main window
// while the database is still open. Four generations rotate under
// Backup/ThisWeek, LastWeek, BeforeLastWeek and BeforeBeforeLastWeek.
class CLogicBackup
{
public:
    // Makes the backup when it is due; true when one was made. The copy is the
    // data library's online backup of the open database, so it is consistent
    // even though the program holds the file open. The generations rotate only
    // once the new copy exists, and "LastBackupTS" records the day only then,
    // so a failed copy is tried again at the next close.
    bool RunIfDue(CLogicConfiguration &configuration, const CLogicFolders &folders,
        Korbel::IDataSource *source, const QDateTime &now = QDateTime::currentDateTime());

    // Due when the stamp is empty or not a date, when the day lies in the
    // future, or when seven days or more have passed.
    static bool IsDue(const QString &stamp, const QDate &today);
};
