#include "Calendar/Model/AppointmentBook.h"
#include "Calendar/Model/XCalFormat.h"

#include "Sylvan/Document.h"
#include "Sylvan/XmlPlatform.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace Calendar {

void AppointmentBook::DocumentRelease::operator()(Sylvan::IDocument *document) const
{
    if (document)
        document->Release();
}

AppointmentBook::AppointmentBook(QObject *parent)
    : QObject(parent)
    , m_xmlPlatform(std::make_unique<Sylvan::PlatformScope>())
{ }

AppointmentBook::~AppointmentBook()
{
    // The document goes before the XML platform it was made under.
    m_document.reset();
}

bool AppointmentBook::readEvents(const QString &path, QList<Event> *events, QString *error)
{
    events->clear();
    if (!QFileInfo::exists(path))
        return true;
    const Sylvan::PlatformScope xmlPlatform;
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document->Initialize() || !document->Load(path)) {
        if (error)
            *error = document->GetErrorDescription();
        return false;
    }
    Detail::XCalReadResult read = Detail::ReadXCal(*document->GetRootElement());
    if (!read.recognised) {
        if (error)
            *error = tr("it is not an appointments file");
        return false;
    }
    *events = std::move(read.events);
    return true;
}

QString AppointmentBook::open(const QString &path)
{
    m_events.clear();
    m_elements.clear();
    m_components = nullptr;
    m_document.reset();
    m_keptAside.clear();
    m_path = path;
    m_writable = !path.isEmpty();
    const QString shownPath = QDir::toNativeSeparators(path);
    QString message;

    if (path.isEmpty()) {
        message = tr("No appointments file was given; appointments will not be saved.");
        rebuildDocument();
    } else if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        rebuildDocument();
        QString error;
        if (!save(&error))
            message = tr("The appointments file \"%1\" could not be created: %2").arg(shownPath, error);
    } else {
        Sylvan::DocumentPtr document(DocumentFactory());
        QString problem;
        Detail::XCalReadResult read;
        if (!document->Initialize() || !document->Load(path)) {
            problem = document->GetErrorDescription();
        } else {
            read = Detail::ReadXCal(*document->GetRootElement());
            if (!read.recognised)
                problem = tr("it is not an appointments file");
        }

        if (!problem.isEmpty()) {
            QString error;
            if (!keepAside(true, &error).isEmpty()) {
                message = tr("The appointments file \"%1\" could not be read (%2). It was kept as \"%3\" and "
                             "the calendar starts empty.")
                              .arg(shownPath, problem, QDir::toNativeSeparators(m_keptAside));
            } else {
                m_writable = false;
                message
                    = tr("The appointments file \"%1\" could not be read (%2) and could not be put aside "
                         "(%3). The calendar starts empty and saves nothing until the file is moved away.")
                          .arg(shownPath, problem, error);
            }
            rebuildDocument();
        } else {
            m_events.reserve(static_cast<int>(read.events.size()));
            for (const Event &event : std::as_const(read.events))
                m_events.insert(event);
            if (read.isComplete() && read.components) {
                // The file as read is the document: later changes replace single events in it.
                for (qsizetype i = 0; i < read.events.size(); ++i)
                    m_elements.insert(read.events.at(i).uid, read.elements.at(i));
                m_components = read.components;
                m_document.reset(document.release());
            } else {
                rebuildDocument();
            }
            if (!read.isComplete()) {
                QStringList details;
                if (read.skipped > 0)
                    details << tr(
                        "%n appointment(s) without a readable start were left out", nullptr, read.skipped);
                if (read.repaired > 0)
                    details << tr(
                        "%n appointment(s) with an impossible end or a missing or repeated identity "
                        "were corrected",
                        nullptr, read.repaired);
                if (read.unknown > 0)
                    details << tr(
                        "%n entry(s) the calendar does not use were left out", nullptr, read.unknown);
                QString error;
                const QString copy = keepAside(false, &error);
                const QString kept = copy.isEmpty()
                    ? tr("A copy of the file could not be kept (%1); the next change rewrites it.").arg(error)
                    : tr("The file as it was is kept as \"%1\".").arg(QDir::toNativeSeparators(copy));
                message = tr("The appointments file \"%1\" was read in part: %2. %3")
                              .arg(shownPath, details.join(QStringLiteral("; ")), kept);
            }
        }
    }
    Q_EMIT changed();
    return message;
}

