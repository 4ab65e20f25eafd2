// Every report on a small hand-made practice with known answers: the exact
// rows and totals, in two locales (the rows are the same; only their display
// changes), and the CSV and PDF exports read back.
#include "ReportsPractice.h"

#include "reports/ReportDefinitions.h"
#include "reports/ReportModel.h"

#include "Korbel/Csv.h"
#include "support/TestDatabases.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

using namespace ReportsTest;
using Reports::Parameters;
using Reports::Table;

namespace {

qint64 M(double amount)
{
    return Verdanta::MoneyToUnits(amount);
}

// Every report on both engines, in two locales.
class ReportDefinitions : public ::testing::TestWithParam<std::tuple<Korbel::Engine, QLocale>>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(std::get<0>(GetParam()));
        db = KorbelTest::OpenSource(databases.NewLocation(QStringLiteral("data.mdb")));
        ASSERT_TRUE(db);
        practice.Write(db.get(), dir.filePath(QStringLiteral("Consultations.xml")));
    }

    Table Build(const QString &name, const Parameters &parameters = {})
    {
        Reports::Sources sources { db.get(), dir.filePath(QStringLiteral("Consultations.xml")), kNow };
        Table table;
        QString error;
        EXPECT_TRUE(Reports::BuildReport(name, parameters, sources, &table, &error)) << error.toStdString();
        return table;
    }

    static Parameters After(QDate date)
    {
        Parameters p;
        p.date = date;
        return p;
    }

    // The rows of a report, one cell list each.
    static std::vector<QVariantList> Rows(const Table &table) { return table.rows; }

    TestSupport::EngineDatabases databases { std::get<0>(GetParam()) };
    const TestSupport::TemporaryFolder &dir = databases.folder();
    KorbelTest::ReleasePtr<Korbel::IDataSource> db;
    Practice practice;
    TestSupport::LocaleGuard locale { std::get<1>(GetParam()) };
};

using V = QVariantList;

TEST_P(ReportDefinitions, PatientListsSelectByStateSexAgeAndConsultations)
{
    EXPECT_EQ(Rows(Build(QStringLiteral("ACTIVE_PATIENTS"))),
        (std::vector<V> { { "Ionescu, Mihai", D(2000, 6, 15), D(2026, 6, 10) },
            { "Popescu, Ana", D(1980, 3, 10), D(2026, 5, 1) },
            { "Vasile, Ioana", D(1950, 1, 1), D(2024, 12, 1) } }));

    Parameters male;
    male.flag = true;
    EXPECT_EQ(Rows(Build(QStringLiteral("MALE_FEMALE_PATIENTS"), male)),
        (std::vector<V> { { "Barbu, Dan", D(2000, 6, 16), false, D(2026, 2, 10) },
            { "Ionescu, Mihai", D(2000, 6, 15), true, D(2026, 6, 10) } }));
    const Table female = Build(QStringLiteral("MALE_FEMALE_PATIENTS"), Parameters {});
    ASSERT_EQ(female.rows.size(), 2u);
    EXPECT_EQ(female.rows[0][0], "Popescu, Ana");
    EXPECT_EQ(female.rows[1][0], "Vasile, Ioana");

    // Mihai is 26 today; Dan turns 26 tomorrow. The bounds are inclusive and
    // may come in either order.
    Parameters ages;
    ages.int1 = 26;
    ages.int2 = 25;
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_AGE"), ages)),
        (std::vector<V> { { "Barbu, Dan", D(2000, 6, 16), qint64(25) },
            { "Ionescu, Mihai", D(2000, 6, 15), qint64(26) } }));
    ages.int1 = 26;
    ages.int2 = 76;
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_AGE"), ages)),
        (std::vector<V> { { "Ionescu, Mihai", D(2000, 6, 15), qint64(26) },
            { "Popescu, Ana", D(1980, 3, 10), qint64(46) },
            { "Vasile, Ioana", D(1950, 1, 1), qint64(76) } }));

    // A patient's start is the first consultation; the day asked for counts.
    EXPECT_EQ(Rows(Build(QStringLiteral("NEW_PATIENTS"), After(D(2025, 6, 1)))),
        (std::vector<V> {
            { "Barbu, Dan", D(2025, 6, 1), qint64(2) }, { "Ionescu, Mihai", D(2026, 3, 1), qint64(2) } }));
    EXPECT_EQ(Rows(Build(QStringLiteral("OLD_PATIENTS"), After(D(2026, 1, 1)))),
        (std::vector<V> { { "Vasile, Ioana", D(2024, 12, 1), D(2024, 12, 1), qint64(1) } }));
    EXPECT_EQ(Rows(Build(QStringLiteral("OLD_PATIENTS"), After(D(2026, 5, 2)))).size(), 2u)
        << "Ana was last seen on 1 May";
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_LOST"), After(D(2026, 1, 1)))),
        (std::vector<V> { { "Barbu, Dan", D(2025, 6, 1), D(2026, 2, 10), qint64(2) } }));
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_WITHOUT_REMEDIES"), After(D(2026, 1, 1)))),
        (std::vector<V> { { "Vasile, Ioana", D(2025, 1, 5) } }));

    Parameters field;
    field.str1 = QStringLiteral("Allergy");
    field.str2 = QStringLiteral("pollen");
    const Table allergy = Build(QStringLiteral("DYNAMIC_FIELDS_QUERY"), field);
    EXPECT_EQ(Rows(allergy),
        (std::vector<V> { { "Popescu, Ana", "Pollen, dust" }, { "Vasile, Ioana", "POLLEN" } }));
    EXPECT_EQ(allergy.columns[1].title, "Allergy");
}

