#include "safety/PracticeRestore.h"

#include "core/ProgressRunner.h"

#include "Korbel/DataSource.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <QtCore/QTemporaryFile>

namespace {

using Slot = CLogicFolders::BackupSlot;
constexpr Slot AllSlots[]
    = { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek };
const QString PatientTable = QStringLiteral("MAIN");

Korbel::Progress ReportTo(IProgress *progress)
{
    if (!progress)
        return {};
    return [progress](qint64 done, qint64 total) { return progress->Continue(done, total); };
}

QString SlotFolderName(Slot slot)
{
    switch (slot) {
    case Slot::ThisWeek:
        return QStringLiteral("ThisWeek");
    case Slot::LastWeek:
        return QStringLiteral("LastWeek");
    case Slot::BeforeLastWeek:
        return QStringLiteral("BeforeLastWeek");
    case Slot::BeforeBeforeLastWeek:
        return QStringLiteral("BeforeBeforeLastWeek");
    }
    return QString();
}

} // namespace

PracticeRestore::PracticeRestore(const CLogicFolders &folders)
    : m_folders(folders)
{ }

BackupCopy PracticeRestore::Describe(const QString &path) const
{
    BackupCopy copy;
    copy.path = path;
    const QFileInfo info(path);
    copy.exists = info.isFile();
    if (!copy.exists)
        return copy;
    copy.made = info.lastModified();
    const Korbel::FileSummary summary = Korbel::SummarizeDatabaseFile(path, PatientTable);
    copy.readable = summary.readable;
    copy.patients = summary.rows;
    copy.schemaVersion = summary.schemaVersion;
    return copy;
}

std::vector<BackupCopy> PracticeRestore::Generations() const
{
    std::vector<BackupCopy> copies;
    for (Slot slot : AllSlots) {
        BackupCopy copy = Describe(m_folders.GetBackupPath(slot));
        copy.slot = slot;
        copies.push_back(std::move(copy));
    }
    return copies;
}

std::optional<Slot> PracticeRestore::SlotNamed(const QString &name)
{
    const QString wanted = name.trimmed();
    bool number = false;
    const int position = wanted.toInt(&number);
    if (number)
        return position >= 1 && position <= 4 ? std::optional(AllSlots[position - 1]) : std::nullopt;
    for (Slot slot : AllSlots) {
        const QString localised
            = CLogicFolders(QString(), QString()).GetBackupSlotFolder(slot).section(QLatin1Char('/'), -2, -2);
        if (wanted.compare(SlotFolderName(slot), Qt::CaseInsensitive) == 0
            || wanted.compare(localised, Qt::CaseInsensitive) == 0)
            return slot;
    }
    return std::nullopt;
}

QString PracticeRestore::SlotTitle(Slot slot)
{
    switch (slot) {
    case Slot::ThisWeek:
        return tr("This week");
    case Slot::LastWeek:
        return tr("Last week");
    case Slot::BeforeLastWeek:
        return tr("The week before last");
    case Slot::BeforeBeforeLastWeek:
        return tr("Three weeks ago");
    }
    return QString();
}

QString PracticeRestore::Title(const BackupCopy &copy)
{
    const QString name = copy.slot ? SlotTitle(*copy.slot) : QDir::toNativeSeparators(copy.path);
    if (!copy.exists)
        return name;
    const QString made = QLocale().toString(copy.made, QLocale::ShortFormat);
    if (copy.patients < 0)
        return tr("%1 (%2)").arg(name, made);
    return tr("%1 (%2, %3)").arg(name, made, Patients(copy.patients));
}

QString PracticeRestore::Patients(qint64 count)
{
    return count == 1 ? tr("1 patient") : tr("%1 patients").arg(count);
}

QString PracticeRestore::Explain(const Korbel::FileCheck &check)
{
    using State = Korbel::FileCheck::State;
    switch (check.state) {
    case State::Sound:
        return QString();
    case State::Damaged:
        return tr("It is damaged:\n%1").arg(check.problems.mid(0, 3).join(QLatin1Char('\n')));
    case State::Newer:
        return tr("It was made by a newer version of Verdanta.");
    case State::Missing:
        return tr("The file does not exist.");
    case State::Unreadable:
        return tr("It cannot be read: %1").arg(check.error);
    case State::Cancelled:
        return tr("The check was stopped.");
    }
    return QString();
}

