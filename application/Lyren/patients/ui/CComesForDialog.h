#pragma once

#include "patients/forms/FormInterfaces.h"

#include <QtWidgets/QDialog>

class CPhraseTextEdit;
class CPictureButton;
class IPatientImages;

// "Chief Complaint": the description of one complaint and its image. The
// image area button lets the image manager choose or acquire an image in the
// patient's Images folder, starting from the current one; the preview shows
// the practice logo while there is none. A double click in the description
// picks a phrase (code 67). The recording of the complaint, when the media
// logic made one, is carried along unchanged.
class CComesForDialog : public QDialog
{
    Q_OBJECT

public:
    // rootFolder: where the practice logo lies. images is not owned.
    CComesForDialog(const QString &imagesFolder, const QString &rootFolder, IPatientImages *images,
        CommandSink sink, QWidget *parent = nullptr);

    void SetValues(const QString &description, const QString &imagePath, const QString &audioPath);
    QString Description() const;
    QString ImagePath() const { return m_strImagePath; }
    QString AudioPath() const { return m_strAudioPath; }

    CPhraseTextEdit *DescriptionEdit() const { return m_pDescription; }
    CPictureButton *ImageButton() const { return m_pImage; }

    // The image area button.
    void ChooseImage();

private:
    void ShowImage();

    QString m_strImagesFolder;
    QString m_strRoot;
    IPatientImages *m_pImages;
    CommandSink m_sink;
    QString m_strImagePath;
    QString m_strAudioPath;
    CPhraseTextEdit *m_pDescription = nullptr;
    CPictureButton *m_pImage = nullptr;
};
