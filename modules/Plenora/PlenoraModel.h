#pragma once

#include "component/Values.h"

#include <QtCore/QDate>
#include <QtCore/QStringList>

#include <utility>
#include <vector>

namespace Plenora {

struct Point
{
    QDate day;
    int row = 0; // 0 is the top row
};

// One chain of daily scores: its points sorted by day, one per day at most.
struct Graph
{
    QString id;
    QString name;
    Component::OLE_COLOR colour = 0;
    bool visible = true;
    std::vector<Point> points;

    const Point *PointOn(const QDate &day) const;
};

// Sets the graph's score for a day: a point on that day in the same row is
// removed (a second click clears it), in another row it moves there;
// otherwise a new point goes in its place by date.
void ApplyPoint(Graph &graph, const QDate &day, int row);

// The graphs in order of addition and the ten row labels.
class PlenoraModel
{
public:
    static constexpr int kRowCount = 10;

    PlenoraModel();

    std::vector<Graph> &Graphs() { return m_graphs; }
    const std::vector<Graph> &Graphs() const { return m_graphs; }
    int RowCount() const { return static_cast<int>(m_labels.size()); }
    const QString &RowLabel(int row) const { return m_labels[row]; }
    Graph *Find(const QString &id);
    Graph *At(int index);

    // False (and nothing changed) when the identifier exists.
    bool Add(const QString &id, const QString &name, Component::OLE_COLOR colour);
    bool RemoveAt(int index);

    // The earliest and the latest point of all graphs (invalid when none).
    std::pair<QDate, QDate> Span() const;

private:
    std::vector<Graph> m_graphs;
    QStringList m_labels;
};

// A whole number read from the start of a text as a C decimal conversion
// reads it: leading blanks, a sign, digits up to the first other character;
// 0 when there are none, clamped to the int range.
int DecimalPrefix(const QString &text);

} // namespace Plenora
