#include "IconProxy.h"

#include "DrawingHelpers.h"
#include "Icons.h"
#include "OstrelLib.h"

#include <QtGui/QPainter>

namespace Ostrel {

using namespace Component;

namespace {

constexpr int kIconSize = 32;

} // namespace

IconProxy::IconProxy(const QUuid &interfaceId, Kind kind)
    : WindowlessObject(interfaceId)
    , m_kind(kind)
{
    SetExtentPixels(QSize(kIconSize, kIconSize));
}

void IconProxy::DrawContent(QPainter &painter, const QRect &bounds, DrawTarget target)
{
    ClipTo(painter, bounds);
    if (target == DrawTarget::Screen) {
        DrawIcon(painter, QRect(bounds.topLeft(), QSize(kIconSize, kIconSize)), m_kind);
        return;
    }
    const QRect box = bounds.adjusted(1, 1, -1, -1);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(FontOfCellHeight(QStringLiteral("Times New Roman"), 80));
    const QString letter = m_kind == Kind::Image ? QStringLiteral(" I ")
        : m_kind == Kind::Audio                  ? QStringLiteral(" A ")
                                                 : QStringLiteral(" V ");
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, letter);
}

LumiskProxy::LumiskProxy()
    : IconProxy(kIidILumiskProxy, Kind::Image)
{ }

AudioManagerProxy::AudioManagerProxy()
    : IconProxy(kIidIAudioManagerProxy, Kind::Audio)
{ }

CTalmaroProxy::CTalmaroProxy()
    : IconProxy(kIidICTalmaroProxy, Kind::Video)
{ }

} // namespace Ostrel
