#pragma once

#include "calendarmodel_export.h"

#include <QtCore/QtGlobal>

#include <vector>

namespace Calendar {

// Where an event goes across the width of its day when events overlap: the
// column it takes and how many columns its group of overlapping events needs.
struct Placement
{
    int column = 0;
    int columns = 1;
    bool operator==(const Placement &) const = default;
};

struct Span
{
    qint64 start = 0;
    qint64 end = 0; // exclusive; an empty span is laid out as if it had minimumLength
};

// Lays out spans side by side. Spans that overlap, directly or through
// others, form a group; each span takes the leftmost column free at its start
// and every span of a group shares the group's column count. Spans come in any
// order; placements are returned in the same order.
CALENDARMODEL_EXPORT std::vector<Placement> LayOutSideBySide(
    const std::vector<Span> &spans, qint64 minimumLength = 0);

} // namespace Calendar
