#pragma once

#include "IconProxy.h"

namespace Ostrel {

// The media items' icons, drawn in 'area' (32 × 32 pixels).
void DrawIcon(QPainter &painter, const QRect &area, IconProxy::Kind kind);

} // namespace Ostrel
