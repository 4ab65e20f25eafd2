// Writes one row through the data library, reports success on stdout and then
// waits to be killed: the parent checks that the write survived.
#include "Korbel/DataSource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(QString::fromLocal8Bit(argv[1])))
        return 3;
    Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    if (!main || main->Move(Korbel::MoveFirst) != 1 || main->Edit() != 1)
        return 4;
    Korbel::IField *field = nullptr;
    if (main->GetField(QStringLiteral("LAST_NAME"), &field) != 1)
        return 5;
    field->SetFromString(QString::fromLocal8Bit(argv[2]));
    field->Release();
    if (main->Update() == 0)
        return 6;
    std::fputs("written\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}
