#include "ShellTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "shell/CLogicBackup.h"
#include "shell/CLogicConfiguration.h"

#include "Lumisk/ILumisk.h"
#include "profile/KeyValueStore.h"
#include "shell/ui/ImageManager.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QSlider>

using namespace ShellTest;
using Slot = CLogicFolders::BackupSlot;

namespace {

class ConfigurationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = OpenSource(dir.filePath(QStringLiteral("data.mdb")));
        table = OpenTable(source.get(), QStringLiteral("APP_CONFIGURATION"));
    }
    QString Value(const QString &id)
    {
        if (table->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id) != 1)
            return QStringLiteral("<missing>");
        return Get(table.get(), QStringLiteral("VALUE"));
    }
    void SetValue(const QString &id, const QString &value)
    {
        ASSERT_EQ(table->Locate(QStringLiteral("ID"), Korbel::LocateEqual, id), 1);
        ASSERT_EQ(table->Edit(), 1);
        ASSERT_TRUE(Set(table.get(), QStringLiteral("VALUE"), value));
        ASSERT_TRUE(table->Update());
    }

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    Profile::MemoryKeyValueStore store;
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> table;
    CLogicConfiguration configuration { &store };
};

} // namespace

TEST_F(ConfigurationTest, OpenMakesSureTheBackupStampExistsAndKeepsAStoredOne)
{
    EXPECT_TRUE(configuration.Open(source.get()));
    QString stamp = QStringLiteral("unset");
    EXPECT_TRUE(configuration.ReadLastBackupStamp(&stamp));
    EXPECT_EQ(stamp, QString());
    EXPECT_EQ(prompts.Count(), 0);

    ASSERT_TRUE(configuration.WriteLastBackupStamp(QStringLiteral("2009/03/07")));
    configuration.Open(source.get());
    EXPECT_TRUE(configuration.ReadLastBackupStamp(&stamp));
    EXPECT_EQ(stamp, QStringLiteral("2009/03/07"));

    EXPECT_FALSE(configuration.Open(nullptr));
}

TEST_F(ConfigurationTest, MediaQualityIsAppliedAsA16BitValueAndStoredAfterTheDialog)
{
    SetValue(QStringLiteral("2"), QStringLiteral("6"));
    configuration.Open(source.get());
    auto *control = new FakeMediaControl;
    const Component::DispatchDriver driver(static_cast<Component::IUnknown *>(control));
    configuration.AttachMediaControl(driver);
    ASSERT_EQ(control->puts.size(), 1);
    EXPECT_EQ(control->puts[0].typeId(), QMetaType::Short);
    EXPECT_EQ(control->level, 6);

    // The person picks level 2 in the control's dialog.
    control->level = 2;
    LogicCommand command;
    command.code = CommandCode::Options;
    command.subCommand = FrameCommand::MediaQuality;
    EXPECT_EQ(configuration.OnCommand(command), 1);
    EXPECT_EQ(control->dialogs, 1);
    EXPECT_EQ(Value(QStringLiteral("2")), QStringLiteral("2"));
    EXPECT_EQ(Value(QStringLiteral("1")), QStringLiteral("50"));

    // The dialog reports a failure: nothing is stored.
    control->dialogStatus = Component::E_FAIL;
    control->level = 5;
    EXPECT_EQ(configuration.EditMediaQuality(), 0);
    EXPECT_EQ(Value(QStringLiteral("2")), QStringLiteral("2"));

    // Without a control there is nothing to ask.
    configuration.AttachMediaControl({});
    EXPECT_EQ(configuration.EditMediaQuality(), 0);
    command.subCommand = 0;
    EXPECT_EQ(configuration.OnCommand(command), 0);
}

namespace {

int ImageQuality()
{
    int quality = -1;
    ILumiskFactory()->GetQuality(&quality);
    return quality;
}

// Answers the image manager's quality dialog once it is shown: moves its
// slider to 'quality' and confirms, or cancels when quality is negative.
void AnswerQualityDialog(int quality)
{
    QTimer::singleShot(0, [quality] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (quality < 0) {
            dialog->reject();
            return;
        }
        dialog->findChild<QSlider *>()->setValue(quality);
        dialog->accept();
    });
}

} // namespace

