#include "safety/ServerBackups.h"

#include "safety/ServerDump.h"
#include "safety/ServerLink.h"

#include "core/ProgressRunner.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLockFile>

#include <filesystem>
#include <system_error>

namespace {

using Slot = CLogicFolders::BackupSlot;
constexpr Slot AllSlots[]
    = { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek };
// Seats that close at once wait this long for another's backup.
constexpr int BackupLockWaitMs = 5 * 60 * 1000;

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

ServerBackups::ServerBackups(
    const CLogicFolders &folders, const Korbel::ServerAddress &address, const QString &password)
    : m_folders(folders)
    , m_address(address)
    , m_password(password)
{ }

QString ServerBackups::DumpPath(Slot slot) const
{
    return m_folders.GetBackupSlotFolder(slot) + ServerDump::DumpFileName();
}

BackupCopy ServerBackups::Describe(const QString &path) const
{
    BackupCopy copy;
    copy.path = path;
    const QFileInfo info(path);
    copy.exists = info.isFile();
    if (copy.exists) {
        copy.made = info.lastModified();
        copy.readable = info.isReadable();
    }
    return copy;
}

std::vector<BackupCopy> ServerBackups::Generations() const
{
    std::vector<BackupCopy> copies;
    for (Slot slot : AllSlots) {
        BackupCopy copy = Describe(DumpPath(slot));
        copy.slot = slot;
        copies.push_back(std::move(copy));
    }
    return copies;
}

bool ServerBackups::Rotate(
    const CLogicFolders &folders, const QString &fileName, const QString &made, QString *error)
{
    auto path = [&folders, &fileName](Slot slot) { return folders.GetBackupSlotFolder(slot) + fileName; };
    // Oldest first, each move onto the place the previous one emptied: after
    // a failed move no later one may run, or it would replace a copy that
    // was not moved on.
    const std::pair<Slot, Slot> moves[] = { { Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek },
        { Slot::LastWeek, Slot::BeforeLastWeek }, { Slot::ThisWeek, Slot::LastWeek } };
    for (const auto &[from, to] : moves) {
        if (!MoveReplacing(path(from), path(to))) {
            QFile::remove(made);
            *error = tr("%1 cannot be moved to %2.")
                         .arg(QDir::toNativeSeparators(path(from)), QDir::toNativeSeparators(path(to)));
            return false;
        }
    }
    if (!MoveReplacing(made, path(Slot::ThisWeek)) || !QFile::exists(path(Slot::ThisWeek))) {
        QFile::remove(made);
        *error = tr("The new backup cannot be put in place as %1.")
                     .arg(QDir::toNativeSeparators(path(Slot::ThisWeek)));
        return false;
    }
    return true;
}

bool ServerBackups::MakeBackup(QString *error, const std::function<bool()> &stillDue) const
{
    QDir dir;
    dir.mkpath(m_folders.GetBackupFolder());
    for (Slot slot : AllSlots)
        dir.mkdir(m_folders.GetBackupSlotFolder(slot));
    // Seats share the Backup folder: one backup at a time.
    QLockFile lock(m_folders.GetBackupFolder() + QStringLiteral("backup.lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(BackupLockWaitMs)) {
        *error = tr("Another computer is making the weekly backup in %1.")
                     .arg(QDir::toNativeSeparators(m_folders.GetBackupFolder()));
        return false;
    }
    if (stillDue && !stillDue()) {
        error->clear();
        return false;
    }
    const QString made = DumpPath(Slot::ThisWeek) + QStringLiteral(".new");
    if (!ServerDump(m_address, m_password).Dump(made, error))
        return false;
    return Rotate(m_folders, ServerDump::DumpFileName(), made, error);
}

bool ServerBackups::Verify(const QString &path, QString *reason) const
{
    return ServerDump(m_address, m_password).CheckDumpFile(path, reason);
}

QString ServerBackups::KeptName(PracticeRestore::Reason reason, const QDateTime &now) const
{
    const QString stem = QFileInfo(PracticeRestore(m_folders).KeptName(reason, now)).completeBaseName();
    const QString base = m_folders.GetRootFolder() + stem;
    QString name = base + QStringLiteral(".dump");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1.dump").arg(n);
    return name;
}

bool ServerBackups::Restore(const QString &dump, PracticeRestore::Reason reason, const QDateTime &now,
    IProgress *progress, QString *keptPath, QString *error) const
{
    ServerPracticeLock lock(m_address, m_password);
    switch (lock.Acquire(ServerPracticeLock::Mode::Exclusive)) {
    case ServerPracticeLock::State::Held:
        break;
    case ServerPracticeLock::State::HeldElsewhere:
        *error = lock.HeldElsewhereMessage();
        return false;
    case ServerPracticeLock::State::Unavailable:
        *error = lock.Error();
        return false;
    }
    const ServerDump server(m_address, m_password);
    if (progress)
        progress->SetStep(tr("Checking %1...").arg(QDir::toNativeSeparators(dump)));
    if (!server.CheckDumpFile(dump, error))
        return false;
    if (progress)
        progress->SetStep(tr("Keeping the database as it is now..."));
    const QString kept = KeptName(reason, now);
    if (!server.Dump(kept, error))
        return false;
    if (progress)
        progress->SetStep(tr("Restoring %1...").arg(QDir::toNativeSeparators(dump)));
    if (!server.Restore(dump, error))
        return false;
    if (keptPath)
        *keptPath = kept;
    return true;
}

bool ServerBackups::PutBack(const QString &keptPath, QString *error) const
{
    ServerPracticeLock lock(m_address, m_password);
    if (lock.Acquire(ServerPracticeLock::Mode::Exclusive) != ServerPracticeLock::State::Held) {
        *error = lock.Error().isEmpty() ? lock.HeldElsewhereMessage() : lock.Error();
        return false;
    }
    return ServerDump(m_address, m_password).Restore(keptPath, error);
}
