#pragma once

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QList>

#include <optional>

// Which monthly fee items a run adds, worked out from dates alone so that the
// same inputs always give the same answer.
//
// A fee period is charged once its date (one calendar month after the
// previous item, the day of the month kept where the month has it) has come,
// and only when at least 30 days have passed since the span began. Because
// every added item moves the start of the next run to its own date, running
// again at the same moment adds nothing: a period is never charged twice.
struct MonthlyFeeInput
{
    bool feeIsZero = true;
    // Date of the latest fee item of the patient, none when there is none.
    std::optional<QDate> lastItem;
    // When the fee amount last changed (MONTHLY_FEE_TS); invalid when unknown.
    QDateTime feeChanged;
    QDateTime now;
};

struct MonthlyFeePlan
{
    // Periods between the last item and the change of the fee: recorded at
    // 0.00, since the new amount was not yet agreed.
    QList<QDate> fillUp;
    // Periods charged at the current fee.
    QList<QDate> catchUp;
};

// More items than this in one run mean a wrong clock or a corrupt date: the
// run then adds this many (a century of fees) and no more.
inline constexpr int MaxFeeItemsPerRun = 1200;

MonthlyFeePlan PlanMonthlyFees(const MonthlyFeeInput &input);
