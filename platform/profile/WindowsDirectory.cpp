#include "profile/WindowsDirectory.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>

namespace Profile {

QString WindowsDirectory()
{
    QString folder = qEnvironmentVariable("VERDANTA_WINDOWS_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    folder = QDir::cleanPath(folder);
    return folder;
}

QString ResolveProfilePath(const QString &fileName)
{
    if (fileName.contains(QLatin1Char('/')) || QFileInfo(fileName).isAbsolute())
        return fileName;
    return WindowsDirectory() + QLatin1Char('/') + fileName;
}

} // namespace Profile
