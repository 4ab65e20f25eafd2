#pragma once

#include <QtWidgets/QPushButton>

class CImagePreviewStatic;

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
    CImagePreviewStatic *Preview() const { return m_pPreview; }

private:
    QString m_strFilename;
    CImagePreviewStatic *m_pPreview = nullptr;
};
