// Opens the program's logic over a practice, adds a custom field to a new
// patient, reports it on stdout and then waits to be killed: the parent
// checks that the field's name is in the dictionary file.
#include "patients/CLogicDynamicFields.h"
#include "shell/CLogicMain.h"

#include "Sylvan/XmlPlatform.h"
#include "core/CommandCodes.h"

#include <QtCore/QThread>
#include <QtGui/QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    Sylvan::PlatformScope xml;
    const QString root = QString::fromLocal8Bit(argv[1]);
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (!hub.Open())
        return 3;
    LogicCommand command;
    command.code = CommandCode::NewPatient;
    if (hub.OnCommand(command) != 1)
        return 4;
    auto *fields = hub.Services().Get<CLogicDynamicFields>();
    if (!fields || fields->AddField(QString::fromLocal8Bit(argv[2])) <= 0)
        return 5;
    std::fputs("written\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}
