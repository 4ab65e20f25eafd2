#pragma once

#include "DSGraphBase.h"
#include "MediaSourceDetector.h"

#include <optional>

namespace Talmaro {

// Records the chosen camera, and the chosen microphone when there is one,
// into an ".asf" file (Windows Media Video and Audio), showing the camera's
// picture in the recording window meanwhile.
class DSVideoRecorder : public CDSGraphBase
{
public:
    // Null sources stand for devices that are missing (or not wanted).
    DSVideoRecorder(
        const CaptureDevice *videoSource, const CaptureDevice *audioSource, short compressionLevel);
    ~DSVideoRecorder() override;

    bool Render(const QString &fileName) override;
    bool IsRecorder() const override { return true; }

private:
    bool ConfigureWriter(GstElement *writer, const QString &fileName) const;

    std::optional<CaptureDevice> m_videoSource;
    std::optional<CaptureDevice> m_audioSource;
    short m_compressionLevel;
};

} // namespace Talmaro
