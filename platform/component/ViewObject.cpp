#include "component/ViewObject.h"

#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPainter>

namespace Component {

DrawTarget DrawTargetOf(const QPainter *painter)
{
    if (!painter || !painter->device())
        return DrawTarget::Screen;
    const QPaintDevice *device = painter->device();
    // QPrinter (also behind a print preview) and QPdfWriter are paged devices.
    if (device->devType() == QInternal::Printer || dynamic_cast<const QPagedPaintDevice *>(device))
        return DrawTarget::Paper;
    return DrawTarget::Screen;
}

} // namespace Component
