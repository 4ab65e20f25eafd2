#include "shell/CLogicBackup.h"

#include "core/CLogicFolders.h"
#include "shell/CLogicConfiguration.h"

#include "Korbel/DataSource.h"
#include "common/LocaleDates.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <filesystem>
#include <system_error>

namespace {

using Slot = CLogicFolders::BackupSlot;

// Replaces the destination in one step; a missing source is skipped.
void MoveReplacing(const QString &from, const QString &to)
{
    if (!QFile::exists(from))
        return;
    std::error_code error;
    std::filesystem::rename(
        std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()), error);
}

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
    Korbel::IDataSource *source, const QDateTime &now)
{
    QString stamp;
    if (!configuration.ReadLastBackupStamp(&stamp) || !IsDue(stamp, now.date()) || !source)
        return false;

    QDir dir;
    dir.mkpath(folders.GetBackupFolder());
    for (Slot slot : { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek })
        dir.mkdir(folders.GetBackupSlotFolder(slot));

    const QString copy = folders.GetBackupPath(Slot::ThisWeek) + QStringLiteral(".new");
    if (!source->BackupTo(copy)) {
        QFile::remove(copy);
        return false;
    }
    MoveReplacing(
        folders.GetBackupPath(Slot::BeforeLastWeek), folders.GetBackupPath(Slot::BeforeBeforeLastWeek));
    MoveReplacing(folders.GetBackupPath(Slot::LastWeek), folders.GetBackupPath(Slot::BeforeLastWeek));
    MoveReplacing(folders.GetBackupPath(Slot::ThisWeek), folders.GetBackupPath(Slot::LastWeek));
    MoveReplacing(copy, folders.GetBackupPath(Slot::ThisWeek));
    if (!QFile::exists(folders.GetBackupPath(Slot::ThisWeek)))
        return false;

    configuration.WriteLastBackupStamp(Verdanta::FormatBackupMark(now.date()));
    return true;
}
