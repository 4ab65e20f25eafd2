#pragma once

#include "DSGraphBase.h"
#include "MediaSourceDetector.h"

#include <optional>

namespace Talmaro {

// Records the chosen microphone into a ".wma" file: Windows Media Audio in
// ASF, with the audio profile of the compression level.
class DSAudioRecorder : public CDSGraphBase
{
public:
    // 'audioSource' null when there is no microphone.
    DSAudioRecorder(const CaptureDevice *audioSource, short compressionLevel);

    bool Render(const QString &fileName) override;
    bool IsRecorder() const override { return true; }

private:
    std::optional<CaptureDevice> m_audioSource;
    short m_compressionLevel;
};

} // namespace Talmaro
