#pragma once

#include <QtCore/QList>
#include <QtCore/QMutex>
#include <QtCore/QString>

namespace Talmaro {

// A time marker in the current file: a media time in 100-nanosecond units.
struct Marker
{
    qint64 position = 0;
    QString description;
};

// The markers of the current file, ordered by position, with the current
// marker (-1 for none). Every access takes the list's lock: the dialog reads
// it while the graph's event handling and the dispatch calls change it.
class MarkerList
{
public:
    int Count() const;
    // False for an index outside the list.
    bool At(int index, Marker *marker) const;
    QList<Marker> Snapshot() const;

    // Inserts before the first marker with a later position (so markers at
    // the same position keep the order they were added in); returns the
    // index. The current marker keeps pointing at the same marker.
    int Insert(qint64 position, const QString &description);
    // Removes the current marker; false when there is none.
    bool RemoveCurrent();
    void Clear();

    int CurrentIndex() const;
    // -1, or an index inside the list; false (and no change) otherwise.
    bool SetCurrentIndex(int index);

    // The first marker after 'position' / the last one before it, or -1.
    int NextAfter(qint64 position) const;
    int PreviousBefore(qint64 position) const;

    // Grows on every change, so that a view can tell when to rebuild.
    quint64 Revision() const;

private:
    mutable QMutex m_lock;
    QList<Marker> m_markers;
    int m_current = -1;
    quint64 m_revision = 0;
};

} // namespace Talmaro
