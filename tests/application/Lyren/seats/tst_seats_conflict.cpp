// Two seats (two hubs, each with its own connection) on one practice: a save
// that would write over another seat's save is refused and keeps what was
// typed; saves that write nothing never conflict; what one seat saved shows
// at the other's next move or when its change watcher tells.
#include "SeatsTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/CurrentPatient.h"
#include "patients/CLogicPatient.h"

#include "Korbel/SharedAccess.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QThread>

using SeatsTest::SharedPractice;

namespace {

QString Shown(CLogicMain &seat, const QString &field)
{
    Korbel::IField *f = nullptr;
    if (seat.GetMainTable()->GetField(field, &f) != 1)
        return QStringLiteral("<no field>");
    Korbel::ReleasePtr<Korbel::IField> guard(f);
    return f->GetAsString();
}

// What a person types into the patient's record.
bool Type(CLogicMain &seat, const QString &field, const QString &value)
{
    Korbel::ITable *main = seat.GetMainTable();
    Korbel::IField *f = nullptr;
    if (main->Edit() != 1 || main->GetField(field, &f) != 1)
        return false;
    Korbel::ReleasePtr<Korbel::IField> guard(f);
    return f->SetFromString(value);
}

QStringList ConflictCopies(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("Conflict copy *.txt") }, QDir::Files);
}

class SeatConflict : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
        practiceHolder = std::make_unique<SharedPractice>(GetParam());
        patient = practice().Add(QStringLiteral("MAIN"),
            { { QStringLiteral("FIRST_NAME"), QStringLiteral("Ada") },
                { QStringLiteral("LAST_NAME"), QStringLiteral("Lind") } });
        other = practice().Add(
            QStringLiteral("MAIN"), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Ben") } });
        ASSERT_GT(patient, 0);
        first = practice().OpenSeat();
        second = practice().OpenSeat();
        ASSERT_EQ(first->GetLogicPatient()->GoTo(QString::number(patient)), 1);
        ASSERT_EQ(second->GetLogicPatient()->GoTo(QString::number(patient)), 1);
        prompts.SetDefaultAnswer(Desktop::Answer::No);
    }

    qint64 StoredVersion() const
    {
        return practice().Value(QStringLiteral("MAIN"), patient, Korbel::RowVersionField()).toLongLong();
    }
    QString PatientFolder() const { return practice().Root() + QStringLiteral("UserData/%1/").arg(patient); }

    SharedPractice &practice() const { return *practiceHolder; }
    std::unique_ptr<SharedPractice> practiceHolder;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    qint64 patient = 0;
    qint64 other = 0;
    std::unique_ptr<CLogicMain> first;
    std::unique_ptr<CLogicMain> second;
};

TEST_P(SeatConflict, SecondSaveKeepsWhatWasTypedAndNeverOverwritesTheFirst)
{
    ASSERT_TRUE(Type(*first, QStringLiteral("OCCUPATION"), QStringLiteral("Baker")));
    ASSERT_EQ(first->GetLogicPatient()->SaveAll(), 1);
    EXPECT_EQ(StoredVersion(), 1);
    EXPECT_EQ(prompts.Count(), 0);

    ASSERT_TRUE(Type(*second, QStringLiteral("OCCUPATION"), QStringLiteral("Tailor")));
    ASSERT_TRUE(Type(*second, QStringLiteral("MEDICAL_DOCTOR"), QStringLiteral("Dr Holm")));
    // The move that would leave the patient stops: the save failed.
    EXPECT_EQ(second->GetLogicPatient()->Next(), 0);
    EXPECT_EQ(second->GetLogicPatient()->CurrentId(), patient);

    // Nothing of the second seat was written, the first seat's save stands.
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("OCCUPATION")).toString(),
        QStringLiteral("Baker"));
    EXPECT_TRUE(practice()
                    .Value(QStringLiteral("MAIN"), patient, QStringLiteral("MEDICAL_DOCTOR"))
                    .toString()
                    .isEmpty());
    EXPECT_EQ(StoredVersion(), 1);

    // The person was told plainly, the typed values are in the conflict copy,
    // and the patient is shown as the first seat saved it.
    ASSERT_EQ(prompts.Count(), 1);
    const QStringList copies = ConflictCopies(PatientFolder());
    ASSERT_EQ(copies.size(), 1);
    const QString copy = PatientFolder() + copies.first();
    EXPECT_EQ(prompts.LastText(), CLogicPatient::ConflictMessage(QStringLiteral("Ada Lind"), copy));
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("OCCUPATION: Tailor"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("MEDICAL_DOCTOR: Dr Holm"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("FIRST_NAME"))) << "only what was typed";
    EXPECT_EQ(Shown(*second, QStringLiteral("OCCUPATION")), QStringLiteral("Baker"));

    // Re-applied on the stored patient, the second seat's save goes through.
    ASSERT_TRUE(Type(*second, QStringLiteral("MEDICAL_DOCTOR"), QStringLiteral("Dr Holm")));
    EXPECT_EQ(second->GetLogicPatient()->Next(), 1);
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("MEDICAL_DOCTOR")).toString(),
        QStringLiteral("Dr Holm"));
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("OCCUPATION")).toString(),
        QStringLiteral("Baker"));
    EXPECT_EQ(StoredVersion(), 2);
    // The first seat, which has not typed since, finds the conflict too late
    // for nothing: its own save (of nothing) goes through and shows the new row.
    EXPECT_EQ(first->GetLogicPatient()->Next(), 1);
    EXPECT_EQ(first->GetLogicPatient()->Previous(), 1);
    EXPECT_EQ(Shown(*first, QStringLiteral("MEDICAL_DOCTOR")), QStringLiteral("Dr Holm"));
}

