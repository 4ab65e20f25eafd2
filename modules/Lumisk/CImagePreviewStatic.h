#pragma once

#include "lumisk_export.h"

#include <QtGui/QImage>
#include <QtGui/QPixmap>
#include <QtWidgets/QFrame>

// A picture control: shows its file scaled to fit (small images are enlarged),
// centred on white, with a cursor of its own. Dialogs and views of the program
// create it, give it a file with SetFilename and destroy it with themselves.
class LUMISK_EXPORT CImagePreviewStatic : public QFrame
{
    Q_OBJECT

public:
    explicit CImagePreviewStatic(QWidget *parent = nullptr);
    ~CImagePreviewStatic() override;

    // False while the control has no window of its own yet; otherwise forgets
    // any image and returns true.
    bool Create();
    // Shows the file; when it cannot be read, the control stays white.
    void SetFilename(const QString &path);

    QString Filename() const { return m_filename; }
    bool HasImage() const { return !m_image.isNull(); }
    // The size of the image held, which is at most the size of the screen.
    QSize ImageSize() const { return m_image.size(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_filename;
    QImage m_image;
    // The image scaled for the last size drawn; scaling a photo is too slow to
    // repeat at every paint.
    QPixmap m_scaled;
};