TEST_F(ConfigurationTest, ImageQualityIsAppliedToTheImageManagerAndStoredAfterItsDialog)
{
    CLumiskImageManager manager;
    configuration.SetImageQuality(&manager);
    SetValue(QStringLiteral("1"), QStringLiteral("80"));
    ASSERT_TRUE(configuration.Open(source.get()));
    EXPECT_EQ(ImageQuality(), 80);

    AnswerQualityDialog(35);
    LogicCommand command;
    command.code = CommandCode::Options;
    command.subCommand = FrameCommand::ImagesQuality;
    EXPECT_EQ(configuration.OnCommand(command), 1);
    EXPECT_EQ(Value(QStringLiteral("1")), QStringLiteral("35"));
    EXPECT_EQ(Value(QStringLiteral("2")), QStringLiteral("4"));

    // Cancelled: nothing is stored.
    AnswerQualityDialog(-1);
    EXPECT_EQ(configuration.EditImageQuality(), 0);
    EXPECT_EQ(Value(QStringLiteral("1")), QStringLiteral("35"));

    // A value the image manager refuses leaves its quality as it was.
    SetValue(QStringLiteral("1"), QStringLiteral("250"));
    EXPECT_FALSE(configuration.Open(source.get()));
    EXPECT_EQ(ImageQuality(), 35);
}

TEST_F(ConfigurationTest, MissingRowsLeaveComponentsAtTheirDefaultsAndOtherRowsUntouched)
{
    ASSERT_EQ(table->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
    ASSERT_GT(table->Delete(), 0);
    CLumiskImageManager manager;
    configuration.SetImageQuality(&manager);
    EXPECT_TRUE(configuration.Open(source.get()));
    auto *control = new FakeMediaControl;
    configuration.AttachMediaControl(Component::DispatchDriver(static_cast<Component::IUnknown *>(control)));
    EXPECT_TRUE(control->puts.isEmpty());
    // The chosen level has no row to go to; the image quality row must not take it.
    control->level = 3;
    EXPECT_EQ(configuration.EditMediaQuality(), 0);
    EXPECT_EQ(Value(QStringLiteral("1")), QStringLiteral("50"));
    EXPECT_EQ(Value(QStringLiteral("2")), QStringLiteral("<missing>"));

    ASSERT_EQ(table->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("1")), 1);
    ASSERT_GT(table->Delete(), 0);
    EXPECT_FALSE(configuration.Open(source.get()));
    EXPECT_EQ(prompts.Count(), 0);
    configuration.Close();
    EXPECT_EQ(configuration.EditImageQuality(), 0);
}

TEST(Backup, DueAfterSevenDaysForAFutureDayAndForAnUnreadableStamp)
{
    const QDate today(2026, 3, 10);
    EXPECT_TRUE(CLogicBackup::IsDue(QString(), today));
    EXPECT_TRUE(CLogicBackup::IsDue(QStringLiteral("not a date"), today));
    EXPECT_TRUE(CLogicBackup::IsDue(QStringLiteral("2026/13/45"), today));
    EXPECT_FALSE(CLogicBackup::IsDue(QStringLiteral("2026/03/10"), today));
    EXPECT_FALSE(CLogicBackup::IsDue(QStringLiteral("2026/03/04"), today)); // six days
    EXPECT_TRUE(CLogicBackup::IsDue(QStringLiteral("2026/03/03"), today)); // seven days
    EXPECT_TRUE(CLogicBackup::IsDue(QStringLiteral("2026/03/11"), today)); // tomorrow
    EXPECT_TRUE(CLogicBackup::IsDue(QStringLiteral("2025/03/11"), today));
    // A date in the user's own format is read too.
    EXPECT_FALSE(CLogicBackup::IsDue(QStringLiteral("3/8/2026"), today));
}

namespace {

class BackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = OpenSource(folders.GetDatabasePath());
        main = OpenTable(source.get(), QStringLiteral("MAIN"));
    }
    void AddPatient()
    {
        ASSERT_TRUE(main->AddNew());
        ASSERT_TRUE(main->Update());
    }
    int PatientsIn(Slot slot)
    {
        const QString path = folders.GetBackupPath(slot);
        if (!QFileInfo::exists(path))
            return -1;
        auto copy = OpenSource(path);
        return OpenTable(copy.get(), QStringLiteral("MAIN"))->RecordCount();
    }
    QString Stamp()
    {
        QString stamp;
        return configuration.ReadLastBackupStamp(&stamp) ? stamp : QStringLiteral("<unreadable>");
    }
    bool Run(const QDate &day)
    {
        return backup.RunIfDue(configuration, folders, source.get(), QDateTime(day, QTime(18, 30)));
    }

    TestSupport::TemporaryFolder dir;
    CLogicFolders folders { dir.rootWithSeparator(), QString() };
    Profile::MemoryKeyValueStore store;
    CLogicConfiguration configuration { &store };
    CLogicBackup backup;
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> main;
};

} // namespace

