// End to end on a private session bus: a keyword picked in the notes of a
// real practice reaches the test peer, which plays the repertory program,
// through the request file and the window messages of the documented
// protocol.
#include "RubricsTestUtil.h"

#include "notes/NotesTestUtil.h"

#include "Sylvan/XmlPlatform.h"
#include "messagingtest/TestPeerProcess.h"
#include "profile/IniFile.h"

#include <QtCore/QDir>
#include <QtCore/QJsonObject>

#include <gtest/gtest.h>

using namespace RubricsTest;

namespace {

class RubricsPeerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        radarFolder = practice.Root() + QStringLiteral("radar");
        ASSERT_TRUE(QDir().mkpath(radarFolder));
        metaWords = practice.Hub().Services().Get<CLogicMetaWords>();
        ASSERT_NE(metaWords, nullptr);
    }

    void Configure(const QString &windowClass)
    {
        const QString ini = practice.Hub().Context().Folders().GetLinkConfigurationPath();
        QDir().mkpath(QFileInfo(ini).absolutePath());
        ASSERT_TRUE(Profile::WriteProfileString(
            QStringLiteral("Radar"), QStringLiteral("Directory"), radarFolder, ini));
        ASSERT_TRUE(
            Profile::WriteProfileString(QStringLiteral("Radar"), QStringLiteral("Class"), windowClass, ini));
    }

    // What the notes editor does on a double click on a word: hands it to the
    // notes with the consultation it stands in.
    qint64 PickInNotes(const QString &word)
    {
        CLogicNotes &notes = practice.Notes();
        CActiveEditorSeparatorItem *today = notes.TodaysSeparator();
        EXPECT_NE(today, nullptr);
        notes.ActiveEditor().SetCaret(-1);
        notes.ActiveEditor().InsertText(QStringLiteral("\n") + word);
        notes.OnKeyword(today, word);
        return today ? today->m_strRecordId.toLongLong() : 0;
    }

    static QString Element(const QJsonObject &event, const QString &path)
    {
        const QJsonArray elements
            = event.value(QStringLiteral("request")).toObject().value(QStringLiteral("elements")).toArray();
        for (const QJsonValue &element : elements) {
            const QJsonArray pair = element.toArray();
            if (pair.at(0).toString() == path)
                return pair.at(1).toString();
        }
        return QStringLiteral("<missing>");
    }

    Sylvan::PlatformScope xml;
    NotesTest::Practice practice;
    CLogicMetaWords *metaWords = nullptr;
    QString radarFolder;
};

TEST_F(RubricsPeerTest, AKeywordOfTheNotesReachesTheWindowOfItsClass)
{
    Configure(QString());
    MessagingTest::TestPeerProcess peer(
        QStringLiteral("xRadar5100task9012"), radarFolder, practice.Root() + QStringLiteral("peer.json"));
    QString error;
    ASSERT_TRUE(peer.Start(&error)) << error.toStdString();

    const qint64 consultation = PickInNotes(QStringLiteral("anxiety"));
    ASSERT_GT(consultation, 0);
    ASSERT_EQ(practice.Send(CommandCode::PickPhrase, 0, QStringLiteral("fear of dark")), 1);
    ASSERT_EQ(Contents(*metaWords), QStringList { QStringLiteral("anxiety fear of dark") });

    EXPECT_EQ(SendRequest(practice.Hub(), 0, 0), 1);
    ASSERT_TRUE(peer.WaitForEvents(2));
    const QJsonArray events = peer.Events();
    ASSERT_EQ(events.size(), 2);
    const QJsonObject posted = events.at(0).toObject();
    EXPECT_EQ(posted.value(QStringLiteral("kind")).toString(), QStringLiteral("posted"));
    EXPECT_EQ(posted.value(QStringLiteral("message")).toInt(), 0x503);
    EXPECT_EQ(Element(posted, QStringLiteral("Request/Patient/First_Name")), QStringLiteral("Anna"));
    EXPECT_EQ(Element(posted, QStringLiteral("Request/Consultation/Id")), QString::number(consultation));
    EXPECT_EQ(Element(posted, QStringLiteral("Request/Consultation/Possible_Rubrics")),
        QStringLiteral("anxiety fear of dark"));
    EXPECT_EQ(events.at(1).toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("restore"));

    // The keywords survive a restart and can be sent again.
    ASSERT_TRUE(practice.Reopen());
    metaWords = practice.Hub().Services().Get<CLogicMetaWords>();
    ASSERT_EQ(Contents(*metaWords), QStringList { QStringLiteral("anxiety fear of dark") });
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 1);
    ASSERT_TRUE(peer.WaitForEvents(4));
}

TEST_F(RubricsPeerTest, WithoutAWindowOfTheClassTheRequestIsBroadcast)
{
    Configure(QStringLiteral("AbsentRepertory"));
    MessagingTest::TestPeerProcess peer(
        QStringLiteral("xRadar5100task9012"), radarFolder, practice.Root() + QStringLiteral("peer.json"));
    QString error;
    ASSERT_TRUE(peer.Start(&error)) << error.toStdString();

    PickInNotes(QStringLiteral("restless"));
    EXPECT_EQ(SendRequest(practice.Hub(), 0, 1), 1);
    ASSERT_TRUE(peer.WaitForEvents(1));
    const QJsonObject event = peer.Events().at(0).toObject();
    EXPECT_EQ(event.value(QStringLiteral("kind")).toString(), QStringLiteral("broadcast"));
    EXPECT_EQ(event.value(QStringLiteral("message")).toInt(), 0x503);
    EXPECT_EQ(
        Element(event, QStringLiteral("Request/Consultation/MM_Word_Search")), QStringLiteral("restless"));
}

} // namespace