PracticeRestore::Verdict PracticeRestore::Verify(const QString &path, IProgress *progress) const
{
    Verdict verdict;
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(m_folders.GetDatabasePath()).canonicalFilePath()) {
        verdict.reason = tr("It is the practice's own database.");
        return verdict;
    }
    if (progress)
        progress->SetStep(tr("Checking %1...").arg(QDir::toNativeSeparators(path)));
    verdict.check = Korbel::CheckDatabaseFile(path, Korbel::CheckDepth::Full, ReportTo(progress));
    if (!verdict.check.IsSound()) {
        verdict.reason = Explain(verdict.check);
        return verdict;
    }
    const Korbel::FileSummary summary = Korbel::SummarizeDatabaseFile(path, PatientTable);
    if (!summary.readable || summary.rows < 0) {
        verdict.reason = tr("It is not a Verdanta database.");
        return verdict;
    }
    verdict.patients = summary.rows;
    verdict.usable = true;
    return verdict;
}

std::optional<BackupCopy> PracticeRestore::NewestGood(IProgress *progress) const
{
    std::vector<BackupCopy> copies = Generations();
    std::erase_if(copies, [](const BackupCopy &copy) { return !copy.exists; });
    // The rotation may have failed half-way: the newest copy is the one
    // written last, whatever its slot.
    std::stable_sort(copies.begin(), copies.end(),
        [](const BackupCopy &a, const BackupCopy &b) { return a.made > b.made; });
    for (const BackupCopy &copy : copies) {
        if (progress && progress->IsCancelled())
            break;
        if (Verify(copy.path, progress).usable)
            return copy;
    }
    return std::nullopt;
}

QString PracticeRestore::KeptName(Reason reason, const QDateTime &now) const
{
    QString stem;
    switch (reason) {
    case Reason::Restore:
        stem = QStringLiteral("data-before-restore");
        break;
    case Reason::Damage:
        stem = QStringLiteral("data-damaged");
        break;
    case Reason::Import:
        stem = QStringLiteral("data-before-import");
        break;
    case Reason::Unopened:
        stem = QStringLiteral("data-not-opened");
        break;
    }
    const QString base
        = m_folders.GetRootFolder() + stem + now.toString(QStringLiteral("-yyyy-MM-dd-HHmmss"));
    QString name = base + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral("-wal")); ++n)
        name = base + QStringLiteral("-%1.mdb").arg(n);
    return name;
}

QString PracticeRestore::StagedName(const QString &suffix, QString *error) const
{
    QTemporaryFile file(m_folders.GetDatabasePath() + suffix + QStringLiteral("-XXXXXX"));
    if (!file.open()) {
        if (error)
            *error = tr("No file can be written beside the database: %1").arg(file.errorString());
        return QString();
    }
    // Only the name is wanted: the file itself is made by whoever fills it.
    const QString name = file.fileName();
    file.remove();
    return name;
}

bool PracticeRestore::Restore(const QString &copy, Reason reason, const QDateTime &now, IProgress *progress,
    QString *keptPath, QString *error) const
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const QString database = m_folders.GetDatabasePath();
    // The copy first goes beside the database, as a file of its own: a copy
    // that breaks off (a full disk) never touches the database.
    QString reasonText;
    const QString staged = StagedName(QStringLiteral(".restoring"), &reasonText);
    if (staged.isEmpty())
        return fail(reasonText);
    if (progress)
        progress->SetStep(tr("Copying the backup..."));
    const Korbel::Outcome copied = Korbel::CopyDatabaseFile(copy, staged, ReportTo(progress), &reasonText);
    if (copied != Korbel::Outcome::Done)
        return fail(copied == Korbel::Outcome::Cancelled ? tr("The restore was stopped.") : reasonText);
    if (progress)
        progress->SetStep(tr("Checking the copy..."));
    const Korbel::FileCheck check = Korbel::CheckDatabaseFile(staged, Korbel::CheckDepth::Quick);
    if (!check.IsSound()) {
        Korbel::RemoveDatabaseFile(staged);
        return fail(tr("The copy of the backup is not sound. %1").arg(Explain(check)));
    }
    const QString kept = QFileInfo::exists(database) ? KeptName(reason, now) : QString();
    if (!Korbel::ReplaceDatabaseFile(database, staged, kept, &reasonText)) {
        Korbel::RemoveDatabaseFile(staged);
        return fail(reasonText);
    }
    if (keptPath)
        *keptPath = kept;
    return true;
}

bool PracticeRestore::PutBack(const QString &keptPath, const QDateTime &now, QString *error) const
{
    // The kept database comes back under the database's name; the database
    // it replaces is kept in turn.
    const QString database = m_folders.GetDatabasePath();
    const QString staged = StagedName(QStringLiteral(".putback"), error);
    if (staged.isEmpty())
        return false;
    if (Korbel::CopyDatabaseFile(keptPath, staged, {}, error) != Korbel::Outcome::Done)
        return false;
    if (Korbel::ReplaceDatabaseFile(database, staged, KeptName(Reason::Unopened, now), error))
        return true;
    Korbel::RemoveDatabaseFile(staged);
    return false;
}
