#include "AsfWriter.h"

#include "GstSupport.h"

#include <QtCore/QFile>

#include <initializer_list>

namespace Talmaro::AsfWriter {

namespace {

constexpr char kMuxer[] = "asf muxer";
constexpr char kFileSink[] = "file sink";
constexpr char kAudioFormat[] = "audio format";
constexpr char kAudioEncoder[] = "audio encoder";
constexpr char kVideoFormat[] = "video format";
constexpr char kVideoEncoder[] = "video encoder";

// Links 'elements' in a row inside 'bin' and exposes the first one's sink pad
// as the bin's pad 'padName'; the last one feeds the muxer.
bool AddBranch(
    GstElement *bin, GstElement *muxer, const char *padName, std::initializer_list<GstElement *> elements)
{
    if (!AddAll(bin, elements))
        return false;
    GstElement *previous = nullptr;
    for (GstElement *element : elements) {
        if (previous && !gst_element_link(previous, element))
            return false;
        previous = element;
    }
    if (!gst_element_link(previous, muxer))
        return false;
    GstRef<GstPad> target(gst_element_get_static_pad(*elements.begin(), "sink"));
    GstPad *ghost = gst_ghost_pad_new(padName, target.get());
    return ghost && gst_element_add_pad(bin, ghost);
}

// The muxer reads buffer times as they come, without their segment; the
// Windows Media Video encoder starts its times 1000 hours on (its segment
// says so) while the sound starts at 0, and the muxer would then put the
// pictures a thousand hours after the sound. So every encoded buffer is given
// its running time, and the segment after the encoder starts at zero.
struct Retimer
{
    GstSegment segment;
};

GstPadProbeReturn Retime(GstPad *, GstPadProbeInfo *info, gpointer data)
{
    auto *retimer = static_cast<Retimer *>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT)
            return GST_PAD_PROBE_OK;
        const GstSegment *segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format != GST_FORMAT_TIME)
            return GST_PAD_PROBE_OK;
        gst_segment_copy_into(segment, &retimer->segment);
        GstSegment fresh;
        gst_segment_init(&fresh, GST_FORMAT_TIME);
        GstEvent *replacement = gst_event_new_segment(&fresh);
        gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
        gst_event_unref(event);
        GST_PAD_PROBE_INFO_DATA(info) = replacement;
        return GST_PAD_PROBE_OK;
    }
    if (!(info->type & GST_PAD_PROBE_TYPE_BUFFER) || retimer->segment.format != GST_FORMAT_TIME)
        return GST_PAD_PROBE_OK;
    GstBuffer *buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    if (GST_BUFFER_PTS_IS_VALID(buffer))
        GST_BUFFER_PTS(buffer)
            = gst_segment_to_running_time(&retimer->segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    if (GST_BUFFER_DTS_IS_VALID(buffer)) {
        guint64 running = 0;
        // Decoding times may lie before the segment's start.
        GST_BUFFER_DTS(buffer) = gst_segment_to_running_time_full(
                                     &retimer->segment, GST_FORMAT_TIME, GST_BUFFER_DTS(buffer), &running)
                > 0
            ? running
            : GST_BUFFER_PTS(buffer);
    }
    return GST_PAD_PROBE_OK;
}

void RetimeOutput(GstElement *encoder)
{
    GstRef<GstPad> pad(gst_element_get_static_pad(encoder, "src"));
    if (!pad)
        return;
    auto *retimer = g_new0(Retimer, 1);
    gst_segment_init(&retimer->segment, GST_FORMAT_UNDEFINED);
    gst_pad_add_probe(pad.get(),
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM), Retime,
        retimer, g_free);
}

// A queue deep enough that a slow encoder on one branch does not stall the
// live sources of the other before the muxer has data from both.
GstElement *MakeQueue()
{
    GstElement *queue = MakeElement("queue");
    if (queue) {
        g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
            static_cast<guint64>(3 * GST_SECOND), nullptr);
    }
    return queue;
}

} // namespace

GstElement *Create(const char *name, bool withAudio, bool withVideo)
{
    GstElement *bin = gst_bin_new(name);
    GstElement *muxer = MakeElement("asfmux", kMuxer);
    GstElement *fileSink = MakeElement("filesink", kFileSink);
    bool ok = AddAll(bin, { muxer, fileSink }) && gst_element_link(muxer, fileSink);
    if (ok) {
        // Unbuffered, so that every finished packet reaches the disk at once.
        g_object_set(fileSink, "buffer-mode", 2, "sync", FALSE, nullptr);
    }

    if (ok && withVideo) {
        GstElement *encoder = MakeElement("avenc_wmv2", kVideoEncoder);
        ok = AddBranch(bin, muxer, "video",
            { MakeQueue(), MakeElement("videoconvert"), MakeElement("videoscale"), MakeElement("videorate"),
                MakeElement("capsfilter", kVideoFormat), encoder, MakeQueue() });
        if (ok)
            RetimeOutput(encoder);
    }
    if (ok && withAudio) {
        GstElement *encoder = MakeElement("avenc_wmav2", kAudioEncoder);
        ok = AddBranch(bin, muxer, "audio",
            { MakeQueue(), MakeElement("audioconvert"), MakeElement("audioresample"),
                MakeElement("capsfilter", kAudioFormat), encoder, MakeQueue() });
        if (ok)
            RetimeOutput(encoder);
    }
    if (!ok) {
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    return bin;
}

bool Configure(GstElement *writer, const AudioProfile *audio, const VideoProfile *video)
{
    GstRef<GstElement> muxer = ChildByName(writer, kMuxer);
    if (!muxer)
        return false;
    int totalBitrate = 0;
    if (audio) {
        GstRef<GstElement> format = ChildByName(writer, kAudioFormat);
        GstRef<GstElement> encoder = ChildByName(writer, kAudioEncoder);
        if (!format || !encoder)
            return false;
        GstCaps *caps = gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, audio->sampleRate, "channels",
            G_TYPE_INT, audio->channels, nullptr);
        g_object_set(format.get(), "caps", caps, nullptr);
        gst_caps_unref(caps);
        g_object_set(encoder.get(), "bitrate", audio->bitrate, nullptr);
        totalBitrate += audio->bitrate;
    }
    if (video) {
        GstRef<GstElement> format = ChildByName(writer, kVideoFormat);
        GstRef<GstElement> encoder = ChildByName(writer, kVideoEncoder);
        if (!format || !encoder)
            return false;
        GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
            G_TYPE_INT, video->width, "height", G_TYPE_INT, video->height, "framerate", GST_TYPE_FRACTION,
            video->framesPerSecond, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        g_object_set(format.get(), "caps", caps, nullptr);
        gst_caps_unref(caps);
        // A key frame every two seconds keeps seeking in the file quick.
        g_object_set(
            encoder.get(), "bitrate", video->bitrate, "gop-size", video->framesPerSecond * 2, nullptr);
        totalBitrate += video->bitrate;
    }
    // No preroll: the files are played from the disk, never streamed, and a
    // preroll longer than a short recording makes the muxer complain.
    g_object_set(
        muxer.get(), "packet-size", AsfPacketSize(totalBitrate), "preroll", static_cast<guint64>(0), nullptr);
    return true;
}

GstElement *FileSink(GstElement *writer)
{
    return ChildByName(writer, kFileSink).release();
}

bool SetFileName(GstElement *fileSink, const QString &fileName)
{
    if (!fileSink || fileName.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(fileName);
    g_object_set(fileSink, "location", path.constData(), nullptr);
    return true;
}

} // namespace Talmaro::AsfWriter
