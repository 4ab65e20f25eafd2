// The same practice in an SQLite file and on a PostgreSQL server over the
// loopback, side by side (each line is "<engine>_<figure>"):
//   open_to_window_ms       the main window made, the database opened, every
//                           area installed, the first patient shown and the
//                           window painted, on 10,000 patients with their
//                           child rows (the process start itself aside)
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

#include <QtCore/QTemporaryDir>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <string>

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

bool MakePractice(const QString &path, int patients, bool childRows)
{
    Bench::PracticeOptions options;
    options.patients = patients;
    options.childRows = childRows;
    QString error;
    if (!Bench::CreateSyntheticPractice(path, options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
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

int WindowBenchmarks(const std::string &engine, const QString &root, const QString &address)
{
    Desktop::ScriptedPrompts prompts;
    const auto open = [&](CMainFrame &frame) {
        frame.GetHub()->GetLogicFolders()->SetDatabaseAddress(address);
        QString error;
        if (!frame.Initialize(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        frame.show();
        QApplication::processEvents();
        frame.repaint();
        return true;
    };
    {
        // The first opening makes the patient folders; later ones find them.
        CMainFrame first(root, root + QStringLiteral("windows"));
        if (!open(first))
            return 1;
        first.close();
    }
    bool opened = true;
    Report(engine, "open_to_window_ms",
        Bench::MedianMs(5,
            [&] {
                CMainFrame frame(root, root + QStringLiteral("windows"));
                opened = opened && open(frame);
                frame.close();
            }),
        "ms");
    if (!opened)
        return 1;

    CMainFrame frame(root, root + QStringLiteral("windows"));
    if (!open(frame))
        return 1;
    const auto next = [&frame] {
        if (frame.SendCommand(1) != 1)
            frame.SendCommand(2);
    };
    Report(engine, "move_next_ms", Bench::MedianMs(300, next), "ms");
    frame.close();
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
    const QString cluster = QString::fromLocal8Bit(qgetenv("VERDANTA_TEST_POSTGRES"));

    QTemporaryDir practice;
    const QString root = practice.path() + QLatin1Char('/');
    if (!MakePractice(root + QStringLiteral("data.mdb"), 10000, true))
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
    if (const int failed = WindowBenchmarks("sqlite", root, QString()))
        return failed;
    if (!server.isEmpty()) {
        if (const int failed = WindowBenchmarks("postgresql", root, server))
            return failed;
    }

    QTemporaryDir large;
    const QString largeRoot = large.path() + QLatin1Char('/');
    if (!MakePractice(largeRoot + QStringLiteral("data.mdb"), 100000, false))
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
