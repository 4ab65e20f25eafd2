#include "DSGraphBase.h"

#include "GstSupport.h"
#include "TalmaroIds.h"
#include "TalmaroLog.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtWidgets/QWidget>

#include <chrono>

namespace Talmaro {

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(100);
// How long a pipeline may take to open a file or start its devices.
constexpr GstClockTime kStartTimeout = 10 * GST_SECOND;
// playbin's flag for subtitles, which a media file of ours never has.
constexpr guint kPlayFlagText = 1u << 2;

// Only what the graph acts on is kept on the bus, so that a graph whose
// window is gone (nobody reads the bus) does not pile up messages.
GstBusSyncReply KeepWhatMatters(GstBus *, GstMessage *message, gpointer)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ERROR:
        return GST_BUS_PASS;
    default:
        return GST_BUS_DROP;
    }
}

QString ErrorText(GstMessage *message)
{
    GError *error = nullptr;
    gchar *debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    if (debug)
        text += QStringLiteral(" (") + QString::fromUtf8(debug) + QLatin1Char(')');
    if (error)
        g_error_free(error);
    g_free(debug);
    return text;
}

// Where played sound goes: the desktop's output, or under the test-only
// device switch a null output that still keeps time.
GstElement *MakeAudioOutput()
{
    if (TestDevicesEnabled()) {
        GstElement *sink = MakeElement("fakesink", "Audio Renderer");
        if (sink)
            g_object_set(sink, "sync", TRUE, nullptr);
        return sink;
    }
    return MakeElement("autoaudiosink", "Audio Renderer");
}

} // namespace

CDSGraphBase::CDSGraphBase()
    : m_pFrames(std::make_unique<VideoFrameSink>())
{
    // The worker starts with the graph and runs until the flag clears.
    m_running = 1;
    m_ticker = std::thread([this] { TickLoop(); });
}

CDSGraphBase::~CDSGraphBase()
{
    StopTicking();
    Finish();
    if (m_pBus) {
        gst_bus_set_sync_handler(m_pBus, nullptr, nullptr, nullptr);
        gst_object_unref(m_pBus);
    }
    if (m_pGraph)
        gst_object_unref(m_pGraph);
    // The pipeline no longer calls into the frame sink.
    delete m_pSurface.data();
}

void CDSGraphBase::TickLoop()
{
    std::unique_lock<std::mutex> locker(m_lock);
    while (m_running == 1) {
        if (m_pNotifyWindow)
            QCoreApplication::postEvent(m_pNotifyWindow, new QEvent(kTickEvent));
        m_wake.wait_for(locker, kTickInterval, [this] { return m_running != 1; });
    }
}

void CDSGraphBase::StopTicking()
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_running = 0;
        m_pNotifyWindow = nullptr;
    }
    m_wake.notify_all();
    if (m_ticker.joinable())
        m_ticker.join();
}

void CDSGraphBase::SetNotifyWindow(QObject *window)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_pNotifyWindow = window;
}

