#include "Calendar/Widgets/ViewKind.h"

#include <QtCore/QRegularExpression>

namespace Calendar {

namespace {

QDate weekStart(QDate date, const QLocale &locale)
{
    const int offset = (date.dayOfWeek() - locale.firstDayOfWeek() + 7) % 7;
    return date.addDays(-offset);
}

QList<Qt::DayOfWeek> workDays(const QLocale &locale)
{
    QList<Qt::DayOfWeek> days = locale.weekdays();
    if (days.isEmpty())
        days = { Qt::Monday, Qt::Tuesday, Qt::Wednesday, Qt::Thursday, Qt::Friday };
    return days;
}

} // namespace

QList<QDate> ShownDays(ViewKind kind, QDate anchor, const QLocale &locale)
{
    QList<QDate> days;
    switch (kind) {
    case ViewKind::Day:
        days << anchor;
        break;
    case ViewKind::WorkWeek: {
        const QList<Qt::DayOfWeek> working = workDays(locale);
        const QDate first = weekStart(anchor, locale);
        for (int i = 0; i < 7; ++i) {
            if (working.contains(static_cast<Qt::DayOfWeek>(first.addDays(i).dayOfWeek())))
                days << first.addDays(i);
        }
        break;
    }
    case ViewKind::Week: {
        const QDate first = weekStart(anchor, locale);
        for (int i = 0; i < 7; ++i)
            days << first.addDays(i);
        break;
    }
    case ViewKind::Month: {
        const QDate first = weekStart(QDate(anchor.year(), anchor.month(), 1), locale);
        for (int i = 0; i < 42; ++i)
            days << first.addDays(i);
        break;
    }
    }
    return days;
}

QDate StepAnchor(ViewKind kind, QDate anchor, int steps)
{
    switch (kind) {
    case ViewKind::Day:
        return anchor.addDays(steps);
    case ViewKind::WorkWeek:
    case ViewKind::Week:
        return anchor.addDays(qint64(7) * steps);
    case ViewKind::Month:
        return anchor.addMonths(steps);
    }
    return anchor;
}

QString RangeCaption(ViewKind kind, QDate anchor, const QLocale &locale)
{
    if (kind == ViewKind::Day)
        return locale.toString(anchor, QLocale::LongFormat);
    if (kind == ViewKind::Month)
        return locale.toString(anchor, QStringLiteral("MMMM yyyy"));
    const QList<QDate> days = ShownDays(kind, anchor, locale);
    const QDate first = days.first(), last = days.last();
    const QString end = locale.toString(last, QStringLiteral("d MMMM yyyy"));
    QString start;
    if (first.year() != last.year())
        start = locale.toString(first, QStringLiteral("d MMMM yyyy"));
    else if (first.month() != last.month())
        start = locale.toString(first, QStringLiteral("d MMMM"));
    else
        start = locale.toString(first, QStringLiteral("d"));
    return start + QStringLiteral(" \u2013 ") + end;
}

QString MinuteTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    return format;
}

} // namespace Calendar