QString AppointmentBook::keepAside(bool move, QString *error)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_path + QStringLiteral(".bad-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = m_path + QStringLiteral(".bad-") + stamp + u'-' + QString::number(n);

    QFile file(m_path);
    const bool done = move ? file.rename(target) : file.copy(target);
    if (!done) {
        if (error)
            *error = file.errorString();
        return {};
    }
    m_keptAside = target;
    return target;
}

void AppointmentBook::rebuildDocument()
{
    m_document.reset(DocumentFactory());
    m_document->Initialize();
    m_components = Detail::WriteXCalCalendar(*m_document->GetRootElement());
    m_elements.clear();
    for (const Event &event : m_events.all())
        placeInDocument(event);
}

void AppointmentBook::placeInDocument(const Event &event)
{
    removeFromDocument(event.uid);
    Sylvan::IElement *element = Detail::NewVEvent(event);
    m_components->AppendChild(element);
    m_elements.insert(event.uid, element);
}

void AppointmentBook::removeFromDocument(const QString &uid)
{
    if (Sylvan::IElement *old = m_elements.take(uid))
        m_components->RemoveChild(old);
}

void AppointmentBook::normalise(Event &event)
{
    if (event.uid.isEmpty())
        event.uid = NewEventUid();
    if (event.allDay) {
        event.start = event.start.date().startOfDay();
        event.end = event.end.date().startOfDay();
        if (event.end <= event.start)
            event.end = event.start.date().addDays(1).startOfDay();
    } else if (!event.end.isValid() || event.end < event.start) {
        event.end = event.start;
    }
    event.stamp = QDateTime::currentDateTimeUtc();
}

bool AppointmentBook::add(Event event, QString *error, QString *uid)
{
    if (!event.start.isValid()) {
        if (error)
            *error = tr("The appointment has no valid start.");
        return false;
    }
    normalise(event);
    if (!m_events.insert(event)) {
        if (error)
            *error = tr("An appointment with the same identity already exists.");
        return false;
    }
    placeInDocument(event);
    if (uid)
        *uid = event.uid;
    return commit(error);
}

bool AppointmentBook::update(Event event, QString *error)
{
    if (!event.start.isValid() || !m_events.contains(event.uid)) {
        if (error)
            *error = tr("The appointment no longer exists.");
        return false;
    }
    normalise(event);
    m_events.replace(event);
    placeInDocument(event);
    return commit(error);
}

bool AppointmentBook::remove(const QString &uid, QString *error)
{
    if (!m_events.remove(uid)) {
        if (error)
            *error = tr("The appointment no longer exists.");
        return false;
    }
    removeFromDocument(uid);
    return commit(error);
}

bool AppointmentBook::merge(const QList<Event> &events, QString *error)
{
    for (Event event : events) {
        if (!event.start.isValid())
            continue;
        normalise(event);
        if (!m_events.replace(event))
            m_events.insert(event);
        placeInDocument(event);
    }
    return commit(error);
}

bool AppointmentBook::commit(QString *error)
{
    Q_EMIT changed();
    return save(error);
}

bool AppointmentBook::save(QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!m_writable)
        return fail(m_path.isEmpty() ? tr("No appointments file was given.")
                                     : tr("The unreadable appointments file \"%1\" is still in the way.")
                                           .arg(QDir::toNativeSeparators(m_path)));
    if (!m_document->Save(m_path))
        return fail(tr("The appointments could not be saved: %1").arg(m_document->GetErrorDescription()));
    return true;
}

} // namespace Calendar
