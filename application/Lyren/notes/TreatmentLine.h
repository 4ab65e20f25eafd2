#pragma once

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>

// A remedy in a dilution, as prescriptions and treatment lines hold it: the
// two identifiers (decimal text) and the names shown to the user.
struct RemedyRef
{
    QString medicineId;
    QString medicineName;
    QString dilutionId;
    QString dilutionName;

    // "%s_%s" of the two identifiers: two treatment lines with equal keys and
    // equal line indexes are the same line.
    QString Key() const { return medicineId + QLatin1Char('_') + dilutionId; }
    friend bool operator==(const RemedyRef &, const RemedyRef &) = default;
};

namespace TreatmentDays {

// The stored form of a treatment line's days (SEQUENCE): each day as
// "%d%m%Y" followed by ";", in ascending order without duplicates.
QString Format(const QList<QDate> &days);
// The days of the stored form. A piece counts only when a ";" ends it, and
// nothing is read when the text does not start with a piece; pieces that are
// not dates are left out. The result is ascending and without duplicates.
QList<QDate> Parse(const QString &text);
// Inserts a day in order (nothing when it is there) or removes it.
bool Select(QList<QDate> &days, const QDate &day, bool select);

} // namespace TreatmentDays
