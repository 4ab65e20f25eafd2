#include "DSVideoRecorder.h"

#include "AsfWriter.h"
#include "GstSupport.h"
#include "TalmaroLog.h"

namespace Talmaro {

namespace {

bool Failed(const char *text)
{
    Log(kLogInformation, QString::fromLatin1(text));
    return false;
}

} // namespace

DSVideoRecorder::DSVideoRecorder(
    const CaptureDevice *videoSource, const CaptureDevice *audioSource, short compressionLevel)
    : m_compressionLevel(compressionLevel)
{
    if (videoSource)
        m_videoSource = *videoSource;
    if (audioSource)
        m_audioSource = *audioSource;
    Log(kLogInformation, QStringLiteral("DSVideoRecorder initializing."));
}

DSVideoRecorder::~DSVideoRecorder()
{
    Log(kLogInformation, QStringLiteral("DSVideoRecorder disposed."));
}

bool DSVideoRecorder::ConfigureWriter(GstElement *writer, const QString &fileName) const
{
    const VideoProfile &video = ProfileForLevel(m_compressionLevel).video;
    GstRef<GstElement> fileSink(AsfWriter::FileSink(writer));
    return AsfWriter::Configure(writer, m_audioSource ? &video.audio : nullptr, &video)
        && AsfWriter::SetFileName(fileSink.get(), fileName);
}

bool DSVideoRecorder::Render(const QString &fileName)
{
    if (!m_videoSource)
        return Failed("DSVideoRecorder::Render - Unable to detect any video input sources.");
    if (!BuildGraph(gst_pipeline_new("Video Recorder"),
            QStringLiteral("CDSVideoRecorder::BuildGraph() failed to create the Filter Graph Manager"),
            false))
        return false;
    SetEndsWithEos();
    GstElement *pipeline = Graph();

    GstElement *writer = AsfWriter::Create("ASF Writer", m_audioSource.has_value(), true);
    if (!writer || !AddTo(pipeline, writer) || !ConfigureWriter(writer, fileName))
        return Failed("DSVideoRecorder::Render - Configure the ASF Writer.");

    GstElement *audioCapture = nullptr;
    if (m_audioSource) {
        audioCapture = m_audioSource->CreateElement("Audio Capture");
        if (!audioCapture)
            return Failed("DSVideoRecorder::Render - Create the base filter out of the audio input moniker.");
        if (!AddTo(pipeline, audioCapture))
            return Failed("DSVideoRecorder::Render - Add audio capture filter to the graph.");
    }

    GstElement *videoCapture = m_videoSource->CreateElement("Video Capture");
    if (!videoCapture)
        return Failed("DSVideoRecorder::Render - Create the base filter out of the video input moniker.");
    if (!AddTo(pipeline, videoCapture))
        return Failed("DSVideoRecorder::Render - Add video capture filter to the graph.");

    // The camera's picture goes both to the screen and into the file.
    GstElement *split = MakeElement("tee", "Smart Tee");
    GstElement *previewQueue = MakeElement("queue", "Preview Queue");
    GstElement *previewConvert = MakeElement("videoconvert", "Preview Convert");
    GstElement *previewSink = MakeLivePictureSink("Video Renderer");
    if (previewQueue) {
        // The screen may drop pictures; the file must not.
        g_object_set(previewQueue, "max-size-buffers", 2u, "max-size-bytes", 0u, "max-size-time",
            static_cast<guint64>(0), "leaky", 2, nullptr);
    }
    const bool previewOk = AddAll(pipeline, { split, previewQueue, previewConvert, previewSink });
    if (!previewOk || !gst_element_link(videoCapture, split)
        || !gst_element_link_many(split, previewQueue, previewConvert, previewSink, nullptr))
        return Failed("DSVideoRecorder::Render - Provide a render path for video preview.");

    if (!gst_element_link_pads(split, nullptr, writer, "video"))
        return Failed("DSVideoRecorder::Render - Add the video capture to the output file.");
    if (audioCapture && !gst_element_link_pads(audioCapture, nullptr, writer, "audio"))
        return Failed("DSVideoRecorder::Render - Add the audio capture to the output file.");

    SetHasVideo(true);
    return true;
}

} // namespace Talmaro
