#include "MediaQualityDlg.h"

#include "CompressionProfiles.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSlider>

namespace Talmaro {

CompressionLevelChooser::CompressionLevelChooser(short level, QWidget *parent)
    : QWidget(parent)
    , m_pSlider(new QSlider(Qt::Horizontal, this))
    , m_pDescription(new QLabel(this))
{
    m_pSlider->setObjectName(QStringLiteral("qualitySlider"));
    m_pSlider->setRange(kMinCompressionLevel, kMaxCompressionLevel);
    m_pSlider->setTickPosition(QSlider::TicksBelow);
    m_pSlider->setTickInterval(1);
    m_pSlider->setPageStep(1);
    m_pDescription->setObjectName(QStringLiteral("qualityDescription"));
    m_pDescription->setWordWrap(true);

    auto *ends = new QHBoxLayout;
    ends->addWidget(new QLabel(tr("Smaller files"), this));
    ends->addStretch();
    ends->addWidget(new QLabel(tr("Better quality"), this));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Quality of new recordings:"), this));
    layout->addWidget(m_pSlider);
    layout->addLayout(ends);
    layout->addWidget(m_pDescription);

    SetLevel(level);
    connect(m_pSlider, &QSlider::valueChanged, this, [this] {
        Describe();
        emit LevelChanged(Level());
    });
}

short CompressionLevelChooser::Level() const
{
    return static_cast<short>(m_pSlider->value());
}

void CompressionLevelChooser::SetLevel(short level)
{
    m_pSlider->setValue(EffectiveCompressionLevel(level));
    Describe();
}

void CompressionLevelChooser::Describe()
{
    const CompressionProfile &profile = ProfileForLevel(Level());
    const VideoProfile &video = profile.video;
    m_pDescription->setText(
        tr("Sound: %1 kbit/s, %2 Hz, %3.\nVideo: %4×%5 at %6 frames per second, %7 kbit/s.")
            .arg(profile.audio.bitrate / 1000)
            .arg(profile.audio.sampleRate)
            .arg(profile.audio.channels == 1 ? tr("mono") : tr("stereo"))
            .arg(video.width)
            .arg(video.height)
            .arg(video.framesPerSecond)
            .arg((video.bitrate + video.audio.bitrate) / 1000));
}

CMediaQualityDlg::CMediaQualityDlg(short level, QWidget *parent)
    : QDialog(parent)
    , m_pChooser(new CompressionLevelChooser(level, this))
{
    setObjectName(QStringLiteral("CMediaQualityDlg"));
    setWindowTitle(tr("Media Quality"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pChooser);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

short CMediaQualityDlg::Level() const
{
    return m_pChooser->Level();
}

} // namespace Talmaro
