// The reports in the hub, without windows: the menu and its numbering, the
// parameters stored in each report's row, Cancel, the custom-fields message
// and failures told to the person. The windows are scripted.
#include "ReportsPractice.h"

#include "reports/CLogicReports.h"

#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"

#include "common/LocaleDates.h"
#include "support/ScriptedDesktop.h"

using namespace ReportsTest;

namespace {

class ScriptedReportsWindows final : public Reports::IPresenter
{
public:
    int ChooseReport(QWidget *, QObject *, const Reports::Menu &shown) override
    {
        menu = shown;
        return choose;
    }
    bool AskParameters(
        QWidget *, Reports::Ask kind, const Reports::Choices &offered, Reports::Parameters *p) override
    {
        asked.push_back(kind);
        choices = offered;
        presetWith = *p;
        if (!confirm)
            return false;
        answer(p);
        return true;
    }
    void ShowPreview(QWidget *, std::shared_ptr<const Reports::Table> table) override
    {
        previews.push_back(table);
    }

    int choose = 0;
    bool confirm = true;
    std::function<void(Reports::Parameters *)> answer = [](Reports::Parameters *) {};
    Reports::Menu menu;
    Reports::Choices choices;
    Reports::Parameters presetWith;
    std::vector<Reports::Ask> asked;
    std::vector<std::shared_ptr<const Reports::Table>> previews;
};

class ReportsLogic : public ::testing::Test
{
protected:
    void SetUp() override { hub.Services().Provide<Reports::IPresenter>(&windows); }
    void TearDown() override { hub.Close(); }

    void WritePractice()
    {
        auto db = KorbelTest::OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        QDir().mkpath(dir.filePath(QStringLiteral("UserData")));
        practice.Write(db.get(), dir.filePath(QStringLiteral("UserData/Consultations.xml")));
    }
    CLogicReports &Reports() { return *hub.Services().Get<CLogicReports>(); }
    int Send54()
    {
        LogicCommand command;
        command.code = CommandCode::Reports;
        return hub.OnCommand(command);
    }
    // A field of a report's row, as the data library reads it back.
    QString Stored(const QString &name, const QString &field)
    {
        auto db = KorbelTest::OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        auto rows = KorbelTest::Query(db.get(), QStringLiteral("REPORTS"),
            [&name](Korbel::IQuery *q) { q->Where(QStringLiteral("NAME"), Korbel::Compare::Equal, name); });
        return rows && rows->Move(Korbel::MoveFirst) == 1 ? KorbelTest::Get(rows.get(), field)
                                                          : QStringLiteral("?");
    }

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    ScriptedReportsWindows windows;
    Practice practice;
    CLogicMain hub { dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")) };
};

QStringList Texts(const Reports::Menu::Group &group)
{
    QStringList texts;
    for (const auto &entry : group.entries)
        texts << entry.text;
    return texts;
}

} // namespace

TEST_F(ReportsLogic, TheMenuNumbersEachGroupInTableOrderAndOffersTheAppointmentReportsApart)
{
    ASSERT_TRUE(hub.Open());
    EXPECT_TRUE(hub.Reaches(CommandCode::Reports));
    EXPECT_EQ(Send54(), 0) << "nothing chosen";
    ASSERT_EQ(windows.menu.groups.size(), 4u);
    EXPECT_EQ(windows.menu.groups[0].title, "General");
    EXPECT_EQ(Texts(windows.menu.groups[0]),
        (QStringList { "G1. Active patients", "G2. Male or female patients", "G3. Patients by age",
            "G4. New patients since a date", "G5. Patients not seen since a date",
            "G6. Patients lost since a date", "G7. Patients by custom field" }));
    EXPECT_EQ(Texts(windows.menu.groups[1]),
        (QStringList { "F1. Patients with an outstanding balance", "F2. Money received since a date",
            "F3. Patients who paid more than an amount", "F4. Sales taxes since a date" }));
    EXPECT_EQ(Texts(windows.menu.groups[2]),
        (QStringList { "O1. Patients with ordered prescriptions", "O2. Prescriptions not yet taken",
            "O3. Patients who received a remedy", "O4. Patients without remedies since a date" }));
    EXPECT_EQ(windows.menu.groups[3].title, "Appointments");
    EXPECT_EQ(
        Texts(windows.menu.groups[3]), (QStringList { "A1. Next appointments", "A2. Missed appointments" }));
    EXPECT_EQ(Reports().ReportNames().size(), 17u);
    EXPECT_EQ(Reports().ReportNames().at(2), "NEXT_APPOINTMENTS");
}

TEST_F(ReportsLogic, TwoFinanceRowsAreF1AndF2AndUnknownIdsAreOfferedNowhere)
{
    int extra = 0;
    {
        auto db = KorbelTest::OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        auto reports = KorbelTest::OpenTable(db.get(), QStringLiteral("REPORTS"));
        for (const char *id : { "13", "16" }) {
            ASSERT_EQ(reports->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::fromLatin1(id)), 1);
            ASSERT_GT(reports->Delete(), 0);
        }
        extra = KorbelTest::AddRow(reports.get(),
            { { QStringLiteral("NAME"), QStringLiteral("EXTRA") },
                { QStringLiteral("DESCRIPTION"), QStringLiteral("Extra") } })
                    .toInt();
    }
    ASSERT_GT(extra, 18);
    ASSERT_TRUE(hub.Open());
    const Reports::Menu menu = Reports().BuildMenu();
    EXPECT_EQ(Texts(menu.groups[1]),
        (QStringList { "F1. Patients with an outstanding balance", "F2. Money received since a date" }));
    EXPECT_EQ(Reports().ReportNames().at(extra), "EXTRA");
    for (const auto &group : menu.groups) {
        for (const auto &entry : group.entries)
            EXPECT_NE(entry.id, extra);
    }
}

