#include "core/PatientImages.h"

#include <QtCore/QFileInfo>

namespace PatientPictures {

QString PictureToShow(const QString &rootFolder, const QString &imagePath)
{
    const QString trimmed = imagePath.trimmed();
    if (!trimmed.isEmpty())
        return trimmed;
    const QString logo = rootFolder + QStringLiteral("Logo.bmp");
    return QFileInfo::exists(logo) ? logo : QString();
}

} // namespace PatientPictures
