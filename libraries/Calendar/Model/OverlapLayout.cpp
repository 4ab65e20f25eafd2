#include "Calendar/Model/OverlapLayout.h"

#include <algorithm>
#include <numeric>

namespace Calendar {

std::vector<Placement> LayOutSideBySide(const std::vector<Span> &spans, qint64 minimumLength)
{
    std::vector<Placement> placements(spans.size());
    const auto endOf = [&](size_t i) { return std::max(spans[i].end, spans[i].start + minimumLength); };

    std::vector<size_t> order(spans.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::ranges::stable_sort(order, [&](size_t a, size_t b) {
        if (spans[a].start != spans[b].start)
            return spans[a].start < spans[b].start;
        return endOf(a) > endOf(b); // longer first, so it keeps the left column
    });

    std::vector<size_t> group; // the members of the group being built
    std::vector<qint64> columnEnds; // per column, where its last span ends
    qint64 groupEnd = 0;
    const auto closeGroup = [&] {
        const int columns = static_cast<int>(columnEnds.size());
        for (size_t member : group)
            placements[member].columns = columns;
        group.clear();
        columnEnds.clear();
    };

    for (size_t index : order) {
        const qint64 start = spans[index].start;
        const qint64 end = endOf(index);
        if (!group.empty() && start >= groupEnd)
            closeGroup();
        const auto free
            = std::ranges::find_if(columnEnds, [start](qint64 columnEnd) { return columnEnd <= start; });
        int column = 0;
        if (free == columnEnds.end()) {
            column = static_cast<int>(columnEnds.size());
            columnEnds.push_back(end);
        } else {
            column = static_cast<int>(free - columnEnds.begin());
            *free = end;
        }
        placements[index].column = column;
        groupEnd = group.empty() ? end : std::max(groupEnd, end);
        group.push_back(index);
    }
    closeGroup();
    return placements;
}

} // namespace Calendar
