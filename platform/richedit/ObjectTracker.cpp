#include "richedit/ObjectTracker.h"

#include <QtGui/QTextDocument>

#include <algorithm>

namespace RichEdit {

namespace {

auto firstAtOrAfter(const std::vector<EmbeddedObject> &objects, int position)
{
    return std::lower_bound(objects.begin(), objects.end(), position,
        [](const EmbeddedObject &object, int p) { return object.position < p; });
}

bool sameObject(const EmbeddedObject &a, const EmbeddedObject &b)
{
    return a.kind == b.kind && a.handle == b.handle;
}

} // namespace

ObjectTracker::ObjectTracker(QObject *parent)
    : QObject(parent)
{ }

void ObjectTracker::attach(QTextDocument *document)
{
    if (document == m_document)
        return;
    QObject::disconnect(m_connection);
    const std::vector<EmbeddedObject> gone = std::exchange(m_objects, {});
    m_document = document;
    std::vector<EmbeddedObject> came;
    if (document) {
        const QList<EmbeddedObject> found = scanEmbeddedObjects(*document);
        came.assign(found.begin(), found.end());
        m_objects = came;
        m_connection
            = connect(document, &QTextDocument::contentsChange, this, &ObjectTracker::onContentsChange);
    }
    report(gone, came);
}

std::vector<EmbeddedObject> ObjectTracker::objectsIn(int from, int to) const
{
    return std::vector<EmbeddedObject>(firstAtOrAfter(m_objects, from), firstAtOrAfter(m_objects, to));
}

int ObjectTracker::countIn(int from, int to) const
{
    return int(firstAtOrAfter(m_objects, to) - firstAtOrAfter(m_objects, from));
}

void ObjectTracker::onContentsChange(int from, int removed, int added)
{
    if (!m_document)
        return;
    // A new layout announces the whole document as inserted, though nothing
    // changed: the list is read again and only real differences are reported.
    if (from == 0 && removed == 0 && added > 0 && added == m_document->characterCount()
        && !m_objects.empty()) {
        const QList<EmbeddedObject> found = scanEmbeddedObjects(*m_document);
        std::vector<EmbeddedObject> now(found.begin(), found.end());
        std::vector<EmbeddedObject> gone;
        std::vector<EmbeddedObject> came = now;
        for (const EmbeddedObject &old : m_objects) {
            const auto match = std::find_if(came.begin(), came.end(),
                [&](const EmbeddedObject &object) { return sameObject(old, object); });
            if (match != came.end())
                came.erase(match);
            else
                gone.push_back(old);
        }
        m_objects = std::move(now);
        report(gone, came);
        return;
    }
    // The objects that stood in the replaced range, and those that stand in
    // its replacement now; a format change replaces a range by itself.
    const auto first = firstAtOrAfter(m_objects, from);
    const auto last = firstAtOrAfter(m_objects, from + removed);
    std::vector<EmbeddedObject> before(first, last);
    const QList<EmbeddedObject> found = scanEmbeddedObjects(*m_document, from, from + added);
    const int shift = added - removed;
    auto tail = m_objects.erase(first, last);
    for (auto it = tail; it != m_objects.end(); ++it)
        it->position += shift;
    m_objects.insert(tail, found.begin(), found.end());

    // Departures and arrivals by identity: an object that stayed in the range
    // (a format change, or a move within it) is neither.
    std::vector<EmbeddedObject> gone;
    std::vector<EmbeddedObject> came(found.begin(), found.end());
    for (const EmbeddedObject &old : before) {
        const auto match = std::find_if(
            came.begin(), came.end(), [&](const EmbeddedObject &now) { return sameObject(old, now); });
        if (match != came.end())
            came.erase(match);
        else
            gone.push_back(old);
    }
    report(gone, came);
}

void ObjectTracker::report(const std::vector<EmbeddedObject> &gone, const std::vector<EmbeddedObject> &came)
{
    // The list is up to date before anyone hears of a change, so a listener may read it.
    for (const EmbeddedObject &object : gone)
        emit departed(object);
    for (const EmbeddedObject &object : came) {
        const bool inserted = m_expecting && object.handle == m_expectedHandle;
        if (inserted)
            m_expecting = false;
        emit arrived(object, inserted);
    }
}

} // namespace RichEdit
