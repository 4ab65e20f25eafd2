#pragma once

#include <QtCore/QUuid>

// The six kinds of notes items and the proxy classes that draw them. The
// proxies live in a component server loaded at run time; the program makes
// them by class id and drives them by member number, never linking them.

enum class ItemKind {
    Separator = 1, // one consultation
    Image = 2,
    Audio = 3,
    Video = 4,
    Sequence = 5, // a treatment line
    Prescription = 6,
};

namespace ItemProxy {

inline constexpr QUuid ConsultProxy { 0x5B0C762C, 0x769D, 0x4348, 0x83, 0x6F, 0x48, 0x59, 0xF0, 0xAE, 0x89,
    0x05 };
inline constexpr QUuid InhProxy { 0xF024023B, 0x7DCF, 0x47F9, 0x88, 0xDD, 0xAB, 0x66, 0x29, 0xCF, 0x2B,
    0x6E };
inline constexpr QUuid LumiskProxy { 0x2E4921F8, 0x213A, 0x4249, 0xB2, 0x58, 0xE6, 0xAE, 0x42, 0x61, 0xF3,
    0x9B };
inline constexpr QUuid AudioManagerProxy { 0xE1F68A42, 0x21EB, 0x40D7, 0xB0, 0x42, 0xDC, 0x88, 0x82, 0x1A,
    0x10, 0x18 };
inline constexpr QUuid CTalmaroProxy { 0x46507C64, 0xFAA5, 0x44AF, 0xB6, 0x0B, 0x2A, 0x6E, 0x88, 0xAD, 0x08,
    0x4B };
inline constexpr QUuid PrescProxy { 0xB4D9992C, 0xC984, 0x4A1F, 0x89, 0x70, 0xB2, 0xFA, 0x4B, 0x75, 0x3E,
    0xD5 };

// The proxy class of a kind, and the kind of a proxy class (none for others).
QUuid ClassIdOf(ItemKind kind);
bool KindOfClassId(const QUuid &classId, ItemKind *kind);

// Members of the consultation separator's proxy.
namespace Consult {
enum : int {
    NextConsultationDate = 1, // OLE date
    ConsultationDate = 2, // OLE date
    SetItemSize = 3, // (width, ignored)
    MaxFontExtentX = 4,
    MaxFontExtentY = 5,
};
} // namespace Consult

// Members of the treatment line's proxy.
namespace Inh {
enum : int {
    BackgroundColor = 1,
    strName = 2,
    SelectTimestamp = 3, // (OLE date, select)
    strDilution = 4,
    OnResizeContainer = 5,
    MaxFontExtentX = 6,
    MaxFontExtentY = 7,
};
} // namespace Inh

// Members of the prescription's proxy.
namespace Presc {
enum : int {
    lQuantity = 1,
    strMedicine = 2,
    strDilution = 3,
    clrStatus = 4,
    OnResizeContainer = 5,
    MaxFontExtentX = 6,
    MaxFontExtentY = 7,
};
} // namespace Presc

} // namespace ItemProxy
