#include "common/Money.h"

#include <cmath>
#include <limits>

namespace Verdanta {

namespace {
// The products of a rate and an amount need more than 64 bits.
__extension__ typedef __int128 Wide;
} // namespace

qint64 MoneyToUnits(double amount)
{
    if (!std::isfinite(amount))
        return 0;
    const double scaled = std::round(amount * 10000.0);
    constexpr double limit = 9.2e18;
    if (scaled >= limit)
        return std::numeric_limits<qint64>::max();
    if (scaled <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(scaled);
}

double MoneyFromUnits(qint64 units)
{
    return static_cast<double>(units) / 10000.0;
}

QString MoneyToStorageText(double amount, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(MoneyFromUnits(MoneyToUnits(amount)), 'f', 4);
}

bool TryParseMoney(QStringView text, double *amount, const QLocale &locale)
{
    QString t = text.toString().trimmed();
    // Accept the locale's currency symbol around the number.
    const QString symbol = locale.currencySymbol();
    if (!symbol.isEmpty())
        t.remove(symbol);
    t = t.trimmed();
    bool negative = false;
    // Accounting form "(12.00)".
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    bool ok = false;
    double value = locale.toDouble(t, &ok);
    if (!ok) {
        // Numbers typed the C way ("12.5") are common whatever the locale.
        value = QLocale::c().toDouble(t, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        if (amount)
            *amount = 0.0;
        return false;
    }
    if (amount)
        *amount = negative ? -value : value;
    return true;
}

double MoneyFromStorageText(QStringView text, const QLocale &locale)
{
    double value = 0.0;
    TryParseMoney(text, &value, locale);
    return value;
}

QString FormatMoneyForDisplay(double amount, const QLocale &locale)
{
    const double rounded = std::round(amount * 100.0) / 100.0;
    // Avoid "-$0.00" for amounts that round to zero.
    const double value = rounded == 0.0 ? 0.0 : rounded;
    return locale.toCurrencyString(value, locale.currencySymbol(), 2);
}

Money Money::Percent(double ratePercent) const
{
    if (!std::isfinite(ratePercent))
        return Money();
    // The rate in ten-thousandths of a percent: the product is then over
    // 10^6 and the division rounds half away from zero, once.
    const auto rate = static_cast<Wide>(std::llround(ratePercent * 10000.0));
    const Wide product = static_cast<Wide>(m_units) * rate;
    constexpr Wide divisor = 1000000;
    const Wide half = divisor / 2;
    const Wide rounded = product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
    return Money(static_cast<qint64>(rounded));
}

QString FormatMoneyForDisplay(Money amount, const QLocale &locale)
{
    // Cents rounded half away from zero from the exact units.
    const qint64 units = amount.Units();
    const qint64 cents = units >= 0 ? (units + 50) / 100 : -((-units + 50) / 100);
    return locale.toCurrencyString(static_cast<double>(cents) / 100.0, locale.currencySymbol(), 2);
}

} // namespace Verdanta
