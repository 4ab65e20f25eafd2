// Start-up and close of the program on a synthetic practice of 10,000 patients:
//   first_start_to_window_ms    process start to the main window painted after the
//                               open sequence, on a practice without patient folders
//                               (CreateAllPatientFolders makes 50,000 folders)
//   start_to_window_ms          the same on later starts (the folders exist)
//   close_with_backup_ms        closing the window with the weekly backup due: the
//                               online copy of the database, the rotation, the close
//   resident_after_start_mib    resident memory once the window is shown
//   database_mib                size of the practice's database
// Each start is a new process (this program run with --start <folder>); the
// figures are medians over the runs.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "shell/ui/CMainFrame.h"
#include "shell/ui/CVerdantaApp.h"

#include "profile/IniFile.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Milliseconds since this process started, from the kernel's record of it.
double MsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray line = stat.readAll();
    // Fields after the command name (which may hold blanks) start at ") ".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / static_cast<double>(::sysconf(_SC_CLK_TCK))) * 1000.0;
}

int RunStart(int argc, char **argv, const QString &folder)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VerdantaBench"));
    QApplication::setApplicationName(QStringLiteral("VerdantaBench"));
    CVerdantaApp verdanta({ folder, folder + QStringLiteral("/windows"), true });
    if (!verdanta.InitInstance())
        return 1;
    CMainFrame *frame = verdanta.GetMainFrame();
    QApplication::processEvents();
    frame->repaint();
    const double started = MsSinceProcessStart();
    const double resident = Bench::ResidentMiB();

    QElapsedTimer timer;
    timer.start();
    frame->close();
    verdanta.ExitInstance();
    const double closed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("%.3f %.3f %.3f\n", started, closed, resident);
    return QFileInfo::exists(folder + QStringLiteral("/Backup/ThisWeek/data.mdb")) ? 0 : 2;
}

struct Run
{
    double start = 0;
    double close = 0;
    double resident = 0;
};

bool StartOnce(const QString &program, const QString &folder, Run *run)
{
    // The backup is due at every close.
    Profile::WriteProfileString(QStringLiteral("SOFTWARE\\LyrenKey\\Lyren"), QStringLiteral("LastBackupTS"),
        QString(), folder + QStringLiteral("/Registry.ini"));
    QProcess child;
    child.start(program, { QStringLiteral("--start"), folder });
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        std::fprintf(stderr, "start failed: %s\n", child.readAllStandardError().constData());
        return false;
    }
    const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
    run->start = values.value(0).toDouble();
    run->close = values.value(1).toDouble();
    run->resident = values.value(2).toDouble();
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--start")
        return RunStart(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int runs = 6;
    QTemporaryDir dir;
    QString error;
    Bench::PracticeOptions options;
    options.patients = 10000;
    if (!Bench::CreateSyntheticPractice(dir.filePath(QStringLiteral("data.mdb")), options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Bench::Report("database_mib",
        static_cast<double>(QFileInfo(dir.filePath(QStringLiteral("data.mdb"))).size()) / 1048576.0, "MiB");

    const QString program = QCoreApplication::applicationFilePath();
    std::vector<double> first, starts, closes, residents;
    for (int i = 0; i < runs; ++i) {
        // Every other start finds no patient folders, as a first start does.
        const bool fresh = i % 2 == 0;
        if (fresh)
            QDir(dir.filePath(QStringLiteral("UserData"))).removeRecursively();
        Run run;
        if (!StartOnce(program, dir.path(), &run))
            return 1;
        (fresh ? first : starts).push_back(run.start);
        closes.push_back(run.close);
        residents.push_back(run.resident);
    }
    Bench::Report("first_start_to_window_ms", Median(first), "ms");
    Bench::Report("start_to_window_ms", Median(starts), "ms");
    Bench::Report("close_with_backup_ms", Median(closes), "ms");
    Bench::Report("resident_after_start_mib", Median(residents), "MiB");
    return 0;
}