TEST_P(SeatConflict, SavesThatWriteNothingNeitherConflictNorCount)
{
    // Moving about without typing writes nothing: no version, no conflict.
    EXPECT_EQ(second->GetLogicPatient()->SaveAll(), 1);
    EXPECT_EQ(second->GetLogicPatient()->SaveAll(), 1);
    EXPECT_EQ(StoredVersion(), 0);
    ASSERT_TRUE(Type(*first, QStringLiteral("OCCUPATION"), QStringLiteral("Baker")));
    ASSERT_EQ(first->GetLogicPatient()->SaveAll(), 1);
    EXPECT_EQ(second->GetLogicPatient()->Next(), 1);
    EXPECT_EQ(prompts.Count(), 0);
    // Back on the patient, the second seat shows the first seat's save (no
    // row cache hides it).
    EXPECT_EQ(second->GetLogicPatient()->Previous(), 1);
    EXPECT_EQ(Shown(*second, QStringLiteral("OCCUPATION")), QStringLiteral("Baker"));
}

TEST_P(SeatConflict, OutsideChangeIsShownWhenNothingWasTypedAndKeptWhenSomethingWas)
{
    ASSERT_TRUE(Type(*first, QStringLiteral("OCCUPATION"), QStringLiteral("Baker")));
    ASSERT_EQ(first->GetLogicPatient()->SaveAll(), 1);
    EXPECT_EQ(second->GetLogicPatient()->ShowOutsideChanges(), 1);
    EXPECT_EQ(Shown(*second, QStringLiteral("OCCUPATION")), QStringLiteral("Baker"));
    EXPECT_EQ(prompts.Count(), 0);
    // Nothing changed since: nothing to show.
    EXPECT_EQ(second->GetLogicPatient()->ShowOutsideChanges(), 0);

    ASSERT_TRUE(Type(*second, QStringLiteral("OCCUPATION"), QStringLiteral("Tailor")));
    ASSERT_TRUE(Type(*first, QStringLiteral("MEDICAL_DOCTOR"), QStringLiteral("Dr Holm")));
    ASSERT_EQ(first->GetLogicPatient()->SaveAll(), 1);
    // Typed here: the person is told at once and the typing is in the copy.
    EXPECT_EQ(second->GetLogicPatient()->ShowOutsideChanges(), 0);
    EXPECT_EQ(prompts.Count(), 1);
    EXPECT_EQ(ConflictCopies(PatientFolder()).size(), 1);
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("OCCUPATION")).toString(),
        QStringLiteral("Baker"));
}

TEST_P(SeatConflict, DeleteAfterAnotherSeatsSaveIsRefusedAndSaveAfterDeleteKeepsTheTyping)
{
    ASSERT_TRUE(Type(*first, QStringLiteral("OCCUPATION"), QStringLiteral("Baker")));
    ASSERT_EQ(first->GetLogicPatient()->SaveAll(), 1);
    prompts.QueueAnswer(Desktop::Answer::Yes); // "Are you sure you want to delete?"
    EXPECT_EQ(second->GetLogicPatient()->Delete(), 0);
    EXPECT_EQ(prompts.LastText(), CLogicPatient::DeleteConflictMessage(QStringLiteral("Ada Lind")));
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("OCCUPATION")).toString(),
        QStringLiteral("Baker"));

    // Seen as stored now, the patient can be deleted by the second seat; the
    // first seat's typing then goes to a conflict copy, and its save writes
    // no row of a patient that is gone.
    ASSERT_TRUE(Type(*first, QStringLiteral("OCCUPATION"), QStringLiteral("Tailor")));
    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(second->GetLogicPatient()->Delete(), 1);
    prompts.Clear();
    EXPECT_EQ(first->GetLogicPatient()->SaveAll(), 0);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().startsWith(
        CLogicPatient::DeletedElsewhereMessage(QStringLiteral("Ada Lind"), QString())))
        << prompts.LastText().toStdString();
    EXPECT_EQ(practice().Value(QStringLiteral("MAIN"), patient, QStringLiteral("ID")).toString(),
        QStringLiteral("<no row>"));
    EXPECT_EQ(
        practice().Count(QStringLiteral("ADDRESS"), QStringLiteral("PATIENT_ID"), QString::number(patient)),
        0);
    EXPECT_NE(first->GetLogicPatient()->CurrentId(), patient);
}

TEST_P(SeatConflict, PatientsAddedByAnotherSeatAreReachedAtTheNextMove)
{
    ASSERT_EQ(first->GetLogicPatient()->Last(), 1);
    const qint64 added = practice().Add(
        QStringLiteral("MAIN"), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Cleo") } });
    // The next move of a person (a server is looked at no more often than
    // every few milliseconds).
    QThread::msleep(40);
    ASSERT_EQ(first->GetLogicPatient()->Last(), 1);
    EXPECT_EQ(first->GetLogicPatient()->CurrentId(), added);
    EXPECT_EQ(Shown(*first, QStringLiteral("FIRST_NAME")), QStringLiteral("Cleo"));
}

INSTANTIATE_TEST_SUITE_P(Engines, SeatConflict, TestSupport::BothEngines(), TestSupport::EngineName);

} // namespace
