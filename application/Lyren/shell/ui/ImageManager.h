#pragma once

#include "core/PatientImages.h"

// The image manager library as the program uses it: the quality setting the
// configuration applies and edits, the images bin and the import of image
// files into a patient's folder. Each call takes a reference to the
// process-wide manager and gives it back.
class CLumiskImageManager final : public IPatientImages, public IImageQuality
{
public:
    QString Choose(QWidget *parent, const QString &folder, const QString &current) override;
    QString Import(const QString &folder, const QString &source) override;
    bool ShowImage(QWidget *parent, const QString &path) override;
    bool SetQuality(int quality) override;
    bool EditQuality(int *quality) override;
};
