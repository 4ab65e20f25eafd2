#include "PatientTestUtil.h"

#include "patients/CFindDlg.h"
#include "patients/CLogicPatient.h"

using namespace PatientTest;

namespace {

// The current-patient logic alone over a database of four patients, with
// steps that record when they run.
class PatientStepsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        main = OpenTable(source.get(), QStringLiteral("MAIN"));
        for (const char *name : { "Anna", "Bert", "Carl", "Dora" })
            ASSERT_FALSE(
                AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QLatin1String(name) } }).isEmpty());
        ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
        ASSERT_TRUE(patient.Open(source.get(), main.get(), nullptr));
    }

    // A step that records its name and answers result.
    PatientStep Step(const QString &name, int result = 1)
    {
        return [this, name, result] {
            journal << name;
            return result;
        };
    }
    QString Name() { return Get(main.get(), QStringLiteral("FIRST_NAME")); }

    TestSupport::TemporaryFolder dir;
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> main;
    CLogicPatient patient;
    QStringList journal;
};

} // namespace

TEST_F(PatientStepsTest, StepsRunInTheirPlacesWhateverTheOrderTheyJoinedAndEveryStepRunsAfterAFailure)
{
    patient.Join(SaveStep::Header, Step(QStringLiteral("save header")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("save complaints"), 0));
    patient.Join(SaveStep::MonthlyFee, Step(QStringLiteral("save fee")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("save complaints 2")));
    patient.Join(LoadStep::Rubrics, Step(QStringLiteral("load rubrics")));
    patient.Join(LoadStep::Header, Step(QStringLiteral("load header")));
    patient.Join(LoadStep::ChiefComplaints, Step(QStringLiteral("load complaints"), 0));
    patient.Join(LoadStep::Documents, Step(QStringLiteral("load documents")));
    patient.Join(SaveStep::Notes, PatientStep()); // an empty step is not joined

    // The failed complaint step makes the move report 0, but the move
    // happened and every later step ran.
    EXPECT_EQ(patient.Next(), 0);
    EXPECT_EQ(Name(), QStringLiteral("Bert"));
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("save fee"), QStringLiteral("save complaints"),
            QStringLiteral("save complaints 2"), QStringLiteral("save header"), QStringLiteral("load header"),
            QStringLiteral("load documents"), QStringLiteral("load complaints"),
            QStringLiteral("load rubrics") }));

    journal.clear();
    EXPECT_EQ(patient.SaveAll(), 0);
    EXPECT_EQ(journal.size(), 4);
    journal.clear();
    EXPECT_EQ(patient.LoadAll(), 0);
    EXPECT_EQ(journal.size(), 4);

    // At the ends a move fails, nothing is loaded and the patient stays.
    ASSERT_EQ(patient.Last(), 0);
    EXPECT_EQ(Name(), QStringLiteral("Dora"));
    journal.clear();
    EXPECT_EQ(patient.Next(), 0);
    EXPECT_EQ(Name(), QStringLiteral("Dora"));
    EXPECT_FALSE(journal.contains(QStringLiteral("load header")));
}

TEST_F(PatientStepsTest, AFailedPatientRowWriteEndsTheSaveAndStopsTheMove)
{
    // The database refuses to write the name "Refused".
    ASSERT_TRUE(ExecSql(source->GetPath(),
        QStringLiteral("CREATE TRIGGER refuse_name BEFORE UPDATE ON MAIN WHEN NEW.FIRST_NAME = 'Refused' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    patient.Join(SaveStep::MonthlyFee, Step(QStringLiteral("fee")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("complaints")));
    patient.Join(SaveStep::Header, Step(QStringLiteral("header")));
    patient.Join(LoadStep::Header, Step(QStringLiteral("load")));

    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Refused")));
    EXPECT_EQ(patient.Next(), 0);
    // The fee comes before the patient row; nothing after it ran, and the
    // patient whose record could not be written was not left.
    EXPECT_EQ(journal, QStringList { QStringLiteral("fee") });
    EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Refused"));
    EXPECT_EQ(patient.CurrentId(), 1);
    for (auto move : { &CLogicPatient::First, &CLogicPatient::Last, &CLogicPatient::New })
        EXPECT_EQ((patient.*move)(), 0);
    EXPECT_EQ(main->RecordCount(), 4);

    // Once the text is one the database takes, the save goes through whole.
    journal.clear();
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Annie")));
    EXPECT_EQ(patient.Next(), 1);
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("fee"), QStringLiteral("complaints"), QStringLiteral("header"),
            QStringLiteral("load") }));
    EXPECT_EQ(Name(), QStringLiteral("Bert"));
    ASSERT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("1")), 1);
    EXPECT_EQ(Name(), QStringLiteral("Annie"));
}

