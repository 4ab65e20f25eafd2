#include "VideoControlsDlg.h"

#include "MediaManager.h"
#include "ProSliderCtrl.h"
#include "TalmaroCtrl.h"
#include "TalmaroIds.h"
#include "TalmaroLog.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QSignalBlocker>
#include <QtGui/QActionGroup>
#include <QtGui/QFontDatabase>
#include <QtGui/QPainter>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolButton>

namespace Talmaro {

namespace {

constexpr qint64 kUnitsPerMillisecond = 10'000;

QString Clock(qint64 mediaTime)
{
    const qint64 seconds = mediaTime < 0 ? 0 : mediaTime / (kUnitsPerMillisecond * 1000);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int Milliseconds(qint64 mediaTime)
{
    return mediaTime <= 0 ? 0 : static_cast<int>(qMin<qint64>(mediaTime / kUnitsPerMillisecond, INT_MAX));
}

QIcon RecordIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 30, 30));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return QIcon(pixmap);
}

QToolButton *MakeButton(QWidget *parent, const QString &objectName, const QIcon &icon, const QString &toolTip,
    bool checkable = false)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(icon);
    button->setToolTip(toolTip);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    return button;
}

} // namespace

CVideoControlsDlg::CVideoControlsDlg(CTalmaroCtrl *control, QWidget *parent)
    : QWidget(parent)
    , m_pControl(control)
    , m_pIMediaManager(control ? control->MediaManager() : nullptr)
{
    setObjectName(QStringLiteral("CVideoControlsDlg"));
    BuildLayout();
    BuildMenu();
    OnUpdateControls();
}

CVideoControlsDlg::~CVideoControlsDlg()
{
    if (m_pControl)
        m_pControl->OnWindowDestroyed();
}

QString CVideoControlsDlg::StatusText(short status)
{
    switch (status) {
    case kAudioReady:
        return tr("  Audio Ready ");
    case kAudioRecording:
    case kVideoRecording:
        return tr("  Recording   ");
    case kAudioStopped:
    case kVideoStopped:
        return tr("   Stopped    ");
    case kAudioPlaying:
    case kVideoPlaying:
        return tr("   Playing    ");
    case kAudioPaused:
    case kVideoPaused:
        return tr("   Paused     ");
    case kPreviewing:
        return tr("  Previewing  ");
    default:
        return tr("  Video Ready ");
    }
}

