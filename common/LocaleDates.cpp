#include "common/LocaleDates.h"

#include <QtCore/QRegularExpression>

#include <cmath>

namespace Verdanta {

namespace {

// Replaces a two-digit year ("yy" not part of "yyyy") by "yyyy".
QString widenYear(QString format)
{
    if (format.contains(QLatin1String("yyyy")))
        return format;
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

QString stripTimeZone(QString format)
{
    format.remove(QLatin1Char('t'));
    return format.simplified();
}

bool tryDate(const QLocale &locale, const QString &text, const QString &format, QDate *out)
{
    const QDate d = locale.toDate(text, format);
    if (!d.isValid())
        return false;
    *out = d;
    return true;
}

bool tryDateTime(const QLocale &locale, const QString &text, const QString &format, QDateTime *out)
{
    const QDateTime dt = locale.toDateTime(text, format);
    if (!dt.isValid())
        return false;
    *out = dt;
    return true;
}

QStringList dateFormats(const QLocale &locale)
{
    QStringList formats;
    formats << LocaleDateFormat(locale) << locale.dateFormat(QLocale::ShortFormat)
            << widenYear(locale.dateFormat(QLocale::LongFormat)) << locale.dateFormat(QLocale::LongFormat)
            << QStringLiteral("yyyy-MM-dd") << QStringLiteral("yyyy/MM/dd");
    formats.removeDuplicates();
    return formats;
}

QStringList timeFormats(const QLocale &locale)
{
    QStringList formats;
    formats << LocaleTimeFormat(locale) << stripTimeZone(locale.timeFormat(QLocale::ShortFormat))
            << QStringLiteral("HH:mm:ss") << QStringLiteral("HH:mm") << QStringLiteral("H:mm:ss")
            << QStringLiteral("H:mm");
    formats.removeDuplicates();
    return formats;
}

} // namespace

QString LocaleDateFormat(const QLocale &locale)
{
    return widenYear(locale.dateFormat(QLocale::ShortFormat));
}

QString LocaleTimeFormat(const QLocale &locale)
{
    QString format = stripTimeZone(locale.timeFormat(QLocale::LongFormat));
    if (!format.contains(QLatin1Char('s')))
        format = stripTimeZone(locale.timeFormat(QLocale::ShortFormat)) + QStringLiteral(":ss");
    return format;
}

QString FormatLocaleDate(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return {};
    return locale.toString(date, LocaleDateFormat(locale));
}

QString FormatLocaleDateTime(const QDateTime &dateTime, const QLocale &locale)
{
    if (!dateTime.isValid())
        return {};
    return locale.toString(dateTime, LocaleDateFormat(locale) + QLatin1Char(' ') + LocaleTimeFormat(locale));
}

bool ParseLocaleDate(QStringView text, QDate *date, const QLocale &locale)
{
    QDate result;
    const QString t = text.toString().simplified();
    bool ok = false;
    if (!t.isEmpty()) {
        for (const QString &format : dateFormats(locale)) {
            if (tryDate(locale, t, format, &result)) {
                ok = true;
                break;
            }
        }
        if (!ok) {
            QDateTime dt;
            if (ParseLocaleDateTime(t, &dt, locale)) {
                result = dt.date();
                ok = true;
            }
        }
    }
    if (date)
        *date = ok ? result : QDate();
    return ok;
}

bool ParseLocaleDateTime(QStringView text, QDateTime *dateTime, const QLocale &locale)
{
    QDateTime result;
    const QString t = text.toString().simplified();
    bool ok = false;
    if (!t.isEmpty()) {
        const QStringList dates = dateFormats(locale);
        const QStringList times = timeFormats(locale);
        for (const QString &d : dates) {
            for (const QString &tf : times) {
                if (tryDateTime(locale, t, d + QLatin1Char(' ') + tf, &result)) {
                    ok = true;
                    break;
                }
            }
            if (ok)
                break;
        }
        if (!ok) {
            QDate d;
            for (const QString &format : dates) {
                if (tryDate(locale, t, format, &d)) {
                    result = QDateTime(d, QTime(0, 0));
                    ok = true;
                    break;
                }
            }
        }
        if (!ok) {
            result = QDateTime::fromString(t, Qt::ISODate);
            ok = result.isValid();
        }
    }
    if (dateTime)
        *dateTime = ok ? result : QDateTime();
    return ok;
}

QString FormatXmlStamp(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

bool ParseXmlStamp(QStringView text, QDateTime *dateTime)
{
    const QDateTime dt
        = QDateTime::fromString(text.toString().trimmed(), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (dateTime)
        *dateTime = dt;
    return dt.isValid();
}

QString FormatDayKey(const QDate &date)
{
    return date.toString(QStringLiteral("ddMMyyyy"));
}

bool ParseDayKey(QStringView text, QDate *date)
{
    const QDate d = QDate::fromString(text.toString().trimmed(), QStringLiteral("ddMMyyyy"));
    if (date)
        *date = d;
    return d.isValid();
}

QString FormatClock(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

QString FormatBackupMark(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

bool ParseBackupMark(QStringView text, QDate *date)
{
    const QDate d = QDate::fromString(text.toString().trimmed(), QStringLiteral("yyyy/MM/dd"));
    if (date)
        *date = d;
    return d.isValid();
}

qint64 WholeDaysBetween(const QDateTime &from, const QDateTime &to)
{
    const qint64 ms = from.msecsTo(to);
    return static_cast<qint64>(std::trunc(static_cast<double>(ms) / 86400000.0));
}

} // namespace Verdanta