TEST_F(PatientStepsTest, NewWritesTheRowThenPreparesItAndDeleteRunsTheChildStepsInOrder)
{
    patient.Join(NewPatientStep::CustomFields, Step(QStringLiteral("custom fields")));
    patient.Join(NewPatientStep::DynamicQuestionnaire, [this] {
        // The new row is written and current when it is prepared.
        journal << QStringLiteral("questionnaire ") + Get(main.get(), QStringLiteral("ID"));
        return 1;
    });
    patient.Join(LoadStep::Header, Step(QStringLiteral("load")));
    EXPECT_EQ(patient.New(), 1);
    EXPECT_EQ(main->RecordCount(), 5);
    EXPECT_EQ(journal,
        (QStringList {
            QStringLiteral("questionnaire 5"), QStringLiteral("custom fields"), QStringLiteral("load") }));

    journal.clear();
    Desktop::ScriptedPrompts prompts;
    patient.Join(DeleteStep::PatientFolder, Step(QStringLiteral("folder")));
    patient.Join(DeleteStep::Questionnaires, Step(QStringLiteral("questionnaires"), 0));
    patient.Join(DeleteStep::MedicalHistory, Step(QStringLiteral("medical history")));
    patient.Join(DeleteStep::ChiefComplaints, Step(QStringLiteral("complaints")));

    // "No" keeps everything.
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(patient.Delete(), 0);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(main->RecordCount(), 5);
    EXPECT_EQ(prompts.LastText(),
        QStringLiteral("Are you sure you want to delete?\nAll current patient's data will be lost."));

    // A failed child step does not stop the others nor the patient's row.
    EXPECT_EQ(patient.Delete(), 1);
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("complaints"), QStringLiteral("medical history"),
            QStringLiteral("questionnaires"), QStringLiteral("folder"), QStringLiteral("load") }));
    EXPECT_EQ(main->RecordCount(), 4);
}

TEST_F(PatientStepsTest, FindMatchesNamePrefixesLiterallyAndTheLinkedAccountLeavesOutThePatientsFamily)
{
    for (const auto &[first, last] :
        std::initializer_list<std::pair<const char *, const char *>> { { "Annabel", "Smith" },
            { "Joanna", "Annan" }, { "100%", "Wild_card" }, { "100 x", "Wildxcard" } })
        AddRow(main.get(),
            { { QStringLiteral("FIRST_NAME"), QLatin1String(first) },
                { QStringLiteral("LAST_NAME"), QLatin1String(last) } });
    const auto names = [](const QList<FoundPatient> &found) {
        QStringList list;
        for (const FoundPatient &patient : found)
            list << CLogicPatient::DisplayName(patient);
        return list;
    };
    EXPECT_EQ(patient.FindPatients(QString(), QString()).size(), 8);
    // The dialog's rows are read as they are asked for, in any order.
    const FoundPatients lazy = patient.OpenFind(QString(), QString());
    ASSERT_EQ(lazy.Count(), 8);
    EXPECT_EQ(CLogicPatient::DisplayName(lazy.At(7)), QStringLiteral("100 x Wildxcard"));
    EXPECT_EQ(lazy.At(1).firstName, QStringLiteral("Bert"));
    EXPECT_EQ(lazy.At(1).id, QStringLiteral("2"));
    EXPECT_TRUE(lazy.At(8).id.isEmpty());
    EXPECT_TRUE(lazy.At(-1).id.isEmpty());
    EXPECT_EQ(FoundPatients().Count(), 0);
    EXPECT_EQ(names(patient.FindPatients(QStringLiteral("Ann"), QString())),
        (QStringList { QStringLiteral("Anna "), QStringLiteral("Annabel Smith") }));
    EXPECT_EQ(names(patient.FindPatients(QStringLiteral("an"), QString())),
        (QStringList { QStringLiteral("Anna "), QStringLiteral("Annabel Smith") }));
    EXPECT_EQ(names(patient.FindPatients(QString(), QStringLiteral("Ann"))),
        QStringList { QStringLiteral("Joanna Annan") });
    EXPECT_EQ(names(patient.FindPatients(QStringLiteral("100%"), QString())),
        QStringList { QStringLiteral("100% Wild_card") });
    EXPECT_EQ(names(patient.FindPatients(QString(), QStringLiteral("Wild_"))),
        QStringList { QStringLiteral("100% Wild_card") });
    EXPECT_TRUE(patient.FindPatients(QStringLiteral("%"), QString()).isEmpty());
    EXPECT_TRUE(patient.FindPatients(QStringLiteral("' OR 1=1 --"), QString()).isEmpty());

    // Bert (2) is the linked account of Carl (3); from Bert's record neither
    // Bert nor Carl can be chosen, patients without a link can.
    ASSERT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("3")), 1);
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("PARENT_ID"), QStringLiteral("2")));
    ASSERT_TRUE(main->Update());
    EXPECT_EQ(names(patient.FindPatients(QString(), QString(), 2)),
        (QStringList { QStringLiteral("Anna "), QStringLiteral("Dora "), QStringLiteral("Annabel Smith"),
            QStringLiteral("Joanna Annan"), QStringLiteral("100% Wild_card"),
            QStringLiteral("100 x Wildxcard") }));

    // The linked account chosen in the find dialog is written to the record.
    ASSERT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
    QStringList offered;
    patient.SetFindPresenter([&offered](CFindDlg &dialog) {
        dialog.FirstNameEdit()->setText(QStringLiteral("D"));
        dialog.RunFind();
        offered << QString::number(dialog.ResultCount());
        dialog.SelectRow(0);
        dialog.accept();
        return dialog.result();
    });
    LogicCommand command;
    command.code = 26;
    EXPECT_EQ(patient.LinkedAccount(command), 1);
    EXPECT_EQ(offered, QStringList { QStringLiteral("1") });
    EXPECT_EQ(command.resultText1, QStringLiteral("Dora "));
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_ID")), QStringLiteral("4"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_NAME")), QStringLiteral("Dora "));

    // OK without a selection is a Cancel: nothing is chosen or written.
    patient.SetFindPresenter([](CFindDlg &dialog) {
        dialog.RunFind();
        dialog.SelectRow(-1);
        dialog.accept();
        return dialog.result();
    });
    LogicCommand find;
    EXPECT_EQ(patient.Find(find), 0);
    EXPECT_TRUE(find.resultId.isEmpty());
    EXPECT_EQ(patient.LinkedAccount(find), 0);
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_ID")), QStringLiteral("4"));
}
