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
bool MoveReplacing(const QString &from, const QString &to)
{
    if (!QFile::exists(from))
        return true;
    std::error_code error;
    std::filesystem::rename(
        std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()), error);
    return !error;
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
    Korbel::IDataSource *source, const QDateTime &now, QString *failure)
{
    // The copy of a file is no backup of a database on a server: that one is
    // dumped by the server's own tool.
    if (!source || Korbel::EngineOf(source) != Korbel::Engine::SQLite || folders.DatabaseOnServer())
        return false;
    QString stamp;
    if (!configuration.ReadLastBackupStamp(&stamp) || !IsDue(stamp, now.date()))
        return false;
    auto fail = [failure](const QString &reason) {
        if (failure)
            *failure = reason;
        return false;
    };

    QDir dir;
    dir.mkpath(folders.GetBackupFolder());
    for (Slot slot : { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek })
        dir.mkdir(folders.GetBackupSlotFolder(slot));

    const QString copy = folders.GetBackupPath(Slot::ThisWeek) + QStringLiteral(".new");
    if (!source->BackupTo(copy)) {
        QFile::remove(copy);
        return fail(source->GetErrorDescription());
    }
    // Oldest first, each move onto the place the previous one emptied: after
    // a failed move no later one may run, or it would replace a copy that
    // was not moved on.
    const std::pair<Slot, Slot> moves[] = { { Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek },
        { Slot::LastWeek, Slot::BeforeLastWeek }, { Slot::ThisWeek, Slot::LastWeek } };
    for (const auto &[from, to] : moves) {
        if (!MoveReplacing(folders.GetBackupPath(from), folders.GetBackupPath(to))) {
            QFile::remove(copy);
            return fail(tr("%1 cannot be moved to %2.")
                            .arg(QDir::toNativeSeparators(folders.GetBackupPath(from)),
                                QDir::toNativeSeparators(folders.GetBackupPath(to))));
        }
    }
    if (!MoveReplacing(copy, folders.GetBackupPath(Slot::ThisWeek))
        || !QFile::exists(folders.GetBackupPath(Slot::ThisWeek))) {
        QFile::remove(copy);
        return fail(tr("The new backup cannot be put in place as %1.")
                        .arg(QDir::toNativeSeparators(folders.GetBackupPath(Slot::ThisWeek))));
    }

    configuration.WriteLastBackupStamp(Verdanta::FormatBackupMark(now.date()));
    return true;
}
