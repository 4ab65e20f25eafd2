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
