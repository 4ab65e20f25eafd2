#pragma once

#include "component/Dispatch.h"

#include <QtCore/QEvent>

// What a container needs to make and drive the media capture and playback
// control: its class ids, the members of _DTalmaro and the events of
// _DTalmaroEvents. Header only, so that containers and tests use it without
// linking the module.
namespace Talmaro {

// "TALMARO.TalmaroCtrl.1", class CTalmaroCtrl, coclass Talmaro.
inline constexpr QUuid kClsidTalmaro { 0xF5BD5747, 0x65BF, 0x4B8E, 0xB0, 0x41, 0xED, 0xB5, 0x9B, 0xD6, 0x5C,
    0xCA };
inline constexpr QUuid kIidDTalmaro { 0x3E2EEBF0, 0x4C89, 0x4567, 0x80, 0x2A, 0x06, 0x1B, 0x8E, 0x31, 0x59,
    0xF5 };
inline constexpr QUuid kIidDTalmaroEvents { 0x78C378BA, 0x7EF0, 0x46B0, 0x9C, 0x54, 0xAD, 0x14, 0xC6, 0xD5,
    0x29, 0x81 };
// "TALMARO.TalmaroPropPage.1", the property page titled "General".
inline constexpr QUuid kClsidTalmaroPropPage { 0x1C9416CB, 0xE6E6, 0x4757, 0x8F, 0x9A, 0xFA, 0x77, 0x82, 0x2B,
    0x93, 0x0C };
inline constexpr QUuid kLibIdTalmaro { 0x5A8507B6, 0xEFDF, 0x4638, 0xBB, 0xBA, 0x66, 0x03, 0x68, 0xDE, 0xCA,
    0x07 };

inline constexpr char kProgIdTalmaro[] = "TALMARO.TalmaroCtrl.1";
inline constexpr char kProgIdTalmaroPropPage[] = "TALMARO.TalmaroPropPage.1";

// _DTalmaro. Methods return an SCODE through Invoke: S_OK, or E_FAIL on failure.
enum Member : Component::DISPID {
    kPlay = 1, // (String file): empty resumes the current file
    kRecord = 2, // (String file)
    kPause = 3,
    kStop = 4,
    kGetFileName = 5, // -> String
    kGetMarkersNo = 6, // -> UInt32
    kGetMarkerAt = 7, // (UInt32 index) -> Int64, 100-nanosecond units
    kCleanMarkers = 8,
    kAddMarker = 9, // (Int64 position, String description)
    kGetMarkerDescAt = 10, // (UInt32 index) -> String
    kClose = 11,
    kSetMarker = 12,
    kGoToNextMarker = 13,
    kGoToPrevMarker = 14,
    kDelMarker = 15,
    kGetStatus = 16, // -> Int16, see Status
    kCompressionLevel = 17, // property, Int16
    kQueryCompressionLevel = 18,
    kSetRecordingVideoWindow = 19, // (Int64 window id, QWidget::winId(); 0 for none)
    kHasVideo = 20, // (out Int16)
    kPreviewVideo = 21, // (Bool) -> Int32: 0 when done, 1 otherwise (also the SCODE)
    kSetPlaybackVideoWindow = 22, // (Int64 window id)
    kHasVideoInput = 23, // (out Int16)
    kResizeVideoWindow = 24,
};

// _DTalmaroEvents, none with arguments. The last two are never fired.
enum Event : Component::DISPID {
    kOnStartRecord = 1,
    kOnStopRecord = 2,
    kOnStartPlay = 3,
    kOnFinishPlay = 4,
    kOnStartPreview = 5,
    kOnStopPreview = 6,
};

// GetStatus; any other value shows as video ready.
enum Status : short {
    kAudioReady = 1,
    kAudioRecording = 2,
    kAudioStopped = 3,
    kAudioPlaying = 4,
    kAudioPaused = 5,
    kVideoReady = 7,
    kVideoRecording = 8,
    kVideoStopped = 9,
    kVideoPlaying = 10,
    kVideoPaused = 11,
    kPreviewing = 12,
};

// The tick the control's window receives every 100 milliseconds while a
// graph lives (the user-message base 1024 + 101).
inline constexpr QEvent::Type kTickEvent = static_cast<QEvent::Type>(1024 + 101);

// Test-only device switch. When this environment variable is set, the control
// offers GStreamer test sources instead of the machine's capture devices, and
// plays sound into a clocked null output:
//   "test"  two tone microphones and two pattern cameras,
//   "audio" the tone microphones only,
//   "none"  no device at all.
inline constexpr char kTestDevicesVariable[] = "VERDANTA_TALMARO_DEVICES";

} // namespace Talmaro
