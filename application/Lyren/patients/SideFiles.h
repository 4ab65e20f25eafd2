#pragma once

#include <QtCore/QString>

namespace SideFiles {

// A side file that exists but could not be read is kept beside itself under
// the name "<name>.unreadable-<yyyyMMdd-HHmmss>" before a new file takes its
// place, so that a person can still recover it. True when nothing is left at
// the path (the file was moved, or there was none).
bool SetAsideUnreadable(const QString &path);

} // namespace SideFiles
