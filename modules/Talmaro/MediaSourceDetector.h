#pragma once

#include <gst/gst.h>

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

namespace Talmaro {

// One capture device: a microphone or a camera found by the device monitor,
// or a test source standing in for one.
class CaptureDevice
{
public:
    static CaptureDevice FromDevice(GstDevice *device); // adds a reference
    static CaptureDevice TestSource(const QString &friendlyName, const char *launchLine);

    QString FriendlyName() const { return m_friendlyName; }
    // A new source element named 'name' (floating), or null.
    GstElement *CreateElement(const char *name) const;

private:
    QString m_friendlyName;
    std::shared_ptr<GstDevice> m_pDevice;
    QByteArray m_launchLine;
};

// Finds the capture devices with GStreamer's device monitor (or, under the
// test-only switch, offers test sources), one kind at a time.
class MediaSourceDetector
{
public:
    MediaSourceDetector();
    ~MediaSourceDetector();
    MediaSourceDetector(const MediaSourceDetector &) = delete;
    MediaSourceDetector &operator=(const MediaSourceDetector &) = delete;

    // Both clear the list, detect again and return the number of devices.
    int DetectVideoSource();
    int DetectAudioSource();

    const std::vector<CaptureDevice> &VideoSources() const { return m_videoSources; }
    const std::vector<CaptureDevice> &AudioSources() const { return m_audioSources; }
    QStringList VideoSourceNames() const;
    QStringList AudioSourceNames() const;

private:
    enum class Kind { Video, Audio };
    int Detect(Kind kind, std::vector<CaptureDevice> *sources);

    std::vector<CaptureDevice> m_videoSources;
    std::vector<CaptureDevice> m_audioSources;
};

} // namespace Talmaro
