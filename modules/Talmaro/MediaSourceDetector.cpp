#include "MediaSourceDetector.h"

#include "GstSupport.h"
#include "TalmaroIds.h"
#include "TalmaroLog.h"

namespace Talmaro {

CaptureDevice CaptureDevice::FromDevice(GstDevice *device)
{
    CaptureDevice captureDevice;
    gchar *name = gst_device_get_display_name(device);
    captureDevice.m_friendlyName = QString::fromUtf8(name);
    g_free(name);
    captureDevice.m_pDevice.reset(GST_DEVICE(gst_object_ref(device)), GstObjectUnref());
    return captureDevice;
}

CaptureDevice CaptureDevice::TestSource(const QString &friendlyName, const char *launchLine)
{
    CaptureDevice captureDevice;
    captureDevice.m_friendlyName = friendlyName;
    captureDevice.m_launchLine = launchLine;
    return captureDevice;
}

GstElement *CaptureDevice::CreateElement(const char *name) const
{
    if (m_pDevice)
        return gst_device_create_element(m_pDevice.get(), name);
    if (m_launchLine.isEmpty())
        return nullptr;
    GError *error = nullptr;
    GstElement *element = gst_parse_launch(m_launchLine.constData(), &error);
    if (error) {
        g_error_free(error);
        if (element)
            gst_object_unref(element);
        return nullptr;
    }
    if (element && name)
        gst_object_set_name(GST_OBJECT(element), name);
    return element;
}

MediaSourceDetector::MediaSourceDetector()
{
    Log(kLogInformation, QStringLiteral("MediaSourceDetector initializing."));
}

MediaSourceDetector::~MediaSourceDetector()
{
    Log(kLogInformation, QStringLiteral("MediaSourceDetector disposed."));
}

int MediaSourceDetector::DetectVideoSource()
{
    return Detect(Kind::Video, &m_videoSources);
}

int MediaSourceDetector::DetectAudioSource()
{
    return Detect(Kind::Audio, &m_audioSources);
}

int MediaSourceDetector::Detect(Kind kind, std::vector<CaptureDevice> *sources)
{
    const bool video = kind == Kind::Video;
    const QString operation = video ? QStringLiteral("MediaSourceDetector::DetectVideoSource")
                                    : QStringLiteral("MediaSourceDetector::DetectAudioSource");
    sources->clear();
    Log(kLogInformation,
        operation
            + (video ? QStringLiteral(" - Retrieving video input sources.")
                     : QStringLiteral(" - Retrieving audio input sources.")));

    if (TestDevicesEnabled()) {
        const QByteArray which = qgetenv(kTestDevicesVariable);
        if (which == "none" || (video && which == "audio"))
            return 0;
        if (video) {
            sources->push_back(CaptureDevice::TestSource(
                QStringLiteral("Test Pattern Camera (Bars)"), "videotestsrc is-live=true pattern=smpte"));
            sources->push_back(CaptureDevice::TestSource(
                QStringLiteral("Test Pattern Camera (Ball)"), "videotestsrc is-live=true pattern=ball"));
        } else {
            sources->push_back(CaptureDevice::TestSource(QStringLiteral("Test Tone Microphone (440 Hz)"),
                "audiotestsrc is-live=true wave=sine freq=440 volume=0.4"));
            sources->push_back(CaptureDevice::TestSource(QStringLiteral("Test Tone Microphone (880 Hz)"),
                "audiotestsrc is-live=true wave=sine freq=880 volume=0.4"));
        }
        return static_cast<int>(sources->size());
    }

    GstRef<GstDeviceMonitor> monitor(EnsureGStreamer() ? gst_device_monitor_new() : nullptr);
    if (!monitor) {
        Log(kLogError,
            operation + QStringLiteral(" - failed to create the device enumerator. Error code: %1.").arg(-1));
        return 0;
    }
    GstCaps *caps = gst_caps_new_empty_simple(video ? "video/x-raw" : "audio/x-raw");
    const guint filter
        = gst_device_monitor_add_filter(monitor.get(), video ? "Video/Source" : "Audio/Source", caps);
    gst_caps_unref(caps);
    if (filter == 0) {
        Log(kLogError,
            operation + QStringLiteral(" - failed to enumerate device monikers. Error code: %1.").arg(-1));
        return 0;
    }
    GList *devices = gst_device_monitor_get_devices(monitor.get());
    for (GList *item = devices; item; item = item->next) {
        auto *device = static_cast<GstDevice *>(item->data);
        if (!device || !GST_IS_DEVICE(device)) {
            Log(kLogInformation, operation + QStringLiteral(" - null moniker detected. Skip."));
            continue;
        }
        sources->push_back(CaptureDevice::FromDevice(device));
    }
    g_list_free_full(devices, gst_object_unref);
    return static_cast<int>(sources->size());
}

QStringList MediaSourceDetector::VideoSourceNames() const
{
    QStringList names;
    for (const CaptureDevice &device : m_videoSources)
        names << device.FriendlyName();
    return names;
}

QStringList MediaSourceDetector::AudioSourceNames() const
{
    QStringList names;
    for (const CaptureDevice &device : m_audioSources)
        names << device.FriendlyName();
    return names;
}

} // namespace Talmaro
