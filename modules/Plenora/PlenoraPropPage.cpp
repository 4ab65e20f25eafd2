#include "PlenoraPropPage.h"

#include "PlenoraIds.h"

namespace Plenora {

using Kind = TimeGrid::PageField::Kind;

CPlenoraPropPage::CPlenoraPropPage()
    : GeneralPropertyPage({
        { Kind::Number, "zoom", QT_TRANSLATE_NOOP("TimeGrid", "Days per column:"), kZoom, 1, 20 },
        // An index of the graphs in the order they were added; -1 for none.
        { Kind::NumberText, "currentGraph", QT_TRANSLATE_NOOP("TimeGrid", "Graph edited by clicks:"),
            kCurrentGraph, -1, 9999, QT_TRANSLATE_NOOP("TimeGrid", "None") },
        { Kind::Day, "firstVisible", QT_TRANSLATE_NOOP("TimeGrid", "First visible day:"),
            kSetFirstVisibleTS },
        { Kind::Flag, "lineHeader", QT_TRANSLATE_NOOP("TimeGrid", "Show the score labels"),
            kDisplayLineHeader },
        { Kind::Flag, "columnHeader", QT_TRANSLATE_NOOP("TimeGrid", "Show the dates"), kDisplayColumnHeader },
    })
{ }

} // namespace Plenora
