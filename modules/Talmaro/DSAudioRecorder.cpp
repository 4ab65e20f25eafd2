#include "DSAudioRecorder.h"

#include "AsfWriter.h"
#include "GstSupport.h"
#include "TalmaroLog.h"

namespace Talmaro {

DSAudioRecorder::DSAudioRecorder(const CaptureDevice *audioSource, short compressionLevel)
    : m_compressionLevel(compressionLevel)
{
    if (audioSource)
        m_audioSource = *audioSource;
    Log(kLogInformation, QStringLiteral("DSAudioRecorder initializing."));
}

bool DSAudioRecorder::Render(const QString &fileName)
{
    const auto failed = [](int level, const char *text) {
        Log(level, QString::fromLatin1(text));
        return false;
    };
    if (!m_audioSource)
        return failed(kLogError, "DSAudioRecorder::Render - Unable to detect any video input sources.");
    if (!BuildGraph(gst_pipeline_new("Audio Recorder"),
            QStringLiteral("CDSGraphBase::BuildGraph() failed to create the Filter Graph Manager"), false))
        return false;
    SetEndsWithEos();

    GstElement *capture = m_audioSource->CreateElement("Capture");
    if (!capture)
        return failed(
            kLogError, "DSVideoRecorder::Render - Create the base filter out of the audio input moniker.");
    if (!AddTo(Graph(), capture))
        return failed(
            kLogError, "DSAudioRecorder::Render - Unable to add the audio input filter to the graph.");
    GstElement *writer = AsfWriter::Create("ASF Writer", true, false);
    if (!AddTo(Graph(), writer))
        return failed(kLogError, "DSAudioRecorder::Render - Failed to create the ASF writer.");
    if (!AsfWriter::Configure(writer, &ProfileForLevel(m_compressionLevel).audio, nullptr))
        return failed(
            kLogDebug, "DSAudioRecorder::Render - Unable to add the audio input filter to the graph.");
    if (!gst_element_link_pads(capture, nullptr, writer, "audio"))
        return failed(kLogError,
            "DSAudioRecorder::Render - Failed to connect the asf writer and the audio input filter.");
    GstRef<GstElement> fileSink(AsfWriter::FileSink(writer));
    if (!fileSink)
        return failed(kLogError, "DSAudioRecorder::Render - Failed to query the file sink interface.");
    if (!AsfWriter::SetFileName(fileSink.get(), fileName))
        return failed(kLogError, "DSAudioRecorder::Render - Failed to set the file name.");
    return true;
}

} // namespace Talmaro
