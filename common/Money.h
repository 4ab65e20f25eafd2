#pragma once

#include "verdantacommon_export.h"

#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringView>

namespace Verdanta {

// Money is held as a double. The database keeps it exactly, as whole
// ten-thousandths of the unit; the text form that the program reads and
// writes is the user's locale number with four decimals.

// Ten-thousandths of a unit, rounded half away from zero.
VERDANTACOMMON_EXPORT qint64 MoneyToUnits(double amount);
VERDANTACOMMON_EXPORT double MoneyFromUnits(qint64 units);

// Locale text with four decimals and no digit grouping, e.g. "1234.5000".
VERDANTACOMMON_EXPORT QString MoneyToStorageText(double amount, const QLocale &locale = QLocale());

// Parses money text in the locale (grouping and a currency symbol allowed);
// text that does not parse is 0.0, as the platform's currency type reads it.
VERDANTACOMMON_EXPORT double MoneyFromStorageText(QStringView text, const QLocale &locale = QLocale());

// Like MoneyFromStorageText, and tells whether the text was a number.
VERDANTACOMMON_EXPORT bool TryParseMoney(QStringView text, double *amount, const QLocale &locale = QLocale());

// Display form: rounded to two decimals ("%.2f"), then the locale currency
// format, negative amounts in the locale's negative form.
VERDANTACOMMON_EXPORT QString FormatMoneyForDisplay(double amount, const QLocale &locale = QLocale());

// A tax on an amount: amount x rate x 0.01, without rounding of its own.
inline double TaxOf(double amount, double ratePercent)
{
    return amount * ratePercent * 0.01;
}

} // namespace Verdanta