TEST_P(ReportDefinitions, MoneyReportsSumExactlyAndKeepTheCentsOfTheAmount)
{
    const Table balance = Build(QStringLiteral("OUTSTANDING_BALANCE"));
    EXPECT_EQ(Rows(balance),
        (std::vector<V> { { "Ionescu, Mihai", qint64(1), M(22.60), M(15.00), M(-18.85) },
            { "Popescu, Ana", qint64(1), M(112.50), M(100.10), M(-68.65) } }))
        << "Ioana's only due item is of nothing";
    const Reports::Layout layout(balance);
    EXPECT_EQ(layout.GrandTotal(2), M(135.10));
    EXPECT_EQ(layout.GrandTotal(4), M(-87.50));

    const Table money = Build(QStringLiteral("MONEY_MADE"), After(D(2026, 1, 1)));
    const QString noType = QStringLiteral("(no type)");
    ASSERT_EQ(money.rows.size(), 4u);
    EXPECT_EQ(money.rows[0].mid(1), (V { qint64(202601), noType, qint64(1), M(200.00) }));
    EXPECT_EQ(money.rows[1].mid(1), (V { qint64(202602), "Cash", qint64(1), M(60.00) }));
    EXPECT_EQ(money.rows[2].mid(1), (V { qint64(202603), "Cash", qint64(1), M(10.00) }));
    EXPECT_EQ(money.rows[3].mid(1), (V { qint64(202603), "Check", qint64(1), M(40.10) }));
    EXPECT_EQ(Reports::Layout(money).GrandTotal(4), M(310.10));

    const Table tax = Build(QStringLiteral("SALES_TAX"), After(D(2026, 1, 1)));
    ASSERT_EQ(tax.rows.size(), 4u);
    EXPECT_EQ(tax.rows[0].mid(1), (V { qint64(202602), "Due payments", qint64(1), M(100), M(5), M(7.5) }));
    EXPECT_EQ(tax.rows[1].mid(1), (V { qint64(202603), "Monthly fees", qint64(1), M(50), M(2.5), M(3.75) }));
    EXPECT_EQ(tax.rows[2].mid(1), (V { qint64(202603), "Prescriptions", qint64(1), M(20), M(1), M(1.6) }));
    EXPECT_EQ(tax.rows[3].mid(1), (V { qint64(202604), "Monthly fees", qint64(1), M(0), M(0), M(0) }));
    const Reports::Layout taxLayout(tax);
    EXPECT_EQ(taxLayout.GrandTotal(5), M(8.5));
    EXPECT_EQ(taxLayout.GrandTotal(6), M(12.85));

    // Ana paid 100.10 since January: not more than 100.10, but more than 100.09.
    Parameters paid = After(D(2026, 1, 1));
    paid.amount = Verdanta::Money::FromDouble(100.10);
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_PAID_AMOUNT"), paid)),
        (std::vector<V> { { "Barbu, Dan", qint64(1), D(2026, 1, 1), M(200) } }));
    paid.amount = Verdanta::Money::FromDouble(100.09);
    EXPECT_EQ(Rows(Build(QStringLiteral("PATIENTS_PAID_AMOUNT"), paid)),
        (std::vector<V> { { "Barbu, Dan", qint64(1), D(2026, 1, 1), M(200) },
            { "Popescu, Ana", qint64(2), D(2026, 3, 20), M(100.10) } }));
}

