#include "shell/ui/CVerdantaApp.h"

#include "AppInfo.h"

#include <QtGui/QIcon>
#include <QtWidgets/QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(AppInfo::ProductName());
    QApplication::setApplicationName(AppInfo::ProductName());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/verdanta.png")));

    // The program takes no arguments; its root folder is its current directory.
    CVerdantaApp verdanta;
    int status = 0;
    if (verdanta.InitInstance())
        status = QApplication::exec();
    const int exitStatus = verdanta.ExitInstance();
    return exitStatus != 0 ? exitStatus : status;
}
