// Data library figures on synthetic practices:
//   open_walk_main_10k       open the data source, open MAIN, walk every row reading the names
//   locate_by_id             Locate of a patient by ID (median of many)
//   open_child_table         a patient's filtered child table opened and its first row read
//   edit_update_main         Edit + Update of one MAIN row (with the durable commit)
//   prefix_find_100k         the find dialog's prefix query over 100,000 patients
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "Korbel/DataSource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <cstdio>
#include <random>

using Korbel::ReleasePtr;

namespace {

QString field(Korbel::ITable *table, const QString &name)
{
    Korbel::IField *f = nullptr;
    if (!table->GetField(name, &f))
        return {};
    ReleasePtr<Korbel::IField> guard(f);
    return f->GetAsString();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path10k = dir.filePath(QStringLiteral("practice10k.mdb"));
    const QString path100k = dir.filePath(QStringLiteral("practice100k.mdb"));
    QString error;
    Bench::PracticeOptions options;
    options.patients = 10000;
    if (!Bench::CreateSyntheticPractice(path10k, options, &error)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }
    Bench::Report("practice_10k_file_size", QFileInfo(path10k).size() / 1048576.0, "MiB");

    {
        // Warm the file cache and the driver once, as a second start would.
        ReleasePtr<Korbel::IDataSource> warm(DataSourceFactory());
        warm->Open(path10k);
    }
    int rows = 0;
    const double walk = Bench::MedianMs(5, [&] {
        ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        source->Open(path10k);
        ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
        Korbel::IField *first = nullptr;
        Korbel::IField *last = nullptr;
        main->GetField(QStringLiteral("FIRST_NAME"), &first);
        main->GetField(QStringLiteral("LAST_NAME"), &last);
        rows = 0;
        for (int ok = main->Move(Korbel::MoveFirst); ok == 1; ok = main->Move(Korbel::MoveNext)) {
            if (!first->GetAsString().isEmpty() && !last->GetAsString().isEmpty())
                ++rows;
        }
        first->Release();
        last->Release();
    });
    Bench::Report("open_walk_main_10k", walk, "ms");
    if (rows != options.patients)
        std::fprintf(stderr, "walked %d rows of %d\n", rows, options.patients);

    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    source->Open(path10k);
    ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> anyPatient(1, options.patients);
    const double locate = Bench::MedianMs(2000, [&] {
        main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(anyPatient(rng)));
        field(main.get(), QStringLiteral("LAST_NAME"));
    });
    Bench::Report("locate_by_id", locate, "ms");

    const double child = Bench::MedianMs(1000, [&] {
        ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
        query->SetTable(QStringLiteral("PRESCRIPTIONS"));
        query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, QString::number(anyPatient(rng)));
        ReleasePtr<Korbel::ITable> table(query->Open());
        if (table && table->Move(Korbel::MoveFirst) == 1)
            field(table.get(), QStringLiteral("MEDICINE_ID"));
    });
    Bench::Report("open_child_table", child, "ms");

    int n = 0;
    const double update = Bench::MedianMs(300, [&] {
        main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(1 + (n % options.patients)));
        main->Edit();
        Korbel::IField *f = nullptr;
        main->GetField(QStringLiteral("OCCUPATION"), &f);
        f->SetFromString(QStringLiteral("Edited %1").arg(n++));
        f->Release();
        if (!main->Update())
            std::fprintf(stderr, "update failed\n");
    });
    Bench::Report("edit_update_main", update, "ms");
    main.reset();
    source.reset();

    options.patients = 100000;
    options.childRows = false;
    if (!Bench::CreateSyntheticPractice(path100k, options, &error)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }
    ReleasePtr<Korbel::IDataSource> big(DataSourceFactory());
    big->Open(path100k);
    int found = 0;
    int nameCount = 0;
    const char *const *names = Bench::FirstNames(&nameCount);
    int k = 0;
    const double find = Bench::MedianMs(60, [&] {
        const QString prefix = QString::fromUtf8(names[k++ % nameCount]).left(3);
        ReleasePtr<Korbel::IQuery> query(big->CreateQuery());
        query->SetTable(QStringLiteral("MAIN"));
        query->Where(QStringLiteral("FIRST_NAME"), Korbel::Compare::Prefix, prefix);
        query->Where(QStringLiteral("LAST_NAME"), Korbel::Compare::Prefix, QString());
        ReleasePtr<Korbel::ITable> result(query->Open());
        found = result ? result->RecordCount() : -1;
    });
    Bench::Report("prefix_find_100k", find, "ms");
    Bench::Report("prefix_find_100k_rows_last", found, "rows");
    return 0;
}
