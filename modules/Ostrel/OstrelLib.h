#pragma once

// The identity of the notes-item proxy server and its members: what a
// container needs to make the proxies by class id and drive them by DISPID.
// Header only; the server itself is loaded at run time (never linked).

#include "component/Dispatch.h"

#include <QtCore/QUuid>

namespace Ostrel {

// Type library OSTRELLib 1.0, "Ostrel 1.0 Type Library".
inline constexpr QUuid kLibId { 0x1617DF50, 0x0CD9, 0x451B, 0x98, 0x9F, 0xCB, 0x86, 0x16, 0x2A, 0x44, 0x7E };

// Classes (ProgID "Ostrel.<class>.1") and their dual interfaces.
inline constexpr QUuid kClsidLumiskProxy { 0x2E4921F8, 0x213A, 0x4249, 0xB2, 0x58, 0xE6, 0xAE, 0x42, 0x61,
    0xF3, 0x9B };
inline constexpr QUuid kIidILumiskProxy { 0x6C6FE82E, 0x1C6D, 0x444F, 0xB5, 0x69, 0x46, 0xED, 0x4F, 0x74,
    0xA5, 0x56 };
inline constexpr QUuid kClsidInhProxy { 0xF024023B, 0x7DCF, 0x47F9, 0x88, 0xDD, 0xAB, 0x66, 0x29, 0xCF, 0x2B,
    0x6E };
inline constexpr QUuid kIidIInhProxy { 0x568736CE, 0x8C94, 0x41C8, 0xB0, 0xBA, 0xC3, 0x8F, 0x0A, 0x07, 0xDF,
    0x8E };
inline constexpr QUuid kClsidPrescProxy { 0xB4D9992C, 0xC984, 0x4A1F, 0x89, 0x70, 0xB2, 0xFA, 0x4B, 0x75,
    0x3E, 0xD5 };
inline constexpr QUuid kIidIPrescProxy { 0xD4DB2528, 0xD038, 0x48B8, 0xB8, 0x88, 0x83, 0x6B, 0xE5, 0x53, 0x18,
    0xC5 };
inline constexpr QUuid kClsidAudioManagerProxy { 0xE1F68A42, 0x21EB, 0x40D7, 0xB0, 0x42, 0xDC, 0x88, 0x82,
    0x1A, 0x10, 0x18 };
inline constexpr QUuid kIidIAudioManagerProxy { 0xDCCE6184, 0x7FDA, 0x48F6, 0x92, 0xCB, 0x37, 0x34, 0x03,
    0x53, 0x0A, 0x93 };
inline constexpr QUuid kClsidConsultProxy { 0x5B0C762C, 0x769D, 0x4348, 0x83, 0x6F, 0x48, 0x59, 0xF0, 0xAE,
    0x89, 0x05 };
inline constexpr QUuid kIidIConsultProxy { 0x257D692C, 0x785A, 0x4D3A, 0xA8, 0x0D, 0xF7, 0x92, 0x74, 0xED,
    0x13, 0x8A };
inline constexpr QUuid kClsidCTalmaroProxy { 0x46507C64, 0xFAA5, 0x44AF, 0xB6, 0x0B, 0x2A, 0x6E, 0x88, 0xAD,
    0x08, 0x4B };
inline constexpr QUuid kIidICTalmaroProxy { 0xEA86C6E1, 0x7EE3, 0x4CB9, 0xA4, 0x89, 0xDF, 0xE9, 0xB3, 0xDF,
    0xFC, 0x97 };

// Members of IInhProxy (treatment line).
namespace DispIInhProxy {
enum : Component::DISPID {
    BackgroundColor = 1, // OLE_COLOR get/put
    strName = 2, // text get/put
    SelectTimestamp = 3, // (date, VARIANT_BOOL select): -1 adds the date, anything else removes it
    strDilution = 4, // text get/put
    OnResizeContainer = 5, // (long, long), ignored: recomputes the size
    MaxFontExtentX = 6, // short get/put
    MaxFontExtentY = 7, // short get/put
};
} // namespace DispIInhProxy

// Members of IPrescProxy (prescription).
namespace DispIPrescProxy {
enum : Component::DISPID {
    lQuantity = 1, // unsigned long get/put
    strMedicine = 2, // text get/put
    strDilution = 3, // text get/put
    clrStatus = 4, // OLE_COLOR get/put
    OnResizeContainer = 5, // (long, long), ignored: recomputes the size
    MaxFontExtentX = 6, // short get/put
    MaxFontExtentY = 7, // short get/put
};
} // namespace DispIPrescProxy

// Members of IConsultProxy (consultation separator).
namespace DispIConsultProxy {
enum : Component::DISPID {
    NextConsultationDate = 1, // date get/put
    ConsultationDate = 2, // date get/put
    SetItemSize = 3, // (long width, long ignored): width in pixels, height MaxFontExtentY + 2
    MaxFontExtentX = 4, // short get/put
    MaxFontExtentY = 5, // short get/put
};
} // namespace DispIConsultProxy

// ILumiskProxy, IAudioManagerProxy and ICTalmaroProxy have no members of their own.

} // namespace Ostrel
