#pragma once

#include "verdantacommon_export.h"

#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringView>

#include <compare>

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

// An exact amount of money: whole ten-thousandths of the unit, as the database
// keeps it. Sums of Money are exact whatever their number; a Money is rounded
// only where it is made from a double or a rate is applied, and to cents only
// when it is shown.
class Money
{
public:
    constexpr Money() = default;
    static constexpr Money FromUnits(qint64 units) { return Money(units); }
    // Rounded half away from zero to a ten-thousandth.
    static Money FromDouble(double amount) { return Money(MoneyToUnits(amount)); }
    // Parsed as the storage text; text that does not parse is zero.
    static Money FromText(QStringView text, const QLocale &locale = QLocale())
    {
        return FromDouble(MoneyFromStorageText(text, locale));
    }

    constexpr qint64 Units() const { return m_units; }
    double ToDouble() const { return MoneyFromUnits(m_units); }
    QString ToStorageText(const QLocale &locale = QLocale()) const
    {
        return MoneyToStorageText(ToDouble(), locale);
    }
    constexpr bool IsZero() const { return m_units == 0; }

    // amount x ratePercent / 100, the rate taken to four decimals and the
    // result rounded once, half away from zero, to a ten-thousandth.
    VERDANTACOMMON_EXPORT Money Percent(double ratePercent) const;
    // amount x quantity, exact.
    constexpr Money Times(qint64 quantity) const { return Money(m_units * quantity); }

    constexpr Money &operator+=(Money other)
    {
        m_units += other.m_units;
        return *this;
    }
    constexpr Money &operator-=(Money other)
    {
        m_units -= other.m_units;
        return *this;
    }
    friend constexpr Money operator+(Money a, Money b) { return a += b; }
    friend constexpr Money operator-(Money a, Money b) { return a -= b; }
    friend constexpr Money operator-(Money a) { return Money(-a.m_units); }
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    constexpr explicit Money(qint64 units)
        : m_units(units)
    { }
    qint64 m_units = 0;
};

// Display form of an exact amount: rounded half away from zero to cents, in
// the locale's currency format.
VERDANTACOMMON_EXPORT QString FormatMoneyForDisplay(Money amount, const QLocale &locale = QLocale());

} // namespace Verdanta
