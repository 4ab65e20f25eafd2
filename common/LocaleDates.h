#pragma once

#include "verdantacommon_export.h"

#include <QtCore/QDateTime>
#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringView>

namespace Verdanta {

// Dates kept in the notes and finance tables are shown and read as texts of the
// user's default locale; the database itself stores them typed. Years are
// always written with four digits so that a text read back gives the same date.

// The locale's short date format with a four-digit year.
VERDANTACOMMON_EXPORT QString LocaleDateFormat(const QLocale &locale = QLocale());
// The locale's time format with seconds and without a time zone.
VERDANTACOMMON_EXPORT QString LocaleTimeFormat(const QLocale &locale = QLocale());

VERDANTACOMMON_EXPORT QString FormatLocaleDate(const QDate &date, const QLocale &locale = QLocale());
VERDANTACOMMON_EXPORT QString FormatLocaleDateTime(
    const QDateTime &dateTime, const QLocale &locale = QLocale());

// Parses a date-only text of the locale; a text that also carries a time gives
// its date. Also accepts ISO dates. Returns false (and an invalid date) when the
// text is not a date.
VERDANTACOMMON_EXPORT bool ParseLocaleDate(QStringView text, QDate *date, const QLocale &locale = QLocale());
// Parses a date-and-time (or date-only, midnight) text of the locale or ISO.
VERDANTACOMMON_EXPORT bool ParseLocaleDateTime(
    QStringView text, QDateTime *dateTime, const QLocale &locale = QLocale());

// Fixed formats of the side files and stamps.
VERDANTACOMMON_EXPORT QString FormatXmlStamp(const QDateTime &dateTime); // "%d/%m/%Y %H:%M:%S"
VERDANTACOMMON_EXPORT bool ParseXmlStamp(QStringView text, QDateTime *dateTime);
VERDANTACOMMON_EXPORT QString FormatDayKey(const QDate &date); // "%d%m%Y"
VERDANTACOMMON_EXPORT bool ParseDayKey(QStringView text, QDate *date);
VERDANTACOMMON_EXPORT QString FormatClock(const QTime &time); // "%H:%M"
VERDANTACOMMON_EXPORT QString FormatBackupMark(const QDate &date); // "%Y/%m/%d"
VERDANTACOMMON_EXPORT bool ParseBackupMark(QStringView text, QDate *date);

// Whole days from one date to another (negative when 'to' is earlier).
VERDANTACOMMON_EXPORT qint64 WholeDaysBetween(const QDateTime &from, const QDateTime &to);

} // namespace Verdanta
