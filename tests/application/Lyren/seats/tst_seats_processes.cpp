// Two seat programs on one practice at the same moment: a conflict is found
// and nothing is lost, the monthly fees are charged once, stock counts add up.
#include "SeatsTestUtil.h"

#include "invoicing/MonthlyFeePlan.h"

#include "Korbel/SharedAccess.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

using SeatsTest::SharedPractice;

namespace {

class TwoSeats : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
        practiceHolder = std::make_unique<SharedPractice>(GetParam());
    }

    // Starts a seat and waits until it is ready to be let go.
    QProcess *Start(const QStringList &arguments)
    {
        auto *seat = new QProcess;
        seats.emplace_back(seat);
        seat->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        seat->start(QStringLiteral(VERDANTA_SEAT),
            QStringList { practice().Root(), practice().SeatDatabaseArgument() } + arguments
                + QStringList { GoFile() });
        EXPECT_TRUE(seat->waitForStarted(10000));
        while (seat->state() == QProcess::Running && !seat->canReadLine())
            seat->waitForReadyRead(100);
        EXPECT_EQ(seat->readLine().trimmed(), QByteArray("ready"));
        return seat;
    }
    QString GoFile() const { return practice().Root() + QStringLiteral("go"); }
    void Go() const
    {
        QFile go(GoFile());
        ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    }
    // The seat's exit code and what it printed after "ready".
    int Finish(QProcess *seat, QString *output = nullptr)
    {
        EXPECT_TRUE(seat->waitForFinished(120000));
        if (output)
            *output = QString::fromUtf8(seat->readAllStandardOutput());
        return seat->exitStatus() == QProcess::NormalExit ? seat->exitCode() : -1;
    }

    SharedPractice &practice() const { return *practiceHolder; }
    std::unique_ptr<SharedPractice> practiceHolder;
    std::vector<std::unique_ptr<QProcess>> seats;
};

