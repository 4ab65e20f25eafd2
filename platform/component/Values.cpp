#include "component/Values.h"

#include <cstdlib>
#include <limits>

namespace Component {

QColor ColorFromOle(OLE_COLOR color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
        static_cast<int>((color >> 16) & 0xFF));
}

OLE_COLOR OleFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return Rgb(rgb.red(), rgb.green(), rgb.blue());
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const qint64 product = static_cast<qint64>(number) * numerator;
    qint64 quotient = product / denominator;
    const qint64 remainder = product % denominator;
    // Round half away from zero.
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<qint64>(denominator)))
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(quotient);
}

QSize PixelsToHimetric(const QSize &pixels, int dpiX, int dpiY)
{
    return QSize(
        MulDiv(pixels.width(), kHimetricPerInch, dpiX), MulDiv(pixels.height(), kHimetricPerInch, dpiY));
}

QSize HimetricToPixels(const QSize &himetric, int dpiX, int dpiY)
{
    return QSize(
        MulDiv(himetric.width(), dpiX, kHimetricPerInch), MulDiv(himetric.height(), dpiY, kHimetricPerInch));
}

} // namespace Component
