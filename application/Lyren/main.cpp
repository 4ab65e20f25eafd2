#include "safety/PracticeCommandLine.h"
#include "shell/ui/CVerdantaApp.h"

#include "secrets/KeychainSecretStore.h"

#include "AppInfo.h"

#include <QtCore/QDir>
#include <QtCore/QTextStream>
#include <QtGui/QIcon>
#include <QtWidgets/QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // The practice commands (--restore, --export, --import) run without
    // windows, so that they also work where no display is.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (PracticeCommandLine::AsksForCommand(arguments)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setOrganizationName(AppInfo::ProductName());
        QCoreApplication::setApplicationName(AppInfo::ProductName());
        QTextStream out(stdout);
        QTextStream err(stderr);
        Secrets::KeychainSecretStore keyring;
        return PracticeCommandLine::Run(PracticeCommandLine::Parse(QCoreApplication::arguments()),
            QDir::currentPath(), out, err, &keyring);
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(AppInfo::ProductName());
    QApplication::setApplicationName(AppInfo::ProductName());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/verdanta.png")));

    // The root folder is the current directory (or the shared folder of a
    // practice on a server); --database names the server for this run.
    CVerdantaApp::Options options;
    if (QApplication::arguments().contains(QStringLiteral("--database"))
        || !QApplication::arguments().filter(QStringLiteral("--database=")).isEmpty()) {
        const PracticeCommandLine::Request request = PracticeCommandLine::Parse(QApplication::arguments());
        if (!request.error.isEmpty()) {
            QTextStream(stderr) << request.error << Qt::endl;
            return 2;
        }
        options.databaseAddress = request.database;
    }
    CVerdantaApp verdanta(options);
    int status = 0;
    if (verdanta.InitInstance())
        status = QApplication::exec();
    const int exitStatus = verdanta.ExitInstance();
    return exitStatus != 0 ? exitStatus : status;
}
