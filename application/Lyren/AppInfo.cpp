#include "AppInfo.h"

#include <QtCore/QCoreApplication>

namespace AppInfo {

QString ProductName()
{
    return QStringLiteral("Verdanta");
}

QString VersionLine()
{
    return QCoreApplication::translate("AppInfo", "Verdanta Version 2.3");
}

} // namespace AppInfo
