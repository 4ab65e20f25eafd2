#include "ShellTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/Loggers.h"
#include "core/UserSettings.h"

#include "Brevik/LogCapture.h"
#include "profile/IniFile.h"
#include "profile/UserSettings.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QScopeGuard>

using namespace ShellTest;
using Slot = CLogicFolders::BackupSlot;

namespace {

class FoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = dir.rootWithSeparator();
        ids = AddPatients(root + QStringLiteral("data.mdb"),
            { QStringLiteral("Anna"), QStringLiteral("Bert"), QStringLiteral("Carl") });
        source = OpenSource(root + QStringLiteral("data.mdb"));
        main = OpenTable(source.get(), QStringLiteral("MAIN"));
        folders.SetTables(source.get(), main.get());
    }
    bool Exists(const QString &relative) const { return QFileInfo(root + relative).isDir(); }

    TestSupport::TemporaryFolder dir;
    QString root;
    QStringList ids;
    ReleasePtr<Korbel::IDataSource> source;
    ReleasePtr<Korbel::ITable> main;
    CLogicFolders folders { dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")) };
};

} // namespace

TEST_F(FoldersTest, FixedAndPatientPathsUnderTheRoot)
{
    EXPECT_EQ(folders.GetDatabasePath(), root + QStringLiteral("data.mdb"));
    EXPECT_EQ(folders.GetUserDataFolder(), root + QStringLiteral("UserData"));
    EXPECT_EQ(folders.GetConsultationsPath(), root + QStringLiteral("UserData/Consultations.xml"));
    EXPECT_EQ(folders.GetDynamicFieldsDictionaryPath(),
        root + QStringLiteral("UserData/DynamicFieldsDictionary.xml"));
    EXPECT_EQ(folders.GetInvoiceTemplatesFolder(), root + QStringLiteral("Templates/Invoices/"));
    EXPECT_EQ(folders.GetBackupPath(Slot::ThisWeek), root + QStringLiteral("Backup/ThisWeek/data.mdb"));
    EXPECT_EQ(folders.GetBackupPath(Slot::BeforeBeforeLastWeek),
        root + QStringLiteral("Backup/BeforeBeforeLastWeek/data.mdb"));

    ASSERT_EQ(main->Move(Korbel::MoveLast), 1);
    const QString patient = root + QStringLiteral("UserData/") + ids[2] + QLatin1Char('/');
    EXPECT_EQ(folders.GetPatientFolder(), patient);
    EXPECT_EQ(folders.GetImagesFolder(), patient + QStringLiteral("Images/"));
    EXPECT_EQ(folders.GetMediaFolder(), patient + QStringLiteral("Media/"));
    EXPECT_EQ(folders.GetPdfFolder(), patient + QStringLiteral("Pdf/"));
    EXPECT_EQ(folders.GetInvoicesFolder(), patient + QStringLiteral("Invoices/"));
}

TEST_F(FoldersTest, APatientWithoutIdHasNoFolders)
{
    // A new row that is not written yet has no ID.
    ASSERT_TRUE(main->AddNew());
    EXPECT_EQ(folders.GetPatientFolder(), QString());
    EXPECT_EQ(folders.GetImagesFolder(), QString());
    EXPECT_EQ(folders.GetInvoicesFolder(), QString());
    EXPECT_FALSE(folders.CreatePatientFolders());
    EXPECT_FALSE(folders.DeletePatientFolder());
    EXPECT_FALSE(Exists(QStringLiteral("UserData")));
    main->CancelUpdate();

    CLogicFolders detached(root, QString());
    EXPECT_EQ(detached.GetPatientFolder(), QString());
    EXPECT_FALSE(detached.CreatePatientFolders());
    EXPECT_FALSE(detached.CreateAllPatientFolders());
}

TEST_F(FoldersTest, FoldersOfEveryPatientAreMadeAndMainIsBackOnTheFirst)
{
    ASSERT_EQ(main->Move(Korbel::MoveLast), 1);
    // One patient already has some of its folders: the rest are added.
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("UserData/") + ids[1] + QStringLiteral("/Images")));
    EXPECT_TRUE(folders.CreateAllPatientFolders());
    for (const QString &id : ids) {
        for (const char *sub : { "", "/Images", "/Pdf", "/Media", "/Invoices" })
            EXPECT_TRUE(Exists(QStringLiteral("UserData/") + id + QLatin1String(sub)))
                << id.toStdString() << sub;
    }
    EXPECT_EQ(Get(main.get(), QStringLiteral("ID")), ids[0]);
    // A second start finds everything in place.
    EXPECT_TRUE(folders.CreateAllPatientFolders());

    // An empty patient table is not an error.
    TestSupport::TemporaryFolder empty;
    auto emptySource = OpenSource(empty.filePath(QStringLiteral("data.mdb")));
    auto emptyMain = OpenTable(emptySource.get(), QStringLiteral("MAIN"));
    CLogicFolders none(empty.rootWithSeparator(), QString());
    none.SetTables(emptySource.get(), emptyMain.get());
    EXPECT_TRUE(none.CreateAllPatientFolders());
    EXPECT_FALSE(QFileInfo::exists(empty.filePath(QStringLiteral("UserData"))));
}

