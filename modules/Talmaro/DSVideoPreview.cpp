#include "DSVideoPreview.h"

#include "GstSupport.h"
#include "TalmaroLog.h"

namespace Talmaro {

DSVideoPreview::DSVideoPreview(const CaptureDevice *videoSource)
{
    if (videoSource)
        m_videoSource = *videoSource;
    Log(kLogInformation, QStringLiteral("DSVideoPreview initializing."));
}

DSVideoPreview::~DSVideoPreview()
{
    Log(kLogInformation, QStringLiteral("DSVideoPreview disposed."));
}

bool DSVideoPreview::Render(const QString &)
{
    const auto failed = [](const char *text) {
        Log(kLogInformation, QString::fromLatin1(text));
        return false;
    };
    if (!m_videoSource)
        return failed("DSVideoPreview::Render - Unable to detect any video input sources.");
    if (!BuildGraph(gst_pipeline_new("Video Preview"),
            QStringLiteral("CDSVideoPreview::BuildGraph() failed to create the Filter Graph Manager"), false))
        return false;
    GstElement *capture = m_videoSource->CreateElement("Video Capture");
    if (!capture)
        return failed("DSVideoPreview::Render - Create the base filter out of the video input moniker.");
    if (!AddTo(Graph(), capture))
        return failed("DSVideoPreview::Render - Add video capture filter to the graph.");
    GstElement *convert = MakeElement("videoconvert", "Preview Convert");
    GstElement *sink = MakeLivePictureSink("Video Renderer");
    if (!AddAll(Graph(), { convert, sink }) || !gst_element_link_many(capture, convert, sink, nullptr))
        return failed("DSVideoPreview::Render - Provide a render path for video preview.");
    SetHasVideo(true);
    return true;
}

} // namespace Talmaro
