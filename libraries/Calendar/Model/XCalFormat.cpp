#include "Calendar/Model/XCalFormat.h"

#include "Sylvan/Element.h"

#include <QtCore/QSet>
#include <QtCore/QTimeZone>

#include <libical/ical.h>

namespace Calendar::Detail {

namespace {

using Sylvan::IElement;

QString localName(const QString &qualifiedName)
{
    const qsizetype colon = qualifiedName.indexOf(u':');
    return colon < 0 ? qualifiedName : qualifiedName.mid(colon + 1);
}

// The namespace an element's prefix (or the default) stands for, looked up on
// the element itself: the only place our own files declare it.
QString namespaceOf(const IElement &element)
{
    const QString name = element.GetName();
    const qsizetype colon = name.indexOf(u':');
    const QString attribute
        = colon < 0 ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + name.left(colon);
    return element.GetAttribute(attribute);
}

// Reads a fixed number of decimal digits; -1 when any is not a digit.
int digits(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QTime parseTime(QStringView text)
{
    // "HH:MM:SS"
    if (text.size() != 8 || text.at(2) != u':' || text.at(5) != u':')
        return {};
    const int h = digits(text, 0, 2), m = digits(text, 3, 2), s = digits(text, 6, 2);
    if (h < 0 || m < 0 || s < 0)
        return {};
    // A leap second is written as :60; the calendar has no use for it.
    return QTime(h, m, std::min(s, 59));
}

void addProperty(IElement &properties, const QString &name, const QString &type, const QString &value)
{
    properties.AddChild(name, QString())->AddChild(type, value);
}

void writeEvent(IElement &vevent, const Event &event)
{
    IElement *properties = vevent.AddChild(QStringLiteral("properties"), QString());
    const QString text = QStringLiteral("text");
    addProperty(*properties, QStringLiteral("uid"), text, event.uid);
    addProperty(*properties, QStringLiteral("dtstamp"), QStringLiteral("date-time"),
        FormatXCalUtcTime(event.stamp.isValid() ? event.stamp : QDateTime::currentDateTimeUtc()));
    if (event.allDay) {
        const QString date = QStringLiteral("date");
        addProperty(*properties, QStringLiteral("dtstart"), date, FormatXCalDate(event.start.date()));
        addProperty(*properties, QStringLiteral("dtend"), date, FormatXCalDate(event.end.date()));
    } else {
        const QString dateTime = QStringLiteral("date-time");
        addProperty(*properties, QStringLiteral("dtstart"), dateTime, FormatXCalLocalTime(event.start));
        addProperty(*properties, QStringLiteral("dtend"), dateTime, FormatXCalLocalTime(event.end));
    }
    addProperty(*properties, QStringLiteral("summary"), text, event.subject);
    if (!event.location.isEmpty())
        addProperty(*properties, QStringLiteral("location"), text, event.location);
    if (!event.notes.isEmpty())
        addProperty(*properties, QStringLiteral("description"), text, event.notes);
    if (event.patientId != 0)
        addProperty(
            *properties, QStringLiteral("x-verdanta-patient-id"), text, QString::number(event.patientId));
}

// A property's value: the type of its value element and its text.
struct Value
{
    QString type;
    QString text;
};

Value valueOf(const IElement &property)
{
    for (int i = 0; i < property.GetChildCount(); ++i) {
        const IElement *child = property.GetChild(i);
        const QString type = localName(child->GetName());
        if (type != u"parameters")
            return { type, child->GetText() };
    }
    // Lenient: a value written straight into the property.
    return { QStringLiteral("text"), property.GetText() };
}

// A start or end: a date (all day) or a date and time.
struct TimeValue
{
    QDateTime time;
    bool isDate = false;
    bool present = false;
};

TimeValue timeOf(const Value &value, const QTimeZone &zone)
{
    TimeValue result;
    result.present = true;
    if (value.type == u"date") {
        const QDate date = ParseXCalDate(value.text.trimmed());
        if (date.isValid())
            result.time = date.startOfDay(zone);
        result.isDate = true;
    } else {
        result.time = ParseXCalDateTime(value.text.trimmed(), zone);
        if (result.time.timeSpec() == Qt::UTC)
            result.time = result.time.toTimeZone(zone);
    }
    return result;
}

// Reads one vevent; false when it has no usable start.
bool readEvent(
    const IElement &vevent, Event &event, XCalReadResult &result, QSet<QString> &seen, const QTimeZone &zone)
{
    TimeValue start, end;
    qint64 durationSeconds = -1;
    bool repaired = false;

    for (int i = 0; i < vevent.GetChildCount(); ++i) {
        const IElement *section = vevent.GetChild(i);
        if (localName(section->GetName()) != u"properties") {
            ++result.unknown; // alarms and other nested components
            continue;
        }
        for (int k = 0; k < section->GetChildCount(); ++k) {
            const IElement *property = section->GetChild(k);
            const QString name = localName(property->GetName());
            const Value value = valueOf(*property);
            if (name == u"uid") {
                event.uid = value.text.trimmed();
            } else if (name == u"dtstart") {
                start = timeOf(value, zone);
            } else if (name == u"dtend") {
                end = timeOf(value, zone);
            } else if (name == u"duration") {
                const QByteArray text = value.text.trimmed().toLatin1();
                const icaldurationtype duration = icaldurationtype_from_string(text.constData());
                if (!icaldurationtype_is_bad_duration(duration) && !duration.is_neg)
                    durationSeconds = icaldurationtype_as_int(duration);
                else
                    repaired = true;
            } else if (name == u"summary") {
                event.subject = value.text;
            } else if (name == u"location") {
                event.location = value.text;
            } else if (name == u"description") {
                event.notes = value.text;
            } else if (name == u"dtstamp") {
                event.stamp = ParseXCalDateTime(value.text.trimmed(), zone).toUTC();
            } else if (name == u"x-verdanta-patient-id") {
                bool ok = false;
                event.patientId = value.text.trimmed().toLongLong(&ok);
                if (!ok) {
                    event.patientId = 0;
                    ++result.unknown;
                }
            } else {
                ++result.unknown;
            }
        }
    }

    if (!start.present || !start.time.isValid())
        return false;
    event.allDay = start.isDate;
    event.start = start.time;
    if (end.present && end.time.isValid() && end.isDate == start.isDate) {
        event.end = end.time;
    } else if (!end.present && durationSeconds >= 0) {
        event.end = event.start.addSecs(durationSeconds);
    } else {
        repaired = repaired || end.present;
        event.end = event.allDay ? event.start.addDays(1) : event.start;
    }
    if (event.allDay) {
        // Whole days only; an end on or before the start becomes one day.
        event.end = event.end.date().startOfDay(zone);
        if (event.end <= event.start) {
            event.end = event.start.addDays(1);
            repaired = true;
        }
    } else if (event.end < event.start) {
        event.end = event.start;
        repaired = true;
    }
    if (event.uid.isEmpty() || seen.contains(event.uid)) {
        event.uid = NewEventUid();
        repaired = true;
    }
    seen.insert(event.uid);
    if (repaired)
        ++result.repaired;
    return true;
}

} // namespace

QString FormatXCalDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

QString FormatXCalLocalTime(const QDateTime &time)
{
    return time.date().toString(Qt::ISODate) + u'T' + time.time().toString(QStringLiteral("HH:mm:ss"));
}

QString FormatXCalUtcTime(const QDateTime &time)
{
    return FormatXCalLocalTime(time.toUTC()) + u'Z';
}

QDate ParseXCalDate(QStringView text)
{
    // "YYYY-MM-DD"
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    const int y = digits(text, 0, 4), m = digits(text, 5, 2), d = digits(text, 8, 2);
    if (y <= 0 || m < 0 || d < 0)
        return {};
    return QDate(y, m, d);
}

QDateTime ParseXCalDateTime(QStringView text, const QTimeZone &zone)
{
    const bool utc = text.endsWith(u'Z');
    if (utc)
        text.chop(1);
    if (text.size() != 19 || text.at(10) != u'T')
        return {};
    const QDate date = ParseXCalDate(text.first(10));
    const QTime time = parseTime(text.sliced(11));
    if (!date.isValid() || !time.isValid())
        return {};
    return utc ? QDateTime(date, time, Qt::UTC) : QDateTime(date, time, zone);
}

IElement *WriteXCalCalendar(IElement &root)
{
    root.SetName(QStringLiteral("icalendar"));
    root.SetAttribute(QStringLiteral("xmlns"), QString::fromUtf16(XCalNamespace));
    IElement *calendar = root.AddChild(QStringLiteral("vcalendar"), QString());
    IElement *properties = calendar->AddChild(QStringLiteral("properties"), QString());
    addProperty(*properties, QStringLiteral("prodid"), QStringLiteral("text"), QString::fromUtf16(ProductId));
    addProperty(*properties, QStringLiteral("version"), QStringLiteral("text"), QStringLiteral("2.0"));
    return calendar->AddChild(QStringLiteral("components"), QString());
}

IElement *NewVEvent(const Event &event)
{
    IElement *vevent = ElementFactory();
    vevent->SetName(QStringLiteral("vevent"));
    writeEvent(*vevent, event);
    return vevent;
}

XCalReadResult ReadXCal(const IElement &root)
{
    XCalReadResult result;
    if (localName(root.GetName()) != u"icalendar" || namespaceOf(root) != QStringView(XCalNamespace))
        return result;
    result.recognised = true;

    QSet<QString> seen;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    int calendars = 0, componentLists = 0;
    for (int c = 0; c < root.GetChildCount(); ++c) {
        const IElement *calendar = root.GetChild(c);
        if (localName(calendar->GetName()) != u"vcalendar") {
            ++result.unknown;
            continue;
        }
        ++calendars;
        for (int s = 0; s < calendar->GetChildCount(); ++s) {
            IElement *section = calendar->GetChild(s);
            const QString sectionName = localName(section->GetName());
            if (sectionName == u"properties")
                continue; // product and version: nothing to keep
            if (sectionName != u"components") {
                ++result.unknown;
                continue;
            }
            ++componentLists;
            result.components = section;
            result.events.reserve(result.events.size() + section->GetChildCount());
            result.elements.reserve(result.elements.size() + section->GetChildCount());
            for (int e = 0; e < section->GetChildCount(); ++e) {
                IElement *component = section->GetChild(e);
                if (localName(component->GetName()) != u"vevent") {
                    ++result.unknown; // to-dos, time zones, journals
                    continue;
                }
                Event event;
                if (readEvent(*component, event, result, seen, zone)) {
                    result.events.append(std::move(event));
                    result.elements.append(component);
                } else {
                    ++result.skipped;
                }
            }
        }
    }
    if (calendars != 1 || componentLists != 1)
        result.components = nullptr;
    return result;
}

} // namespace Calendar::Detail
