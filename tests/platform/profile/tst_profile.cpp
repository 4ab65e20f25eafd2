#include "profile/IniFile.h"
#include "profile/KeyValueStore.h"
#include "profile/UserSettings.h"
#include "profile/WindowsDirectory.h"
#include "support/TestSupport.h"

#include <QtCore/QFile>
#include <QtCore/QScopeGuard>
#include <QtCore/QSettings>

#include <gtest/gtest.h>

using namespace Profile;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(IniFile, ReadsLikeThePlatformProfileFunctions)
{
    IniFile ini;
    ini.Parse(QStringLiteral("; a comment\n"
                             "[Radar]\n"
                             "  Directory = C:\\Radar\\Requests\\  \n"
                             "class=\"xRadar\"\n"
                             "Quoted='  kept inside  '\n"
                             "Formula=a=b\n"
                             "directory=second wins not\n"
                             "\n"
                             "[RADAR]\n"
                             "Extra=ignored, the first section of a name wins\n"
                             "[Other]\n"
                             "Empty=\n"));
    EXPECT_EQ(ini.Value(QStringLiteral("radar"), QStringLiteral("DIRECTORY")),
        QStringLiteral("C:\\Radar\\Requests\\"));
    EXPECT_EQ(ini.Value(QStringLiteral("Radar"), QStringLiteral("Class")), QStringLiteral("xRadar"));
    EXPECT_EQ(
        ini.Value(QStringLiteral("Radar"), QStringLiteral("Quoted")), QStringLiteral("  kept inside  "));
    EXPECT_EQ(ini.Value(QStringLiteral("Radar"), QStringLiteral("Formula")), QStringLiteral("a=b"));
    EXPECT_EQ(ini.Value(QStringLiteral("Radar"), QStringLiteral("Extra"), QStringLiteral("dflt")),
        QStringLiteral("dflt"));
    EXPECT_TRUE(ini.Contains(QStringLiteral("other"), QStringLiteral("empty")));
    EXPECT_EQ(ini.Value(QStringLiteral("Other"), QStringLiteral("Empty"), QStringLiteral("dflt")), QString());
    EXPECT_FALSE(ini.Contains(QStringLiteral("Missing"), QStringLiteral("Empty")));
    EXPECT_EQ(ini.Sections(),
        (QStringList { QStringLiteral("Radar"), QStringLiteral("RADAR"), QStringLiteral("Other") }));
    EXPECT_EQ(ini.Keys(QStringLiteral("radar")),
        (QStringList { QStringLiteral("Directory"), QStringLiteral("class"), QStringLiteral("Quoted"),
            QStringLiteral("Formula"), QStringLiteral("directory") }));
}

TEST(IniFile, WritesKeepTheRestOfTheFileAndItsOrder)
{
    IniFile ini;
    ini.Parse(QStringLiteral(
        "[Verdanta]\r\nDirectory=/old/\r\nStale=1\r\n\r\n; Radar's part\r\n[Radar]\r\nClass=x\r\n"));
    EXPECT_TRUE(ini.SetValue(QStringLiteral("radar"), QStringLiteral("CLASS"), QStringLiteral("y")));
    EXPECT_TRUE(ini.SetValue(QStringLiteral("Radar"), QStringLiteral("Directory"), QStringLiteral("/in")));
    EXPECT_TRUE(ini.SetValue(QStringLiteral("New"), QStringLiteral("Key"), QStringLiteral("v")));
    // The whole section is replaced, the comment and blank line that close it stay.
    EXPECT_TRUE(ini.SetSection(QStringLiteral("VERDANTA"),
        { QStringLiteral("Directory=/root/"), QStringLiteral("Exe=Verdanta.exe") }));
    EXPECT_EQ(ini.ToText(),
        QStringLiteral("[Verdanta]\r\nDirectory=/root/\r\nExe=Verdanta.exe\r\n\r\n; Radar's part\r\n"
                       "[Radar]\r\nCLASS=y\r\nDirectory=/in\r\n[New]\r\nKey=v\r\n"));
    ini.RemoveKey(QStringLiteral("radar"), QStringLiteral("class"));
    ini.RemoveSection(QStringLiteral("new"));
    EXPECT_EQ(ini.Keys(QStringLiteral("Radar")), QStringList { QStringLiteral("Directory") });
    EXPECT_FALSE(ini.ContainsSection(QStringLiteral("New")));
}

TEST(IniFile, RefusesWritesThatWouldAddLinesOfTheirOwn)
{
    IniFile ini;
    ini.Parse(QStringLiteral("[Verdanta]\nDirectory=/a/\n"));
    const QString before = ini.ToText();
    EXPECT_FALSE(ini.SetValue(QStringLiteral("Verdanta"), QStringLiteral("Directory"),
        QStringLiteral("/evil\n[Radar]\nDirectory=/tmp")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("Verdanta"), QStringLiteral("A=B"), QStringLiteral("x")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("Verdanta"), QStringLiteral(" "), QStringLiteral("x")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("Ra]dar"), QStringLiteral("Key"), QStringLiteral("x")));
    EXPECT_FALSE(ini.SetSection(QStringLiteral("Verdanta"), { QStringLiteral("Directory=/a\r\nExe=x") }));
    EXPECT_EQ(ini.ToText(), before);
}

