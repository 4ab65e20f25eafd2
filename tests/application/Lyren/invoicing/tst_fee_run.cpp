// The monthly fee run: which periods it charges, and that it never charges a
// period twice (the same patient opened again, a second program on the same
// database, a failure in the middle of the run).
#include "InvoicingTestUtil.h"

#include "invoicing/MonthlyFeePlan.h"

using namespace InvoicingTest;

namespace {

const QDateTime kNow(QDate(2026, 5, 15), QTime(10, 30));

MonthlyFeeInput Input(std::optional<QDate> last, const QDateTime &changed, const QDateTime &now = kNow)
{
    MonthlyFeeInput input;
    input.feeIsZero = false;
    input.lastItem = last;
    input.feeChanged = changed;
    input.now = now;
    return input;
}

// Runs the plan again from its own last date, as the next run would.
MonthlyFeePlan RunAgain(const MonthlyFeeInput &first, const MonthlyFeePlan &plan)
{
    MonthlyFeeInput next = first;
    if (!plan.catchUp.isEmpty())
        next.lastItem = plan.catchUp.constLast();
    else if (!plan.fillUp.isEmpty())
        next.lastItem = plan.fillUp.constLast();
    return PlanMonthlyFees(next);
}

} // namespace

TEST(MonthlyFeePlan, CountsWholePeriodsOfTheSpan)
{
    const QDateTime longAgo(QDate(2020, 1, 1), QTime(9, 0));
    // 65 days give two items, 29 none.
    EXPECT_EQ(PlanMonthlyFees(Input(kNow.date().addDays(-65), longAgo)).catchUp.size(), 2);
    EXPECT_TRUE(PlanMonthlyFees(Input(kNow.date().addDays(-29), longAgo)).catchUp.isEmpty());

    // A fee set long ago, the last item 61 days before today: two items,
    // one and two calendar months after it.
    const QDate last = kNow.date().addDays(-61);
    const MonthlyFeePlan plan = PlanMonthlyFees(Input(last, longAgo));
    EXPECT_TRUE(plan.fillUp.isEmpty());
    EXPECT_EQ(plan.catchUp, (QList<QDate> { last.addMonths(1), last.addMonths(2) }));

    // The fee changed 10 days after the last item, 70 days ago: no fill-up
    // (10 / 30 = 0), two items of the new fee.
    const QDate before = kNow.date().addDays(-70);
    const MonthlyFeePlan changed
        = PlanMonthlyFees(Input(before, QDateTime(before.addDays(10), QTime(12, 0))));
    EXPECT_TRUE(changed.fillUp.isEmpty());
    EXPECT_EQ(changed.catchUp.size(), 2);
}

TEST(MonthlyFeePlan, FillsThePeriodsBeforeAChangeAndChargesAfterIt)
{
    const QDate last(2025, 11, 15);
    const QDateTime changed(QDate(2026, 2, 20), QTime(8, 0));
    const MonthlyFeePlan plan = PlanMonthlyFees(Input(last, changed));
    EXPECT_EQ(plan.fillUp, (QList<QDate> { QDate(2025, 12, 15), QDate(2026, 1, 15), QDate(2026, 2, 15) }));
    // Counted from the change (84 days), dated on after the filled periods.
    EXPECT_EQ(plan.catchUp, (QList<QDate> { QDate(2026, 3, 15), QDate(2026, 4, 15), QDate(2026, 5, 15) }));
}

