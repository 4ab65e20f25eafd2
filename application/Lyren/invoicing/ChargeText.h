#pragma once

// Text forms the finance lists share: cells start with a blank, money shows
// in the locale's currency form rounded to cents, dates without a time of day
// show as dates.

#include "common/Money.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>

namespace Charges {

QString MoneyCell(Verdanta::Money amount);
QString DateCell(const QDateTime &date);
QString TextCell(const QString &text);
// Parses money typed by a person in the locale; false when it is not a number.
bool ParseTypedMoney(const QString &text, Verdanta::Money *amount);

} // namespace Charges
