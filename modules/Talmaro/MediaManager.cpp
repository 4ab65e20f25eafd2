#include "MediaManager.h"

#include "DSAudioRecorder.h"
#include "DSGraphBase.h"
#include "DSVideoPreview.h"
#include "DSVideoRecorder.h"
#include "GstSupport.h"
#include "MediaSourceDetector.h"
#include "TalmaroIds.h"
#include "TalmaroLog.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtWidgets/QWidget>

#include <thread>

namespace Talmaro {

namespace {

// Going to the previous marker within this time after the current marker
// goes to the one before it, as a second press of "previous" does in players.
constexpr qint64 kPreviousMarkerGrace = 5'000'000; // half a second
// A position this close to a marker counts as being on it.
constexpr qint64 kMarkerTolerance = 100'000; // ten milliseconds

class CMediaManager final : public IMediaManager
{
public:
    CMediaManager();
    ~CMediaManager() override;

    void SetUp(const MediaChoices &choices) override;
    MediaChoices Choices() const override { return m_choices; }

    short Status() const override { return m_status; }
    QString FileName() const override { return m_fileName; }
    bool IsVideoMode() const override { return m_bVideoMode; }
    bool IsRecording() const override { return m_kind == Kind::Recording; }
    bool IsPlaying() const override { return m_kind == Kind::Playback && m_status == Playing(); }
    bool IsPlaybackOpen() const override { return m_kind == Kind::Playback; }

    bool Record(const QString &fileName, short compressionLevel) override;
    bool Play(const QString &fileName) override;
    bool Pause() override;
    bool Stop() override;
    void Close() override;
    bool Preview(bool start) override;

    bool HasVideo() const override { return m_pGraph && m_pGraph->HasVideo(); }
    bool HasVideoInput() const override { return !m_pDetector->VideoSources().empty(); }
    QStringList AudioSourceNames() const override { return m_pDetector->AudioSourceNames(); }
    QStringList VideoSourceNames() const override { return m_pDetector->VideoSourceNames(); }

    qint64 Position() const override;
    qint64 Duration() const override;
    bool Seek(qint64 position) override;

    MarkerList &Markers() override { return m_markers; }
    bool SetMarker() override;
    bool GoToMarker(int index) override;
    bool GoToNextMarker() override;
    bool GoToPrevMarker() override;
    bool DelMarker() override;

    void SetRecordingVideoWindow(QWidget *window) override;
    void SetPlaybackVideoWindow(QWidget *window) override;
    void ResizeVideoWindow() override;
    void SetNotifyWindow(QObject *window) override;
    TickResult OnTick() override;

private:
    enum class Kind { None, Recording, Playback, Preview };

    short Ready() const { return m_bVideoMode ? kVideoReady : kAudioReady; }
    short Recording() const { return m_bVideoMode ? kVideoRecording : kAudioRecording; }
    short Stopped() const { return m_bVideoMode ? kVideoStopped : kAudioStopped; }
    short Playing() const { return m_bVideoMode ? kVideoPlaying : kAudioPlaying; }
    short Paused() const { return m_bVideoMode ? kVideoPaused : kAudioPaused; }

    // The chosen device of the profile index, the first one when the index is
    // out of range (a device unplugged since), or null when there is none.
    const CaptureDevice *Chosen(const std::vector<CaptureDevice> &devices, int index, const char *what) const;
    // Makes 'graph' the current one: it ticks the control's window from now on.
    void Adopt(std::unique_ptr<CDSGraphBase> graph, Kind kind);
    void DisposeGraph();
    bool StartPlayback(const QString &fileName);

