#include "invoicing/MonthlyFeePlan.h"

namespace {

// The dates base + 1 month, base + 2 months, ... up to and including bound,
// each counted from base so that a 31st stays the 31st where a month has one.
// None when fewer than 30 days lie between spanStart and bound.
QList<QDate> MonthSteps(const QDate &base, const QDate &spanStart, const QDate &bound, int limit)
{
    QList<QDate> dates;
    if (!base.isValid() || !bound.isValid() || spanStart.daysTo(bound) < 30)
        return dates;
    for (int k = 1; k <= limit; ++k) {
        const QDate date = base.addMonths(k);
        if (!date.isValid() || date > bound)
            break;
        dates.append(date);
    }
    return dates;
}

} // namespace

MonthlyFeePlan PlanMonthlyFees(const MonthlyFeeInput &input)
{
    MonthlyFeePlan plan;
    const QDate today = input.now.date();
    if (input.feeIsZero || !today.isValid())
        return plan;
    const QDate changed = input.feeChanged.isValid() ? input.feeChanged.date() : QDate();
    // Without an item the fee has been due since it was set; without either
    // date nothing can be counted.
    const QDate last = input.lastItem ? *input.lastItem : changed;
    if (!last.isValid())
        return plan;

    // A change after the last item: the periods before it are filled with
    // items of 0.00. A change dated in the future (a wrong clock) counts as today.
    const QDate changeBound = changed.isValid() ? std::min(changed, today) : QDate();
    const bool changedAfterLast = changeBound.isValid() && changeBound > last;
    if (changedAfterLast)
        plan.fillUp = MonthSteps(last, last, changeBound, MaxFeeItemsPerRun);

    // The fee itself: counted from the change when it came after the last
    // item, otherwise from the last item; dated on from the last item written.
    const QDate spanStart = changedAfterLast ? changeBound : last;
    const QDate base = plan.fillUp.isEmpty() ? last : plan.fillUp.constLast();
    plan.catchUp = MonthSteps(base, spanStart, today, MaxFeeItemsPerRun - int(plan.fillUp.size()));
    return plan;
}
