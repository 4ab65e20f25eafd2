#pragma once

#include <QtCore/QVariant>
#include <QtCore/QVariantList>

class QWidget;

// The media capture and playback control as the program drives it: every call
// goes through a dispatch id with plain values. The main view hosts the control
// and hands this interface to the hub, which gives it to the configuration
// (media quality) and to the media logic.
class IMediaControl
{
public:
    enum class InvokeKind { Method, PropertyGet, PropertyPut };

    virtual ~IMediaControl() = default;
    // False when the call failed; methods that report a status code put it in
    // 'result' (0 for success).
    virtual bool Invoke(int dispid, InvokeKind kind, const QVariantList &arguments, QVariant *result) = 0;
    // The control's window in the header band.
    virtual QWidget *Widget() = 0;
};

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
