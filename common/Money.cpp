#include "common/Money.h"

#include <cmath>
#include <limits>

namespace Verdanta {

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

} // namespace Verdanta
