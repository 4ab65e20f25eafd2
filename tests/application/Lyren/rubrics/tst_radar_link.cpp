// Requests to the outside repertory program from a real practice: the real
// request file and configuration file, the window messages scripted.
#include "RubricsTestUtil.h"

#include "notes/NotesTestUtil.h"
#include "rubrics/CLogicOpenConnectivity.h"

#include "core/Loggers.h"

#include "Brevik/LogCapture.h"
#include "Sylvan/XmlPlatform.h"
#include "messagingtest/ScriptedWindowMessenger.h"
#include "profile/IniFile.h"

#include <QtCore/QDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

using namespace RubricsTest;
using MessagingTest::ScriptedWindowMessenger;

namespace {

const QString DefaultClass = QStringLiteral("xRadar5100task9012");

class RadarLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        if (!Loggers::Exist()) {
            Loggers::Create(practice.Root());
            m_bOwnLoggers = true;
        }
        metaWords = practice.Hub().Services().Get<CLogicMetaWords>();
        link = practice.Hub().Services().Get<CLogicOpenConnectivity>();
        ASSERT_NE(metaWords, nullptr);
        ASSERT_NE(link, nullptr);
        auto scripted = std::make_unique<ScriptedWindowMessenger>();
        messenger = scripted.get();
        link->SetMessenger(std::move(scripted));
        radarFolder = practice.Root() + QStringLiteral("radar");
        ASSERT_TRUE(QDir().mkpath(radarFolder));
        Configure(radarFolder, QString());
    }
    void TearDown() override
    {
        practice.Close();
        if (m_bOwnLoggers)
            Loggers::Release();
    }

    void Configure(const QString &directory, const QString &windowClass)
    {
        const QString ini = practice.Hub().Context().Folders().GetLinkConfigurationPath();
        QDir().mkpath(QFileInfo(ini).absolutePath());
        ASSERT_TRUE(Profile::WriteProfileString(
            QStringLiteral("Radar"), QStringLiteral("Directory"), directory, ini));
        ASSERT_TRUE(
            Profile::WriteProfileString(QStringLiteral("Radar"), QStringLiteral("Class"), windowClass, ini));
    }
    // Replaces the patient's lines by those of a file.
    void LoadLines(const std::vector<QStringList> &lines)
    {
        const QString path = metaWords->GetFilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(WordSearchFile(lines));
        file.close();
        ASSERT_EQ(metaWords->Load(), 1);
    }
    Leaves Request() const { return LeafElements(ReadAll(radarFolder + QStringLiteral("/VerdantaReq.xml"))); }
    QStringList Paths(const Leaves &leaves) const
    {
        QStringList paths;
        for (const auto &leaf : leaves)
            paths << leaf.first;
        return paths;
    }
    QString Value(const Leaves &leaves, const QString &path) const
    {
        for (const auto &leaf : leaves) {
            if (leaf.first == path)
                return leaf.second;
        }
        return QStringLiteral("<missing>");
    }
    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }

    Sylvan::PlatformScope xml;
    NotesTest::Practice practice;
    Brevik::LogCapture log;
    CLogicMetaWords *metaWords = nullptr;
    CLogicOpenConnectivity *link = nullptr;
    ScriptedWindowMessenger *messenger = nullptr;
    QString radarFolder;
    bool m_bOwnLoggers = false;
};

