#include "shell/CPictureButton.h"

#include <QtWidgets/QVBoxLayout>

#if VERDANTA_HAVE_LUMISK
#include "Lumisk/CImagePreviewStatic.h"
#endif

CPictureButton::CPictureButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(104, 124);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
#if VERDANTA_HAVE_LUMISK
    auto *preview = new CImagePreviewStatic(this);
    preview->Create();
    m_pPreview = preview;
    // Clicks reach the button through the picture.
    m_pPreview->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_pPreview);
#endif
}

void CPictureButton::SetFilename(const QString &path)
{
    m_strFilename = path;
#if VERDANTA_HAVE_LUMISK
    static_cast<CImagePreviewStatic *>(m_pPreview)->SetFilename(path);
#endif
}
