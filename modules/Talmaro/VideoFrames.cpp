#include "VideoFrames.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QtCore/QEvent>
#include <QtGui/QPainter>

namespace Talmaro {

GstElement *VideoFrameSink::CreateAppSink(const char *name, bool synchronised)
{
    GstElement *sink = gst_element_factory_make("appsink", name);
    if (!sink)
        return nullptr;
    // BGRx in memory is QImage's RGB32 on the little-endian machines we run on.
    GstCaps *caps = gst_caps_new_simple(
        "video/x-raw", "format", G_TYPE_STRING, G_BYTE_ORDER == G_LITTLE_ENDIAN ? "BGRx" : "xRGB", nullptr);
    g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", synchronised ? TRUE : FALSE,
        "emit-signals", FALSE, "enable-last-sample", FALSE, nullptr);
    if (!synchronised)
        g_object_set(sink, "async", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample
        = [](GstAppSink *appsink, gpointer self) { return OnNewSample(GST_ELEMENT(appsink), self); };
    callbacks.new_preroll
        = [](GstAppSink *appsink, gpointer self) { return OnNewPreroll(GST_ELEMENT(appsink), self); };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    return sink;
}

GstFlowReturn VideoFrameSink::OnNewSample(GstElement *appsink, gpointer self)
{
    GstSample *sample = gst_app_sink_pull_sample(GST_APP_SINK(appsink));
    static_cast<VideoFrameSink *>(self)->Take(sample);
    return GST_FLOW_OK;
}

GstFlowReturn VideoFrameSink::OnNewPreroll(GstElement *appsink, gpointer self)
{
    GstSample *sample = gst_app_sink_pull_preroll(GST_APP_SINK(appsink));
    static_cast<VideoFrameSink *>(self)->Take(sample);
    return GST_FLOW_OK;
}

void VideoFrameSink::Take(GstSample *sample)
{
    if (!sample)
        return;
    GstVideoInfo info;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    GstCaps *caps = gst_sample_get_caps(sample);
    GstMapInfo map;
    if (buffer && caps && gst_video_info_from_caps(&info, caps)
        && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const int width = GST_VIDEO_INFO_WIDTH(&info);
        const int height = GST_VIDEO_INFO_HEIGHT(&info);
        const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
        if (width > 0 && height > 0 && map.size >= static_cast<gsize>(stride) * static_cast<gsize>(height)) {
            // Copied, because the buffer goes back to the pipeline.
            QImage frame = QImage(map.data, width, height, stride, QImage::Format_RGB32).copy();
            {
                QMutexLocker locker(&m_lock);
                m_latest = std::move(frame);
            }
            ++m_frames;
            if (!m_pending.exchange(true))
                emit FrameArrived();
        }
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
}

QImage VideoFrameSink::Latest() const
{
    QMutexLocker locker(&m_lock);
    return m_latest;
}

VideoSurface::VideoSurface(VideoFrameSink *frames, QWidget *window)
    : QWidget(window)
    , m_pFrames(frames)
{
    setObjectName(QStringLiteral("TalmaroVideoSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    window->installEventFilter(this);
    // A picture may have arrived before anyone listened; start afresh.
    frames->Delivered();
    connect(frames, &VideoFrameSink::FrameArrived, this, &VideoSurface::OnFrameArrived, Qt::QueuedConnection);
    FitToWindow();
    show();
}

void VideoSurface::FitToWindow()
{
    if (QWidget *window = parentWidget())
        setGeometry(window->rect());
    update();
}

void VideoSurface::OnFrameArrived()
{
    if (m_pFrames)
        m_pFrames->Delivered();
    update();
}

void VideoSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QImage frame = m_pFrames ? m_pFrames->Latest() : QImage();
    if (frame.isNull())
        return;
    QSize size = frame.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame);
}

bool VideoSurface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        FitToWindow();
    return QWidget::eventFilter(watched, event);
}

} // namespace Talmaro
