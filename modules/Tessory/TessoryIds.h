#pragma once

#include "component/Dispatch.h"

// The identity of the button grid control, for containers that make it by
// class id and drive it by member number (they never link the module).
namespace Tessory {

inline constexpr QUuid kClsidTessory { 0x0A99BFED, 0x114F, 0x4073, 0x8C, 0xAF, 0x4C, 0x6A, 0xBE, 0xE9, 0xA6,
    0x9D };
inline constexpr QUuid kClsidTessoryPropPage { 0x1086BDB0, 0x58CF, 0x4ACB, 0x94, 0xEF, 0x9F, 0x36, 0xDD, 0x30,
    0x13, 0x79 };
inline constexpr QUuid kIidDTessory { 0xBE544EBD, 0xAA0C, 0x4DCF, 0x9B, 0xD0, 0x20, 0x43, 0x23, 0x0B, 0x3C,
    0xE0 };
inline constexpr QUuid kIidDTessoryEvents { 0xB3B763EE, 0x1AC3, 0x4973, 0x8D, 0x1D, 0x4F, 0x05, 0x2A, 0xA3,
    0x00, 0xE2 };
inline constexpr QUuid kLibidTessory { 0x15E43671, 0x6679, 0x464C, 0x99, 0xDF, 0x61, 0x7D, 0x81, 0x75, 0x21,
    0xF2 };
inline constexpr const char *kProgIdTessory = "TESSORY.TessoryCtrl.1";
inline constexpr const char *kProgIdTessoryPropPage = "TESSORY.TessoryPropPage.1";

// Members of _DTessory. Methods answer S_OK (0) or E_FAIL through Invoke's
// result code unless they return a value. Sequence identifiers travel as
// decimal text; a sequence is addressed by its identifier when that text is
// not empty, otherwise by its zero-based index.
enum Member : Component::DISPID {
    kAboutBox = -552,
    kZoom = 1, // short property: days per column, 1..20
    kAddNewLine = 2, // (strID, strName, clrColor)
    kUpdateLine = 3, // (strID, strName, clrColor)
    kGetCurrentSequence = 4, // (strLineID) -> text, empty when none
    kAddNewSequence = 5, // (strLineID, strSequenceID): one day, today
    kGetSequenceNo = 6, // (strLineID) -> long
    kGetSequenceStart = 7, // (strLineID, strSeqID, lSeqIdx) -> date, 0 when not found
    kGetSequenceEnd = 8, // (strLineID, strSeqID, lSeqIdx) -> date, 0 when not found
    kIsDTSelected = 9, // (strLineID, strSeqID, lSeqIdx, dtTimestamp): S_OK when selected
    kSelectDT = 10, // (strLineID, strSeqID, lSeqIdx, dtTimestamp)
    kRemoveSequence = 11, // (strLineID, strSeqID, lSeqIdx)
    kSetCurrentSequence = 12, // (strLineID, strSeqID, lSeqIdx, bAlign)
    kSetSequenceID = 13, // (strLineID, lSeqIdx, strSeqID)
    kResetCurrentSequence = 14,
    kRemoveLine = 15, // (strLineID, lLineIdx): by identifier, by index when it is empty
    kGetLinesNo = 16, // -> long
    kSetLineData = 17, // (lLineIdx, strID, strName, clrLine, bActive)
    kGetLineID = 18, // (lIdx) -> text, empty when out of range
    kGetLineHeaderExtent = 19, // (out lCx, out lCy)
    kGetColumnHeaderExtent = 20, // (out lCx, out lCy)
    kGetContentExtent = 21, // (out lCx, out lCy)
    kSetMinLineHeaderExtent_Cx = 22, // (lLineHeaderExtentCx)
    kSetMaxLineHeaderExtent_Cx = 23, // (lLineHeaderExtentCx)
    kSetFirstVisibleTS = 24, // (dtFirstVisible)
    kRedraw = 25,
};

// Events of _DTessoryEvents.
enum Event : Component::DISPID {
    kOnSequenceNew = 1, // (strLineID)
    kOnSelectEvent = 2, // (strLineID, dtTimestamp)
    kOnSequenceDeleted = 3, // (strLineID, strSeqID, lSeqIdx)
    kOnSelectSequence = 4, // (strLineID, strSeqID, lSeqIdx, dtTimestamp, vbSelect)
    kOnFirstVisibleTSChanged = 5, // (dtFirstVisible)
};

// Layout, for containers that size the control: one line per row of this
// height under a column header of 36 pixels, days in columns of 26 pixels,
// and scroll bars of 15 pixels.
inline constexpr int kLineHeight = 22;

} // namespace Tessory