TEST_P(ReportDefinitions, PrescriptionReportsGroupByPatientAndFilterByStatusAndRemedy)
{
    const qint64 ana = practice.patient[QStringLiteral("Ana")];
    const qint64 mihai = practice.patient[QStringLiteral("Mihai")];
    const Table ordered = Build(QStringLiteral("PATIENTS_PRESC_ORDERED"));
    EXPECT_EQ(Rows(ordered),
        (std::vector<V> {
            { mihai, "Ionescu, Mihai", "Belladonna 30C", qint64(3), "Sent", D(2026, 3, 5), "8" },
            { ana, "Popescu, Ana", "Arnica 30C", qint64(2), "Ordered", D(2026, 2, 1), "7" } }));

    const Table waiting = Build(QStringLiteral("PRESCRIPTIONS_NOT_YET_TAKEN"));
    EXPECT_EQ(Rows(waiting),
        (std::vector<V> {
            { mihai, "Ionescu, Mihai", "Arnica 200C", qint64(1), "Received", D(2026, 3, 1), M(22.60) },
            { ana, "Popescu, Ana", "Belladonna 200C", qint64(1), "From stock", D(2026, 4, 1), M(0) } }));
    const Reports::Layout layout(waiting);
    EXPECT_EQ(layout.GrandTotal(3), 2);
    EXPECT_EQ(layout.GrandTotal(6), M(22.60));
    // Heading, line and subtotal per patient, then the total.
    ASSERT_EQ(layout.Lines().size(), 7u);
    EXPECT_EQ(layout.Lines()[0].kind, Reports::Line::Heading);
    EXPECT_EQ(layout.Lines()[0].cells, QStringList { "Ionescu, Mihai" });
    EXPECT_EQ(layout.Lines()[2].kind, Reports::Line::Subtotal);
    EXPECT_EQ(layout.Lines()[6].cells.first(), "Prescriptions: 2");

    Parameters remedy;
    remedy.long1 = practice.arnica;
    const Table anyDilution = Build(QStringLiteral("PATIENTS_REMEDY"), remedy);
    EXPECT_EQ(Rows(anyDilution),
        (std::vector<V> { { "Ionescu, Mihai", "200C", qint64(1), "Received", D(2026, 3, 1) },
            { "Popescu, Ana", "30C", qint64(2), "Ordered", D(2026, 2, 1) },
            { "Vasile, Ioana", "30C", qint64(1), "Paid", D(2025, 1, 5) } }));
    EXPECT_EQ(anyDilution.parameters, QStringList { "Remedy: Arnica, any dilution" });
    remedy.long2 = practice.c30;
    const Table c30 = Build(QStringLiteral("PATIENTS_REMEDY"), remedy);
    ASSERT_EQ(c30.rows.size(), 2u);
    EXPECT_EQ(c30.parameters, QStringList { "Remedy: Arnica, 30C" });
}

