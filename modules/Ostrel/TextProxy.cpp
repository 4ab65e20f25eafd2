#include "TextProxy.h"

#include "DrawingHelpers.h"

#include <QtGui/QPainter>

#include <algorithm>
#include <climits>

namespace Ostrel {

using namespace Component;

TextProxy::TextProxy(const QUuid &interfaceId, OLE_COLOR background, const QSize &initialPixels)
    : WindowlessObject(interfaceId)
    , m_background(background)
{
    SetExtentPixels(initialPixels);
}

void TextProxy::AddFontExtents(DISPID extentX, DISPID extentY)
{
    // The next recomputation uses them; nothing is redrawn now.
    AddStored(extentX, ValueType::Int16, &m_maxFontExtentX, Update::StoreOnly);
    AddStored(extentY, ValueType::Int16, &m_maxFontExtentY, Update::StoreOnly);
}

void TextProxy::AddResizing(DISPID resize, DISPID extentX, DISPID extentY)
{
    m_dispatch.AddMethod(resize, { ValueType::Int32, ValueType::Int32 }, [this](QVariantList &, QVariant &) {
        Apply(Update::ResizeAndRedraw);
        return S_OK;
    });
    AddFontExtents(extentX, extentY);
}

void TextProxy::Apply(Update update)
{
    if (update == Update::ResizeAndRedraw)
        SizeToText();
    if (update != Update::StoreOnly)
        NotifyViewChange();
}

void TextProxy::SizeToText()
{
    // In 64 bits: a long text times a large extent must not wrap around.
    const qint64 width = static_cast<qint64>(DisplayText().size()) * m_maxFontExtentX + 2;
    const qint64 height = static_cast<qint64>(m_maxFontExtentY) + 2;
    SetExtentPixels(QSize(static_cast<int>(std::clamp<qint64>(width, 0, INT_MAX)), static_cast<int>(height)));
}

void TextProxy::DrawContent(QPainter &painter, const QRect &bounds, DrawTarget target)
{
    Q_UNUSED(target);
    ClipTo(painter, bounds);
    painter.fillRect(bounds, ColorFromOle(m_background));
    // 10 points on the target device.
    painter.setFont(
        FontOfPixelHeight(QStringLiteral("Arial"), MulDiv(10, painter.device()->logicalDpiY(), 72)));
    painter.setPen(Qt::black);
    painter.drawText(bounds, Qt::AlignCenter | Qt::TextSingleLine, DisplayText());
}

} // namespace Ostrel
