// The same practice in an SQLite file and on a PostgreSQL server over the
// loopback, side by side (each line is "<engine>_<figure>"):
//   open_to_window_ms       the main window made, the database opened, every
//                           area installed, the first patient shown and the
//                           window painted, on 10,000 patients with their
//                           child rows, in a new process each time (the
//                           process and Qt start-up before it aside)
//   move_next_ms            Ctrl+T in that window: the save of the record, the
//                           move and the load of the next patient
//   find_prefix_query_open_ms  the find's query over 100,000 patients with a
//                           typical two-letter first-name prefix, opened
//   find_prefix_ms          every matching row of that prefix read into a list
//   find_name_and_last_prefix_ms  a whole first name and a last-name prefix
// and, once, the move of the 10,000-patient practice from its file to the
// server through the practice export (move_to_server_ms).
// The server is the one named by VERDANTA_TEST_POSTGRES (run the benchmark
// through scripts/with-postgres.sh); without it only the SQLite lines appear.
// Figures are medians over the runs.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "patients/CLogicPatient.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"

#include "Korbel/DataSource.h"
#include "Korbel/TableTransfer.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A new empty database on the benchmark's server; its address, or empty.
QString NewServerDatabase(const QString &cluster)
{
    Korbel::ServerAddress address;
    QString error;
    if (!Korbel::ServerAddress::Parse(cluster, &address, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return {};
    }
    const QString name = QStringLiteral("bench_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    const QString connection = QStringLiteral("bench-admin");
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setUserName(address.user);
        db.setDatabaseName(address.database);
        made = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE %1").arg(name));
        if (!made)
            std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    address.database = name;
    return made ? address.ToString() : QString();
}

// The practice of the file in a new server database, through the export.
QString MoveToServer(const QString &cluster, const QString &file, const QString &folder, double *ms)
{
    const QString address = NewServerDatabase(cluster);
    if (address.isEmpty())
        return {};
    QString error;
    bool moved = false;
    *ms = Bench::OnceMs([&] {
        moved = Korbel::ExportTables(file, folder, {}, &error) == Korbel::Outcome::Done
            && Korbel::ImportTables(folder, address, {}, &error) == Korbel::Outcome::Done;
    });
    if (!moved) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return {};
    }
    return address;
}

void Report(const std::string &engine, const char *figure, double value, const char *unit)
{
    Bench::Report((engine + "_" + figure).c_str(), value, unit);
}

// One program's window over the practice (this program run with --window):
// prints the milliseconds from the window's making to its first painting
// and, with moves, the median of 300 moves to the next patient.
int RunWindow(const QString &root, const QString &address, bool moves)
{
    Desktop::ScriptedPrompts prompts;
    QElapsedTimer timer;
    timer.start();
    CMainFrame frame(root, root + QStringLiteral("windows"));
    frame.GetHub()->GetLogicFolders()->SetDatabaseAddress(address);
    QString error;
    if (!frame.Initialize(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    frame.show();
    QApplication::processEvents();
    frame.repaint();
    const double opened = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    double moved = 0;
    if (moves) {
        moved = Bench::MedianMs(300, [&frame] {
            if (frame.SendCommand(1) != 1)
                frame.SendCommand(2);
        });
    }
    std::printf("%.3f %.3f\n", opened, moved);
    frame.close();
    return 0;
}

// Each opening is a new process, as a start of the program is: a frame made
// and destroyed in the benchmark's own process would measure a warm one.
int WindowBenchmarks(
    const std::string &engine, const QString &program, const QString &root, const QString &address)
{
    const auto run = [&](bool moves, double *opened, double *moved) {
        QProcess child;
        child.start(program,
            { QStringLiteral("--window"), root, address, moves ? QStringLiteral("moves") : QString() });
        if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit
            || child.exitCode() != 0) {
            std::fprintf(stderr, "the window on %s failed (%s, code %d): %s\n", engine.c_str(),
                child.exitStatus() == QProcess::NormalExit ? "exit" : "crash", child.exitCode(),
                child.readAllStandardError().constData());
            return false;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        *opened = figures.value(0).toDouble();
        *moved = figures.value(1).toDouble();
        return true;
    };
    double opened = 0;
    double moved = 0;
    // The first opening makes the patient folders; later ones find them.
    if (!run(false, &opened, &moved))
        return 1;
    std::vector<double> openings;
    for (int i = 0; i < 5; ++i) {
        if (!run(false, &opened, &moved))
            return 1;
        openings.push_back(opened);
    }
    std::sort(openings.begin(), openings.end());
    Report(engine, "open_to_window_ms", openings[openings.size() / 2], "ms");
    if (!run(true, &opened, &moved))
        return 1;
    Report(engine, "move_next_ms", moved, "ms");
    return 0;
}

int FindBenchmarks(const std::string &engine, const QString &location, const QString &root)
{
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(location)) {
        std::fprintf(stderr, "%s\n", qPrintable(source->GetErrorDescription()));
        return 1;
    }
    Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    CLogicFolders folders(root, root);
    LogicContext context(folders);
    context.SetData(source.get(), main.get(), nullptr, QStringLiteral("MEDIA"));
    CLogicPatient patient;
    if (!main || !patient.Open(context))
        return 1;
    int count = 0;
    const char *const *names = Bench::FirstNames(&count);
    const QString prefix = QString::fromLatin1(names[0]).left(2);
    qsizetype found = 0;
    Report(engine, "find_prefix_query_open_ms",
        Bench::MedianMs(11,
            [&] {
                Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
                query->SetTable(QStringLiteral("MAIN"));
                query->Where(QStringLiteral("FIRST_NAME"), Korbel::Compare::Prefix, prefix);
                query->Where(QStringLiteral("LAST_NAME"), Korbel::Compare::Prefix, QString());
                Korbel::ReleasePtr<Korbel::ITable> rows(query->Open());
                found = rows ? rows->RecordCount() : 0;
            }),
        "ms");
    Report(engine, "find_prefix_query_rows", double(found), "rows");
    Report(engine, "find_prefix_ms",
        Bench::MedianMs(11, [&] { found = patient.FindPatients(prefix, QString()).size(); }), "ms");
    Report(engine, "find_prefix_rows", double(found), "rows");
    Report(engine, "find_name_and_last_prefix_ms",
        Bench::MedianMs(
            11, [&] { found = patient.FindPatients(QStringLiteral("Anna"), QStringLiteral("Sm")).size(); }),
        "ms");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VerdantaBench"));
    QApplication::setApplicationName(QStringLiteral("VerdantaBench"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QLatin1String("--window"))
        return RunWindow(
            arguments.value(2), arguments.value(3), arguments.value(4) == QLatin1String("moves"));
    const QString cluster = QString::fromLocal8Bit(qgetenv("VERDANTA_TEST_POSTGRES"));

    QTemporaryDir practice;
    const QString root = practice.path() + QLatin1Char('/');
    if (!Bench::MakePractice(root + QStringLiteral("data.mdb"), 10000, true))
        return 1;
    QString server;
    if (!cluster.isEmpty()) {
        double ms = 0;
        server
            = MoveToServer(cluster, root + QStringLiteral("data.mdb"), root + QStringLiteral("export"), &ms);
        if (server.isEmpty())
            return 1;
        Bench::Report("move_to_server_ms", ms, "ms");
    }
    const QString program = QApplication::applicationFilePath();
    if (const int failed = WindowBenchmarks("sqlite", program, root, QString()))
        return failed;
    if (!server.isEmpty()) {
        if (const int failed = WindowBenchmarks("postgresql", program, root, server))
            return failed;
    }

    QTemporaryDir large;
    const QString largeRoot = large.path() + QLatin1Char('/');
    if (!Bench::MakePractice(largeRoot + QStringLiteral("data.mdb"), 100000, false))
        return 1;
    if (const int failed = FindBenchmarks("sqlite", largeRoot + QStringLiteral("data.mdb"), largeRoot))
        return failed;
    if (!cluster.isEmpty()) {
        double ms = 0;
        const QString largeServer = MoveToServer(
            cluster, largeRoot + QStringLiteral("data.mdb"), largeRoot + QStringLiteral("export"), &ms);
        if (largeServer.isEmpty())
            return 1;
        return FindBenchmarks("postgresql", largeServer, largeRoot);
    }
    return 0;
}
