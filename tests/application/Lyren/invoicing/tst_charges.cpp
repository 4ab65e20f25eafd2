// Due payments, payments and balances over a real database: taxes rounded
// once, sums exact to the cent, paid and unpaid, prescriptions counted.
#include "InvoicingTestUtil.h"

using namespace InvoicingTest;

namespace {

class DueCharges : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
        ASSERT_TRUE(practice.Open());
    }
    CLogicInvoicing &Due() { return practice.Finance().DuePayments(); }
    CLogicPayments &Payments() { return practice.Finance().Payments(); }
    void AddDue(const QString &amount)
    {
        ASSERT_TRUE(
            Due().Store(0, { amount, QDateTime(QDate(2026, 3, 2), QTime(10, 0)), QStringLiteral("Visit") }));
    }
    void AddPayment(const QString &amount)
    {
        ASSERT_TRUE(
            Payments().Store(0, { amount, QDateTime::currentDateTime(), QStringLiteral("Cash"), QString() }));
    }

    Practice practice { GetParam() };
};

} // namespace

TEST_P(DueCharges, ADuePaymentCarriesTheOfficeTaxesAndItsStatusMovesItsTotal)
{
    AddDue(QStringLiteral("100"));
    ASSERT_EQ(Due().Items().size(), 1u);
    const ChargeItem &item = Due().Items().front();
    EXPECT_EQ(item.tax1, Cents(500));
    EXPECT_EQ(item.tax2, Cents(750));
    EXPECT_EQ(Due().Sums().unpaid, Cents(11250));
    EXPECT_EQ(Due().Sums().paid, Money());
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Due().Sums().unpaid), Verdanta::FormatMoneyForDisplay(112.5));

    // "paid" moves the row's whole total; any other text changes nothing.
    EXPECT_FALSE(Due().SetStatus(item.id, QStringLiteral("settled")));
    EXPECT_TRUE(Due().SetStatus(item.id, QStringLiteral("paid")));
    EXPECT_EQ(Due().Sums().paid, Cents(11250));
    EXPECT_EQ(Due().Sums().unpaid, Money());
    EXPECT_EQ(Due().Sums().total, Cents(11250));

    // Read again from the database, the same.
    ASSERT_EQ(practice.Reload(), 1);
    EXPECT_EQ(Due().Sums().paid, Cents(11250));
    EXPECT_FALSE(Due().Items().front().active);
}

TEST_P(DueCharges, TaxesAreRoundedOnceAndSumsStayExact)
{
    // 0.10 with 5 % and 7.5 % is 0.1125 exactly: no tax is rounded to cents
    // first, and two hundred of them sum to 22.50 exactly.
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(
            Due().Store(0, { QStringLiteral("0.10"), QDateTime(QDate(2026, 1, 1), QTime(8, 0)), QString() }));
    EXPECT_EQ(Due().Items().front().tax2, Money::FromUnits(75));
    EXPECT_EQ(Due().Sums().total, Cents(2250));
    // A typed amount that is not a number stores nothing.
    EXPECT_FALSE(Due().Store(0, { QStringLiteral("ten"), QDateTime::currentDateTime(), QString() }));
    EXPECT_EQ(Due().Items().size(), 200u);
}

TEST_P(DueCharges, BalancesOfPaymentsAgainstPaidAndUnpaidCharges)
{
    // Payments 100, due payments 30 paid and 50 unpaid, with no taxes.
    auto office = OpenTable(practice.Source(), QStringLiteral("OFFICE_DATA"));
    ASSERT_EQ(office->Move(Korbel::MoveFirst), 1);
    ASSERT_EQ(office->Edit(), 1);
    Set(office.get(), QStringLiteral("TAX1"), QStringLiteral("0"));
    Set(office.get(), QStringLiteral("TAX2"), QStringLiteral("0"));
    ASSERT_TRUE(office->Update());
    AddDue(QStringLiteral("30"));
    AddDue(QStringLiteral("50"));
    ASSERT_TRUE(Due().SetStatus(Due().Items().front().id, QStringLiteral("paid")));
    AddPayment(QStringLiteral("100"));
    EXPECT_EQ(Payments().Current().availableFunds, Cents(7000));
    EXPECT_EQ(Payments().Current().totalBalance, Cents(2000));
    EXPECT_EQ(Verdanta::FormatMoneyForDisplay(Payments().Current().availableFunds),
        Verdanta::FormatMoneyForDisplay(70.0));

    // Without the payment and with 40 due: 0.00 and -40.00.
    ASSERT_TRUE(Payments().Delete(Payments().Items().front().id));
    ASSERT_TRUE(Due().Delete(Due().Items().front().id));
    ASSERT_TRUE(Due().Delete(Due().Items().front().id));
    AddDue(QStringLiteral("40"));
    EXPECT_EQ(Payments().Current().availableFunds, Money());
    EXPECT_EQ(Payments().Current().totalBalance, -Cents(4000));
    const QString shown = Verdanta::FormatMoneyForDisplay(Payments().Current().totalBalance);
    EXPECT_EQ(shown, QLocale().toCurrencyString(-40.0));
    EXPECT_NE(shown, Verdanta::FormatMoneyForDisplay(Cents(4000)));
}

TEST_P(DueCharges, PrescriptionChargesCountInTheBalancesAndTheirChangesRecomputeThem)
{
    ChargeRowSums prescriptions(practice.Source(), practice.patient);
    practice.hub->Services().Provide<IPrescriptionSums>(&prescriptions);
    ASSERT_EQ(practice.Reload(), 1);
    ASSERT_TRUE(prescriptions.changed);

    AddPayment(QStringLiteral("25"));
    const qint64 charge = practice.AddCharge(false, true, false, QDate(2026, 2, 1), QStringLiteral("12.34"));
    practice.AddCharge(false, true, true, QDate(2026, 2, 2), QStringLiteral("0.66"));
    prescriptions.changed();
    EXPECT_EQ(Payments().Current().availableFunds, Cents(2500 - 1234));
    EXPECT_EQ(Payments().Current().totalBalance, Cents(2500 - 1300));
    // Prescription charges are neither due payments nor fees.
    EXPECT_TRUE(Due().Items().empty());
    EXPECT_TRUE(practice.Finance().MonthlyFees().Items().empty());
    Q_UNUSED(charge);

    practice.hub->Services().Withdraw<IPrescriptionSums>(&prescriptions);
    EXPECT_EQ(Payments().Recompute().totalBalance, Cents(2500));
}

INSTANTIATE_TEST_SUITE_P(Engines, DueCharges, TestSupport::BothEngines(), TestSupport::EngineName);