TEST_P(ReportDefinitions, AppointmentReportsReadTheAppointmentsFile)
{
    const QLocale here;
    auto span = [&here](QTime from, QTime to) {
        return here.toString(from, QLocale::ShortFormat) + " - " + here.toString(to, QLocale::ShortFormat);
    };
    // From now to the end of the day asked for; the all-day meeting of tomorrow counts.
    const Table next = Build(QStringLiteral("NEXT_APPOINTMENTS"), After(D(2026, 6, 20)));
    EXPECT_EQ(Rows(next),
        (std::vector<V> {
            { D(2026, 6, 15), span(QTime(14, 0), QTime(15, 0)), "Popescu, Ana", "Ana, second", "Room 1" },
            { D(2026, 6, 16), "All day", "", "Team meeting", "Room 1" },
            { D(2026, 6, 20), span(QTime(11, 0), QTime(11, 30)), "Vasile, Ioana", "Ioana", "Room 1" } }));
    EXPECT_EQ(Build(QStringLiteral("NEXT_APPOINTMENTS"), After(D(2026, 6, 19))).rows.size(), 2u);

    // Mihai came on the day of his appointment; Ana did not come this morning.
    const Table missed = Build(QStringLiteral("MISSED_APPOINTMENTS"), After(D(2026, 6, 1)));
    EXPECT_EQ(Rows(missed),
        (std::vector<V> { { D(2026, 6, 15), span(QTime(10, 0), QTime(10, 30)), "Popescu, Ana", "Ana, control",
            "Room 1" } }));
    EXPECT_EQ(Build(QStringLiteral("MISSED_APPOINTMENTS"), After(D(2026, 5, 1))).rows.size(), 2u)
        << "Dan's appointment of 20 May";
}

TEST_P(ReportDefinitions, ExportsReadBackAsCsvAndPdf)
{
    const Table money = Build(QStringLiteral("MONEY_MADE"), After(D(2026, 1, 1)));
    const QString csvPath = dir.filePath(QStringLiteral("money.csv"));
    QString error;
    ASSERT_TRUE(Reports::ExportCsv(money, csvPath, &error)) << error.toStdString();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    Korbel::Csv::Reader reader(bytes.constData(), bytes.size());
    std::vector<QStringList> records;
    std::vector<Korbel::Csv::Field> fields;
    while (reader.Next(fields)) {
        QStringList record;
        for (const auto &f : fields)
            record << QString::fromUtf8(f.text);
        records.push_back(record);
    }
    // Figures in a form every spreadsheet reads, whatever the locale.
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], (QStringList { "Month", "Type", "Payments", "Amount" }));
    EXPECT_EQ(records[4].mid(1), (QStringList { "Check", "1", "40.10" }));

    const QString pdfPath = dir.filePath(QStringLiteral("money.pdf"));
    ASSERT_TRUE(Reports::ExportPdf(money, pdfPath, &error)) << error.toStdString();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdfPath, QStringLiteral("-") });
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Money received"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Check"))) << text.toStdString();
    // The text reader gives a no-break space back as a space.
    const QString total = Verdanta::FormatMoneyForDisplay(Verdanta::Money::FromUnits(M(310.10)));
    EXPECT_TRUE(text.contains(QString(total).replace(QChar(0xA0), QLatin1Char(' ')))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1")));

    EXPECT_FALSE(Reports::ExportCsv(money, dir.filePath(QStringLiteral("missing/folder/x.csv")), &error));
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EnginesAndLocales, ReportDefinitions,
    ::testing::Combine(TestSupport::BothEngines(),
        ::testing::Values(
            QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany))),
    [](const ::testing::TestParamInfo<std::tuple<Korbel::Engine, QLocale>> &param) {
        return TestSupport::EngineName({ std::get<0>(param.param), param.index }) + "_"
            + std::get<1>(param.param).name().toStdString();
    });

// What the person reads: amounts and dates in the locale's own forms.
TEST(ReportLayout, TotalsShowInTheLocalesCurrencyForm)
{
    Table table;
    table.columns = { { QStringLiteral("Patient"), Reports::CellKind::Text, false },
        { QStringLiteral("Paid"), Reports::CellKind::Money, true } };
    table.rows = { { QStringLiteral("A"), M(1234.5) }, { QStringLiteral("B"), M(0.005) } };
    {
        TestSupport::LocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedStates));
        const Reports::Layout layout(table);
        EXPECT_EQ(layout.Lines().back().cells, (QStringList { "Total", "$1,234.51" }));
    }
    {
        TestSupport::LocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
        const Reports::Layout layout(table);
        EXPECT_EQ(
            layout.Lines().back().cells, (QStringList { "Total", QString::fromUtf8("1.234,51\u00a0€") }));
    }
}

} // namespace
