#include "shell/ui/CPictureButton.h"

#include <QtWidgets/QVBoxLayout>

#include "Lumisk/CImagePreviewStatic.h"

CPictureButton::CPictureButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(104, 124);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_pPreview = new CImagePreviewStatic(this);
    m_pPreview->Create();
    // Clicks reach the button through the picture.
    m_pPreview->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_pPreview);
}

void CPictureButton::SetFilename(const QString &path)
{
    m_strFilename = path;
    m_pPreview->SetFilename(path);
}