TEST_F(RadarLinkTest, OneLineGoesToTheWindowOfTheClassAndIsRestored)
{
    Configure(radarFolder + QLatin1Char('/'), QStringLiteral("RadarMain"));
    messenger->AddWindow(QStringLiteral("radarmain"));
    ASSERT_EQ(SendKeyword(practice.Hub(), 7, QStringLiteral("fear of dark")), 1);

    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 1);
    const Leaves request = Request();
    const QString id = practice.PatientIds().front();
    EXPECT_EQ(request,
        (Leaves { { QStringLiteral("Request/Type"), QStringLiteral("Calculate") },
            { QStringLiteral("Request/Start"), QStringLiteral("No") },
            { QStringLiteral("Request/Patient/Id"), id },
            { QStringLiteral("Request/Patient/Last_Name"), QStringLiteral("Annason") },
            { QStringLiteral("Request/Patient/First_Name"), QStringLiteral("Anna") },
            // A patient without a picture has the element, empty.
            { QStringLiteral("Request/Patient/Picture"), QString() },
            { QStringLiteral("Request/Consultation/Id"), QStringLiteral("7") },
            { QStringLiteral("Request/Consultation/Date"), Stamp },
            { QStringLiteral("Request/Consultation/Possible_Rubrics"), QStringLiteral("fear of dark") },
            { QStringLiteral("Request/Consultation/MM_Word_Search"), QStringLiteral("fear of dark") } }));
    EXPECT_EQ(Clipboard(), QStringLiteral("fear of dark"));
    ASSERT_EQ(messenger->Calls().size(), 2u);
    EXPECT_EQ(messenger->Calls()[0].kind, ScriptedWindowMessenger::Kind::Post);
    EXPECT_EQ(messenger->Calls()[0].message, 0x503u);
    EXPECT_EQ(messenger->Calls()[0].wParam, 0u);
    EXPECT_EQ(messenger->Calls()[0].lParam, 0);
    EXPECT_EQ(messenger->Calls()[1].kind, ScriptedWindowMessenger::Kind::Restore);

    const QString path = radarFolder + QStringLiteral("/VerdantaReq.xml");
    QStringList expected {
        QStringLiteral("CLogicFolders::GetBroadcastPath() trying to read [Radar]/Directory key from "),
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() trying to save document into file ") + path,
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() document has been successfully saved "),
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() detecting target window parameters"),
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() finding window: class = RadarMain"),
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() posting message to target wnd successfull"),
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() pactivating target app successfull"),
    };
    QStringList logged;
    for (const Brevik::LogRecord &record : log.Records())
        logged << record.text;
    int at = 0;
    for (const QString &line : expected) {
        while (at < logged.size() && !logged.at(at).startsWith(line))
            ++at;
        EXPECT_LT(at, logged.size()) << "not logged in order: " << line.toStdString();
    }

    // A window that does not restore: posted, but not handed over.
    messenger->SetRestoreResult(false);
    messenger->SetFailureText(QStringLiteral("no answer"));
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 0);
    EXPECT_TRUE(log.Contains(QStringLiteral(
        "CLogicOpenConnectivity::OnBroadcastData() activating target app failed. Last error <<no answer>>")));
}

TEST_F(RadarLinkTest, AllLinesOfAConsultationAreJoined)
{
    LoadLines({
        { QStringLiteral("anxiety"), QStringLiteral("7"), QStringLiteral("01/02/2024 09:00:00"),
            QStringLiteral("0") },
        { QStringLiteral("other"), QStringLiteral("8"), QStringLiteral("01/02/2024 09:00:00"),
            QStringLiteral("0") },
        { QStringLiteral("fear of dark"), QStringLiteral("7"), QStringLiteral("02/02/2024 09:00:00"),
            QStringLiteral("0") },
        { QStringLiteral("elsewhere"), QStringLiteral("7"), QStringLiteral("04/02/2024 09:00:00"),
            QStringLiteral("2") },
        { QStringLiteral("thirstless"), QStringLiteral("7"), QStringLiteral("03/02/2024 09:00:00"),
            QStringLiteral("0") },
    });
    messenger->AddWindow(DefaultClass);
    // Sent from the second line of consultation 7.
    EXPECT_EQ(SendRequest(practice.Hub(), 2, 0), 1);
    const Leaves request = Request();
    const QString joined = QStringLiteral("anxiety\nfear of dark\nthirstless");
    EXPECT_EQ(Value(request, QStringLiteral("Request/Consultation/Id")), QStringLiteral("7"));
    EXPECT_EQ(
        Value(request, QStringLiteral("Request/Consultation/Date")), QStringLiteral("03/02/2024 09:00:00"));
    EXPECT_EQ(Value(request, QStringLiteral("Request/Consultation/Possible_Rubrics")), joined);
    EXPECT_EQ(Value(request, QStringLiteral("Request/Consultation/MM_Word_Search")), joined);
    EXPECT_EQ(Clipboard(), QStringLiteral("anxiety fear of dark thirstless"));

    // A line of another kind sent alone names no consultation.
    EXPECT_EQ(SendRequest(practice.Hub(), 3, 1), 1);
    EXPECT_EQ(Paths(Request()),
        (QStringList { QStringLiteral("Request/Type"), QStringLiteral("Request/Start"),
            QStringLiteral("Request/Patient/Id"), QStringLiteral("Request/Patient/Last_Name"),
            QStringLiteral("Request/Patient/First_Name"), QStringLiteral("Request/Patient/Picture") }));
    EXPECT_EQ(Clipboard(), QStringLiteral("elsewhere"));

    // Lines of a negative consultation are never sent together; a line
    // outside the lines is refused.
    LoadLines({ { QStringLiteral("odd"), QStringLiteral("-3"), Stamp, QStringLiteral("0") } });
    messenger->Clear();
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 0), 0);
    EXPECT_EQ(SendRequest(practice.Hub(), 5, 1), 0);
    EXPECT_TRUE(messenger->Calls().empty());
}

