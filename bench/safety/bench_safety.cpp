// The practice's data kept safe, on a synthetic practice of 10,000 patients
// with child rows in every patient table (about 88 MiB) and a patient folder
// for each patient with a picture (a larger one for every tenth):
//   database_mib              size of the practice's database
//   export_practice_ms        the whole practice export: every table as CSV and
//                             the patient folders copied (target: at most 10 s)
//   export_tables_ms          the tables alone
//   import_practice_ms        that export imported into an empty practice
//   restore_ms                restoring a backup of the database: the full check
//                             of the copy, the copy beside the database, its
//                             quick check and the replacement (target: 3 s)
//   reopen_after_restore_ms   the practice opened on the restored database
//   quick_check_ms            the quick check of the database alone
//   full_check_ms             the full check (Check database...) alone
//   open_ms                   the open sequence of the practice (first patient
//                             loaded), without windows
//   open_with_start_check_ms  the same with the quick check running beside it,
//                             as the program starts (it does not wait for the
//                             check: its result is shown when it comes)
//   start_check_added_ms      what the check adds to the start (target: 100 ms)
//   start_check_result_after_ms  when the check's result is there, from the start
// Medians over the runs, warm file cache.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "core/CLogicFolders.h"
#include "core/ProgressRunner.h"
#include "safety/PracticeRestore.h"
#include "safety/PracticeTransfer.h"
#include "safety/StartupCheck.h"
#include "shell/CLogicMain.h"

#include "Korbel/Maintenance.h"
#include "Korbel/TableTransfer.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 3;

class QuietProgress final : public IProgress
{
public:
    void SetStep(const QString &) override { }
    void SetProgress(qint64, qint64) override { }
    bool IsCancelled() const override { return false; }
};

bool WriteFile(const QString &path, qsizetype size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, 'p')) == size;
}

bool MakePatientFolders(const QString &root, int patients)
{
    for (int id = 1; id <= patients; ++id) {
        const QString folder = root + QStringLiteral("UserData/%1/").arg(id);
        for (const char *sub : { "Images", "Media", "Pdf", "Invoices" })
            QDir().mkpath(folder + QLatin1String(sub));
        if (!WriteFile(folder + QStringLiteral("Images/face.jpg"), id % 10 == 0 ? 200 * 1024 : 8 * 1024))
            return false;
    }
    return WriteFile(root + QStringLiteral("UserData/Consultations.xml"), 512 * 1024);
}

// The open sequence as the program runs it, optionally with the quick check
// started beside it; 'checkEnd' gets when the check ended, from the start.
double TimedOpen(const QString &root, bool withCheck, double *checkEnd = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    StartupCheck check;
    if (withCheck)
        check.Start(root + QStringLiteral("data.mdb"));
    CLogicMain hub(root, root + QStringLiteral("windows"));
    hub.Open();
    const double opened = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (withCheck) {
        check.Wait();
        if (checkEnd)
            *checkEnd = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    return opened;
}

bool OpenAndClose(const QString &root)
{
    CLogicMain hub(root, root + QStringLiteral("windows"));
    return hub.Open();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/practice/");
    QDir().mkpath(root);
    Bench::PracticeOptions options;
    QString error;
    if (!Bench::CreateSyntheticPractice(root + QStringLiteral("data.mdb"), options, &error)
        || !MakePatientFolders(root, options.patients)) {
        std::fprintf(stderr, "bench_safety: %s\n", qPrintable(error));
        return 1;
    }
    Bench::Report("database_mib", QFileInfo(root + QStringLiteral("data.mdb")).size() / 1048576.0, "MiB");
    const CLogicFolders folders(root, QString());
    QuietProgress progress;

    int run = 0;
    auto exportPractice = [&] {
        const QString folder = dir.path() + QStringLiteral("/export%1").arg(run++);
        if (PracticeTransfer(folders).Export(folder, progress, nullptr, &error) != Korbel::Outcome::Done)
            std::fprintf(stderr, "export: %s\n", qPrintable(error));
    };
    auto exportTables = [&] {
        const QString folder = dir.path() + QStringLiteral("/tables%1").arg(run++);
        Korbel::ExportTables(root + QStringLiteral("data.mdb"), folder, {}, &error);
    };
    // Into a new, empty practice: once, from the first export.
    auto importPractice = [&] {
        const QString other = dir.path() + QStringLiteral("/imported/");
        QDir().mkpath(other);
        const CLogicFolders target(other, QString());
        QString kept;
        const Korbel::Outcome outcome = PracticeTransfer(target).Import(
            dir.path() + QStringLiteral("/export0"), QDateTime::currentDateTime(), progress, &kept, &error);
        if (outcome != Korbel::Outcome::Done)
            std::fprintf(stderr, "import: %s\n", qPrintable(error));
    };
    Bench::Report("export_practice_ms", Bench::MedianMs(Runs, exportPractice), "ms");
    Bench::Report("export_tables_ms", Bench::MedianMs(Runs, exportTables), "ms");
    Bench::Report("import_practice_ms", Bench::MedianMs(1, importPractice), "ms");

    // A backup of the practice, restored in its place again and again.
    const QString backup = folders.GetBackupPath(CLogicFolders::BackupSlot::LastWeek);
    QDir().mkpath(QFileInfo(backup).path());
    Korbel::CopyDatabaseFile(root + QStringLiteral("data.mdb"), backup, {}, &error);
    const PracticeRestore restore(folders);
    auto restoreBackup = [&] {
        QString kept;
        if (!restore.Verify(backup, &progress).usable
            || !restore.Restore(backup, PracticeRestore::Reason::Restore, QDateTime::currentDateTime(),
                &progress, &kept, &error))
            std::fprintf(stderr, "restore: %s\n", qPrintable(error));
        QFile::remove(kept);
    };
    Bench::Report("restore_ms", Bench::MedianMs(Runs, restoreBackup), "ms");
    Bench::Report("reopen_after_restore_ms", Bench::MedianMs(Runs, [&] { OpenAndClose(root); }), "ms");

    const QString database = root + QStringLiteral("data.mdb");
    Bench::Report("quick_check_ms",
        Bench::MedianMs(Runs, [&] { Korbel::CheckDatabaseFile(database, Korbel::CheckDepth::Quick); }), "ms");
    Bench::Report("full_check_ms",
        Bench::MedianMs(Runs, [&] { Korbel::CheckDatabaseFile(database, Korbel::CheckDepth::Full); }), "ms");
    // Alternately, so that a busy machine weighs on both alike.
    std::vector<double> plain;
    std::vector<double> withCheck;
    std::vector<double> checkEnds;
    for (int i = 0; i < 9; ++i) {
        plain.push_back(TimedOpen(root, false));
        double end = 0;
        withCheck.push_back(TimedOpen(root, true, &end));
        checkEnds.push_back(end);
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    Bench::Report("open_ms", median(plain), "ms");
    Bench::Report("open_with_start_check_ms", median(withCheck), "ms");
    Bench::Report("start_check_added_ms", median(withCheck) - median(plain), "ms");
    Bench::Report("start_check_result_after_ms", median(checkEnds), "ms");
    return 0;
}
