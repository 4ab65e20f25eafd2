#include "Calendar/Model/IcsExchange.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QSaveFile>
#include <QtCore/QTimeZone>

#include <libical/ical.h>

#include <memory>

namespace Calendar {

namespace {

// Far above any real calendar export; a larger file is not read into memory.
constexpr qint64 MaximumFileSize = qint64(64) * 1024 * 1024;
// VCALENDAR > VEVENT > VALARM is as deep as real files go; the parser's
// components are freed recursively, so hostile nesting must not reach it.
constexpr int MaximumNesting = 8;

const char *const PatientProperty = "X-VERDANTA-PATIENT-ID";

QString tr(const char *text)
{
    return QCoreApplication::translate("Calendar::IcsExchange", text);
}

struct ComponentFree
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// libical reports errors through its own state; by default some of them end
// the process. Errors are only ever data problems here.
void keepLibicalErrorsNonFatal()
{
    icalerror_set_errors_are_fatal(0);
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

icaltimetype toIcalUtc(const QDateTime &time)
{
    return icaltime_from_timet_with_zone(
        static_cast<time_t>(time.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());
}

icaltimetype toIcalDate(QDate date)
{
    icaltimetype value = icaltime_null_date();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    return value;
}

icalcomponent *newEvent(const Event &event, HealthData healthData, const icaltimetype &stamp)
{
    icalcomponent *component = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(component, icalproperty_new_uid(utf8(event.uid).constData()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(stamp));
    if (event.allDay) {
        icalcomponent_add_property(component, icalproperty_new_dtstart(toIcalDate(event.start.date())));
        icalcomponent_add_property(component, icalproperty_new_dtend(toIcalDate(event.end.date())));
    } else {
        icalcomponent_add_property(component, icalproperty_new_dtstart(toIcalUtc(event.start)));
        icalcomponent_add_property(component, icalproperty_new_dtend(toIcalUtc(event.end)));
    }
    if (healthData == HealthData::LeaveOut) {
        icalcomponent_add_property(component, icalproperty_new_summary(utf8(tr("Appointment")).constData()));
        icalcomponent_add_property(component, icalproperty_new_class(ICAL_CLASS_PRIVATE));
        return component;
    }
    icalcomponent_add_property(component, icalproperty_new_summary(utf8(event.subject).constData()));
    if (!event.location.isEmpty())
        icalcomponent_add_property(component, icalproperty_new_location(utf8(event.location).constData()));
    if (!event.notes.isEmpty())
        icalcomponent_add_property(component, icalproperty_new_description(utf8(event.notes).constData()));
    if (event.patientId != 0) {
        icalproperty *patient = icalproperty_new_x(QByteArray::number(event.patientId).constData());
        icalproperty_set_x_name(patient, PatientProperty);
        icalcomponent_add_property(component, patient);
    }
    return component;
}

// The deepest BEGIN/END nesting of the text, counted line by line.
int nestingDepth(const QByteArray &text)
{
    int depth = 0, deepest = 0;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QByteArrayView line = QByteArrayView(text).sliced(lineStart, lineEnd - lineStart);
        if (line.size() >= 6 && qstrnicmp(line.data(), "BEGIN:", 6) == 0)
            deepest = std::max(deepest, ++depth);
        else if (line.size() >= 4 && qstrnicmp(line.data(), "END:", 4) == 0)
            depth = std::max(0, depth - 1);
        lineStart = lineEnd + 1;
    }
    return deepest;
}

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// A start or end in local time. Date values become midnight.
QDateTime toLocal(icaltimetype value, icalproperty *property)
{
    if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value))
        return {};
    const QDate date(value.year, value.month, value.day);
    if (!date.isValid())
        return {};
    if (value.is_date)
        return date.startOfDay();
    const QTime time(value.hour, value.minute, std::min(value.second, 59));
    if (!time.isValid())
        return {};
    if (icaltime_is_utc(value))
        return QDateTime(date, time, Qt::UTC).toLocalTime();
    if (value.zone) {
        const time_t seconds = icaltime_as_timet_with_zone(value, value.zone);
        return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds));
    }
    // A time zone named without its definition in the file: the system's
    // zone database knows the usual names, Windows names included.
    if (icalparameter *tzid
        = property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr) {
        const QByteArray name = icalparameter_get_tzid(tzid);
        QTimeZone zone(name);
        if (!zone.isValid())
            zone = QTimeZone(QTimeZone::windowsIdToDefaultIanaId(name));
        if (zone.isValid())
            return QDateTime(date, time, zone).toLocalTime();
    }
    return QDateTime(date, time); // floating: the same wall-clock time here
}