    std::unique_ptr<MediaSourceDetector> m_pDetector;
    // Loads the plug-ins in the background while the program starts.
    std::thread m_pluginLoader;
    std::unique_ptr<CDSGraphBase> m_pGraph;
    Kind m_kind = Kind::None;
    MediaChoices m_choices;
    bool m_bVideoMode = false;
    short m_status = kAudioReady;
    QString m_fileName;
    MarkerList m_markers;
    QPointer<QWidget> m_pRecordingWindow;
    QPointer<QWidget> m_pPlaybackWindow;
    QPointer<QObject> m_pNotifyWindow;
};

CMediaManager::CMediaManager()
    : m_pDetector(std::make_unique<MediaSourceDetector>())
    , m_pluginLoader(LoadPlugins)
{ }

CMediaManager::~CMediaManager()
{
    DisposeGraph();
    m_pluginLoader.join();
}

void CMediaManager::SetUp(const MediaChoices &choices)
{
    DisposeGraph();
    m_choices = choices;
    const int cameras = m_pDetector->DetectVideoSource();
    m_pDetector->DetectAudioSource();
    m_bVideoMode = cameras > 0 && choices.audioOnly == 0;
    m_status = Ready();
}

const CaptureDevice *CMediaManager::Chosen(
    const std::vector<CaptureDevice> &devices, int index, const char *what) const
{
    if (devices.empty())
        return nullptr;
    if (index < 0 || index >= static_cast<int>(devices.size())) {
        Log(kLogInformation,
            QStringLiteral(
                "CMediaManager::Initialize() the chosen %1 input %2 is not there; using the first one.")
                .arg(QLatin1String(what))
                .arg(index));
        index = 0;
    }
    return &devices[static_cast<size_t>(index)];
}

void CMediaManager::Adopt(std::unique_ptr<CDSGraphBase> graph, Kind kind)
{
    DisposeGraph();
    m_pGraph = std::move(graph);
    m_kind = kind;
    m_pGraph->SetNotifyWindow(m_pNotifyWindow.data());
}

void CMediaManager::DisposeGraph()
{
    m_pGraph.reset();
    m_kind = Kind::None;
}

bool CMediaManager::Record(const QString &fileName, short compressionLevel)
{
    DisposeGraph();
    const CaptureDevice *microphone = Chosen(m_pDetector->AudioSources(), m_choices.audioInput, "audio");
    if (m_bVideoMode) {
        const CaptureDevice *camera = Chosen(m_pDetector->VideoSources(), m_choices.videoInput, "video");
        Adopt(std::make_unique<DSVideoRecorder>(
                  camera, m_choices.videoOnly == 0 ? microphone : nullptr, compressionLevel),
            Kind::Recording);
    } else {
        Adopt(std::make_unique<DSAudioRecorder>(microphone, compressionLevel), Kind::Recording);
    }
    const bool existed = !fileName.isEmpty() && QFileInfo::exists(fileName);
    bool ok = m_pGraph->Render(fileName);
    if (ok) {
        m_pGraph->SetVideoWindow(m_pRecordingWindow);
        ok = m_pGraph->Run();
    }
    if (!ok) {
        m_pGraph->Abandon();
        DisposeGraph();
        // A file this attempt created holds nothing worth keeping.
        if (!existed && !fileName.isEmpty())
            QFile::remove(fileName);
        m_status = Ready();
        return false;
    }
    m_fileName = fileName;
    m_status = Recording();
    return true;
}

bool CMediaManager::StartPlayback(const QString &fileName)
{
    Adopt(std::make_unique<CDSGraphBase>(), Kind::Playback);
    // The file becomes the current one even when it cannot be played: the
    // container has given us its markers, and must store them under its name.
    m_fileName = fileName;
    if (!m_pGraph->Render(fileName)) {
        DisposeGraph();
        m_status = Ready();
        return false;
    }
    m_pGraph->SetVideoWindow(m_pPlaybackWindow);
    return true;
}

bool CMediaManager::Play(const QString &fileName)
{
    if (fileName.isEmpty() && m_kind != Kind::Playback) {
        if (m_fileName.isEmpty())
            return false;
        if (!StartPlayback(m_fileName))
            return false;
    } else if (!fileName.isEmpty()) {
        if (!StartPlayback(fileName))
            return false;
    }
    if (!m_pGraph->Run()) {
        DisposeGraph();
        m_status = Ready();
        return false;
    }
    m_status = Playing();
    return true;
}

bool CMediaManager::Pause()
{
    if (m_kind != Kind::Playback || !m_pGraph->Pause())
        return false;
    m_status = Paused();
    return true;
}

bool CMediaManager::Stop()
{
    switch (m_kind) {
    case Kind::None:
        return false;
    case Kind::Recording:
        m_pGraph->Finish();
        DisposeGraph();
        m_status = Stopped();
        return true;
    case Kind::Playback:
        m_pGraph->Pause();
        m_pGraph->Seek(0);
        m_status = Stopped();
        return true;
    case Kind::Preview:
        DisposeGraph();
        m_status = Ready();
        return true;
    }
    return false;
}

void CMediaManager::Close()
{
    DisposeGraph();
    m_fileName.clear();
    m_status = Ready();
}

bool CMediaManager::Preview(bool start)
{
    if (!start) {
        if (m_kind != Kind::Preview)
            return false;
        DisposeGraph();
        m_status = Ready();
        return true;
    }
    if (!m_bVideoMode)
        return false;
    Adopt(
        std::make_unique<DSVideoPreview>(Chosen(m_pDetector->VideoSources(), m_choices.videoInput, "video")),
        Kind::Preview);
    bool ok = m_pGraph->Render(QString());
    if (ok) {
        m_pGraph->SetVideoWindow(m_pRecordingWindow);
        ok = m_pGraph->Run();
    }
    if (!ok) {
        DisposeGraph();
        m_status = Ready();
        return false;
    }
    m_status = kPreviewing;
    return true;
}

qint64 CMediaManager::Position() const
{
    const qint64 nanoseconds = m_pGraph ? m_pGraph->Position() : -1;
    return nanoseconds < 0 ? -1 : ToMediaTime(nanoseconds);
}

qint64 CMediaManager::Duration() const
{
    const qint64 nanoseconds = m_pGraph ? m_pGraph->Duration() : -1;
    return nanoseconds < 0 ? -1 : ToMediaTime(nanoseconds);
}

bool CMediaManager::Seek(qint64 position)
{
    if (m_kind != Kind::Playback || !m_pGraph->Seek(ToNanoseconds(position)))
        return false;
    m_markers.SetCurrentIndex(-1);
    return true;
}

bool CMediaManager::SetMarker()
{
    const qint64 position = Position();
    if (position < 0)
        return false;
    const int number = m_markers.Count() + 1;
    const int index
        = m_markers.Insert(position, QCoreApplication::translate("CTalmaroCtrl", "Marker %1").arg(number));
    m_markers.SetCurrentIndex(index);
    return true;
}

bool CMediaManager::GoToMarker(int index)
{
    Marker marker;
    if (m_kind != Kind::Playback || !m_markers.At(index, &marker))
        return false;
    if (!m_pGraph->Seek(ToNanoseconds(marker.position)))
        return false;
    m_markers.SetCurrentIndex(index);
    return true;
}

bool CMediaManager::GoToNextMarker()
{
    const qint64 position = Position();
    return position >= 0 && GoToMarker(m_markers.NextAfter(position + kMarkerTolerance));
}

bool CMediaManager::GoToPrevMarker()
{
    const qint64 position = Position();
    if (position < 0)
        return false;
    // Just after the current marker (as after going to it while playing),
    // "previous" means the one before it, not the same one again.
    Marker current;
    const int index = m_markers.CurrentIndex();
    if (m_markers.At(index, &current) && position >= current.position
        && position < current.position + kPreviousMarkerGrace)
        return GoToMarker(index - 1);
    return GoToMarker(m_markers.PreviousBefore(position - kMarkerTolerance));
}

bool CMediaManager::DelMarker()
{
    return m_markers.RemoveCurrent();
}

void CMediaManager::SetRecordingVideoWindow(QWidget *window)
{
    m_pRecordingWindow = window;
    if (m_kind == Kind::Recording || m_kind == Kind::Preview)
        m_pGraph->SetVideoWindow(window);
}

void CMediaManager::SetPlaybackVideoWindow(QWidget *window)
{
    m_pPlaybackWindow = window;
    if (m_kind == Kind::Playback)
        m_pGraph->SetVideoWindow(window);
}

void CMediaManager::ResizeVideoWindow()
{
    if (m_pGraph)
        m_pGraph->ResizeVideoWindow();
}

void CMediaManager::SetNotifyWindow(QObject *window)
{
    m_pNotifyWindow = window;
    if (m_pGraph)
        m_pGraph->SetNotifyWindow(window);
}

IMediaManager::TickResult CMediaManager::OnTick()
{
    if (!m_pGraph)
        return TickResult::Nothing;
    const CDSGraphBase::BusEvent event = m_pGraph->PollEvents();
    if (event == CDSGraphBase::BusEvent::None)
        return TickResult::Nothing;
    switch (m_kind) {
    case Kind::Playback:
        if (event == CDSGraphBase::BusEvent::EndOfStream) {
            // Back to the start, ready to play again.
            m_pGraph->Pause();
            m_pGraph->Seek(0);
            m_status = Stopped();
            return TickResult::PlaybackEnded;
        }
        DisposeGraph();
        m_status = Ready();
        return TickResult::PlaybackFailed;
    case Kind::Recording:
        // A device that fails or goes away ends the recording; what was
        // recorded is kept.
        Log(kLogInformation, QStringLiteral("CMediaManager::OnTick() the recording stopped unexpectedly"));
        m_pGraph->Finish(GST_SECOND);
        DisposeGraph();
        m_status = Stopped();
        return TickResult::RecordingFailed;
    case Kind::Preview:
        DisposeGraph();
        m_status = Ready();
        return TickResult::Nothing;
    case Kind::None:
        break;
    }
    return TickResult::Nothing;
}

} // namespace

std::unique_ptr<IMediaManager> CreateMediaManager()
{
    return std::make_unique<CMediaManager>();
}

} // namespace Talmaro
