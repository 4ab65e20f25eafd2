#include "SafetyTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "safety/PracticeRestore.h"

#include "support/ScriptedDesktop.h"

#include <QtCore/QCryptographicHash>

using namespace SafetyTest;
using Slot = CLogicFolders::BackupSlot;

namespace {

constexpr Slot Slots[] = { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek };

// Garbage over the middle of a database file, where its rows are.
void Damage(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek((file.size() / 2 / 4096) * 4096));
    file.write(QByteArray(64, '\xee'));
}

class RestoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folders = std::make_unique<CLogicFolders>(Root(), QString());
        MakePractice(Database(), { QStringLiteral("Current") });
        ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/1/Images/x-ray.png"), "picture of today"));
        // Four weeks of backups: 4, 3, 2 and 1 patients, a week apart.
        for (int i = 0; i < 4; ++i) {
            const QString path = folders->GetBackupPath(Slots[i]);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            QStringList names;
            for (int n = 0; n < 4 - i; ++n)
                names << QStringLiteral("Week%1-%2").arg(i).arg(n);
            MakePractice(path, names);
            RunSql(path, "PRAGMA journal_mode = DELETE");
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(Made(i), QFileDevice::FileModificationTime));
        }
    }
    QString Root() const { return dir.rootWithSeparator(); }
    QString Database() const { return Root() + QStringLiteral("data.mdb"); }
    static QDateTime Made(int week)
    {
        return QDateTime(QDate(2026, 11, 30).addDays(-7 * week), QTime(18, 2));
    }
    std::unique_ptr<CLogicMain> OpenHub()
    {
        auto hub = std::make_unique<CLogicMain>(Root(), dir.filePath(QStringLiteral("windows")));
        QString error;
        EXPECT_TRUE(hub->Open(&error)) << error.toStdString();
        return hub;
    }
    QStringList KeptCopies() const
    {
        return QDir(Root()).entryList({ QStringLiteral("data-*.mdb") }, QDir::Files, QDir::Name);
    }

    TestSupport::TemporaryFolder dir;
    std::unique_ptr<CLogicFolders> folders;
    Desktop::ScriptedPrompts prompts;
};

} // namespace

TEST_F(RestoreTest, EachGenerationIsListedWithItsDateAndPatientsAndRestoredKeepingTheDatabaseBeforeIt)
{
    auto hub = OpenHub();
    HubSession session(*hub);
    ScriptedBackupChooser chooser(hub->Services());
    for (int i = 0; i < 4; ++i) {
        // The restore saves the open patient first; saved here, the kept
        // database must be exactly this one.
        ASSERT_EQ(SendCommand(*hub, CommandCode::SavePatient), 1) << i;
        const QStringList before = DatabaseDump(Database());
        const QStringList keptBefore = KeptCopies();
        chooser.choice = folders->GetBackupPath(Slots[i]);
        prompts.Clear();
        prompts.QueueAnswer(Desktop::Answer::Yes);
        ASSERT_EQ(SendCommand(*hub, CommandCode::RestoreBackup), 1) << i;

        // The list shows every generation with its date and patient count.
        ASSERT_EQ(chooser.shown.size(), 4u);
        for (int g = 0; g < 4; ++g) {
            EXPECT_EQ(chooser.shown[g].slot, Slots[g]);
            EXPECT_EQ(chooser.shown[g].made, Made(g));
            EXPECT_EQ(chooser.shown[g].patients, 4 - g);
        }
        // The question names the copy and the kept database, and says the
        // patient folders stay as they are.
        ASSERT_EQ(prompts.Count(), 1);
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("%1 patient").arg(4 - i)));
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("data-before-restore-")));
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("patient folders")));
        EXPECT_EQ(hub->GetMainTable()->RecordCount(), i == 0 ? 1 : 4 - (i - 1));

        ASSERT_TRUE(session.RunQueued());
        EXPECT_EQ(hub->GetMainTable()->RecordCount(), 4 - i);
        EXPECT_EQ(DatabaseDump(Database()).filter(QStringLiteral("'Week")).size(), 4 - i);
        // The database before the restore is kept whole beside it.
        QStringList kept = KeptCopies();
        for (const QString &name : keptBefore)
            kept.removeOne(name);
        ASSERT_EQ(kept.size(), 1);
        EXPECT_EQ(FirstDifference(DatabaseDump(Root() + kept.first()), before), QString());
        EXPECT_TRUE(session.messages.last().contains(kept.first()));
        // The backups and the patient folders are as they were.
        EXPECT_EQ(PatientCount(folders->GetBackupPath(Slots[i])), 4 - i);
        EXPECT_EQ(FileHash(Root() + QStringLiteral("UserData/1/Images/x-ray.png")),
            QCryptographicHash::hash("picture of today", QCryptographicHash::Sha256));
    }
}

