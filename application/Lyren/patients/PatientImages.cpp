#include "patients/PatientImages.h"

#include "shell/ImageManager.h"

#include <QtCore/QFileInfo>

QString CLumiskPatientImages::Choose(QWidget *parent, const QString &folder, const QString &current)
{
    return ImageManager::ChooseImage(parent, folder, current);
}

QString CLumiskPatientImages::Import(const QString &folder, const QString &source)
{
    return ImageManager::ImportImage(folder, source);
}

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
