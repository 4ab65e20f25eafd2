#include "StorageFaults.h"

#include "core/CommandCodes.h"

#include "support/ScriptedDesktop.h"

#include <unistd.h>

using namespace SafetyTest;
using Slot = CLogicFolders::BackupSlot;

namespace {

class StorageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MakePractice(Database(), { QStringLiteral("Anna") });
        ASSERT_TRUE(
            dir.writeFile(QStringLiteral("UserData/1/StorageProbe.xml"), "<MetaWords>before</MetaWords>"));
    }
    QString Root() const { return dir.rootWithSeparator(); }
    QString Database() const { return Root() + QStringLiteral("data.mdb"); }
    QString SideFile() const { return Root() + QStringLiteral("UserData/1/StorageProbe.xml"); }

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    PatientWriter::Setting setting;
};

// Folders made read-only for the length of a test; a process that may write
// anything (the superuser) is not stopped by them.
class ReadOnly
{
public:
    explicit ReadOnly(QStringList folders)
        : m_folders(std::move(folders))
    {
        for (const QString &folder : m_folders)
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~ReadOnly()
    {
        for (const QString &folder : m_folders)
            QFile::setPermissions(
                folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    static bool Works() { return ::geteuid() != 0; }

private:
    QStringList m_folders;
};

} // namespace

TEST_F(StorageTest, ASaveTheDatabaseCannotHoldIsToldLosesNothingAndSucceedsOnceThereIsRoom)
{
    auto hub = OpenWritingHub(Root(), &setting);
    ASSERT_EQ(SendCommand(*hub, CommandCode::SavePatient), 1);
    EXPECT_EQ(prompts.Count(), 0);
    const QStringList before = DatabaseDump(Database());
    const qint64 rows = RowCount(Database(), QStringLiteral("COMES_FOR"));
    const QByteArray file = FileHash(SideFile());

    // The database may not grow: as on a full disk.
    ASSERT_TRUE(Korbel::LimitDatabaseSize(hub->GetDataSource(), 1));
    setting.rowBytes = 300000;
    setting.sideFile = "<MetaWords>after</MetaWords>";
    EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 0);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("the disk is full")));
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("Nothing saved before is lost")));
    EXPECT_EQ(prompts.LastIcon(), Desktop::Icon::Error);
    EXPECT_EQ(DatabaseDump(Database()), before);
    EXPECT_EQ(FileHash(SideFile()), file);

    // The program goes on: a patient whose save fails is not left, and says so.
    EXPECT_EQ(SendCommand(*hub, CommandCode::NewPatient), 0);
    EXPECT_EQ(prompts.Count(), 2);
    EXPECT_EQ(hub->GetMainTable()->RecordCount(), 1);

    ASSERT_TRUE(Korbel::LimitDatabaseSize(hub->GetDataSource(), 0));
    EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 1);
    EXPECT_EQ(prompts.Count(), 2);
    EXPECT_EQ(RowCount(Database(), QStringLiteral("COMES_FOR")), rows + 1);
    QFile written(SideFile());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), setting.sideFile);
}

TEST_F(StorageTest, ASideFileOrWeeklyBackupInAReadOnlyFolderIsToldAndTheFilesAsTheyWereStay)
{
    if (!ReadOnly::Works())
        GTEST_SKIP()
            << "the superuser writes into read-only folders (tst_safety_disk covers this on a read-only "
               "file system)";
    const CLogicFolders folders(Root(), QString());
    ASSERT_TRUE(QDir().mkpath(folders.GetBackupSlotFolder(Slot::ThisWeek)));
    MakePractice(folders.GetBackupPath(Slot::ThisWeek), { QStringLiteral("Last week's") });
    const QByteArray backup = FileHash(folders.GetBackupPath(Slot::ThisWeek));
    auto hub = OpenWritingHub(Root(), &setting);
    const QByteArray file = FileHash(SideFile());
    setting.sideFile = "<MetaWords>after</MetaWords>";
    {
        ReadOnly guard({ Root() + QStringLiteral("UserData/1"), folders.GetBackupSlotFolder(Slot::ThisWeek),
            folders.GetBackupSlotFolder(Slot::LastWeek) });
        EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 0);
        ASSERT_EQ(prompts.Count(), 1);
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("could not write")));
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("StorageProbe.xml")));
        EXPECT_EQ(FileHash(SideFile()), file);

        prompts.Clear();
        hub->OnMainWindowClosing(QDateTime::currentDateTime());
        EXPECT_TRUE(prompts.Texts()
                        .join(QLatin1Char('\n'))
                        .contains(QStringLiteral("weekly backup could not be made")));
        EXPECT_EQ(FileHash(folders.GetBackupPath(Slot::ThisWeek)), backup);
        EXPECT_FALSE(QFileInfo::exists(folders.GetBackupPath(Slot::LastWeek)));
    }
}
