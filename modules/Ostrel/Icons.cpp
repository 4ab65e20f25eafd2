#include "Icons.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

namespace Ostrel {

namespace {

const QColor kOutline(0x40, 0x48, 0x58);
const QColor kAccent(0x2A, 0x7A, 0xD5);

// A framed landscape: sky, sun and hills.
void DrawImageIcon(QPainter &painter)
{
    painter.setPen(QPen(kOutline, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
    const QRectF picture(5, 7, 22, 18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9F, 0xD3, 0xFF));
    painter.drawRect(picture);
    painter.setBrush(QColor(0xFF, 0xD2, 0x3F));
    painter.drawEllipse(QPointF(21, 12), 3, 3);
    painter.setBrush(QColor(0x3C, 0x8D, 0x40));
    const QPointF hills[] = { { 5, 25 }, { 12, 14 }, { 17, 21 }, { 21, 17 }, { 27, 25 } };
    painter.drawPolygon(hills, 5);
}

// A loudspeaker with sound waves.
void DrawAudioIcon(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutline);
    const QPointF speaker[] = { { 4, 12 }, { 10, 12 }, { 17, 5 }, { 17, 27 }, { 10, 20 }, { 4, 20 } };
    painter.drawPolygon(speaker, 6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
    for (const qreal radius : { 4.0, 8.0, 12.0 })
        painter.drawArc(QRectF(17 - radius, 16 - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
}

// A film camera: two reels on a body with a lens.
void DrawVideoIcon(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kOutline);
    painter.drawRoundedRect(QRectF(3, 12, 19, 14), 2, 2);
    const QPointF lens[] = { { 22, 16 }, { 29, 12 }, { 29, 26 }, { 22, 22 } };
    painter.drawPolygon(lens, 4);
    painter.setPen(QPen(kOutline, 1.5));
    painter.setBrush(kAccent);
    painter.drawEllipse(QPointF(8, 7), 4, 4);
    painter.drawEllipse(QPointF(17, 7), 4, 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xE0, 0x30, 0x30));
    painter.drawEllipse(QPointF(7, 16), 1.5, 1.5);
}

} // namespace

void DrawIcon(QPainter &painter, const QRect &area, IconProxy::Kind kind)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    painter.scale(area.width() / 32.0, area.height() / 32.0);
    switch (kind) {
    case IconProxy::Kind::Image:
        DrawImageIcon(painter);
        break;
    case IconProxy::Kind::Audio:
        DrawAudioIcon(painter);
        break;
    case IconProxy::Kind::Video:
        DrawVideoIcon(painter);
        break;
    }
    painter.restore();
}

} // namespace Ostrel
