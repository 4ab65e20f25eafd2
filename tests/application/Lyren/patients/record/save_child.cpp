// A child process for the save test: it saves one patient over and over, each
// save a new generation written into the patient's row, twenty child rows
// and a side file, and prints each generation once it is committed. The test
// kills it at random moments and checks that the database always holds one
// whole generation.
#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "patients/CLogicPatient.h"

#include "Korbel/DataSource.h"

#include <QtCore/QDir>
#include <QtGui/QGuiApplication>

#include <cstdio>

namespace {

constexpr int ChildRows = 20;

bool WriteGeneration(Korbel::IDataSource *source, qint64 patient, qint64 generation)
{
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    query->SetTable(QStringLiteral("COMES_FOR"));
    query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, QString::number(patient));
    Korbel::ReleasePtr<Korbel::ITable> rows(query->Open());
    if (!rows)
        return false;
    while (rows->Move(Korbel::MoveFirst) == 1) {
        if (rows->Delete() <= 0)
            return false;
    }
    for (int i = 0; i < ChildRows; ++i) {
        if (!rows->AddNew()
            || !Records::WriteText(rows.get(), QStringLiteral("PATIENT_ID"), QString::number(patient))
            || !Records::WriteText(rows.get(), QStringLiteral("DESC"), QString::number(generation))
            || !rows->Update())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString sideFile = QString::fromLocal8Bit(argv[2]);
    CLogicFolders folders(root + QLatin1Char('/'), root);
    LogicContext context(folders);
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(folders.GetDatabasePath()))
        return 3;
    Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    Korbel::ReleasePtr<Korbel::ITable> address(source->OpenTable(QStringLiteral("ADDRESS")));
    if (!main || main->Move(Korbel::MoveFirst) != 1)
        return 4;
    context.SetData(source.get(), main.get(), address.get(), QStringLiteral("MEDIA"));
    CLogicPatient patient;
    patient.Open(context);
    context.SetPatient(&patient, &patient);

    const qint64 id = patient.CurrentId();
    qint64 generation = Records::ReadText(main.get(), QStringLiteral("OCCUPATION")).toLongLong();
    // The patient's row, the child rows and the side file of one generation.
    patient.Join(SaveStep::MonthlyFee, [&] {
        return main->Edit() == 1
                && Records::WriteText(main.get(), QStringLiteral("OCCUPATION"), QString::number(generation))
            ? 1
            : 0;
    });
    patient.Join(
        SaveStep::ChiefComplaints, [&] { return WriteGeneration(source.get(), id, generation) ? 1 : 0; });
    patient.Join(SaveStep::Notes, [&] {
        const QByteArray text = QByteArray::number(generation) + '\n';
        return context.WriteFileAfterCommit(sideFile, text.repeated(4096)) ? 1 : 0;
    });
    for (;;) {
        ++generation;
        if (patient.SaveAll() != 1)
            return 5;
        std::printf("%lld\n", static_cast<long long>(generation));
        std::fflush(stdout);
    }
}