void CVideoControlsDlg::BuildLayout()
{
    m_pRecordButton = MakeButton(this, QStringLiteral("recordButton"), RecordIcon(), tr("Record"), true);
    m_pPlayButton = MakeButton(this, QStringLiteral("playButton"),
        style()->standardIcon(QStyle::SP_MediaPlay), tr("Play / Pause"), true);
    m_pSetMarkerButton = MakeButton(this, QStringLiteral("setMarkerButton"),
        style()->standardIcon(QStyle::SP_DialogApplyButton), tr("Set a marker here"));
    m_pPrevMarkerButton = MakeButton(this, QStringLiteral("prevMarkerButton"),
        style()->standardIcon(QStyle::SP_MediaSkipBackward), tr("Previous marker"));
    m_pNextMarkerButton = MakeButton(this, QStringLiteral("nextMarkerButton"),
        style()->standardIcon(QStyle::SP_MediaSkipForward), tr("Next marker"));
    m_pDelMarkerButton = MakeButton(this, QStringLiteral("delMarkerButton"),
        style()->standardIcon(QStyle::SP_TrashIcon), tr("Delete the current marker"));
    m_pOptionsButton = MakeButton(this, QStringLiteral("optionsButton"), QIcon(), tr("Sources and preview"));
    m_pOptionsButton->setText(tr("Options"));
    m_pOptionsButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_pOptionsButton->setPopupMode(QToolButton::InstantPopup);

    m_pMarkerBox = new QComboBox(this);
    m_pMarkerBox->setObjectName(QStringLiteral("markerBox"));
    m_pMarkerBox->setPlaceholderText(QCoreApplication::translate("CTalmaroCtrl", "No current marker"));
    m_pMarkerBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pMarkerBox->setMinimumContentsLength(14);

    m_pSlider = new CProSliderCtrl(this);
    m_pSlider->setObjectName(QStringLiteral("positionSlider"));
    m_pTimeText = new QLabel(this);
    m_pTimeText->setObjectName(QStringLiteral("timeText"));
    m_pStatusText = new QLabel(this);
    m_pStatusText->setObjectName(QStringLiteral("statusText"));
    m_pStatusText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pStatusText->setFrameShape(QFrame::StyledPanel);

    auto *transport = new QHBoxLayout;
    transport->setSpacing(2);
    for (QWidget *widget : { static_cast<QWidget *>(m_pRecordButton), static_cast<QWidget *>(m_pPlayButton),
             static_cast<QWidget *>(m_pSetMarkerButton), static_cast<QWidget *>(m_pPrevMarkerButton),
             static_cast<QWidget *>(m_pNextMarkerButton), static_cast<QWidget *>(m_pDelMarkerButton) })
        transport->addWidget(widget);
    transport->addWidget(m_pMarkerBox, 1);
    transport->addWidget(m_pOptionsButton);

    auto *position = new QHBoxLayout;
    position->addWidget(m_pSlider, 1);
    position->addWidget(m_pTimeText);
    position->addWidget(m_pStatusText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(transport);
    layout->addLayout(position);

    connect(m_pRecordButton, &QToolButton::toggled, this, &CVideoControlsDlg::OnBtnClickedRecord);
    connect(m_pPlayButton, &QToolButton::toggled, this, &CVideoControlsDlg::OnBtnClickedPlay);
    const auto markerAction = [this](QToolButton *button, bool (IMediaManager::*operation)()) {
        connect(button, &QToolButton::clicked, this, [this, operation] {
            if (m_pIMediaManager)
                (m_pIMediaManager->*operation)();
            OnUpdateControls();
        });
    };
    markerAction(m_pSetMarkerButton, &IMediaManager::SetMarker);
    markerAction(m_pPrevMarkerButton, &IMediaManager::GoToPrevMarker);
    markerAction(m_pNextMarkerButton, &IMediaManager::GoToNextMarker);
    markerAction(m_pDelMarkerButton, &IMediaManager::DelMarker);
    connect(m_pMarkerBox, &QComboBox::activated, this, &CVideoControlsDlg::OnMarkerBoxActivated);
    // Without tracking, this comes when the user lets go of the handle or
    // clicks the groove; the dialog's own moves are silent.
    connect(m_pSlider, &QSlider::valueChanged, this, &CVideoControlsDlg::OnSliderMoved);
}

void CVideoControlsDlg::BuildMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("optionsMenu"));
    m_pAudioSourceMenu = menu->addMenu(tr("Audio Source"));
    m_pAudioSourceMenu->setObjectName(QStringLiteral("audioSourceMenu"));
    m_pVideoSourceMenu = menu->addMenu(tr("Video Source"));
    m_pVideoSourceMenu->setObjectName(QStringLiteral("videoSourceMenu"));
    m_pAudioSources = new QActionGroup(this);
    m_pVideoSources = new QActionGroup(this);
    menu->addSeparator();
    m_pAudioToggle = menu->addAction(tr("Disable audio"), this, &CVideoControlsDlg::OnToggleAudio);
    m_pAudioToggle->setObjectName(QStringLiteral("audioToggle"));
    m_pVideoToggle = menu->addAction(tr("Disable video"), this, &CVideoControlsDlg::OnToggleVideo);
    m_pVideoToggle->setObjectName(QStringLiteral("videoToggle"));
    m_pPreviewToggle = menu->addAction(tr("Preview video"), this, [this] {
        if (m_pControl)
            m_pControl->OnPreviewToggled();
    });
    m_pPreviewToggle->setObjectName(QStringLiteral("previewToggle"));
    m_pOptionsButton->setMenu(menu);
}

void CVideoControlsDlg::OnDevicesChanged()
{
    if (!m_pIMediaManager)
        return;
    const MediaChoices choices = m_pIMediaManager->Choices();
    const auto fill
        = [this](QMenu *menu, QActionGroup *group, const QStringList &names, int chosen, bool audio) {
              for (QAction *action : group->actions())
                  delete action;
              for (int i = 0; i < names.size(); ++i) {
                  QAction *action = menu->addAction(names.at(i));
                  action->setCheckable(true);
                  action->setChecked(i == chosen || (i == 0 && (chosen < 0 || chosen >= names.size())));
                  group->addAction(action);
                  connect(action, &QAction::triggered, this, [this, audio, i] { OnSourceChosen(audio, i); });
              }
              menu->setEnabled(!names.isEmpty());
          };
    fill(m_pAudioSourceMenu, m_pAudioSources, m_pIMediaManager->AudioSourceNames(), choices.audioInput, true);
    fill(
        m_pVideoSourceMenu, m_pVideoSources, m_pIMediaManager->VideoSourceNames(), choices.videoInput, false);
    OnUpdateControls();
}

bool CVideoControlsDlg::event(QEvent *event)
{
    if (event->type() == kTickEvent) {
        if (m_pControl)
            m_pControl->OnTick();
        return true;
    }
    return QWidget::event(event);
}

void CVideoControlsDlg::OnUpdateControls()
{
    if (!m_pIMediaManager) {
        Log(kLogWarning, QStringLiteral("CVideoControlsDlg::OnUpdateControls() m_pIMediaManager is NULL!!!"));
        return;
    }
    const bool recording = m_pIMediaManager->IsRecording();
    const bool playbackOpen = m_pIMediaManager->IsPlaybackOpen();
    m_pStatusText->setText(StatusText(m_pIMediaManager->Status()));
    {
        const QSignalBlocker recordBlocker(m_pRecordButton);
        const QSignalBlocker playBlocker(m_pPlayButton);
        m_pRecordButton->setChecked(recording);
        m_pPlayButton->setChecked(m_pIMediaManager->IsPlaying());
    }
    m_pPlayButton->setEnabled(!recording && !m_pIMediaManager->FileName().isEmpty());
    m_pSetMarkerButton->setEnabled(recording || playbackOpen);
    const bool markers = m_pIMediaManager->Markers().Count() > 0;
    m_pPrevMarkerButton->setEnabled(playbackOpen && markers);
    m_pNextMarkerButton->setEnabled(playbackOpen && markers);
    m_pDelMarkerButton->setEnabled(m_pIMediaManager->Markers().CurrentIndex() >= 0);
    UpdateMarkers();
    UpdatePosition();
    UpdateMenuCaptions();
}

