#include "MarkerList.h"

#include <QtCore/QMutexLocker>

#include <algorithm>

namespace Talmaro {

int MarkerList::Count() const
{
    QMutexLocker locker(&m_lock);
    return static_cast<int>(m_markers.size());
}

bool MarkerList::At(int index, Marker *marker) const
{
    QMutexLocker locker(&m_lock);
    if (index < 0 || index >= m_markers.size())
        return false;
    if (marker)
        *marker = m_markers.at(index);
    return true;
}

QList<Marker> MarkerList::Snapshot() const
{
    QMutexLocker locker(&m_lock);
    return m_markers;
}

int MarkerList::Insert(qint64 position, const QString &description)
{
    QMutexLocker locker(&m_lock);
    const auto later = std::find_if(
        m_markers.begin(), m_markers.end(), [position](const Marker &m) { return m.position > position; });
    const int index = static_cast<int>(later - m_markers.begin());
    m_markers.insert(index, Marker { position, description });
    if (m_current >= index)
        ++m_current;
    ++m_revision;
    return index;
}

bool MarkerList::RemoveCurrent()
{
    QMutexLocker locker(&m_lock);
    if (m_current < 0 || m_current >= m_markers.size())
        return false;
    m_markers.removeAt(m_current);
    m_current = -1;
    ++m_revision;
    return true;
}

void MarkerList::Clear()
{
    QMutexLocker locker(&m_lock);
    m_markers.clear();
    m_current = -1;
    ++m_revision;
}

int MarkerList::CurrentIndex() const
{
    QMutexLocker locker(&m_lock);
    return m_current;
}

bool MarkerList::SetCurrentIndex(int index)
{
    QMutexLocker locker(&m_lock);
    if (index < -1 || index >= m_markers.size())
        return false;
    if (m_current != index) {
        m_current = index;
        ++m_revision;
    }
    return true;
}

int MarkerList::NextAfter(qint64 position) const
{
    QMutexLocker locker(&m_lock);
    for (int i = 0; i < m_markers.size(); ++i) {
        if (m_markers.at(i).position > position)
            return i;
    }
    return -1;
}

int MarkerList::PreviousBefore(qint64 position) const
{
    QMutexLocker locker(&m_lock);
    for (int i = static_cast<int>(m_markers.size()) - 1; i >= 0; --i) {
        if (m_markers.at(i).position < position)
            return i;
    }
    return -1;
}

quint64 MarkerList::Revision() const
{
    QMutexLocker locker(&m_lock);
    return m_revision;
}

} // namespace Talmaro