TEST_F(ReportsLogic, ParametersAreStoredInTheRowAndCancelKeepsThem)
{
    WritePractice();
    ASSERT_TRUE(hub.Open());
    // Chosen from the menu: the amount dialog, answered with cents.
    windows.choose = 13;
    windows.answer = [](Reports::Parameters *p) {
        p->date = QDate(2026, 1, 1);
        p->amount = Verdanta::Money::FromDouble(100.09);
    };
    EXPECT_EQ(Send54(), 1);
    ASSERT_EQ(windows.asked, std::vector<Reports::Ask> { Reports::Ask::DateAndAmount });
    ASSERT_EQ(windows.previews.size(), 1u);
    EXPECT_EQ(windows.previews[0]->title, "Patients who paid more than an amount");
    EXPECT_EQ(windows.previews[0]->rows.size(), 2u) << "Ana's 100.10 is more than 100.09";
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_PAID_AMOUNT"), QStringLiteral("CURR_PARAM1")),
        Verdanta::MoneyToStorageText(100.09));
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_PAID_AMOUNT"), QStringLiteral("DATE_PARAM1")),
        Verdanta::FormatLocaleDate(QDate(2026, 1, 1)));

    // Next time the dialog starts from what was stored; Cancel changes nothing.
    windows.confirm = false;
    EXPECT_FALSE(Reports().Run(QStringLiteral("PATIENTS_PAID_AMOUNT"), nullptr));
    EXPECT_EQ(windows.presetWith.amount, Verdanta::Money::FromDouble(100.09));
    EXPECT_EQ(windows.presetWith.date, QDate(2026, 1, 1));
    EXPECT_EQ(windows.previews.size(), 1u);
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_PAID_AMOUNT"), QStringLiteral("CURR_PARAM1")),
        Verdanta::MoneyToStorageText(100.09));

    // Each dialog writes its own fields.
    windows.confirm = true;
    windows.answer = [](Reports::Parameters *p) {
        p->int1 = 20;
        p->int2 = 30;
    };
    EXPECT_TRUE(Reports().Run(QStringLiteral("PATIENTS_AGE"), nullptr));
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_AGE"), QStringLiteral("INT_PARAM1")), "20");
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_AGE"), QStringLiteral("INT_PARAM2")), "30");
    windows.answer = [](Reports::Parameters *p) { p->flag = true; };
    EXPECT_TRUE(Reports().Run(QStringLiteral("MALE_FEMALE_PATIENTS"), nullptr));
    EXPECT_EQ(Stored(QStringLiteral("MALE_FEMALE_PATIENTS"), QStringLiteral("BOOL_PARAM1")), "1");
    windows.answer = [this](Reports::Parameters *p) {
        p->long1 = practice.arnica;
        p->long2 = practice.c200;
    };
    EXPECT_TRUE(Reports().Run(QStringLiteral("PATIENTS_REMEDY"), nullptr));
    ASSERT_EQ(windows.choices.remedies.size(), 2u);
    EXPECT_EQ(windows.choices.remedies[0].name, "Arnica");
    EXPECT_EQ(windows.choices.dilutions[0].name, "200C");
    EXPECT_EQ(Stored(QStringLiteral("PATIENTS_REMEDY"), QStringLiteral("LONG_INT_PARAM2")),
        QString::number(practice.c200));
    EXPECT_EQ(windows.previews.back()->rows.size(), 1u);
    EXPECT_EQ(prompts.Count(), 0);
}