void CVideoControlsDlg::UpdateMarkers()
{
    MarkerList &markers = m_pIMediaManager->Markers();
    const quint64 revision = markers.Revision();
    if (revision == m_markerRevision)
        return;
    m_markerRevision = revision;
    const QList<Marker> snapshot = markers.Snapshot();
    const QSignalBlocker blocker(m_pMarkerBox);
    m_pMarkerBox->clear();
    QList<int> ticks;
    for (const Marker &marker : snapshot) {
        m_pMarkerBox->addItem(QStringLiteral("%1  (%2)").arg(marker.description, Clock(marker.position)));
        ticks << Milliseconds(marker.position);
    }
    // -1 shows the placeholder, "No current marker".
    m_pMarkerBox->setCurrentIndex(markers.CurrentIndex());
    m_pSlider->SetMarkers(ticks);
}

void CVideoControlsDlg::UpdatePosition()
{
    const qint64 position = m_pIMediaManager->Position();
    const qint64 duration = m_pIMediaManager->IsRecording() ? position : m_pIMediaManager->Duration();
    m_pSlider->setEnabled(m_pIMediaManager->IsPlaybackOpen() && duration > 0);
    m_pSlider->SetPositionQuietly(Milliseconds(position), Milliseconds(duration));
    m_pTimeText->setText(
        duration > 0 ? Clock(position) + QStringLiteral(" / ") + Clock(duration) : Clock(position));
}

void CVideoControlsDlg::UpdateMenuCaptions()
{
    const MediaChoices choices = m_pIMediaManager->Choices();
    const bool busy = m_pIMediaManager->IsRecording();
    const bool cameras = m_pIMediaManager->HasVideoInput();
    const bool microphones = !m_pIMediaManager->AudioSourceNames().isEmpty();
    m_pAudioToggle->setText(choices.videoOnly != 0 ? tr("Enable audio") : tr("Disable audio"));
    m_pAudioToggle->setEnabled(!busy && cameras && microphones && m_pIMediaManager->IsVideoMode());
    m_pVideoToggle->setText(choices.audioOnly != 0 ? tr("Enable video") : tr("Disable video"));
    m_pVideoToggle->setEnabled(!busy && cameras);
    const bool previewing = m_pIMediaManager->Status() == kPreviewing;
    m_pPreviewToggle->setText(previewing ? tr("Stop previewing video") : tr("Preview video"));
    m_pPreviewToggle->setEnabled(!busy && m_pIMediaManager->IsVideoMode());
    m_pAudioSourceMenu->setEnabled(!busy && microphones);
    m_pVideoSourceMenu->setEnabled(!busy && cameras);
}

void CVideoControlsDlg::OnBtnClickedRecord(bool pressed)
{
    if (m_pControl)
        m_pControl->OnRecordButton(pressed);
}

void CVideoControlsDlg::OnBtnClickedPlay(bool pressed)
{
    if (!m_pIMediaManager) {
        Log(kLogWarning, QStringLiteral("CVideoControlsDlg::OnBtnClickedPlay() m_pIMediaManager is NULL!!!"));
        return;
    }
    if (m_pControl)
        m_pControl->OnPlayButton(pressed);
}

void CVideoControlsDlg::OnMarkerBoxActivated(int index)
{
    if (m_pControl)
        m_pControl->OnMarkerChosen(index);
}

void CVideoControlsDlg::OnSliderMoved(int position)
{
    if (m_pIMediaManager)
        m_pIMediaManager->Seek(static_cast<qint64>(position) * kUnitsPerMillisecond);
    OnUpdateControls();
}

void CVideoControlsDlg::ChangeChoices(const std::function<void(MediaChoices &)> &change)
{
    if (!m_pIMediaManager || !m_pControl)
        return;
    MediaChoices choices = m_pIMediaManager->Choices();
    change(choices);
    m_pControl->OnChoicesChanged(choices);
}

void CVideoControlsDlg::OnSourceChosen(bool audio, int index)
{
    ChangeChoices(
        [audio, index](MediaChoices &choices) { (audio ? choices.audioInput : choices.videoInput) = index; });
}

void CVideoControlsDlg::OnToggleAudio()
{
    ChangeChoices([](MediaChoices &choices) { choices.videoOnly = choices.videoOnly != 0 ? 0 : 1; });
}

void CVideoControlsDlg::OnToggleVideo()
{
    ChangeChoices([](MediaChoices &choices) { choices.audioOnly = choices.audioOnly != 0 ? 0 : 1; });
}

} // namespace Talmaro
