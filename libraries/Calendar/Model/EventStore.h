#pragma once

#include "Calendar/Model/Event.h"
#include "calendarmodel_export.h"

#include <QtCore/QHash>
#include <QtCore/QList>

#include <vector>

namespace Calendar {

// The appointments held in memory, by identity, with an index by time so that
// the events of a shown week are found without walking years of them.
class CALENDARMODEL_EXPORT EventStore
{
public:
    int size() const { return static_cast<int>(m_events.size()); }
    bool isEmpty() const { return m_events.isEmpty(); }
    bool contains(const QString &uid) const { return m_events.contains(uid); }
    // The event with that identity, or nullptr. Valid until the next change.
    const Event *find(const QString &uid) const;

    // False when an event of that identity is already there.
    bool insert(const Event &event);
    void reserve(int count) { m_events.reserve(count); }
    // False when no event of that identity is there.
    bool replace(const Event &event);
    bool remove(const QString &uid);
    void clear();

    // Events that overlap [from, to), ordered by start, then end, then
    // identity. An event without duration counts when it starts in the range.
    QList<Event> between(const QDateTime &from, const QDateTime &to) const;
    // Every event, in the same order.
    QList<Event> all() const;
    QList<Event> forPatient(qint64 patientId) const;

private:
    struct Entry
    {
        qint64 start;
        qint64 end;
        const Event *event;
    };
    void ensureIndex() const;
    static bool before(const Entry &a, const Entry &b);
    // The entries' events, in order (sorted first when asked).
    static QList<Event> eventsOf(std::vector<const Entry *> &entries, bool sort);

    QHash<QString, Event> m_events;
    // Rebuilt on the first query after a change. Events longer than a day are
    // kept apart, so the range search can look back by one day only.
    mutable std::vector<Entry> m_short;
    mutable std::vector<Entry> m_long;
    mutable bool m_indexValid = false;
};

} // namespace Calendar