TEST_F(RestoreTest, AChosenFileIsRestoredAndACopyThatCannotBeTrustedIsRefusedLeavingThePracticeAsItWas)
{
    auto hub = OpenHub();
    HubSession session(*hub);
    ScriptedBackupChooser chooser(hub->Services());

    const QString damaged = dir.filePath(QStringLiteral("damaged.mdb"));
    MakePractice(damaged, QStringList(200, QStringLiteral("Patient with a long name to fill pages")));
    Damage(damaged);
    const QString newer = dir.filePath(QStringLiteral("newer.mdb"));
    MakePractice(newer, { QStringLiteral("Future") });
    RunSql(newer, "PRAGMA user_version = 99");
    const QString foreign = dir.filePath(QStringLiteral("foreign.db"));
    RunSql(foreign, "CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)");
    ASSERT_TRUE(dir.writeFile(QStringLiteral("letter.mdb"), "Dear patient"));

    const QStringList before = DatabaseDump(Database());
    const struct
    {
        QString path;
        const char *reason;
    } refused[] = {
        { damaged, "damaged" },
        { newer, "newer version" },
        { foreign, "not a Verdanta database" },
        { dir.filePath(QStringLiteral("letter.mdb")), "damaged" },
        { Database(), "own database" },
        { dir.filePath(QStringLiteral("missing.mdb")), "does not exist" },
    };
    for (const auto &copy : refused) {
        chooser.choice = copy.path;
        prompts.Clear();
        EXPECT_EQ(SendCommand(*hub, CommandCode::RestoreBackup), 0) << copy.reason;
        ASSERT_EQ(prompts.Count(), 1) << copy.reason;
        EXPECT_TRUE(prompts.LastText().contains(QLatin1String(copy.reason)))
            << prompts.LastText().toStdString();
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("stays as it is")));
        EXPECT_FALSE(session.HasWork());
    }
    EXPECT_EQ(DatabaseDump(Database()), before);
    EXPECT_TRUE(KeptCopies().isEmpty());

    // Saying no changes nothing either.
    const QString chosen = dir.filePath(QStringLiteral("elsewhere/copy.mdb"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("elsewhere"))));
    MakePractice(chosen, { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") });
    chooser.choice = chosen;
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_EQ(SendCommand(*hub, CommandCode::RestoreBackup), 0);
    EXPECT_FALSE(session.HasWork());

    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_EQ(SendCommand(*hub, CommandCode::RestoreBackup), 1);
    ASSERT_TRUE(session.RunQueued());
    EXPECT_EQ(hub->GetMainTable()->RecordCount(), 3);
    // The chosen file itself is left as it was.
    EXPECT_EQ(PatientCount(chosen), 3);
    EXPECT_EQ(KeptCopies().size(), 1);
}

TEST_F(RestoreTest, ADamagedDatabaseIsFoundByTheCheckAndTheNewestGoodBackupOffered)
{
    {
        auto hub = OpenHub();
        prompts.Clear();
        EXPECT_EQ(SendCommand(*hub, CommandCode::CheckDatabase), 1);
        ASSERT_EQ(prompts.Count(), 1);
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("sound")));
    }
    // A database with damage in its rows, and a damaged newest backup.
    DamageInvoices(Database());
    DamageInvoices(folders->GetBackupPath(Slot::ThisWeek));

    auto hub = OpenHub();
    auto session = std::make_unique<HubSession>(*hub);
    prompts.Clear();
    prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_EQ(SendCommand(*hub, CommandCode::CheckDatabase), 1);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("damaged")));
    EXPECT_TRUE(prompts.LastText().contains(PracticeRestore::SlotTitle(Slot::LastWeek)))
        << prompts.LastText().toStdString();
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("data-damaged-")));
    const QByteArray damaged = FileHash(Database());
    ASSERT_TRUE(session->RunQueued());
    EXPECT_EQ(hub->GetMainTable()->RecordCount(), 3);
    const QStringList kept = KeptCopies();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.first().startsWith(QStringLiteral("data-damaged-")));
    EXPECT_EQ(FileHash(Root() + kept.first()), damaged);

    // Without any good backup, the person is told what to do instead.
    session.reset();
    hub.reset();
    for (Slot slot : Slots)
        QFile::remove(folders->GetBackupPath(slot));
    DamageInvoices(Database());
    hub = OpenHub();
    prompts.Clear();
    EXPECT_EQ(SendCommand(*hub, CommandCode::CheckDatabase), 0);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("No good backup")));
}

TEST(RestoreNames, GenerationsAreNamedAsOnTheCommandLine)
{
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("lastweek")), Slot::LastWeek);
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("ThisWeek")), Slot::ThisWeek);
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("BeforeBeforeLastWeek")), Slot::BeforeBeforeLastWeek);
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("3")), Slot::BeforeLastWeek);
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("5")), std::nullopt);
    EXPECT_EQ(PracticeRestore::SlotNamed(QStringLiteral("backup.mdb")), std::nullopt);
}