TEST(IniFile, FilesInTheWindowsDirectoryAndFailures)
{
    TestSupport::TemporaryFolder dir;
    const QByteArray previous = qgetenv("VERDANTA_WINDOWS_DIR");
    qputenv("VERDANTA_WINDOWS_DIR", dir.filePath(QStringLiteral("win")).toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("VERDANTA_WINDOWS_DIR", previous); });
    EXPECT_EQ(WindowsDirectory(), dir.filePath(QStringLiteral("win")));
    EXPECT_EQ(
        ResolveProfilePath(QStringLiteral("Shared.ini")), dir.filePath(QStringLiteral("win/Shared.ini")));
    EXPECT_EQ(ResolveProfilePath(QStringLiteral("/etc/x.ini")), QStringLiteral("/etc/x.ini"));

    // A missing file reads the defaults; writing creates the folder and the file.
    EXPECT_EQ(GetProfileString(QStringLiteral("Radar"), QStringLiteral("Class"), QStringLiteral("d"),
                  QStringLiteral("Shared.ini")),
        QStringLiteral("d"));
    EXPECT_TRUE(WriteProfileSection(
        QStringLiteral("Verdanta"), { QStringLiteral("Title=Verdanta") }, QStringLiteral("Shared.ini")));
    EXPECT_TRUE(WriteProfileString(
        QStringLiteral("Radar"), QStringLiteral("Class"), QStringLiteral("c"), QStringLiteral("Shared.ini")));
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("win/Shared.ini"))),
        QByteArray("[Verdanta]\nTitle=Verdanta\n[Radar]\nClass=c\n"));
    EXPECT_EQ(GetProfileString(
                  QStringLiteral("radar"), QStringLiteral("class"), QString(), QStringLiteral("Shared.ini")),
        QStringLiteral("c"));

    // A folder where a file should be, a folder that cannot be made, an oversized file.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("win/Folder.ini"))));
    IniFile ini;
    EXPECT_FALSE(ini.Load(dir.filePath(QStringLiteral("win/Folder.ini"))));
    EXPECT_FALSE(WriteProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"),
        dir.filePath(QStringLiteral("win/Folder.ini"))));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("plain"), "x"));
    EXPECT_FALSE(WriteProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"),
        dir.filePath(QStringLiteral("plain/sub/x.ini"))));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("huge.ini"), QByteArray(17 * 1024 * 1024, 'x')));
    QString error;
    EXPECT_FALSE(ini.Load(dir.filePath(QStringLiteral("huge.ini")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(GetProfileString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d"),
                  dir.filePath(QStringLiteral("huge.ini"))),
        QStringLiteral("d"));
    // A bad write leaves the file as it was.
    const QByteArray before = ReadAll(dir.filePath(QStringLiteral("win/Shared.ini")));
    EXPECT_FALSE(WriteProfileString(QStringLiteral("Radar"), QStringLiteral("Class"), QStringLiteral("a\nb"),
        QStringLiteral("Shared.ini")));
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("win/Shared.ini"))), before);
}

TEST(KeyValueStore, MissingEmptyAndStoredValuesInAFile)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("store.ini"));
    QString value = QStringLiteral("untouched");
    {
        IniKeyValueStore store(path, QStringLiteral("Lyren"));
        EXPECT_FALSE(store.Read(QStringLiteral("LastBackupTS"), &value));
        EXPECT_EQ(value, QStringLiteral("untouched"));
        EXPECT_TRUE(store.Write(QStringLiteral("LastBackupTS"), QString()));
        EXPECT_TRUE(store.Read(QStringLiteral("LastBackupTS"), &value));
        EXPECT_EQ(value, QString());
    }
    IniKeyValueStore again(path, QStringLiteral("Lyren"));
    EXPECT_TRUE(again.Write(QStringLiteral("LastBackupTS"), QStringLiteral("2009/03/07")));
    EXPECT_TRUE(again.Read(QStringLiteral("lastbackupts"), &value));
    EXPECT_EQ(value, QStringLiteral("2009/03/07"));

    ASSERT_TRUE(dir.writeFile(QStringLiteral("plain"), "x"));
    IniKeyValueStore broken(dir.filePath(QStringLiteral("plain/store.ini")), QStringLiteral("Lyren"));
    EXPECT_FALSE(broken.Write(QStringLiteral("LastBackupTS"), QString()));
    EXPECT_FALSE(broken.Read(QStringLiteral("LastBackupTS"), &value));

    MemoryKeyValueStore memory;
    EXPECT_TRUE(memory.Write(QStringLiteral("k"), QStringLiteral("v")));
    memory.SetReadable(false);
    EXPECT_FALSE(memory.Read(QStringLiteral("k"), &value));
    memory.SetWritable(false);
    EXPECT_FALSE(memory.Write(QStringLiteral("k"), QStringLiteral("w")));
}

TEST(UserSettings, StoredIntegersOrDefaults)
{
    QtUserSettings user;
    EXPECT_EQ(user.GetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness"), 1), 1);
    EXPECT_TRUE(user.SetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness"), 0));
    EXPECT_EQ(QtUserSettings().GetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness"), 1), 0);
    QSettings().setValue(QStringLiteral("UserSettings/Broken"), QStringLiteral("not a number"));
    EXPECT_EQ(user.GetInt(QStringLiteral("UserSettings"), QStringLiteral("Broken"), 7), 7);

    {
        MemoryUserSettings memory;
        EXPECT_EQ(&UserSettings(), &memory);
        EXPECT_EQ(
            UserSettings().GetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness"), 1), 1);
        UserSettings().SetInt(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness"), 5);
        EXPECT_TRUE(memory.Contains(QStringLiteral("UserSettings"), QStringLiteral("ShowWellness")));
    }
    EXPECT_NE(dynamic_cast<QtUserSettings *>(&UserSettings()), nullptr);
}
