#pragma once

#include "component/Values.h"
#include "component/WindowlessObject.h"

namespace Ostrel {

// Common ground of the proxies that show a line of text on a coloured band
// (prescription, treatment line, consultation separator). Their size comes from
// the two font extents the container measured, never from measuring text, so
// a proxy answers its extent without a device.
class TextProxy : public Component::WindowlessObject
{
protected:
    TextProxy(const QUuid &interfaceId, Component::OLE_COLOR background, const QSize &initialPixels);

    enum class Update {
        StoreOnly,
        Redraw,
        ResizeAndRedraw,
    };

    // A stored property of type T (QString, quint32, qint16) and what a put does.
    template<class T>
    void AddStored(Component::DISPID member, Component::ValueType type, T *field, Update update)
    {
        m_dispatch.AddProperty(
            member, type, [field] { return QVariant::fromValue(*field); },
            [this, field, update](const QVariant &value) {
                *field = value.value<T>();
                Apply(update);
                return Component::S_OK;
            });
    }
    // The font extents: puts only store them.
    void AddFontExtents(Component::DISPID extentX, Component::DISPID extentY);
    // The font extents and a resize method whose two arguments are ignored:
    // the size always follows the text.
    void AddResizing(Component::DISPID resize, Component::DISPID extentX, Component::DISPID extentY);
    void Apply(Update update);

    // Width: characters × MaxFontExtentX + 2; height: MaxFontExtentY + 2.
    void SizeToText();
    virtual QString DisplayText() const = 0;

    void DrawContent(QPainter &painter, const QRect &bounds, Component::DrawTarget target) override;

    Component::OLE_COLOR m_background;
    qint16 m_maxFontExtentX = 7;
    qint16 m_maxFontExtentY = 17;
};

} // namespace Ostrel
