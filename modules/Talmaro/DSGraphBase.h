#pragma once

#include "VideoFrames.h"

#include <gst/gst.h>

#include <QtCore/QPointer>
#include <QtCore/QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class QObject;
class QWidget;

namespace Talmaro {

// One media graph: a GStreamer pipeline with its bus, an optional picture
// shown in a window of the container, and the worker that ticks the
// control's window every 100 milliseconds while the graph lives.
//
// This base renders files for playback (any file the installed plug-ins can
// read); the recorders and the camera preview derive from it. Graphs live on
// the user-interface thread; only the tick worker runs elsewhere.
class CDSGraphBase
{
public:
    enum class BusEvent { None, EndOfStream, Error };

    CDSGraphBase();
    virtual ~CDSGraphBase();
    CDSGraphBase(const CDSGraphBase &) = delete;
    CDSGraphBase &operator=(const CDSGraphBase &) = delete;

    // Builds the graph; for playback, from the file, ready to run (paused on
    // its first picture).
    virtual bool Render(const QString &fileName);
    virtual bool IsRecorder() const { return false; }

    bool Run();
    bool Pause();
    // Recorders: ends the file properly (the muxer writes its index and
    // duration) and stops; 'patience' bounds the wait for the end. Others:
    // stops.
    void Finish(GstClockTime patience = 5 * GST_SECOND);
    // For a graph that failed to start: nothing worth ending properly.
    void Abandon() { m_bEndsWithEos = false; }
    bool IsRunning() const;

    // Nanoseconds; for a recorder, the time recorded so far. -1 when unknown.
    qint64 Position() const;
    qint64 Duration() const;
    bool Seek(qint64 nanoseconds);

    bool HasVideo() const { return m_bHasVideo; }
    // The window that receives the ticks (may be null); taken under the lock.
    void SetNotifyWindow(QObject *window);
    // The container's window in which the picture is drawn (may be null).
    void SetVideoWindow(QWidget *window);
    void ResizeVideoWindow();

    // Reads what the pipeline reported since the last call.
    BusEvent PollEvents();
    // Whether the pipeline reported an error (leaves the end of the stream
    // for PollEvents).
    bool TakeError();

protected:
    // Makes the graph manager (the pipeline) and its notifications; logs
    // 'managerFailure' when the pipeline cannot be made. With a video renderer,
    // also the sink that hands the pictures to the video window.
    bool BuildGraph(GstElement *pipeline, const QString &managerFailure, bool withVideoRenderer);
    // A sink for the pictures of a live source, or null.
    GstElement *MakeLivePictureSink(const char *name);

    GstElement *Graph() const { return m_pGraph; }
    GstElement *VideoRenderer() const { return m_pVideoRenderer; }
    void SetHasVideo(bool hasVideo) { m_bHasVideo = hasVideo; }
    // Recorders end their files with an end-of-stream before stopping.
    void SetEndsWithEos() { m_bEndsWithEos = true; }

private:
    void TickLoop();
    void StopTicking();

    GstElement *m_pGraph = nullptr;
    GstBus *m_pBus = nullptr;
    GstElement *m_pVideoRenderer = nullptr; // owned by the graph
    std::unique_ptr<VideoFrameSink> m_pFrames;
    QPointer<VideoSurface> m_pSurface;
    QPointer<QWidget> m_pVideoWindow;
    bool m_bHasVideo = false;
    bool m_bEndsWithEos = false;
    bool m_bFinished = false;

    // The tick worker: the running flag and the window are only touched
    // under m_lock.
    std::mutex m_lock;
    std::condition_variable m_wake;
    int m_running = 0;
    QObject *m_pNotifyWindow = nullptr;
    std::thread m_ticker;
};

} // namespace Talmaro