TEST_F(BackupTest, FourGenerationsRotateWeeklyAndTheOldestIsDropped)
{
    // A first start has stored an empty stamp: the first close makes a backup.
    ASSERT_TRUE(configuration.WriteLastBackupStamp(QString()));
    const QDate start(2026, 1, 5);
    for (int week = 0; week < 5; ++week) {
        AddPatient();
        EXPECT_TRUE(Run(start.addDays(7 * week))) << week;
        EXPECT_EQ(Stamp(), start.addDays(7 * week).toString(QStringLiteral("yyyy/MM/dd")));
        EXPECT_FALSE(Run(start.addDays(7 * week + 6))) << week;
    }
    EXPECT_EQ(PatientsIn(Slot::ThisWeek), 5);
    EXPECT_EQ(PatientsIn(Slot::LastWeek), 4);
    EXPECT_EQ(PatientsIn(Slot::BeforeLastWeek), 3);
    EXPECT_EQ(PatientsIn(Slot::BeforeBeforeLastWeek), 2);
    QStringList files;
    for (const QString &slot : QDir(folders.GetBackupFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        files += QDir(folders.GetBackupFolder() + slot).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 4) << files.join(QLatin1Char(' ')).toStdString();

    // A stamp in the future means the clock went back: back up again.
    ASSERT_TRUE(configuration.WriteLastBackupStamp(QStringLiteral("2030/01/01")));
    EXPECT_TRUE(Run(start.addDays(40)));
}

TEST_F(BackupTest, TheCopyIsAValidDatabaseWhileTheProgramHoldsTheOriginal)
{
    ASSERT_TRUE(configuration.WriteLastBackupStamp(QString()));
    for (int i = 0; i < 25; ++i)
        AddPatient();
    // An edit in progress is not part of the copy, and the original keeps working.
    ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
    ASSERT_EQ(main->Edit(), 1);
    ASSERT_TRUE(Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("pending")));
    EXPECT_TRUE(Run(QDate(2026, 2, 2)));
    EXPECT_TRUE(main->Update());
    EXPECT_EQ(PatientsIn(Slot::ThisWeek), 25);
    auto copy = OpenSource(folders.GetBackupPath(Slot::ThisWeek));
    auto copied = OpenTable(copy.get(), QStringLiteral("MAIN"));
    ASSERT_EQ(copied->Move(Korbel::MoveFirst), 1);
    EXPECT_EQ(Get(copied.get(), QStringLiteral("FIRST_NAME")), QString());
}

TEST_F(BackupTest, NothingHappensOrIsRecordedWhenTheStampOrTheCopyFails)
{
    // The stamp cannot be read: no backup at this close.
    store.SetReadable(false);
    EXPECT_FALSE(Run(QDate(2026, 2, 2)));
    EXPECT_FALSE(QFileInfo::exists(folders.GetBackupFolder()));
    store.SetReadable(true);

    // A first good backup, then one whose copy cannot be written.
    ASSERT_TRUE(configuration.WriteLastBackupStamp(QString()));
    AddPatient();
    ASSERT_TRUE(Run(QDate(2026, 2, 2)));
    ASSERT_TRUE(QDir().mkpath(folders.GetBackupPath(Slot::ThisWeek) + QStringLiteral(".new/blocker")));
    EXPECT_FALSE(Run(QDate(2026, 2, 9)));
    EXPECT_EQ(Stamp(), QStringLiteral("2026/02/02"));
    EXPECT_EQ(PatientsIn(Slot::ThisWeek), 1); // the generations did not rotate
    EXPECT_EQ(PatientsIn(Slot::LastWeek), -1);

    // A failed write of the stamp leaves the backup due at the next close.
    QDir(folders.GetBackupPath(Slot::ThisWeek) + QStringLiteral(".new")).removeRecursively();
    store.SetWritable(false);
    EXPECT_TRUE(Run(QDate(2026, 2, 9)));
    EXPECT_TRUE(CLogicBackup::IsDue(Stamp(), QDate(2026, 2, 10)));
}
