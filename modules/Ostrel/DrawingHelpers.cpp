#include "DrawingHelpers.h"

#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>

#include <algorithm>

namespace Ostrel {

void ClipTo(QPainter &painter, const QRect &bounds)
{
    painter.setClipRect(bounds, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

QFont FontOfPixelHeight(const QString &family, int pixels)
{
    QFont font(family);
    font.setPixelSize(std::max(1, pixels));
    return font;
}

QFont FontOfCellHeight(const QString &family, int pixels)
{
    QFont font = FontOfPixelHeight(family, pixels);
    const qreal line = QFontMetricsF(font).height();
    if (line > 0)
        font.setPixelSize(std::max(1, qRound(pixels * pixels / line)));
    return font;
}

} // namespace Ostrel
