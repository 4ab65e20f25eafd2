#pragma once

#include "DSGraphBase.h"
#include "MediaSourceDetector.h"

#include <optional>

namespace Talmaro {

// Shows the chosen camera's picture in the recording window, recording nothing.
class DSVideoPreview : public CDSGraphBase
{
public:
    explicit DSVideoPreview(const CaptureDevice *videoSource);
    ~DSVideoPreview() override;

    // The file name is not used.
    bool Render(const QString &fileName) override;

private:
    std::optional<CaptureDevice> m_videoSource;
};

} // namespace Talmaro