TEST(MonthlyFeePlan, ZeroFeeMissingDatesAndWrongClocksChargeNothingOrABoundedAmount)
{
    MonthlyFeeInput zero = Input(QDate(2020, 1, 1), QDateTime(QDate(2019, 1, 1), QTime()));
    zero.feeIsZero = true;
    const MonthlyFeePlan none = PlanMonthlyFees(zero);
    EXPECT_TRUE(none.fillUp.isEmpty() && none.catchUp.isEmpty());
    // No item and no date of the fee: nothing to count from.
    EXPECT_TRUE(PlanMonthlyFees(Input(std::nullopt, QDateTime())).catchUp.isEmpty());
    // No item yet: the fee is due from the day it was set.
    EXPECT_EQ(PlanMonthlyFees(Input(std::nullopt, QDateTime(QDate(2026, 3, 1), QTime(9, 0)))).catchUp,
        (QList<QDate> { QDate(2026, 4, 1), QDate(2026, 5, 1) }));
    // A change dated in the future charges nothing ahead of time.
    const MonthlyFeePlan future
        = PlanMonthlyFees(Input(QDate(2026, 5, 1), QDateTime(QDate(2027, 1, 1), QTime())));
    EXPECT_TRUE(future.catchUp.isEmpty() && future.fillUp.isEmpty());
    // A last item dated in year 1 cannot flood the database.
    const MonthlyFeePlan flood = PlanMonthlyFees(Input(QDate(1, 1, 1), QDateTime()));
    EXPECT_EQ(flood.catchUp.size(), MaxFeeItemsPerRun);
}

TEST(MonthlyFeePlan, RunningAgainAtTheSameMomentAddsNothing)
{
    // Every last date of two years against every "now" of a month, with and
    // without a change between them.
    for (int offset = 0; offset < 730; offset += 3) {
        const QDate last = QDate(2024, 1, 1).addDays(offset);
        for (const int daysAgo : { 0, 12, 45 }) {
            const MonthlyFeeInput input = Input(last, QDateTime(last.addDays(daysAgo), QTime(9, 0)),
                QDateTime(QDate(2026, 1, 31), QTime(23, 0)));
            const MonthlyFeePlan plan = PlanMonthlyFees(input);
            const MonthlyFeePlan again = RunAgain(input, plan);
            EXPECT_TRUE(again.catchUp.isEmpty() && again.fillUp.isEmpty())
                << last.toString(Qt::ISODate).toStdString() << " +" << daysAgo;
        }
    }
}

// On both engines.
class FeeRun : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override { VERDANTA_SKIP_WITHOUT_SERVER(GetParam()); }
    Practice practice { GetParam() };
};

TEST_P(FeeRun, ChargesTheFeeWithTheOfficeTaxesOnceWhateverTheNumberOfOpenings)
{
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(practice.Open());
    practice.SetFee(QStringLiteral("50"), QDateTime(today.addYears(-1), QTime(9, 0)));
    practice.AddCharge(true, false, false, today.addMonths(-2), QStringLiteral("50"));
    ASSERT_EQ(practice.Reload(), 1);

    CLogicInvoicing &fees = practice.Finance().MonthlyFees();
    ASSERT_EQ(fees.Items().size(), 3u);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(fees.Items()[i].amount, Cents(5000));
        EXPECT_EQ(fees.Items()[i].tax1, Cents(250));
        EXPECT_EQ(fees.Items()[i].tax2, Cents(375));
        EXPECT_TRUE(fees.Items()[i].active);
    }
    EXPECT_EQ(fees.Sums().unpaid, Cents(2 * 5625));
    EXPECT_EQ(fees.Sums().paid, Cents(5000));

    // Opening the patient again, and again.
    ASSERT_EQ(practice.Reload(), 1);
    ASSERT_EQ(practice.Reload(), 1);
    EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 3);

    // A second program on the same database.
    ReleasePtr<Korbel::IDataSource> other = OpenSource(practice.DatabasePath());
    LogicContext otherContext(*practice.hub->GetLogicFolders());
    otherContext.SetData(other.get(), nullptr, nullptr, QStringLiteral("MEDIA"));
    CLogicInvoicing otherFees(otherContext, ChargeKind::MonthlyFees);
    EXPECT_EQ(otherFees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 0);
    EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 3);
}

