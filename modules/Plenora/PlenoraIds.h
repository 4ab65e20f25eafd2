#pragma once

#include "component/Dispatch.h"

// The identity of the graph grid control, for containers that make it by
// class id and drive it by member number (they never link the module).
namespace Plenora {

inline constexpr QUuid kClsidPlenora { 0x07481E76, 0x5699, 0x4B75, 0x82, 0x0A, 0x12, 0x0F, 0x5A, 0x22, 0x39,
    0xB3 };
inline constexpr QUuid kClsidPlenoraPropPage { 0xB4022C7E, 0x6FDA, 0x4BCE, 0x90, 0xF6, 0xF6, 0x25, 0x6F, 0x0C,
    0x7C, 0xB7 };
inline constexpr QUuid kIidDPlenora { 0xFF8AA600, 0x25FE, 0x4519, 0xA2, 0x86, 0x27, 0xB0, 0x07, 0x17, 0xEF,
    0xD3 };
inline constexpr QUuid kIidDPlenoraEvents { 0x34E42759, 0xAD0F, 0x4B71, 0x86, 0x98, 0x18, 0x0F, 0xE0, 0xFC,
    0xBD, 0xDE };
inline constexpr QUuid kLibidPlenora { 0x88139BB4, 0x573B, 0x4F30, 0xA5, 0x1F, 0x3C, 0xEE, 0x90, 0xC5, 0x02,
    0x16 };
inline constexpr const char *kProgIdPlenora = "PLENORA.PlenoraCtrl.1";
inline constexpr const char *kProgIdPlenoraPropPage = "PLENORA.PlenoraPropPage.1";

// Members of _DPlenora. Methods answer S_OK (0) or S_FALSE (1, failure)
// through Invoke's result code unless they return a value. Rows are indexes:
// 0 is the top row labelled "10", 9 the bottom row labelled "1".
enum Member : Component::DISPID {
    kAddNewGraph = 1, // (strID, strName, clrColor): an existing identifier keeps its graph
    kUpdateGraph = 2, // (strID, strName, clrColor)
    kRemoveGraph = 3, // (strID, lIdx): by index only
    kGetGraphsNo = 4, // -> long
    kSelectDT = 5, // (strGraphID, dtTimestamp, lYAxis): sets, moves or clears the day's point
    kIsDTSelected = 6, // (strGraphID, dtTimestamp, lYAxis) -> bool
    kZoom = 7, // short property: days per column, 1..20
    kCurrentGraph = 8, // text property: index of the graph clicks edit, "-1" for none
    kGetYAxis = 9, // -> long: the row count
    kRemoveAllGraphs = 10,
    kGetGraphPointsNo = 11, // (bstrGraphID) -> long
    kGetGraphPoint = 12, // (bstrGraphID, lIdxPoint, out dtXAxis, out lYAxis), in date order
    kSetGraphVisible = 13, // (strGraphID, bVisible)
    kDisplayLineHeader = 14, // (bShowHeader)
    kDisplayColumnHeader = 15, // (bShowHeader)
    kGetLineHeaderExtent = 16, // (out lCx, out lCy)
    kGetColumnHeaderExtent = 17, // (out lCx, out lCy)
    kSetFirstVisibleTS = 18, // (dtFirstVisible)
    kRedraw = 19,
};

// Events of _DPlenoraEvents.
enum Event : Component::DISPID {
    kOnFirstVisibleTSChanged = 1, // (dtFirstVisible), when the user scrolls
};

// Layout, for containers that size the control: ten rows of this height, a
// line header of this width, a column header of 36 pixels, days in columns of
// 26 pixels, and scroll bars of 15 pixels.
inline constexpr int kRowHeight = 20;
inline constexpr int kLineHeaderWidth = 160;

} // namespace Plenora
