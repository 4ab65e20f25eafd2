#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "patients/CLogicPatient.h"
#include "patients/PatientPresenters.h"

#include "Korbel/Schema.h"
#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/ScriptedDesktop.h"
#include "support/TestDatabases.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QThread>

#include <gtest/gtest.h>

#include <algorithm>

using namespace KorbelTest;

namespace {

// Binds plain objects in place of widgets: the object's "value" property is
// what the control shows and what a person typed.
class PropertyBinder final : public Korbel::IControlBinder
{
public:
    bool CanBind(const QObject *control) const override { return control != nullptr; }
    void Show(QObject *control, Korbel::ColumnKind, const QVariant &stored) const override
    {
        control->setProperty("value", stored.isNull() ? QString() : stored.toString());
    }
    bool Take(const QObject *control, Korbel::ColumnKind, QVariant *stored) const override
    {
        const QString text = control->property("value").toString();
        *stored = text.isEmpty() ? QVariant() : QVariant(text);
        return true;
    }
};

// Chooses in place of a person: the query runs with the given texts and the
// given row is chosen (none: the dialog is cancelled).
class ScriptedFinder final : public IPatientFinder
{
public:
    int Choose(QWidget *, const Search &search, FoundPatient *chosen) override
    {
        const FoundPatients found = search(firstName, QString());
        offered << found.Count();
        if (row < 0 || row >= found.Count())
            return 0;
        *chosen = found.At(row);
        return 1;
    }
    QString firstName;
    int row = 0;
    QList<int> offered;
};

// The current-patient logic alone over a database of four patients, with
// steps that record when they run, on both engines. No window is involved.
class PatientStepsTest : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
        location = databases.NewLocation(QStringLiteral("data.mdb"));
        source = OpenSource(location);
        main = OpenTable(source.get(), QStringLiteral("MAIN"));
        for (const char *name : { "Anna", "Bert", "Carl", "Dora" })
            ASSERT_FALSE(
                AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QLatin1String(name) } }).isEmpty());
        ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
        address = OpenTable(source.get(), QStringLiteral("ADDRESS"));
        context.SetData(source.get(), main.get(), address.get(), QStringLiteral("MEDIA"));
        ASSERT_TRUE(patient.Open(context));
        context.SetPatient(&patient, &patient);
        context.Services().Provide<IPatientFinder>(&finder);
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
    int Rows(const QString &table)
    {
        auto other = OpenSource(location);
        auto rows = OpenTable(other.get(), table);
        return rows ? rows->RecordCount() : -1;
    }
    // A step that adds a chief complaint for the current patient.
    PatientStep AddComplaint(const QString &name)
    {
        return [this, name] {
            journal << name;
            auto complaints = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
            return AddRow(complaints.get(),
                       { { QStringLiteral("PATIENT_ID"), Get(main.get(), QStringLiteral("ID")) },
                           { QStringLiteral("DESC"), name } })
                       .isEmpty()
                ? 0
                : 1;
        };
    }

    TestSupport::TemporaryFolder dir;
    TestSupport::EngineDatabases databases { GetParam() };
    QString location;
    CLogicFolders folders { dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")) };
    LogicContext context { folders };
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> main;
    ReleasePtr<Korbel::ITable> address;
    ScriptedFinder finder;
    CLogicPatient patient;
    QStringList journal;
};

} // namespace

TEST_P(PatientStepsTest, StepsRunInTheirPlacesWhateverTheOrderTheyJoined)
{
    patient.Join(SaveStep::Header, Step(QStringLiteral("save header")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("save complaints")));
    patient.Join(SaveStep::MonthlyFee, Step(QStringLiteral("save fee")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("save complaints 2")));
    patient.Join(LoadStep::Rubrics, Step(QStringLiteral("load rubrics")));
    patient.Join(LoadStep::Header, Step(QStringLiteral("load header")));
    patient.Join(LoadStep::ChiefComplaints, Step(QStringLiteral("load complaints"), 0));
    patient.Join(LoadStep::Documents, Step(QStringLiteral("load documents")));
    patient.Join(SaveStep::Notes, PatientStep()); // an empty step is not joined

    // A failed load step makes the move report 0, but the move happened and
    // every later load step ran.
    EXPECT_EQ(patient.Next(), 0);
    EXPECT_EQ(Name(), QStringLiteral("Bert"));
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("save fee"), QStringLiteral("save complaints"),
            QStringLiteral("save complaints 2"), QStringLiteral("save header"), QStringLiteral("load header"),
            QStringLiteral("load documents"), QStringLiteral("load complaints"),
            QStringLiteral("load rubrics") }));

    journal.clear();
    EXPECT_EQ(patient.SaveAll(), 1);
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

