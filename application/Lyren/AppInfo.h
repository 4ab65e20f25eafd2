#pragma once

#include <QtCore/QString>

// The program's name and version as the About box and the window title show them.
namespace AppInfo {

QString ProductName(); // "Verdanta"
QString VersionLine(); // "Verdanta Version 2.3"

} // namespace AppInfo