TEST_F(RadarLinkTest, WhereTheRequestGoes)
{
    // A separator is added only when missing.
    Configure(radarFolder + QLatin1Char('/'), QString());
    EXPECT_EQ(link->RequestFilePath(), radarFolder + QStringLiteral("/VerdantaReq.xml"));
    Configure(radarFolder, QString());
    EXPECT_EQ(link->RequestFilePath(), radarFolder + QStringLiteral("/VerdantaReq.xml"));
    // No folder configured: the program's own folder.
    Configure(QString(), QString());
    EXPECT_EQ(link->RequestFilePath(), practice.Root() + QStringLiteral("VerdantaReq.xml"));

    // A folder that does not exist: nothing written anywhere, nothing sent.
    ASSERT_EQ(SendKeyword(practice.Hub(), 7, QStringLiteral("fear")), 1);
    const QString missing = practice.Root() + QStringLiteral("no/such/folder");
    Configure(missing, QString());
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 0);
    EXPECT_FALSE(QFile::exists(missing + QStringLiteral("/VerdantaReq.xml")));
    EXPECT_FALSE(QFile::exists(practice.Root() + QStringLiteral("VerdantaReq.xml")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("VerdantaReq.xml"))));
    EXPECT_TRUE(messenger->Calls().empty());
    EXPECT_TRUE(log.Contains(QStringLiteral("the request folder does not exist")));
}

TEST_F(RadarLinkTest, WithoutTheWindowTheMessageIsBroadcast)
{
    ASSERT_EQ(SendKeyword(practice.Hub(), 7, QStringLiteral("fear")), 1);
    // The empty class falls back to the default, which is logged.
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 1);
    EXPECT_EQ(messenger->SearchedClasses(), QStringList { DefaultClass });
    ASSERT_EQ(messenger->Calls().size(), 1u);
    EXPECT_EQ(messenger->Calls()[0].kind, ScriptedWindowMessenger::Kind::Broadcast);
    EXPECT_EQ(messenger->Calls()[0].message, 0x503u);
    EXPECT_TRUE(log.Contains(
        QStringLiteral("CLogicFolders::GetTargetWindowClassName() class wnd value is empty. Using default")));
    EXPECT_TRUE(log.Contains(QStringLiteral(
        "CLogicOpenConnectivity::OnBroadcastData() failed to find target window, broadcast message")));
    EXPECT_TRUE(log.Contains(
        QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() broadcast message successfull")));

    messenger->SetBroadcastResult(false);
    messenger->SetFailureText(QStringLiteral("no bus"));
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 0);
    EXPECT_TRUE(log.Contains(QStringLiteral(
        "CLogicOpenConnectivity::OnBroadcastData() broadcast message failed. Last error <<no bus>>")));
}

TEST_F(RadarLinkTest, NothingIsSentWithoutTheLines)
{
    link->SetMetaWords(nullptr);
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 0);
    EXPECT_TRUE(log.Contains(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() returned because of "
                                            "m_pLogicFolders == NULL || m_pLogicMetaWords == NULL")));
    EXPECT_TRUE(messenger->Calls().empty());
    link->SetMetaWords(metaWords);
}

} // namespace
