#pragma once

// Text forms the finance lists share: cells start with a blank, money shows
// in the locale's currency form rounded to cents, dates without a time of day
// show as dates.

#include "Korbel/XListCtrl/IXListCtrl.h"
#include "common/Money.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace Charges {

QString MoneyCell(Verdanta::Money amount);
QString DateCell(const QDateTime &date);
QString TextCell(const QString &text);
// Parses money typed by a person in the locale; false when it is not a number.
bool ParseTypedMoney(const QString &text, Verdanta::Money *amount);

// Makes the page's list (none when there is no page) the one a logic object
// works with: the previous one lets go of the callback, the new one takes it
// and gets its columns when it has none. Returns the list now in use.
Korbel::IXListCtrl *TakeList(Korbel::IXListCtrl *current, Korbel::IXListCtrl *wanted,
    Korbel::IXListCtrlCallback *callback, const QStringList &headings);

} // namespace Charges
