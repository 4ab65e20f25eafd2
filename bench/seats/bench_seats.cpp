// What several seats cost the data library, on a synthetic practice of
// 10,000 patients (a database file, or with an argument a server address
// whose database is empty: the practice is made there):
//   open_main_keys_10k             for comparison: the keys of MAIN read when a table opens
//   walk_main_next_10k             a walk over MAIN by MoveNext, each move looking for other seats' commits
//   move_after_other_seat_commit   the first move after another seat committed (row caches dropped, keys
//   re-read) move_without_other_seat        a move when nobody else wrote add_to_counts                  one
//   stock count changed by the database, outside a transaction save_version_check_and_bump    transaction +
//   version check + version count + commit (durable)
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "Korbel/DataSource.h"
#include "Korbel/SharedAccess.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using Korbel::ReleasePtr;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString location = dir.filePath(QStringLiteral("practice10k.mdb"));
    if (argc > 1)
        location = QString::fromLocal8Bit(argv[1]);
    QString error;
    Bench::PracticeOptions options;
    options.patients = 10000;
    if (!Bench::CreateSyntheticPractice(location, options, &error)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }
    ReleasePtr<Korbel::IDataSource> mine(DataSourceFactory());
    ReleasePtr<Korbel::IDataSource> theirs(DataSourceFactory());
    if (!mine->Open(location) || !theirs->Open(location)) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(mine->GetErrorDescription()));
        return 1;
    }
    ReleasePtr<Korbel::ITable> main(mine->OpenTable(QStringLiteral("MAIN")));
    ReleasePtr<Korbel::ITable> other(theirs->OpenTable(QStringLiteral("MAIN")));
    if (!main || !other || main->RecordCount() < 10000) {
        std::fprintf(stderr, "no practice to walk\n");
        return 1;
    }

    // For comparison: what reading the keys of MAIN costs (a table's open).
    Bench::Report("open_main_keys_10k",
        Bench::MedianMs(
            5, [&] { ReleasePtr<Korbel::ITable> opened(mine->OpenTable(QStringLiteral("MAIN"))); }),
        "ms");
    Bench::Report("walk_main_next_10k",
        Bench::MedianMs(3,
            [&] {
                for (int ok = main->Move(Korbel::MoveFirst); ok == 1; ok = main->Move(Korbel::MoveNext)) { }
            }),
        "ms");

    // Another seat changes one patient between two moves of this one.
    int position = 0;
    const auto otherSeatWrites = [&] {
        other->Move(Korbel::MoveToPosition, position % 100);
        Korbel::IField *f = nullptr;
        if (other->Edit() == 1 && other->GetField(QStringLiteral("OCCUPATION"), &f) == 1) {
            f->SetFromString(QString::number(position));
            f->Release();
            other->Update();
        }
    };
    double afterCommit = 0;
    double quiet = 0;
    constexpr int Moves = 21;
    std::vector<double> afterTimes;
    std::vector<double> quietTimes;
    for (int i = 0; i < Moves; ++i) {
        ++position;
        otherSeatWrites();
        // A person's next move comes later than the server's look interval.
        QThread::msleep(30);
        afterTimes.push_back(Bench::OnceMs([&] { main->Move(Korbel::MoveToPosition, 5000 + i); }));
        QThread::msleep(30);
        quietTimes.push_back(Bench::OnceMs([&] { main->Move(Korbel::MoveToPosition, 6000 + i); }));
    }
    std::sort(afterTimes.begin(), afterTimes.end());
    std::sort(quietTimes.begin(), quietTimes.end());
    afterCommit = afterTimes[Moves / 2];
    quiet = quietTimes[Moves / 2];
    Bench::Report("move_after_other_seat_commit", afterCommit, "ms");
    Bench::Report("move_without_other_seat", quiet, "ms");

    ReleasePtr<Korbel::ITable> stocks(mine->OpenTable(QStringLiteral("STOCKS")));
    qint64 stock = 0;
    if (stocks && stocks->Move(Korbel::MoveFirst) == 1) {
        Korbel::IField *id = nullptr;
        stocks->GetField(QStringLiteral("ID"), &id);
        stock = id ? id->GetValue().toLongLong() : 0;
        if (id)
            id->Release();
    }
    if (stock > 0) {
        Bench::Report("add_to_counts",
            Bench::MedianMs(51,
                [&] {
                    Korbel::AddToCounts(
                        mine.get(), QStringLiteral("STOCKS"), stock, { { QStringLiteral("STOCK"), -1 } });
                }),
            "ms");
    }

    main->Move(Korbel::MoveFirst);
    Korbel::IField *idField = nullptr;
    main->GetField(QStringLiteral("ID"), &idField);
    const qint64 patient = idField ? idField->GetValue().toLongLong() : 0;
    if (idField)
        idField->Release();
    qint64 version = 0;
    Korbel::CheckRowVersion(mine.get(), QStringLiteral("MAIN"), patient, 0, Korbel::RowLock::None, &version);
    Bench::Report("save_version_check_and_bump",
        Bench::MedianMs(51,
            [&] {
                mine->BeginTransaction();
                Korbel::CheckRowVersion(mine.get(), QStringLiteral("MAIN"), patient, version);
                if (Korbel::BumpRowVersion(mine.get(), QStringLiteral("MAIN"), patient, version))
                    ++version;
                mine->CommitTransaction();
            }),
        "ms");
    return 0;
}
