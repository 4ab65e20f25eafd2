#include "PlenoraModel.h"

#include <algorithm>
#include <limits>

namespace Plenora {

const Point *Graph::PointOn(const QDate &day) const
{
    const auto found = std::lower_bound(
        points.begin(), points.end(), day, [](const Point &point, const QDate &d) { return point.day < d; });
    return found != points.end() && found->day == day ? &*found : nullptr;
}

void ApplyPoint(Graph &graph, const QDate &day, int row)
{
    const auto place = std::lower_bound(graph.points.begin(), graph.points.end(), day,
        [](const Point &point, const QDate &d) { return point.day < d; });
    if (place != graph.points.end() && place->day == day) {
        if (place->row == row)
            graph.points.erase(place);
        else
            place->row = row;
        return;
    }
    graph.points.insert(place, Point { day, row });
}

PlenoraModel::PlenoraModel()
{
    for (int label = kRowCount; label >= 1; --label)
        m_labels.append(QString::number(label));
}

Graph *PlenoraModel::Find(const QString &id)
{
    const auto found = std::find_if(
        m_graphs.begin(), m_graphs.end(), [&id](const Graph &graph) { return graph.id == id; });
    return found == m_graphs.end() ? nullptr : &*found;
}

Graph *PlenoraModel::At(int index)
{
    return index >= 0 && index < static_cast<int>(m_graphs.size()) ? &m_graphs[static_cast<size_t>(index)]
                                                                   : nullptr;
}

bool PlenoraModel::Add(const QString &id, const QString &name, Component::OLE_COLOR colour)
{
    if (Find(id))
        return false;
    Graph graph;
    graph.id = id;
    graph.name = name;
    graph.colour = colour;
    m_graphs.push_back(std::move(graph));
    return true;
}

bool PlenoraModel::RemoveAt(int index)
{
    if (!At(index))
        return false;
    m_graphs.erase(m_graphs.begin() + index);
    return true;
}

std::pair<QDate, QDate> PlenoraModel::Span() const
{
    QDate earliest;
    QDate latest;
    for (const Graph &graph : m_graphs) {
        if (graph.points.empty())
            continue;
        if (!earliest.isValid() || graph.points.front().day < earliest)
            earliest = graph.points.front().day;
        if (!latest.isValid() || graph.points.back().day > latest)
            latest = graph.points.back().day;
    }
    return { earliest, latest };
}

int DecimalPrefix(const QString &text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+')))
        negative = text[at++] == QLatin1Char('-');
    qint64 value = 0;
    for (; at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9'); ++at) {
        value = value * 10 + (text[at].unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            break;
    }
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace Plenora