TEST_F(FoldersTest, DeletingAPatientFolderRemovesReadOnlyEntriesAndNeverFollowsLinks)
{
    ASSERT_TRUE(folders.CreatePatientFolders());
    const QString patient = folders.GetPatientFolder();
    ASSERT_TRUE(
        dir.writeFile(QStringLiteral("UserData/") + ids[0] + QStringLiteral("/Pdf/report.pdf"), "pdf"));
    ASSERT_TRUE(dir.writeFile(
        QStringLiteral("UserData/") + ids[0] + QStringLiteral("/Images/deep/photo.jpg"), "jpg"));
    QFile::setPermissions(patient + QStringLiteral("Pdf/report.pdf"), QFileDevice::ReadOwner);
    QFile::setPermissions(
        patient + QStringLiteral("Images/deep"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // A link to a folder outside the patient's: the link goes, the folder stays.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("outside/keep.txt"), "keep"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("outside")), patient + QStringLiteral("Media/link")));

    EXPECT_TRUE(folders.DeletePatientFolder());
    EXPECT_FALSE(QFileInfo::exists(patient));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("outside/keep.txt"))));
    EXPECT_TRUE(Exists(QStringLiteral("UserData")));
    // Nothing left to delete.
    EXPECT_FALSE(folders.DeletePatientFolder());
}

TEST_F(FoldersTest, DeletingStopsAtTheFirstEntryThatCannotBeRemoved)
{
    ASSERT_TRUE(folders.CreatePatientFolders());
    const QString patient = folders.GetPatientFolder();
    const QString stuck = patient + QStringLiteral("Pdf/locked.pdf");
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/") + ids[0] + QStringLiteral("/Pdf/locked.pdf"), "x"));
    // An immutable file cannot be removed even by the superuser.
    if (QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("+i"), stuck }) != 0)
        GTEST_SKIP() << "the file system cannot make a file immutable here";
    const auto unlock = qScopeGuard([&] {
        QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), stuck });
    });

    EXPECT_FALSE(folders.DeletePatientFolder());
    EXPECT_TRUE(QFile::exists(stuck));
    EXPECT_TRUE(QFileInfo(patient).isDir());
}

TEST(LinkConfiguration, RadarFolderAndWindowClassFromTheSharedFileWithTheirLogLines)
{
    TestSupport::TemporaryFolder windows;
    Brevik::LogCapture capture;
    Loggers::Create(windows.rootWithSeparator());
    const auto release = qScopeGuard([] { Loggers::Release(); });
    CLogicFolders folders(QStringLiteral("/root/"), windows.path());
    const QString ini = windows.filePath(QStringLiteral("RadarVerdanta.ini"));
    EXPECT_EQ(folders.GetLinkConfigurationPath(), ini);
    // No file: the request goes to the current folder, the class is the default.
    EXPECT_EQ(folders.GetBroadcastPath(), QString());
    EXPECT_EQ(folders.GetTargetWindowClassName(), QStringLiteral("xRadar5100task9012"));
    const QList<Brevik::LogRecord> records = capture.Records();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].category, QStringLiteral("brevik.logic.folders"));
    EXPECT_EQ(records[0].level, 5);
    EXPECT_EQ(records[0].text,
        QStringLiteral("CLogicFolders::GetBroadcastPath() trying to read [Radar]/Directory key from ") + ini);
    EXPECT_EQ(records[1].category, QStringLiteral("brevik.logic.openconnectivity"));
    EXPECT_EQ(records[1].level, 5);
    EXPECT_EQ(records[1].text,
        QStringLiteral("CLogicFolders::GetTargetWindowClassName() class wnd value is empty. Using default"));

    ASSERT_TRUE(windows.writeFile(QStringLiteral("RadarVerdanta.ini"),
        "[Verdanta]\r\nDirectory=/root/\r\n[radar]\r\ndirectory = /srv/radar/in/\r\nClass=\r\n"));
    EXPECT_EQ(folders.GetBroadcastPath(), QStringLiteral("/srv/radar/in/"));
    EXPECT_EQ(folders.GetTargetWindowClassName(), QStringLiteral("xRadar5100task9012"));
    ASSERT_TRUE(Profile::WriteProfileString(
        QStringLiteral("Radar"), QStringLiteral("Class"), QStringLiteral("RadarMain"), ini));
    capture.Clear();
    EXPECT_EQ(folders.GetTargetWindowClassName(), QStringLiteral("RadarMain"));
    EXPECT_FALSE(capture.Contains(QStringLiteral("Using default")));
}

TEST(UserSettings, DisplaySettingsHaveTheirDefaultsAndAreKept)
{
    Profile::MemoryUserSettings settings;
    EXPECT_EQ(GetShowWellness(), 1);
    EXPECT_EQ(GetShowKeywords(), 0);
    SetShowWellness(0);
    SetShowKeywords(1);
    EXPECT_EQ(GetShowWellness(), 0);
    EXPECT_EQ(GetShowKeywords(), 1);
    EXPECT_EQ(settings.GetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowKeywords"), -1), 1);
}
