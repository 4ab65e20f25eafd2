#pragma once

#include <QtCore/QString>

// The media capture and playback control is hosted on the main view through
// the component layer, by its ProgID, and driven through these dispatch ids.
// The main view hands its dispatch interface to the hub, which gives it to the
// configuration (media quality) and to the media logic.
inline const QString MediaControlProgId = QStringLiteral("TALMARO.TalmaroCtrl.1");

// The dispatch ids of the media control.
namespace MediaDispid {

enum : int {
    Play = 1,
    Record = 2,
    Pause = 3,
    Stop = 4,
    GetFileName = 5,
    GetMarkersNo = 6,
    GetMarkerAt = 7,
    CleanMarkers = 8,
    AddMarker = 9,
    GetMarkerDescAt = 10,
    Close = 11,
    SetMarker = 12,
    GoToNextMarker = 13,
    GoToPrevMarker = 14,
    DelMarker = 15,
    GetStatus = 16,
    CompressionLevel = 17, // property, 16-bit signed
    QueryCompressionLevel = 18,
    SetRecordingVideoWindow = 19,
    HasVideo = 20,
    PreviewVideo = 21,
    SetPlaybackVideoWindow = 22,
    HasVideoInput = 23,
    ResizeVideoWindow = 24,
};

} // namespace MediaDispid

// GetStatus of the media control.
namespace MediaStatus {

enum : int {
    AudioReady = 1,
    AudioRecording = 2,
    AudioStopped = 3,
    AudioPlaying = 4,
    AudioPaused = 5,
    VideoReady = 7,
    VideoRecording = 8,
    VideoStopped = 9,
    VideoPlaying = 10,
    VideoPaused = 11,
    Previewing = 12,
};

} // namespace MediaStatus

// The events of the media control.
namespace MediaEvent {

enum : int {
    OnStartRecord = 1, // the control's record button was pressed: the container starts the recording
    OnStopRecord = 2,
    OnStartPlay = 3,
    OnFinishPlay = 4,
};

} // namespace MediaEvent

// The part of the header band around the media control: the audio display
// shown while sound is recorded, and the window in which video is shown. The
// main view offers it among the services.
class IMediaPanel
{
public:
    virtual void ShowAudioDisplay(bool shown) = 0;
    virtual void ShowVideoWindow(bool shown) = 0;

protected:
    ~IMediaPanel() = default;
};