TEST_P(FeeRun, TwoProgramsRunningTogetherChargeOnce)
{
    ASSERT_TRUE(practice.Open());
    const QDate today = QDate::currentDate();
    practice.SetFee(QStringLiteral("40"), QDateTime(today.addYears(-1), QTime(9, 0)));
    practice.AddCharge(true, false, true, today.addMonths(-3), QStringLiteral("40"));

    // The second program holds a transaction open in which it has read the
    // patient's fees.
    ReleasePtr<Korbel::IDataSource> other = OpenSource(practice.DatabasePath());
    ASSERT_TRUE(other->BeginTransaction());
    EXPECT_EQ(Practice::FeeDates(other.get(), practice.patient).size(), 1);
    CLogicInvoicing &fees = practice.Finance().MonthlyFees();
    LogicContext otherContext(*practice.hub->GetLogicFolders());
    otherContext.SetData(other.get(), nullptr, nullptr, QStringLiteral("MEDIA"));
    CLogicInvoicing otherFees(otherContext, ChargeKind::MonthlyFees);

    if (GetParam() == Korbel::Engine::PostgreSQL) {
        // On a server a transaction that only read holds no lock: the first
        // run charges the periods, and the second program's run, taking its
        // turn on the patient, reads them afresh and charges nothing.
        EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 3);
        EXPECT_EQ(otherFees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 0);
    } else {
        // SQLite's write transactions take the write lock at their start: the
        // first run waits for the second program and, not let in, gives up
        // without writing anything; the second program's run charges the
        // periods.
        EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), -1);
        EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 1);
        EXPECT_EQ(otherFees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 3);
    }
    ASSERT_EQ(other->CommitTransaction(), 1);
    EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 0);
    EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 4);
}

TEST_P(FeeRun, AFailureInTheMiddleLeavesNoItemAndTheNextRunChargesEveryPeriodOnce)
{
    ASSERT_TRUE(practice.Open());
    const QDate today = QDate::currentDate();
    practice.SetFee(QStringLiteral("30"), QDateTime(today.addYears(-1), QTime(9, 0)));
    practice.AddCharge(true, false, true, today.addMonths(-4), QStringLiteral("30"));

    // The database refuses the third item of the run, as a full disk would.
    QString error;
    ASSERT_TRUE(TestSupport::AddRefusingTrigger(practice.DatabasePath(), QStringLiteral("refuse_third"),
        QStringLiteral("INVOICING"), QStringLiteral("INSERT"),
        QStringLiteral("(SELECT COUNT(*) FROM INVOICING WHERE FEE = 1) >= 3"), QStringLiteral("disk full"),
        &error))
        << error.toStdString();
    CLogicInvoicing &fees = practice.Finance().MonthlyFees();
    EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), -1);
    EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 1);

    ASSERT_TRUE(TestSupport::DropRefusingTrigger(
        practice.DatabasePath(), QStringLiteral("refuse_third"), QStringLiteral("INVOICING")));
    EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 4);
    EXPECT_EQ(fees.RunMonthlyFee(practice.patient, QDateTime::currentDateTime()), 0);
    const QList<QDate> dates = Practice::FeeDates(practice.Source(), practice.patient);
    ASSERT_EQ(dates.size(), 5);
    EXPECT_EQ(dates.last(), today.addMonths(-4).addMonths(4));
}

TEST_P(FeeRun, AZeroOrEmptyFeeChargesNothing)
{
    ASSERT_TRUE(practice.Open());
    const QDate today = QDate::currentDate();
    practice.AddCharge(true, false, true, today.addYears(-2), QStringLiteral("10"));
    for (const QString &fee : { QStringLiteral("0"), QString() }) {
        practice.SetFee(fee, QDateTime(today.addYears(-3), QTime(9, 0)));
        EXPECT_EQ(
            practice.Finance().MonthlyFees().RunMonthlyFee(practice.patient, QDateTime::currentDateTime()),
            0);
    }
    EXPECT_EQ(Practice::FeeDates(practice.Source(), practice.patient).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, FeeRun, TestSupport::BothEngines(), TestSupport::EngineName);
