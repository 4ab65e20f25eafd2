#include "Calendar/Model/EventStore.h"

#include <algorithm>
#include <tuple>

namespace Calendar {

namespace {

constexpr qint64 MsPerDay = qint64(24) * 60 * 60 * 1000;

bool overlaps(qint64 start, qint64 end, qint64 from, qint64 to)
{
    if (start >= to)
        return false;
    return end > from || (end <= start && start >= from);
}

} // namespace

const Event *EventStore::find(const QString &uid) const
{
    const auto it = m_events.constFind(uid);
    return it == m_events.cend() ? nullptr : &it.value();
}

bool EventStore::insert(const Event &event)
{
    if (m_events.contains(event.uid))
        return false;
    m_events.insert(event.uid, event);
    m_indexValid = false;
    return true;
}

bool EventStore::replace(const Event &event)
{
    const auto it = m_events.find(event.uid);
    if (it == m_events.end())
        return false;
    it.value() = event;
    m_indexValid = false;
    return true;
}

bool EventStore::remove(const QString &uid)
{
    if (!m_events.remove(uid))
        return false;
    m_indexValid = false;
    return true;
}

void EventStore::clear()
{
    m_events.clear();
    m_indexValid = false;
}

bool EventStore::before(const Entry &a, const Entry &b)
{
    return std::tie(a.start, a.end, a.event->uid) < std::tie(b.start, b.end, b.event->uid);
}

void EventStore::ensureIndex() const
{
    if (m_indexValid)
        return;
    m_short.clear();
    m_long.clear();
    m_short.reserve(static_cast<size_t>(m_events.size()));
    for (const Event &event : m_events) {
        const Entry entry { WallClockMs(event.start), WallClockMs(event.end), &event };
        (entry.end - entry.start > MsPerDay ? m_long : m_short).push_back(entry);
    }
    std::ranges::sort(m_short, before);
    std::ranges::sort(m_long, before);
    m_indexValid = true;
}

QList<Event> EventStore::between(const QDateTime &from, const QDateTime &to) const
{
    ensureIndex();
    const qint64 fromMs = WallClockMs(from);
    const qint64 toMs = WallClockMs(to);
    std::vector<const Entry *> found;
    // A short event that overlaps the range starts at most a day before it.
    auto it = std::ranges::lower_bound(m_short, fromMs - MsPerDay, {}, &Entry::start);
    for (; it != m_short.end() && it->start < toMs; ++it) {
        if (overlaps(it->start, it->end, fromMs, toMs))
            found.push_back(&*it);
    }
    for (const Entry &entry : m_long) {
        if (overlaps(entry.start, entry.end, fromMs, toMs))
            found.push_back(&entry);
    }
    return eventsOf(found, !m_long.empty());
}

QList<Event> EventStore::eventsOf(std::vector<const Entry *> &entries, bool sort)
{
    if (sort)
        std::ranges::sort(entries, [](const Entry *a, const Entry *b) { return before(*a, *b); });
    QList<Event> events;
    events.reserve(static_cast<qsizetype>(entries.size()));
    for (const Entry *entry : entries)
        events.append(*entry->event);
    return events;
}

QList<Event> EventStore::all() const
{
    ensureIndex();
    std::vector<const Entry *> entries;
    entries.reserve(m_short.size() + m_long.size());
    for (const Entry &entry : m_short)
        entries.push_back(&entry);
    for (const Entry &entry : m_long)
        entries.push_back(&entry);
    return eventsOf(entries, !m_long.empty());
}

QList<Event> EventStore::forPatient(qint64 patientId) const
{
    QList<Event> events;
    for (const Event &event : all()) {
        if (event.patientId == patientId)
            events.append(event);
    }
    return events;
}

} // namespace Calendar