TEST_P(TwoSeats, SavingOnePatientAtOnceStoresOneAndKeepsTheOtherInAConflictCopy)
{
    const qint64 patient = practice().Add(QStringLiteral("MAIN"),
        { { QStringLiteral("FIRST_NAME"), QStringLiteral("Ada") },
            { QStringLiteral("LAST_NAME"), QStringLiteral("Lind") } });
    const QString id = QString::number(patient);
    QProcess *a
        = Start({ QStringLiteral("edit"), id, QStringLiteral("OCCUPATION"), QStringLiteral("Baker") });
    QProcess *b
        = Start({ QStringLiteral("edit"), id, QStringLiteral("OCCUPATION"), QStringLiteral("Tailor") });
    Go();
    QString outA;
    QString outB;
    const int codeA = Finish(a, &outA);
    const int codeB = Finish(b, &outB);
    // One seat saved, the other was told; which one is up to the race.
    ASSERT_TRUE((codeA == 0 && codeB == 10) || (codeA == 10 && codeB == 0))
        << codeA << " " << outA.toStdString() << " / " << codeB << " " << outB.toStdString();
    const QString saved = codeA == 0 ? QStringLiteral("Baker") : QStringLiteral("Tailor");
    const QString refused = codeA == 0 ? QStringLiteral("Tailor") : QStringLiteral("Baker");
    EXPECT_EQ(
        practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("OCCUPATION")).toString(), saved);
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, Korbel::RowVersionField()).toLongLong(), 1);
    EXPECT_TRUE((codeA == 10 ? outA : outB).contains(QStringLiteral("Another computer saved changes")));

    const QDir folder(practice().Root() + QStringLiteral("UserData/") + id);
    const QStringList copies = folder.entryList({ QStringLiteral("Conflict copy *.txt") }, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    QFile copy(folder.filePath(copies.first()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(copy.readAll()).contains(QStringLiteral("OCCUPATION: ") + refused));
}

TEST_P(TwoSeats, MonthlyFeesRunByTwoSeatsAtOnceAreChargedOnce)
{
    const QDateTime since = QDateTime::currentDateTime().addDays(-400);
    const qint64 patient = practice().Add(QStringLiteral("MAIN"),
        { { QStringLiteral("FIRST_NAME"), QStringLiteral("Fee") }, { QStringLiteral("MONTHLY_FEE"), 25.0 },
            { QStringLiteral("MONTHLY_FEE_TS"), since } });
    ASSERT_GT(patient, 0);
    MonthlyFeeInput input;
    input.feeIsZero = false;
    input.feeChanged = since;
    input.now = QDateTime::currentDateTime();
    const MonthlyFeePlan plan = PlanMonthlyFees(input);
    const int due = int(plan.fillUp.size() + plan.catchUp.size());
    ASSERT_GE(due, 12);

    const QString id = QString::number(patient);
    QProcess *a = Start({ QStringLiteral("fees"), id });
    QProcess *b = Start({ QStringLiteral("fees"), id });
    Go();
    EXPECT_EQ(Finish(a), 0);
    EXPECT_EQ(Finish(b), 0);
    EXPECT_EQ(practice().Count(QStringLiteral("INVOICING"), QStringLiteral("PATIENT_ID"), id), due);
}

TEST_P(TwoSeats, StockMovedByTwoSeatsAtOnceAddsUp)
{
    const qint64 remedy = practice().Add(
        QStringLiteral("MEDICINES"), { { QStringLiteral("NAME"), QStringLiteral("Arnica") } });
    const qint64 dilution
        = practice().Add(QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), QStringLiteral("C30") } });
    const qint64 row = practice().Add(QStringLiteral("STOCKS"),
        { { QStringLiteral("MEDICINE_ID"), remedy }, { QStringLiteral("DILUTION_ID"), dilution },
            { QStringLiteral("STOCK"), 1000 }, { QStringLiteral("PREDICTED"), 0 } });
    constexpr int Times = 150;
    const QStringList arguments { QStringLiteral("stock"), QString::number(remedy), QString::number(dilution),
        QString::number(Times) };
    QProcess *a = Start(arguments);
    QProcess *b = Start(arguments);
    Go();
    QString outA;
    QString outB;
    EXPECT_EQ(Finish(a, &outA), 0) << outA.toStdString();
    EXPECT_EQ(Finish(b, &outB), 0) << outB.toStdString();
    EXPECT_EQ(practice().Value(QStringLiteral("STOCKS"), row, QStringLiteral("STOCK")).toLongLong(),
        1000 - 2 * Times);
    EXPECT_EQ(
        practice().Value(QStringLiteral("STOCKS"), row, QStringLiteral("PREDICTED")).toLongLong(), 2 * Times);
    EXPECT_EQ(
        practice().Count(QStringLiteral("STOCKS"), QStringLiteral("MEDICINE_ID"), QString::number(remedy)),
        1);
}

TEST_P(TwoSeats, AStockRowMadeByTwoSeatsAtOnceIsMadeOnce)
{
    const qint64 remedy = practice().Add(
        QStringLiteral("MEDICINES"), { { QStringLiteral("NAME"), QStringLiteral("Bryonia") } });
    const qint64 dilution
        = practice().Add(QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), QStringLiteral("C6") } });
    // The first movement of each seat makes the row when there is none.
    const QStringList arguments { QStringLiteral("stock"), QString::number(remedy), QString::number(dilution),
        QStringLiteral("1") };
    QProcess *a = Start(arguments);
    QProcess *b = Start(arguments);
    Go();
    EXPECT_EQ(Finish(a), 0);
    EXPECT_EQ(Finish(b), 0);
    ASSERT_EQ(
        practice().Count(QStringLiteral("STOCKS"), QStringLiteral("MEDICINE_ID"), QString::number(remedy)),
        1);
}

INSTANTIATE_TEST_SUITE_P(Engines, TwoSeats, TestSupport::BothEngines(), TestSupport::EngineName);

} // namespace
