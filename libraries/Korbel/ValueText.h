#pragma once

// Conversions between the three forms of a field's value:
//  - storage: what the database holds (qint64 for keys, integers, yes/no and
//    money in ten-thousandths; double for rates; ISO text for dates; QString;
//    QByteArray), a null QVariant for NULL;
//  - text: the program's text forms (decimal identifiers, locale money with
//    four decimals, locale dates, "1"/"0");
//  - value: typed values for code (qint64, double, QDate, QDateTime, bool, ...).

#include "Korbel/Schema.h"

#include <QtCore/QString>
#include <QtCore/QVariant>

namespace Korbel {

// Text form of a stored value; NULL reads as "" ("0" for yes/no).
KORBEL_EXPORT QString TextFromStorage(ColumnKind kind, const QVariant &stored);
// Stored value of a text; false when the text cannot be read as the kind
// (only dates can fail: numbers read like atoi/atof, unreadable money is 0).
KORBEL_EXPORT bool StorageFromText(ColumnKind kind, const QString &text, QVariant *stored);

KORBEL_EXPORT QVariant ValueFromStorage(ColumnKind kind, const QVariant &stored);
KORBEL_EXPORT bool StorageFromValue(ColumnKind kind, const QVariant &value, QVariant *stored);

// The kind of a column that the schema does not know, from its declared type.
ColumnKind KindFromDeclaredType(const QString &declaredType);

} // namespace Korbel
