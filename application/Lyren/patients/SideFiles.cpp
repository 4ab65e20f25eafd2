#include "patients/SideFiles.h"

#include "core/Loggers.h"

#include <QtCore/QDateTime>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace SideFiles {

bool SetAsideUnreadable(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = path + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    const bool moved = QFile::rename(path, kept);
    Loggers::Log(Loggers::Category::Folders, moved ? Loggers::Information : Loggers::Error,
        QStringLiteral("SideFiles::SetAsideUnreadable() %1 %2 as %3")
            .arg(moved ? QStringLiteral("kept") : QStringLiteral("cannot keep"), path, kept));
    return moved;
}

} // namespace SideFiles