bool CDSGraphBase::BuildGraph(GstElement *pipeline, const QString &managerFailure, bool withVideoRenderer)
{
    if (!EnsureGStreamer() || !pipeline) {
        Log(kLogInformation, managerFailure);
        if (pipeline)
            gst_object_unref(gst_object_ref_sink(pipeline));
        return false;
    }
    m_pGraph = GST_ELEMENT(gst_object_ref_sink(pipeline));
    if (!GST_IS_PIPELINE(m_pGraph)) {
        Log(kLogInformation,
            QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Media Control object"));
        return false;
    }
    m_pBus = gst_pipeline_get_bus(GST_PIPELINE(m_pGraph));
    if (!m_pBus) {
        Log(kLogInformation,
            QStringLiteral("CDSGraphBase::BuildGraph() failed to create notifications object"));
        return false;
    }
    gst_bus_set_sync_handler(m_pBus, KeepWhatMatters, nullptr, nullptr);
    if (withVideoRenderer) {
        m_pVideoRenderer = m_pFrames->CreateAppSink("Video Renderer", true);
        if (!m_pVideoRenderer) {
            Log(kLogInformation,
                QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Video Renderer"));
            Log(kLogInformation,
                QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Video Window"));
            Log(kLogWarning, QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Basic Video"));
        }
    }
    return true;
}

GstElement *CDSGraphBase::MakeLivePictureSink(const char *name)
{
    return m_pFrames->CreateAppSink(name, false);
}

bool CDSGraphBase::Render(const QString &fileName)
{
    const auto failed = [&fileName] {
        Log(kLogInformation,
            QStringLiteral("CDSGraphBase::Render() failed to render the file %1").arg(fileName));
        return false;
    };
    if (!BuildGraph(MakeElement("playbin", "Filter Graph"),
            QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Filter Graph Manager"), true))
        return failed();
    const QFileInfo file(fileName);
    if (fileName.isEmpty() || !file.isFile() || !file.isReadable())
        return failed();

    const QByteArray uri = QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded();
    guint flags = 0;
    g_object_get(m_pGraph, "flags", &flags, nullptr);
    g_object_set(m_pGraph, "uri", uri.constData(), "flags", flags & ~kPlayFlagText, nullptr);
    if (GstElement *audioOutput = MakeAudioOutput())
        g_object_set(m_pGraph, "audio-sink", audioOutput, nullptr);
    if (m_pVideoRenderer)
        g_object_set(m_pGraph, "video-sink", m_pVideoRenderer, nullptr);

    // Paused on the first picture: the file is open and its streams known.
    if (gst_element_set_state(m_pGraph, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE
        || gst_element_get_state(m_pGraph, nullptr, nullptr, kStartTimeout) != GST_STATE_CHANGE_SUCCESS
        || TakeError()) {
        gst_element_set_state(m_pGraph, GST_STATE_NULL);
        return failed();
    }
    gint videoStreams = 0;
    g_object_get(m_pGraph, "n-video", &videoStreams, nullptr);
    // Without a video stream the file plays as sound alone.
    SetHasVideo(videoStreams > 0 && m_pVideoRenderer);
    return true;
}

bool CDSGraphBase::Run()
{
    if (!m_pGraph)
        return false;
    if (gst_element_set_state(m_pGraph, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return false;
    if (IsRecorder()) {
        // A recording is under way once the devices deliver and the file has
        // its header; a busy or broken device shows here.
        if (gst_element_get_state(m_pGraph, nullptr, nullptr, kStartTimeout) == GST_STATE_CHANGE_FAILURE)
            return false;
    }
    return !TakeError();
}

bool CDSGraphBase::Pause()
{
    return m_pGraph && gst_element_set_state(m_pGraph, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool CDSGraphBase::IsRunning() const
{
    if (!m_pGraph)
        return false;
    GstState state = GST_STATE_NULL;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(m_pGraph, &state, &pending, 0);
    return (pending == GST_STATE_VOID_PENDING ? state : pending) == GST_STATE_PLAYING;
}

void CDSGraphBase::Finish(GstClockTime patience)
{
    if (!m_pGraph || m_bFinished)
        return;
    m_bFinished = true;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(m_pGraph, &state, nullptr, 0);
    if (m_bEndsWithEos && state >= GST_STATE_PAUSED) {
        // The end-of-stream runs through the encoders and the muxer, which
        // then writes the file's index and duration.
        gst_element_send_event(m_pGraph, gst_event_new_eos());
        GstMessage *message = gst_bus_timed_pop_filtered(
            m_pBus, patience, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!message)
            Log(kLogInformation, QStringLiteral("CDSGraphBase::Finish() the recording did not end in time"));
        else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
            Log(kLogInformation, QStringLiteral("CDSGraphBase::Finish() %1").arg(ErrorText(message)));
        if (message)
            gst_message_unref(message);
    }
    gst_element_set_state(m_pGraph, GST_STATE_NULL);
}

qint64 CDSGraphBase::Position() const
{
    if (!m_pGraph)
        return -1;
    if (IsRecorder()) {
        // The running time of the live pipeline is the time recorded.
        GstClock *clock = gst_element_get_clock(m_pGraph);
        if (!clock)
            return 0;
        const GstClockTime now = gst_clock_get_time(clock);
        const GstClockTime base = gst_element_get_base_time(m_pGraph);
        gst_object_unref(clock);
        return now > base ? static_cast<qint64>(now - base) : 0;
    }
    gint64 position = -1;
    if (!gst_element_query_position(m_pGraph, GST_FORMAT_TIME, &position))
        return -1;
    return position;
}

qint64 CDSGraphBase::Duration() const
{
    gint64 duration = -1;
    if (!m_pGraph || IsRecorder() || !gst_element_query_duration(m_pGraph, GST_FORMAT_TIME, &duration))
        return -1;
    return duration;
}

bool CDSGraphBase::Seek(qint64 nanoseconds)
{
    if (!m_pGraph || IsRecorder() || nanoseconds < 0)
        return false;
    if (!gst_element_seek_simple(m_pGraph, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), nanoseconds))
        return false;
    // Settled, so that the position read next is the new one.
    return gst_element_get_state(m_pGraph, nullptr, nullptr, kStartTimeout) != GST_STATE_CHANGE_FAILURE;
}

void CDSGraphBase::SetVideoWindow(QWidget *window)
{
    if (m_pVideoWindow == window && (m_pSurface || !window))
        return;
    delete m_pSurface.data();
    m_pVideoWindow = window;
    if (window && m_bHasVideo)
        m_pSurface = new VideoSurface(m_pFrames.get(), window);
}

void CDSGraphBase::ResizeVideoWindow()
{
    if (m_pSurface)
        m_pSurface->FitToWindow();
}

bool CDSGraphBase::TakeError()
{
    if (!m_pBus)
        return false;
    bool error = false;
    while (GstMessage *message = gst_bus_pop_filtered(m_pBus, GST_MESSAGE_ERROR)) {
        Log(kLogInformation, QStringLiteral("CDSGraphBase::Run() %1").arg(ErrorText(message)));
        gst_message_unref(message);
        error = true;
    }
    return error;
}

CDSGraphBase::BusEvent CDSGraphBase::PollEvents()
{
    if (!m_pBus)
        return BusEvent::None;
    BusEvent event = BusEvent::None;
    while (GstMessage *message = gst_bus_pop(m_pBus)) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            Log(kLogInformation, QStringLiteral("CDSGraphBase::OnGraphNotify() %1").arg(ErrorText(message)));
            event = BusEvent::Error;
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && event == BusEvent::None) {
            event = BusEvent::EndOfStream;
        }
        gst_message_unref(message);
    }
    return event;
}

} // namespace Talmaro
