#include "shell/CLogicBackup.h"

#include "core/CLogicFolders.h"
#include "safety/ServerBackups.h"
#include "shell/CLogicConfiguration.h"

#include "Korbel/DataSource.h"
#include "common/LocaleDates.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

using Slot = CLogicFolders::BackupSlot;

} // namespace

bool CLogicBackup::IsDue(const QString &stamp, const QDate &today)
{
    if (stamp.isEmpty())
        return true;
    QDate last;
    if (!Verdanta::ParseBackupMark(stamp, &last) && !Verdanta::ParseLocaleDate(stamp, &last))
        return true;
    // Whole days from the stored day to today; a day in the future counts
    // as negative, not as a fraction of today.
    const qint64 days = last.daysTo(today);
    return days < 0 || days > 6;
}

bool CLogicBackup::RunIfDue(CLogicConfiguration &configuration, const CLogicFolders &folders,
    Korbel::IDataSource *source, const QDateTime &now, QString *failure)
{
    if (!source)
        return false;
    QString stamp;
    if (!configuration.ReadLastBackupStamp(&stamp) || !IsDue(stamp, now.date()))
        return false;
    auto fail = [failure](const QString &reason) {
        if (failure)
            *failure = reason;
        return false;
    };

    // A database on a server is dumped by the server's own tool, into the
    // Backup folder the seats share; the seat that comes second in a week
    // finds the backup made.
    if (folders.DatabaseOnServer() || Korbel::EngineOf(source) != Korbel::Engine::SQLite) {
        Korbel::ServerAddress address;
        QString reason;
        if (!Korbel::ServerAddress::Parse(folders.GetDatabasePath(), &address, &reason))
            return fail(reason);
        const auto stillDue = [&configuration, &now] {
            QString latest;
            return configuration.ReadLastBackupStamp(&latest) && IsDue(latest, now.date());
        };
        if (!ServerBackups(folders, address, m_serverPassword).MakeBackup(&reason, stillDue))
            return reason.isEmpty() ? false : fail(reason);
        configuration.WriteLastBackupStamp(Verdanta::FormatBackupMark(now.date()));
        return true;
    }

    QDir dir;
    dir.mkpath(folders.GetBackupFolder());
    for (Slot slot : { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek })
        dir.mkdir(folders.GetBackupSlotFolder(slot));

    const QString copy = folders.GetBackupPath(Slot::ThisWeek) + QStringLiteral(".new");
    if (!source->BackupTo(copy)) {
        QFile::remove(copy);
        return fail(source->GetErrorDescription());
    }
    QString reason;
    if (!ServerBackups::Rotate(
            folders, QFileInfo(folders.GetBackupPath(Slot::ThisWeek)).fileName(), copy, &reason))
        return fail(reason);
    configuration.WriteLastBackupStamp(Verdanta::FormatBackupMark(now.date()));
    return true;
}
