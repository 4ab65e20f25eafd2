#include "invoicing/ChargeText.h"

#include "finance/ReferenceList.h"

#include "common/LocaleDates.h"

namespace Charges {

QString MoneyCell(Verdanta::Money amount)
{
    return QLatin1Char(' ') + Verdanta::FormatMoneyForDisplay(amount);
}

QString DateCell(const QDateTime &date)
{
    if (!date.isValid())
        return QStringLiteral(" ");
    if (date.time() == QTime(0, 0))
        return QLatin1Char(' ') + Verdanta::FormatLocaleDate(date.date());
    return QLatin1Char(' ') + Verdanta::FormatLocaleDateTime(date);
}

QString TextCell(const QString &text)
{
    return QLatin1Char(' ') + text;
}

bool ParseTypedMoney(const QString &text, Verdanta::Money *amount)
{
    double value = 0.0;
    if (!Verdanta::TryParseMoney(text.trimmed(), &value) || !std::isfinite(value))
        return false;
    // Beyond this an amount no longer fits the stored ten-thousandths.
    if (std::abs(value) > 1e13)
        return false;
    *amount = Verdanta::Money::FromDouble(value);
    return true;
}

Korbel::IXListCtrl *TakeList(Korbel::IXListCtrl *current, Korbel::IXListCtrl *wanted,
    Korbel::IXListCtrlCallback *callback, const QStringList &headings)
{
    if (wanted == current)
        return current;
    if (current)
        current->SetCallback(nullptr);
    if (wanted) {
        wanted->SetCallback(callback);
        if (wanted->GetColumnCount() == 0)
            Finance::InsertColumns(wanted, headings);
    }
    return wanted;
}

} // namespace Charges
