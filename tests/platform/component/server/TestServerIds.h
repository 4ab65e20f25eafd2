#pragma once

#include "component/Dispatch.h"

// Class ids and members of the component layer's test server, shared by the
// server and the tests that drive it.
namespace TestServer {

// A control with a window, typed properties, methods and events.
inline constexpr QUuid kClsidControl { 0x0B097CE2, 0xBCFE, 0x4DB1, 0xA8, 0x0F, 0xE7, 0x46, 0xEE, 0x60, 0xB5,
    0x01 };
inline constexpr QUuid kIidControl { 0x6542A502, 0x3770, 0x4DE8, 0xA0, 0xEB, 0x07, 0x0B, 0x47, 0x48, 0xBD,
    0x93 };
// A windowless object that draws a filled rectangle.
inline constexpr QUuid kClsidView { 0xA8408BFE, 0x5093, 0x4BD4, 0x80, 0x17, 0x2B, 0x7E, 0x0D, 0x74, 0x11,
    0x90 };
// A plain object that may be made on any thread.
inline constexpr QUuid kClsidCounter { 0x65DE7DB3, 0xBA78, 0x4D16, 0xA2, 0xDC, 0x99, 0x45, 0x07, 0xFA, 0xBE,
    0x49 };
inline constexpr QUuid kLibId { 0x2B7FE822, 0xCADD, 0x4995, 0x85, 0xCC, 0xBB, 0x53, 0x1F, 0xE2, 0x92, 0xC5 };

enum ControlMember : Component::DISPID {
    kText = 1, // String
    kShort = 2, // Int16
    kLong = 3, // Int32
    kUnsigned = 4, // UInt32
    kBig = 5, // Int64
    kRatio = 6, // Double
    kWhen = 7, // Date
    kColour = 8, // Color
    kFlag = 9, // Bool
    kWindowsMade = 10, // Int32, read-only
    kAdd = 20, // (Int32, Int32) -> Int32
    kDivide = 21, // (Int32, Int32, out Int32 quotient, out Int32 remainder); E_INVALIDARG for 0
    kFire = 22, // (Int32 event, Any argument): fires the event with the argument
    kFireFromWorker = 23, // (Int32 event): fires it from a worker thread
};

enum ControlEvent : Component::DISPID {
    kEventClicked = 1, // (x, y) of a left click in the window
};

enum ViewMember : Component::DISPID {
    kViewColour = 1, // Color
    kViewWidth = 2, // Int32 pixels
    kViewHeight = 3, // Int32 pixels
    kViewLastTarget = 4, // Int32, read-only: 0 screen, 1 paper, -1 not drawn
};

enum CounterMember : Component::DISPID {
    kCounterValue = 1, // Int32
};

} // namespace TestServer
