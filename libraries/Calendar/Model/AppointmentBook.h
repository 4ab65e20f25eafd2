#pragma once

#include "Calendar/Model/EventStore.h"
#include "calendarmodel_export.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>

namespace Sylvan {
class IDocument;
class IElement;
class PlatformScope;
} // namespace Sylvan

namespace Calendar {

// The practice's appointments and the file that keeps them. Every change is
// written to the file at once, whole, through a temporary file renamed over
// the old one, so that a crash or a full disk never leaves half a file. The
// file's document stays in memory and each change replaces only its own
// element, so a save costs the writing of the file and no more.
//
// A file that cannot be read is never overwritten: it is renamed aside
// ("<name>.bad-<yyyyMMdd-HHmmss>") and the book starts empty. A file read only
// in part (appointments left out or corrected) is copied aside the same way
// before the next save replaces it. Either way open() returns a message for
// the user that says what happened and where the old file is.
class CALENDARMODEL_EXPORT AppointmentBook : public QObject
{
    Q_OBJECT

public:
    explicit AppointmentBook(QObject *parent = nullptr);
    ~AppointmentBook() override;

    // Loads the file (a missing one is created empty). Returns the message for
    // the user, empty when the file was read whole.
    QString open(const QString &path);
    QString path() const { return m_path; }
    bool isOpen() const { return !m_path.isEmpty(); }
    // False when the file could not be put aside: saving would destroy it.
    bool isWritable() const { return m_writable; }
    // Where the last unreadable or partly read file was kept; empty if none.
    QString keptAsidePath() const { return m_keptAside; }

    const EventStore &events() const { return m_events; }

    // Changes. Each one is written to the file at once; false, with the reason
    // in error, when that write failed: the change stays in the book and goes
    // to the file with the next save that succeeds. Adding an event without
    // identity gives it one; adding one whose identity exists is refused.
    bool add(Event event, QString *error = nullptr, QString *uid = nullptr);
    bool update(Event event, QString *error = nullptr);
    bool remove(const QString &uid, QString *error = nullptr);
    // Adds the events, replacing those of the same identity, with one write.
    bool merge(const QList<Event> &events, QString *error = nullptr);

    // Writes the whole book to the file.
    bool save(QString *error = nullptr);

    // Reads the appointments of a file without changing it or anything beside
    // it (reports read the book this way while the calendar holds it). A
    // missing file has no appointments; false, with the reason, when the file
    // cannot be read or is not an appointments file.
    static bool readEvents(const QString &path, QList<Event> *events, QString *error = nullptr);

Q_SIGNALS:
    // After every change of the events (including open).
    void changed();

private:
    // Moves or copies the file aside; the new path, or empty on failure.
    QString keepAside(bool move, QString *error);
    bool commit(QString *error);
    static void normalise(Event &event);
    // A new document holding the events of the store.
    void rebuildDocument();
    // Puts the event's element in the document, replacing its old one.
    void placeInDocument(const Event &event);
    void removeFromDocument(const QString &uid);

    // The XML platform, held for as long as the book may read or write.
    std::unique_ptr<Sylvan::PlatformScope> m_xmlPlatform;
    struct DocumentRelease
    {
        void operator()(Sylvan::IDocument *document) const;
    };
    std::unique_ptr<Sylvan::IDocument, DocumentRelease> m_document;
    Sylvan::IElement *m_components = nullptr; // the element holding the events, in m_document
    QHash<QString, Sylvan::IElement *> m_elements; // each event's element, by identity
    QString m_path;
    QString m_keptAside;
    bool m_writable = false;
    EventStore m_events;
};

} // namespace Calendar