// Reads one VEVENT; false when it has no usable start or is cancelled.
bool readEvent(icalcomponent *component, Event &event, IcsImport &result)
{
    if (icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED)
        return false;
    icalproperty *startProperty = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    if (!startProperty)
        return false;
    const icaltimetype start = icalcomponent_get_dtstart(component);
    event.start = toLocal(start, startProperty);
    if (!event.start.isValid())
        return false;
    event.allDay = start.is_date;

    icalproperty *endProperty = icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY);
    const icaltimetype end = icalcomponent_get_dtend(component);
    event.end = toLocal(end, endProperty ? endProperty : startProperty);
    if (event.allDay) {
        event.end = event.end.isValid() ? event.end.date().startOfDay() : QDateTime();
        if (!event.end.isValid() || event.end <= event.start)
            event.end = event.start.addDays(1);
    } else if (!event.end.isValid() || event.end < event.start) {
        event.end = event.start;
    }

    event.uid = text(icalcomponent_get_uid(component)).trimmed();
    if (event.uid.isEmpty())
        event.uid = NewEventUid();
    event.subject = text(icalcomponent_get_summary(component));
    event.location = text(icalcomponent_get_location(component));
    event.notes = text(icalcomponent_get_description(component));
    for (icalproperty *property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); property;
         property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char *name = icalproperty_get_x_name(property);
        if (name && qstricmp(name, PatientProperty) == 0) {
            bool ok = false;
            const qint64 id = text(icalproperty_get_x(property)).trimmed().toLongLong(&ok);
            event.patientId = ok ? id : 0;
        }
    }
    if (icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY)
        || icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY))
        ++result.recurring;
    return true;
}

} // namespace

bool ExportIcs(const QString &path, const QList<Event> &events, HealthData healthData, QString *error)
{
    keepLibicalErrorsNonFatal();
    const ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Verdanta//Appointments 1.0//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    const icaltimetype stamp = toIcalUtc(QDateTime::currentDateTimeUtc());
    for (const Event &event : events)
        icalcomponent_add_component(calendar.get(), newEvent(event, healthData, stamp));

    char *raw = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray content(raw ? raw : "");
    icalmemory_free_buffer(raw);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (error)
            *error = tr("The file \"%1\" could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool ImportIcs(const QString &path, IcsImport &result, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = tr("The file \"%1\" could not be imported: %2").arg(path, reason);
        return false;
    };
    result = IcsImport();
    keepLibicalErrorsNonFatal();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > MaximumFileSize)
        return fail(tr("it is too large for a calendar file"));
    const QByteArray content = file.read(MaximumFileSize + 1);
    if (content.size() > MaximumFileSize)
        return fail(tr("it is too large for a calendar file"));
    if (!content.contains("BEGIN:") && !content.contains("begin:"))
        return fail(tr("it is not an iCalendar file"));
    if (nestingDepth(content) > MaximumNesting)
        return fail(tr("its components are nested too deeply"));

    const ComponentPtr root(icalparser_parse_string(content.constData()));
    if (!root)
        return fail(tr("it is not an iCalendar file"));

    // The parser gives one VCALENDAR, a bare component, or an XROOT holding several.
    std::vector<icalcomponent *> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent *c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    } else {
        calendars.push_back(root.get());
    }

    bool sawEvent = false;
    for (icalcomponent *calendar : calendars) {
        const auto take = [&](icalcomponent *component) {
            sawEvent = true;
            Event event;
            if (readEvent(component, event, result))
                result.events.append(std::move(event));
            else
                ++result.skipped;
        };
        if (icalcomponent_isa(calendar) == ICAL_VEVENT_COMPONENT) {
            take(calendar);
            continue;
        }
        for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            take(c);
    }
    const icalcomponent_kind kind = icalcomponent_isa(root.get());
    if (!sawEvent && kind != ICAL_VCALENDAR_COMPONENT && kind != ICAL_XROOT_COMPONENT)
        return fail(tr("it is not an iCalendar file"));
    return true;
}

} // namespace Calendar
