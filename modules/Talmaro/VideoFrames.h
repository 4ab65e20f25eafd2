#pragma once

#include <gst/gst.h>

#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <atomic>

namespace Talmaro {

// Receives the pictures of a pipeline from an appsink (on GStreamer's
// streaming threads) and keeps the latest one for the user-interface thread.
// The pipeline must be stopped before the sink is destroyed.
class VideoFrameSink : public QObject
{
    Q_OBJECT

public:
    // A new appsink (floating) that delivers 32-bit RGB pictures here.
    // 'synchronised' paces them by the clock (playback); a live pipeline
    // shows them as they come.
    GstElement *CreateAppSink(const char *name, bool synchronised);

    QImage Latest() const;
    int FrameCount() const { return m_frames.load(); }

signals:
    // Queued to the user-interface thread; at most one is pending.
    void FrameArrived();

private:
    static GstFlowReturn OnNewSample(GstElement *appsink, gpointer self);
    static GstFlowReturn OnNewPreroll(GstElement *appsink, gpointer self);
    void Take(GstSample *sample);
    void Delivered() { m_pending.store(false); }

    mutable QMutex m_lock;
    QImage m_latest;
    std::atomic<int> m_frames { 0 };
    std::atomic<bool> m_pending { false };

    friend class VideoSurface;
};

// Draws a frame sink's pictures inside a window of the container: a child that
// fills the window, keeps the picture's proportions and follows the window's
// size. Destroyed by its graph, or with the window.
class VideoSurface : public QWidget
{
    Q_OBJECT

public:
    VideoSurface(VideoFrameSink *frames, QWidget *window);

    void FitToWindow();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OnFrameArrived();

    QPointer<VideoFrameSink> m_pFrames;
};

} // namespace Talmaro
