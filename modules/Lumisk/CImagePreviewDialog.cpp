#include "Lumisk/CImagePreviewDialog.h"

#include "Lumisk/CImagePreviewStatic.h"

#include <QtGui/QScreen>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QVBoxLayout>

CImagePreviewDialog::CImagePreviewDialog(const QString &path, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("imagePreviewDialog"));
    setWindowTitle(tr("Preview Image"));

    auto *preview = new CImagePreviewStatic(this);
    preview->setObjectName(QStringLiteral("imagePreview"));
    preview->SetFilename(path);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(preview, 1);
    layout->addWidget(buttons);

    // Two thirds of the screen at most, and no more than the image needs.
    QSize size(640, 480);
    if (const QScreen *screen = this->screen()) {
        const QSize room = screen->availableSize() * 2 / 3;
        const QSize image = preview->ImageSize();
        size = image.isEmpty() ? size.boundedTo(room) : image.boundedTo(room).expandedTo(QSize(320, 240));
    }
    resize(size);
}
