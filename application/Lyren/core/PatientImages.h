#pragma once

#include <QtCore/QString>

class QWidget;

// Where the pictures of a patient come from: the image manager, or a test's
// answers in its place. The program's window layer offers the image manager
// through the context's services.
class IPatientImages
{
public:
    virtual ~IPatientImages() = default;
    // Lets the person choose or acquire an image into the folder, starting
    // from the current one; the chosen image's path, empty when there is none.
    virtual QString Choose(QWidget *parent, const QString &folder, const QString &current) = 0;
    // Copies an image file into the folder at the image quality; the new
    // file's path, empty when the file is not an image that can be imported.
    virtual QString Import(const QString &folder, const QString &source) = 0;
    // Shows an image in the manager's preview window; false when it cannot.
    virtual bool ShowImage(QWidget *parent, const QString &path)
    {
        Q_UNUSED(parent);
        Q_UNUSED(path);
        return false;
    }
};

// The image manager's quality setting.
class IImageQuality
{
public:
    virtual ~IImageQuality() = default;
    virtual bool SetQuality(int quality) = 0;
    // Shows the manager's quality dialog; true and the chosen quality when the
    // person confirmed it.
    virtual bool EditQuality(int *quality) = 0;
};

namespace PatientPictures {

// The picture to show for a stored image path: the trimmed path; without one
// the practice's "Logo.bmp" in the root folder when it exists, otherwise an
// empty text (the picture control's own "no photo" image).
QString PictureToShow(const QString &rootFolder, const QString &imagePath);

} // namespace PatientPictures
