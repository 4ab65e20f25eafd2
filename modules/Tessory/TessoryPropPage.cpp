#include "TessoryPropPage.h"

#include "TessoryIds.h"

namespace Tessory {

using Kind = TimeGrid::PageField::Kind;

CTessoryPropPage::CTessoryPropPage()
    : GeneralPropertyPage({
        { Kind::Number, "zoom", QT_TRANSLATE_NOOP("TimeGrid", "Days per column:"), kZoom, 1, 20 },
        { Kind::Day, "firstVisible", QT_TRANSLATE_NOOP("TimeGrid", "First visible day:"),
            kSetFirstVisibleTS },
        { Kind::Pixels, "minLineHeader", QT_TRANSLATE_NOOP("TimeGrid", "Narrowest line header (pixels):"),
            kSetMinLineHeaderExtent_Cx, 0, 2000 },
        { Kind::Pixels, "maxLineHeader", QT_TRANSLATE_NOOP("TimeGrid", "Widest line header (pixels):"),
            kSetMaxLineHeaderExtent_Cx, 0, 2000 },
    })
{ }

} // namespace Tessory
