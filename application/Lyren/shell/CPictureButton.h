#pragma once

#include <QtWidgets/QPushButton>

// The patient picture at the left of the header band: the image-preview
// control of the image manager inside a flat button, so that a click asks for
// a new picture.
class CPictureButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CPictureButton(QWidget *parent = nullptr);

    void SetFilename(const QString &path);
    QString Filename() const { return m_strFilename; }
    // The image-preview control, none when the program has no image manager.
    QWidget *Preview() const { return m_pPreview; }

private:
    QString m_strFilename;
    QWidget *m_pPreview = nullptr;
};
