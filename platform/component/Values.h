#pragma once

#include "component_export.h"

#include <QtCore/QSize>
#include <QtGui/QColor>

namespace Component {

// Colours cross the dispatch interface as 0x00BBGGRR.
using OLE_COLOR = quint32;

// Booleans of the component model: true is -1.
using VARIANT_BOOL = qint16;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr OLE_COLOR Rgb(int red, int green, int blue)
{
    return static_cast<OLE_COLOR>(red & 0xFF) | (static_cast<OLE_COLOR>(green & 0xFF) << 8)
        | (static_cast<OLE_COLOR>(blue & 0xFF) << 16);
}

// The high byte (system colour indexes and the like) is ignored: the low three
// bytes are the colour.
COMPONENT_EXPORT QColor ColorFromOle(OLE_COLOR color);
COMPONENT_EXPORT OLE_COLOR OleFromColor(const QColor &color);

// number × numerator / denominator rounded half away from zero, computed
// without intermediate overflow; -1 when the denominator is 0 or the result
// does not fit (as its Windows namesake does).
COMPONENT_EXPORT int MulDiv(int number, int numerator, int denominator);

// Extents of windowless objects are kept in HIMETRIC (0.01 mm). Pixels convert
// at the standard logical resolution of 96 pixels per inch so that a size goes
// through HIMETRIC and back to the same pixels on any screen.
inline constexpr int kHimetricPerInch = 2540;
inline constexpr int kStandardDpi = 96;
COMPONENT_EXPORT QSize PixelsToHimetric(
    const QSize &pixels, int dpiX = kStandardDpi, int dpiY = kStandardDpi);
COMPONENT_EXPORT QSize HimetricToPixels(
    const QSize &himetric, int dpiX = kStandardDpi, int dpiY = kStandardDpi);

} // namespace Component