TEST_F(ReportsLogic, ReportsWithoutParametersPreviewAtOnce)
{
    WritePractice();
    ASSERT_TRUE(hub.Open());
    for (int id : { 1, 4, 5, 8 }) {
        windows.choose = id;
        EXPECT_EQ(Send54(), 1) << id;
    }
    EXPECT_TRUE(windows.asked.empty());
    ASSERT_EQ(windows.previews.size(), 4u);
    EXPECT_EQ(windows.previews[0]->name, "OUTSTANDING_BALANCE");
    EXPECT_EQ(windows.previews[0]->title, "Patients with an outstanding balance") << "the row's description";
    EXPECT_EQ(windows.previews[2]->rows.size(), 3u) << "three active patients";

    // The appointment reports read the practice's appointments file.
    windows.choose = 2;
    windows.answer = [](Reports::Parameters *p) { p->date = QDate::currentDate().addYears(10); };
    EXPECT_EQ(Send54(), 1);
    EXPECT_EQ(windows.asked.back(), Reports::Ask::DateBefore);
    EXPECT_EQ(windows.previews.back()->name, "NEXT_APPOINTMENTS");
}

TEST_F(ReportsLogic, TheCustomFieldReportNeedsAFieldAndFailuresAreTold)
{
    ASSERT_TRUE(hub.Open());
    EXPECT_FALSE(Reports().Run(QStringLiteral("DYNAMIC_FIELDS_QUERY"), nullptr));
    EXPECT_EQ(prompts.LastText(), CLogicReports::NoCustomFields());
    EXPECT_TRUE(windows.asked.empty());
    hub.Close();

    WritePractice();
    ASSERT_TRUE(hub.Open());
    windows.answer = [](Reports::Parameters *p) {
        p->str1 = QStringLiteral("Diet");
        p->str2 = QStringLiteral("FREE");
    };
    EXPECT_TRUE(Reports().Run(QStringLiteral("DYNAMIC_FIELDS_QUERY"), nullptr));
    EXPECT_EQ(windows.choices.customFields, (QStringList { "Allergy", "Diet" })) << "names patients carry";
    EXPECT_EQ(windows.previews.back()->rows.size(), 1u);

    // No such row: nothing happens. A row whose report cannot be built: told.
    prompts.Clear();
    EXPECT_FALSE(Reports().Run(QStringLiteral("NO_SUCH_REPORT"), nullptr));
    EXPECT_EQ(prompts.Count(), 0);
    EXPECT_FALSE(Reports().RunChosen(QStringLiteral("EXTRA"), nullptr));
    EXPECT_EQ(prompts.LastText(), CLogicReports::PreviewError());
}