TEST_P(PatientStepsTest, ASaveIsOneTransactionAFailedStepUndoesEveryRowAndStopsTheMove)
{
    PropertyBinder binder;
    Korbel::SetControlBinder(source.get(), &binder);
    QObject lastName;
    Korbel::IField *field = nullptr;
    ASSERT_EQ(main->GetField(QStringLiteral("LAST_NAME"), &field), 1);
    ASSERT_TRUE(field->BindControl(&lastName, 1));
    field->Release();
    lastName.setProperty("value", QStringLiteral("Berg")); // typed
    int undone = 0;
    bool failLater = true;
    patient.Join(SaveStep::ChiefComplaints, AddComplaint(QStringLiteral("complaint")));
    patient.Join(SaveStep::Notes, [this, &undone] {
        // Keys taken from the save's rows are given back on a rollback.
        context.OnRollback([&undone] { ++undone; });
        return context.WriteFileAfterCommit(dir.filePath(QStringLiteral("side.xml")), "<side/>") ? 1 : 0;
    });
    patient.Join(SaveStep::Rubrics, [&failLater] { return failLater ? 0 : 1; });

    EXPECT_EQ(patient.Next(), 0);
    EXPECT_EQ(Name(), QStringLiteral("Anna")) << "a patient whose save failed is not left";
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("side.xml"))));
    EXPECT_EQ(undone, 1);
    auto other = OpenSource(location);
    auto stored = OpenTable(other.get(), QStringLiteral("MAIN"));
    ASSERT_EQ(stored->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Get(stored.get(), QStringLiteral("LAST_NAME")), QString());
    // What was typed is still there to be saved again.
    EXPECT_EQ(lastName.property("value").toString(), QStringLiteral("Berg"));

    // Once every step succeeds the rows are committed together, and the side
    // file is written after them.
    failLater = false;
    EXPECT_EQ(patient.SaveAll(), 1);
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 1);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("side.xml"))));
    EXPECT_EQ(undone, 1);
    stored = OpenTable(other.get(), QStringLiteral("MAIN"));
    ASSERT_EQ(stored->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Get(stored.get(), QStringLiteral("LAST_NAME")), QStringLiteral("Berg"));
}

TEST_P(PatientStepsTest, AFailedPatientRowWriteEndsTheSaveAndStopsTheMove)
{
    // The database refuses to write the name "Refused".
    ASSERT_TRUE(TestSupport::AddRefusingTrigger(location, QStringLiteral("refuse_name"),
        QStringLiteral("MAIN"), QStringLiteral("UPDATE"), QStringLiteral("NEW.FIRST_NAME = 'Refused'"),
        QStringLiteral("refused")));
    patient.Join(SaveStep::MonthlyFee, AddComplaint(QStringLiteral("fee")));
    patient.Join(SaveStep::ChiefComplaints, Step(QStringLiteral("complaints")));
    patient.Join(SaveStep::Header, Step(QStringLiteral("header")));
    patient.Join(LoadStep::Header, Step(QStringLiteral("load")));

    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Refused")));
    EXPECT_EQ(patient.Next(), 0);
    // The fee comes before the patient row and is undone with it; nothing
    // after it ran, and the patient whose record could not be written was not
    // left.
    EXPECT_EQ(journal, QStringList { QStringLiteral("fee") });
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 0);
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
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 1);
    EXPECT_EQ(Name(), QStringLiteral("Bert"));
    ASSERT_EQ(main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("1")), 1);
    EXPECT_EQ(Name(), QStringLiteral("Annie"));
}

TEST_P(PatientStepsTest, NewWritesTheRowThenPreparesItAndDeleteIsOneTransaction)
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
    bool folderGone = false;
    int failing = 1;
    patient.Join(DeleteStep::PatientFolder, [this, &folderGone] {
        journal << QStringLiteral("folder");
        context.AfterCommit([&folderGone] { return folderGone = true; });
        return 1;
    });
    patient.Join(DeleteStep::Questionnaires, [this, &failing] {
        journal << QStringLiteral("questionnaires");
        return failing ? 0 : 1;
    });
    patient.Join(DeleteStep::MedicalHistory, Step(QStringLiteral("medical history")));
    patient.Join(DeleteStep::ChiefComplaints, [this] {
        journal << QStringLiteral("complaints");
        auto complaints = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
        while (complaints->Move(Korbel::MoveFirst) == 1)
            complaints->Delete();
        return 1;
    });
    auto complaints = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
    AddRow(complaints.get(), { { QStringLiteral("PATIENT_ID"), QStringLiteral("5") } });

    // "No" keeps everything.
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(patient.Delete(), 0);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(main->RecordCount(), 5);
    EXPECT_EQ(prompts.LastText(),
        QStringLiteral("Are you sure you want to delete?\nAll current patient's data will be lost."));

    // A failed child step keeps the patient whole: the rows other steps
    // deleted come back, the folder stays, and the user is told.
    journal.clear();
    EXPECT_EQ(patient.Delete(), 0);
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("complaints"), QStringLiteral("medical history"),
            QStringLiteral("questionnaires"), QStringLiteral("folder"), QStringLiteral("load") }));
    EXPECT_EQ(main->RecordCount(), 5);
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 1);
    EXPECT_FALSE(folderGone);
    EXPECT_EQ(prompts.LastText(), CLogicPatient::DeleteRefusedMessage());

    // When every step succeeds the patient goes, and its folder after the commit.
    failing = 0;
    EXPECT_EQ(patient.Delete(), 1);
    EXPECT_EQ(main->RecordCount(), 4);
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 0);
    EXPECT_TRUE(folderGone);
}

