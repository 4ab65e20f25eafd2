// The program on a file system that fills up or turns read-only, for real:
// small in-memory file systems mounted in a mount namespace of the test's own
// (see with-private-mounts.sh). Where the system gives no such namespace the
// tests are skipped; tst_storage covers the same through the data library's
// size limit and read-only folders.
#include "StorageFaults.h"

#include "core/CommandCodes.h"

#include "support/ScriptedDesktop.h"

#include <QtCore/QDirIterator>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

using namespace SafetyTest;
using Slot = CLogicFolders::BackupSlot;

namespace {

// A small in-memory file system over a folder for the length of a test.
class Mount
{
public:
    Mount(const QString &folder, const char *size)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = qEnvironmentVariableIsSet("VERDANTA_PRIVATE_MOUNTS")
            && ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~Mount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    Mount(const Mount &) = delete;
    Mount &operator=(const Mount &) = delete;

    bool IsMounted() const { return m_mounted; }
    QString Error() const { return m_error; }
    bool MakeReadOnly()
    {
        return ::mount(
                   nullptr, QFile::encodeName(m_folder).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
            == 0;
    }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};

#define REQUIRE_MOUNT(mount)                                                                                 \
    if (!(mount).IsMounted())                                                                                \
    GTEST_SKIP() << "no private mount namespace here (" << (mount).Error().toStdString() << ")"

// Fills the file system of a folder to the last byte.
void Fill(const QString &folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) { }
    filler.close();
}

QMap<QString, QByteArray> Snapshot(const QString &root)
{
    QMap<QString, QByteArray> files = TreeDump(root);
    // The journal beside the open database grows and shrinks with every
    // attempt; what counts is the database file and what it holds.
    for (const QString &name : { QStringLiteral("data.mdb-wal"), QStringLiteral("data.mdb-shm"),
             QStringLiteral("filler"), QStringLiteral("Logs/Verdanta.log") })
        files.remove(name);
    return files;
}

} // namespace

TEST(Disk, OnAFullDiskASaveAndTheWeeklyBackupAreToldNothingIsLostAndTheProgramGoesOn)
{
    TestSupport::TemporaryFolder dir;
    Mount disk(dir.filePath(QStringLiteral("disk")), "3m");
    REQUIRE_MOUNT(disk);
    Desktop::ScriptedPrompts prompts;
    const QString root = dir.filePath(QStringLiteral("disk/"));
    const QString database = root + QStringLiteral("data.mdb");
    MakePractice(database, { QStringLiteral("Anna"), QStringLiteral("Ion") });
    const CLogicFolders folders(root, QString());
    ASSERT_TRUE(QDir().mkpath(folders.GetBackupSlotFolder(Slot::LastWeek)));
    MakePractice(folders.GetBackupPath(Slot::LastWeek), { QStringLiteral("Anna") });
    ASSERT_TRUE(TestSupport::TemporaryFolder().isValid());
    QFile side(root + QStringLiteral("UserData/1/StorageProbe.xml"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("UserData/1")));
    ASSERT_TRUE(side.open(QIODevice::WriteOnly));
    side.write("<MetaWords>before</MetaWords>");
    side.close();

    PatientWriter::Setting setting;
    auto hub = OpenWritingHub(root, &setting);
    ASSERT_EQ(SendCommand(*hub, CommandCode::SavePatient), 1);
    Fill(root);
    const QMap<QString, QByteArray> before = Snapshot(root);
    const QStringList rows = DatabaseDump(database);

    setting.rowBytes = 200000;
    setting.sideFile = "<MetaWords>after</MetaWords>";
    EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 0);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("the disk is full")))
        << prompts.LastText().toStdString();
    EXPECT_EQ(Snapshot(root), before);
    EXPECT_EQ(DatabaseDump(database), rows);

    // The weekly backup at the close: told, the earlier copy as it was; the
    // final save fails the same way and is told too.
    prompts.Clear();
    hub->OnMainWindowClosing(QDateTime::currentDateTime());
    const QString told = prompts.Texts().join(QLatin1Char('\n'));
    EXPECT_TRUE(told.contains(QStringLiteral("weekly backup could not be made"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("the disk is full")));
    EXPECT_FALSE(hub->IsOpen());
    // Closing moved what was committed before the disk filled from the log
    // into the database file; what it holds is the same.
    QMap<QString, QByteArray> after = Snapshot(root);
    after.remove(QStringLiteral("data.mdb"));
    QMap<QString, QByteArray> expected = before;
    expected.remove(QStringLiteral("data.mdb"));
    EXPECT_EQ(after, expected);
    EXPECT_EQ(DatabaseDump(database), rows);

    // Once there is room, everything works again.
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("filler")));
    prompts.Clear();
    hub = OpenWritingHub(root, &setting);
    EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 1);
    hub->OnMainWindowClosing(QDateTime::currentDateTime());
    EXPECT_EQ(prompts.Count(), 0) << prompts.LastText().toStdString();
    EXPECT_EQ(PatientCount(folders.GetBackupPath(Slot::ThisWeek)), 2);
    EXPECT_EQ(PatientCount(folders.GetBackupPath(Slot::BeforeLastWeek)), 1);
}

