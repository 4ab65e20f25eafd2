#include "notes/TreatmentLine.h"

#include <algorithm>

namespace TreatmentDays {

QString Format(const QList<QDate> &days)
{
    QList<QDate> sorted = days;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QString text;
    text.reserve(sorted.size() * 9);
    for (const QDate &day : std::as_const(sorted)) {
        if (day.isValid())
            text += day.toString(QStringLiteral("ddMMyyyy")) + QLatin1Char(';');
    }
    return text;
}

QList<QDate> Parse(const QString &text)
{
    QList<QDate> days;
    const qsizetype first = text.indexOf(QLatin1Char(';'));
    if (first <= 0)
        return days;
    qsizetype start = 0;
    for (qsizetype end = first; end >= 0; end = text.indexOf(QLatin1Char(';'), start)) {
        const QStringView piece = QStringView(text).mid(start, end - start);
        start = end + 1;
        // Eight digits: two of the day, two of the month, four of the year.
        if (piece.size() < 8
            || !std::all_of(piece.begin(), piece.begin() + 8, [](QChar c) { return c.isDigit(); }))
            continue;
        bool dayOk = false;
        bool monthOk = false;
        bool yearOk = false;
        const QDate day(
            piece.mid(4, 4).toInt(&yearOk), piece.mid(2, 2).toInt(&monthOk), piece.mid(0, 2).toInt(&dayOk));
        if (dayOk && monthOk && yearOk && day.isValid())
            Select(days, day, true);
    }
    return days;
}

bool Select(QList<QDate> &days, const QDate &day, bool select)
{
    const auto at = std::lower_bound(days.begin(), days.end(), day);
    const bool present = at != days.end() && *at == day;
    if (select && !present && day.isValid()) {
        days.insert(at, day);
        return true;
    }
    if (!select && present) {
        days.erase(at);
        return true;
    }
    return false;
}

} // namespace TreatmentDays