TEST_P(PatientStepsTest, APatientTheDatabaseRefusesToDeleteKeepsItsChildRows)
{
    ASSERT_TRUE(TestSupport::AddRefusingTrigger(location, QStringLiteral("keep_anna"), QStringLiteral("MAIN"),
        QStringLiteral("DELETE"), QStringLiteral("OLD.FIRST_NAME = 'Anna'"), QStringLiteral("kept")));
    auto complaints = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
    AddRow(complaints.get(), { { QStringLiteral("PATIENT_ID"), QStringLiteral("1") } });
    patient.Join(DeleteStep::ChiefComplaints, [this] {
        auto rows = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
        while (rows->Move(Korbel::MoveFirst) == 1)
            rows->Delete();
        return 1;
    });
    Desktop::ScriptedPrompts prompts;
    prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_EQ(patient.Delete(), 0);
    EXPECT_EQ(prompts.LastText(), CLogicPatient::DeleteRefusedMessage());
    EXPECT_EQ(Rows(QStringLiteral("MAIN")), 4);
    EXPECT_EQ(Rows(QStringLiteral("COMES_FOR")), 1);
}

TEST_P(PatientStepsTest, FindMatchesNamePrefixesLiterallyAndTheLinkedAccountLeavesOutThePatientsFamily)
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
    finder.firstName = QStringLiteral("D");
    finder.row = 0;
    LogicCommand command;
    command.code = 26;
    EXPECT_EQ(patient.LinkedAccount(command), 1);
    EXPECT_EQ(finder.offered, QList<int> { 1 });
    EXPECT_EQ(command.resultText1, QStringLiteral("Dora "));
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_ID")), QStringLiteral("4"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_NAME")), QStringLiteral("Dora "));

    // A dialog left without a choice chooses nothing and writes nothing.
    finder.firstName.clear();
    finder.row = -1;
    LogicCommand find;
    EXPECT_EQ(patient.Find(find), 0);
    EXPECT_TRUE(find.resultId.isEmpty());
    EXPECT_EQ(patient.LinkedAccount(find), 0);
    EXPECT_EQ(Get(main.get(), QStringLiteral("PARENT_ID")), QStringLiteral("4"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PatientStepsTest, TestSupport::BothEngines(), TestSupport::EngineName);

TEST(PatientSave, AKilledSaveLeavesTheLastCommittedGenerationWholeNeverHalfOfOne)
{
    TestSupport::TemporaryFolder dir;
    const QString database = dir.filePath(QStringLiteral("data.mdb"));
    const QString sideFile = dir.filePath(QStringLiteral("side.txt"));
    {
        auto source = OpenSource(database);
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") } });
    }
    QRandomGenerator random(20261208);
    qint64 lastReported = 0;
    constexpr int Rounds = 50;
    for (int round = 0; round < Rounds; ++round) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(PATIENT_SAVE_CHILD), { dir.path(), sideFile });
        ASSERT_TRUE(child.waitForStarted(10000)) << round;
        // Killed at a random moment once it has saved at least once.
        ASSERT_TRUE(child.waitForReadyRead(20000)) << round;
        QThread::msleep(random.bounded(0, 120));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            if (!line.trimmed().isEmpty())
                lastReported = std::max(lastReported, line.trimmed().toLongLong());
        }

        // The database holds one whole generation, at least the last one the
        // child saw committed.
        auto source = OpenSource(database);
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
        const qint64 stored = Get(main.get(), QStringLiteral("OCCUPATION")).toLongLong();
        EXPECT_GE(stored, lastReported) << round;
        auto rows = OpenTable(source.get(), QStringLiteral("COMES_FOR"));
        ASSERT_EQ(rows->RecordCount(), 20) << round;
        for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext))
            ASSERT_EQ(Get(rows.get(), QStringLiteral("DESC")).toLongLong(), stored) << round;
        // The side file, written after the commit, is whole: this generation's
        // or an earlier one's, never a mix.
        QFile side(sideFile);
        if (side.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> lines = side.readAll().split('\n');
            ASSERT_EQ(lines.size(), 4097) << round;
            const qint64 written = lines.front().toLongLong();
            EXPECT_LE(written, stored) << round;
            EXPECT_EQ(lines.count(lines.front()), 4096) << round;
        }
    }
    EXPECT_GT(lastReported, Rounds);
}
