#pragma once

#include "component/WindowlessObject.h"

namespace Ostrel {

// The media items of the notes (image, audio, video): a 32 × 32 icon on
// screen, a boxed letter on paper.
class IconProxy : public Component::WindowlessObject
{
public:
    enum class Kind { Image, Audio, Video };

protected:
    IconProxy(const QUuid &interfaceId, Kind kind);

    void DrawContent(QPainter &painter, const QRect &bounds, Component::DrawTarget target) override;

private:
    Kind m_kind;
};

class LumiskProxy : public IconProxy
{
public:
    LumiskProxy();
};

class AudioManagerProxy : public IconProxy
{
public:
    AudioManagerProxy();
};

class CTalmaroProxy : public IconProxy
{
public:
    CTalmaroProxy();
};

} // namespace Ostrel
