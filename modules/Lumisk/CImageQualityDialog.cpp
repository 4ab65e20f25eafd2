#include "Lumisk/CImageQualityDialog.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSlider>

CImageQualityDialog::CImageQualityDialog(int quality, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("imageQualityDialog"));
    setWindowTitle(tr("Image Quality"));

    auto *text
        = new QLabel(tr("Set the quality for patient images. Enhacing the quality will affect the amount "
                        "of disk space used to store the image."),
            this);
    text->setWordWrap(true);

    m_pSlider = new QSlider(Qt::Horizontal, this);
    m_pSlider->setObjectName(QStringLiteral("qualitySlider"));
    m_pSlider->setRange(0, 100);
    m_pSlider->setValue(quality);
    m_pSlider->setTickPosition(QSlider::TicksBelow);
    m_pSlider->setTickInterval(10);
    m_pSlider->setPageStep(10);

    auto *performance = new QLabel(tr("<-  Performance"), this);
    auto *balanced = new QLabel(tr("Balanced"), this);
    auto *best = new QLabel(tr("Quality  ->"), this);
    balanced->setAlignment(Qt::AlignHCenter);
    best->setAlignment(Qt::AlignRight);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(text, 0, 0, 1, 3);
    layout->addWidget(m_pSlider, 1, 0, 1, 3);
    layout->addWidget(performance, 2, 0);
    layout->addWidget(balanced, 2, 1);
    layout->addWidget(best, 2, 2);
    layout->addWidget(buttons, 3, 0, 1, 3);
    setMinimumWidth(380);
}

int CImageQualityDialog::Quality() const
{
    return m_pSlider->value();
}
