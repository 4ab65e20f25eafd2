#pragma once

#include "MarkerList.h"
#include "MediaSettings.h"

#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

class QObject;
class QWidget;

namespace Talmaro {

class CDSGraphBase;
class MediaSourceDetector;

// What the control and its dialog ask of the media: one graph at a time (a
// recording, a camera preview or a playback), the devices, the status and
// the markers of the current file. Every operation runs on the
// user-interface thread; failures return false and are logged.
class IMediaManager
{
public:
    // What a tick found out about the running graph.
    enum class TickResult { Nothing, PlaybackEnded, RecordingFailed, PlaybackFailed };

    virtual ~IMediaManager() = default;

    // Disposes of the graph and detects the devices again; then audio mode
    // (no camera, or "Audio Only") with status 1, or video mode with status 7.
    virtual void SetUp(const MediaChoices &choices) = 0;
    virtual MediaChoices Choices() const = 0;

    virtual short Status() const = 0;
    virtual QString FileName() const = 0;
    virtual bool IsVideoMode() const = 0;
    virtual bool IsRecording() const = 0;
    virtual bool IsPlaying() const = 0;
    virtual bool IsPlaybackOpen() const = 0;

    virtual bool Record(const QString &fileName, short compressionLevel) = 0;
    // An empty name resumes (or reopens) the current file.
    virtual bool Play(const QString &fileName) = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    virtual void Close() = 0;
    virtual bool Preview(bool start) = 0;

    virtual bool HasVideo() const = 0;
    virtual bool HasVideoInput() const = 0;
    virtual QStringList AudioSourceNames() const = 0;
    virtual QStringList VideoSourceNames() const = 0;

    // Media times in 100-nanosecond units; -1 when unknown.
    virtual qint64 Position() const = 0;
    virtual qint64 Duration() const = 0;
    virtual bool Seek(qint64 position) = 0;

    virtual MarkerList &Markers() = 0;
    virtual bool SetMarker() = 0;
    virtual bool GoToMarker(int index) = 0;
    virtual bool GoToNextMarker() = 0;
    virtual bool GoToPrevMarker() = 0;
    virtual bool DelMarker() = 0;

    virtual void SetRecordingVideoWindow(QWidget *window) = 0;
    virtual void SetPlaybackVideoWindow(QWidget *window) = 0;
    virtual void ResizeVideoWindow() = 0;
    // The control's window, which the graph's worker ticks (may be null).
    virtual void SetNotifyWindow(QObject *window) = 0;
    // Called on every tick: reads the graph's notifications.
    virtual TickResult OnTick() = 0;
};

std::unique_ptr<IMediaManager> CreateMediaManager();

} // namespace Talmaro
