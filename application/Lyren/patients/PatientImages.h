#pragma once

#include <QtCore/QString>

#include <memory>

class QWidget;

// Where the pictures of a patient come from: the image manager, or a test's
// answers in its place.
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
};

// The image manager library: its images bin and its import.
class CLumiskPatientImages final : public IPatientImages
{
public:
    QString Choose(QWidget *parent, const QString &folder, const QString &current) override;
    QString Import(const QString &folder, const QString &source) override;
};

// The images of a logic object: the image manager unless another is given.
class PatientImagesSource
{
public:
    // Not owned; none returns to the image manager.
    void Set(IPatientImages *images) { m_pOverride = images; }
    IPatientImages &Get() { return m_pOverride ? *m_pOverride : m_default; }

private:
    CLumiskPatientImages m_default;
    IPatientImages *m_pOverride = nullptr;
};

namespace PatientPictures {

// The picture to show for a stored image path: the trimmed path; without one
// the practice's "Logo.bmp" in the root folder when it exists, otherwise an
// empty text (the picture control's own "no photo" image).
QString PictureToShow(const QString &rootFolder, const QString &imagePath);

} // namespace PatientPictures