TEST(Disk, ReadOnlyFoldersForSideFilesAndBackupsAreToldAndTheFilesAsTheyWereStay)
{
    TestSupport::TemporaryFolder dir;
    const QString root = dir.rootWithSeparator();
    Mount userData(root + QStringLiteral("UserData"), "1m");
    REQUIRE_MOUNT(userData);
    Mount backups(root + QStringLiteral("Backup"), "4m");
    REQUIRE_MOUNT(backups);
    Desktop::ScriptedPrompts prompts;
    MakePractice(root + QStringLiteral("data.mdb"), { QStringLiteral("Anna") });
    ASSERT_TRUE(
        dir.writeFile(QStringLiteral("UserData/1/StorageProbe.xml"), "<MetaWords>before</MetaWords>"));
    const CLogicFolders folders(root, QString());
    for (Slot slot : { Slot::ThisWeek, Slot::LastWeek, Slot::BeforeLastWeek, Slot::BeforeBeforeLastWeek })
        ASSERT_TRUE(QDir().mkpath(folders.GetBackupSlotFolder(slot)));
    MakePractice(folders.GetBackupPath(Slot::ThisWeek), { QStringLiteral("Anna"), QStringLiteral("Old") });
    const QMap<QString, QByteArray> files = TreeDump(root + QStringLiteral("UserData"));
    const QMap<QString, QByteArray> copies = TreeDump(root + QStringLiteral("Backup"));
    ASSERT_TRUE(userData.MakeReadOnly());
    ASSERT_TRUE(backups.MakeReadOnly());

    PatientWriter::Setting setting;
    auto hub = OpenWritingHub(root, &setting);
    // Loading the first patient saved it once already (and said so).
    prompts.Clear();
    setting.sideFile = "<MetaWords>after</MetaWords>";
    EXPECT_EQ(SendCommand(*hub, CommandCode::SavePatient), 0);
    ASSERT_EQ(prompts.Count(), 1);
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("could not write")));
    EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("StorageProbe.xml")));
    EXPECT_EQ(TreeDump(root + QStringLiteral("UserData")), files);

    prompts.Clear();
    hub->OnMainWindowClosing(QDateTime::currentDateTime());
    const QString told = prompts.Texts().join(QLatin1Char('\n'));
    EXPECT_TRUE(told.contains(QStringLiteral("weekly backup could not be made"))) << told.toStdString();
    EXPECT_EQ(TreeDump(root + QStringLiteral("Backup")), copies);
    EXPECT_EQ(TreeDump(root + QStringLiteral("UserData")), files);
}
