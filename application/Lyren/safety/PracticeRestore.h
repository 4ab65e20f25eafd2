#pragma once

#include "core/CLogicFolders.h"

#include "Korbel/Maintenance.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <optional>
#include <vector>

class IProgress;

// A copy of the practice's database that could be restored: one of the four
// weekly backups, or a file the person chose.
struct BackupCopy
{
    std::optional<CLogicFolders::BackupSlot> slot; // none for a chosen file
    QString path;
    bool exists = false;
    QDateTime made; // when the copy was written
    bool readable = false;
    qint64 patients = -1;
    int schemaVersion = 0;
};

// Restoring a copy of the database in its place. The copy is checked whole
// first (damage, a newer program's schema, a database that is not a
// practice's); it is copied beside the database and checked again there; the
// current database is then kept as a dated copy beside it and the checked
// copy takes its place in one rename. The patient folders are not touched.
class PracticeRestore
{
    Q_DECLARE_TR_FUNCTIONS(PracticeRestore)

public:
    // Why the current database is set aside; it names the dated copy.
    enum class Reason {
        Restore,
        Damage,
        Import,
        Unopened, // a restored database the program could not open
    };

    struct Verdict
    {
        bool usable = false;
        // Why the copy cannot be restored, for the person.
        QString reason;
        Korbel::FileCheck check;
        qint64 patients = -1;
    };

    explicit PracticeRestore(const CLogicFolders &folders);

    // The four weekly backups, newest slot first, described without a check.
    std::vector<BackupCopy> Generations() const;
    BackupCopy Describe(const QString &path) const;
    // The slot a name on the command line stands for: "ThisWeek",
    // "LastWeek", "BeforeLastWeek", "BeforeBeforeLastWeek" (any case, and the
    // localised folder names), or 1 to 4 from the newest.
    static std::optional<CLogicFolders::BackupSlot> SlotNamed(const QString &name);
    // The slot's name as the person reads it ("Last week").
    static QString SlotTitle(CLogicFolders::BackupSlot slot);
    // "Last week (08/12/2026 18:02, 1204 patients)".
    static QString Title(const BackupCopy &copy);
    // "1 patient", "12 patients".
    static QString Patients(qint64 count);

    // The full check of a copy, with progress.
    Verdict Verify(const QString &path, IProgress *progress) const;
    // The newest of the backups that passes the full check; none when no
    // backup does.
    std::optional<BackupCopy> NewestGood(IProgress *progress) const;

    // With the practice closed: puts the copy in the database's place,
    // keeping the current database under KeptName(reason, now) beside it
    // ('keptPath' gets its path; empty when there was none). False with the
    // reason when a step failed; the database is then as it was.
    bool Restore(const QString &copy, Reason reason, const QDateTime &now, IProgress *progress,
        QString *keptPath, QString *error) const;
    // Puts a kept database back in place of the database (when the practice
    // does not open on the restored one); the restored file is kept too.
    bool PutBack(const QString &keptPath, const QDateTime &now, QString *error) const;

    QString KeptName(Reason reason, const QDateTime &now) const;
    // A free name beside the database for a file being made ("data.mdb" +
    // suffix + a unique part); empty with the reason when nothing can be
    // written there.
    QString StagedName(const QString &suffix, QString *error) const;
    // Why a check refuses a copy, in the person's words.
    static QString Explain(const Korbel::FileCheck &check);

private:
    const CLogicFolders &m_folders;
};
