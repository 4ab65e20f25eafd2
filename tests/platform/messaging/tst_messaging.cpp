// Window messages over a real session bus (each test case has a bus of its
// own): windows registered in this process, the test peer as another process,
// and dbus-send as a client that knows only the written protocol.
#include "messaging/BusProtocol.h"
#include "messaging/DBusWindowMessenger.h"
#include "messaging/MessageWindow.h"
#include "messagingtest/ScriptedWindowMessenger.h"
#include "messagingtest/TestPeerProcess.h"
#include "support/TestSupport.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonObject>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <vector>

using namespace Messaging;
using MessagingTest::ScriptedWindowMessenger;
using MessagingTest::TestPeerProcess;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;
using TestSupport::TemporaryFolder;
using TestSupport::WaitFor;

namespace {

constexpr quint32 RequestMessage = 0x503;
constexpr quint64 MaxWParam = std::numeric_limits<quint64>::max();
constexpr qint64 MinLParam = std::numeric_limits<qint64>::min();

QString RadarClass()
{
    return QStringLiteral("xRadar5100task9012");
}

struct Received
{
    bool broadcast = false;
    quint32 message = 0;
    quint64 wParam = 0;
    qint64 lParam = 0;
    friend bool operator==(const Received &, const Received &) = default;
};

void PrintTo(const Received &r, std::ostream *os)
{
    *os << (r.broadcast ? "broadcast " : "posted ") << r.message << " (" << r.wParam << ", " << r.lParam
        << ")";
}

Received Posted(quint32 message, quint64 wParam, qint64 lParam)
{
    return { false, message, wParam, lParam };
}

Received Broadcast(quint32 message, quint64 wParam, qint64 lParam)
{
    return { true, message, wParam, lParam };
}

// Everything that reaches a window, in order of arrival.
class Recorder
{
public:
    explicit Recorder(MessageWindow &window)
    {
        QObject::connect(&window, &MessageWindow::messagePosted, &m_context,
            [this](quint32 m, quint64 w, qint64 l) { received.push_back(Posted(m, w, l)); });
        QObject::connect(&window, &MessageWindow::messageBroadcast, &m_context,
            [this](quint32 m, quint64 w, qint64 l) { received.push_back(Broadcast(m, w, l)); });
    }
    std::vector<Received> received;

private:
    QObject m_context;
};

class WindowMessages : public ::testing::Test
{
protected:
    DBusWindowMessenger messenger;
};

} // namespace

TEST(WindowClassNames, MapToValidDistinctBusNames)
{
    // The examples of the written protocol.
    EXPECT_EQ(
        Bus::BusNameForWindowClass(RadarClass()), QStringLiteral("org.verdanta.Window.xradar5100task9012"));
    EXPECT_EQ(Bus::BusNameForWindowClass(QStringLiteral("XRADAR5100TASK9012")),
        Bus::BusNameForWindowClass(RadarClass()));
    EXPECT_EQ(Bus::BusNameForWindowClass(QStringLiteral("Afx:00400000:8")),
        QStringLiteral("org.verdanta.Window.afx_3a00400000_3a8"));
    EXPECT_EQ(Bus::BusNameForWindowClass(QStringLiteral("9 Lives")),
        QStringLiteral("org.verdanta.Window._39_20lives"));
    EXPECT_EQ(Bus::BusNameForWindowClass(QStringLiteral("Ärzte")),
        QStringLiteral("org.verdanta.Window._c3_a4rzte"));
    EXPECT_TRUE(Bus::BusNameForWindowClass(QString()).isEmpty());

    // Classes a naive escape would merge, and classes too long for a bus name.
    const QString longClass(300, QLatin1Char('x'));
    const QStringList classes { QStringLiteral("a.b"), QStringLiteral("a_b"), QStringLiteral("a-b"),
        QStringLiteral("a b"), QStringLiteral("a_2eb"), QStringLiteral("a/b"), QStringLiteral("_"),
        QStringLiteral("__"), QStringLiteral("_5f"), QStringLiteral("5"), QStringLiteral("_35"),
        QString(QChar(0)), QStringLiteral("ab\u00e9"), QStringLiteral("ab\u00c9\u00e9\u00e9"), longClass,
        longClass + QLatin1Char('y'), QString(100, QChar(0x03a9)),
        QString(100, QChar(0x03c9)) + QLatin1Char('!') };
    const QRegularExpression valid(QStringLiteral("^org\\.verdanta\\.Window\\.[A-Za-z_][A-Za-z0-9_]*$"));
    std::set<QString> names;
    for (const QString &windowClass : classes) {
        const QString name = Bus::BusNameForWindowClass(windowClass);
        EXPECT_TRUE(valid.match(name).hasMatch()) << name.toStdString();
        EXPECT_LE(name.size(), 255);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(classes.size()));
    // Folding covers letters beyond ASCII too.
    EXPECT_EQ(Bus::BusNameForWindowClass(QString(100, QChar(0x03a9))),
        Bus::BusNameForWindowClass(QString(100, QChar(0x03c9))));
}

TEST_F(WindowMessages, FindsWindowsByClassWhateverTheCase)
{
    MessageWindow window;
    ASSERT_TRUE(window.Register(RadarClass())) << window.LastError().toStdString();

    const WindowHandle found = messenger.FindTopLevelWindow(RadarClass());
    ASSERT_FALSE(found.IsNull()) << messenger.LastError().toStdString();
    EXPECT_EQ(found.WindowClass(), RadarClass());
    EXPECT_TRUE(messenger.LastError().isEmpty());
    EXPECT_EQ(messenger.FindTopLevelWindow(QStringLiteral("XRADAR5100TASK9012")).Address(), found.Address());

    EXPECT_TRUE(messenger.FindTopLevelWindow(QStringLiteral("xRadar5100task901")).IsNull());
    EXPECT_EQ(messenger.LastError(), QStringLiteral("No window of class \"xRadar5100task901\" is running."));
    EXPECT_TRUE(messenger.FindTopLevelWindow(QString()).IsNull());
    EXPECT_EQ(messenger.LastError(), QStringLiteral("No window class was given."));
}

TEST_F(WindowMessages, PostDeliversNumberAndParametersExactlyToTheAddressedWindowOnly)
{
    const QString otherClass = QStringLiteral("Afx:00400000:8:00010003:00000000:00000000");
    MessageWindow radar;
    MessageWindow other;
    ASSERT_TRUE(radar.Register(RadarClass())) << radar.LastError().toStdString();
    ASSERT_TRUE(other.Register(otherClass)) << other.LastError().toStdString();
    Recorder radarGot(radar);
    Recorder otherGot(other);

    const WindowHandle radarWindow = messenger.FindTopLevelWindow(RadarClass());
    const WindowHandle otherWindow = messenger.FindTopLevelWindow(otherClass);
    EXPECT_NE(radarWindow.Address(), otherWindow.Address());
    EXPECT_TRUE(messenger.Post(radarWindow, RequestMessage, 0, 0)) << messenger.LastError().toStdString();
    EXPECT_TRUE(messenger.Post(radarWindow, std::numeric_limits<quint32>::max(), MaxWParam, MinLParam));
    EXPECT_TRUE(messenger.Post(otherWindow, 0x400, 1, -1));

    ASSERT_TRUE(WaitFor([&] { return radarGot.received.size() == 2 && otherGot.received.size() == 1; }));
    EXPECT_EQ(radarGot.received,
        (std::vector { Posted(RequestMessage, 0, 0), Posted(0xffffffffu, MaxWParam, MinLParam) }));
    EXPECT_EQ(otherGot.received, (std::vector { Posted(0x400, 1, -1) }));
}

TEST_F(WindowMessages, BroadcastReachesEveryWindowWhateverItsClass)
{
    MessageWindow radar;
    MessageWindow other;
    ASSERT_TRUE(radar.Register(RadarClass()));
    ASSERT_TRUE(other.Register(QStringLiteral("Notepad")));
    Recorder radarGot(radar);
    Recorder otherGot(other);

    EXPECT_TRUE(messenger.Broadcast(RequestMessage, MaxWParam, -7)) << messenger.LastError().toStdString();
    ASSERT_TRUE(WaitFor([&] { return radarGot.received.size() == 1 && otherGot.received.size() == 1; }));
    EXPECT_EQ(radarGot.received.front(), Broadcast(RequestMessage, MaxWParam, -7));
    EXPECT_EQ(otherGot.received.front(), Broadcast(RequestMessage, MaxWParam, -7));
}

TEST_F(WindowMessages, ClassesThatAreNotBusNamesAreRegisteredFoundAndReached)
{
    const QStringList classes { QStringLiteral("Afx:00400000:8:00010003:00000000:00000000"),
        QStringLiteral("Рабочее окно ✓"), QStringLiteral("9Lives"), QStringLiteral("a.b"),
        QStringLiteral("a_b"), QStringLiteral("with space"), QString(300, QLatin1Char('w')) };
    std::vector<std::unique_ptr<MessageWindow>> windows;
    std::vector<std::unique_ptr<Recorder>> recorders;
    for (const QString &windowClass : classes) {
        windows.push_back(std::make_unique<MessageWindow>());
        ASSERT_TRUE(windows.back()->Register(windowClass)) << windows.back()->LastError().toStdString();
        recorders.push_back(std::make_unique<Recorder>(*windows.back()));
    }
    for (int i = 0; i < classes.size(); ++i) {
        const WindowHandle window = messenger.FindTopLevelWindow(classes.at(i));
        ASSERT_FALSE(window.IsNull()) << messenger.LastError().toStdString();
        EXPECT_TRUE(messenger.Post(window, RequestMessage, 0, i));
    }
    ASSERT_TRUE(WaitFor([&] {
        return std::all_of(
            recorders.begin(), recorders.end(), [](const auto &r) { return !r->received.empty(); });
    }));
    for (size_t i = 0; i < recorders.size(); ++i)
        EXPECT_EQ(
            recorders[i]->received, (std::vector { Posted(RequestMessage, 0, static_cast<qint64>(i)) }));
}

TEST_F(WindowMessages, OneWindowPerClassAtATime)
{
    MessageWindow first;
    MessageWindow second;
    ASSERT_TRUE(first.Register(RadarClass()));
    EXPECT_FALSE(second.Register(QStringLiteral("XRadar5100Task9012")));
    EXPECT_EQ(second.LastError(),
        QStringLiteral("A window of class \"XRadar5100Task9012\" is already registered."));
    EXPECT_FALSE(second.IsRegistered());
    EXPECT_FALSE(second.Register(QString()));
    EXPECT_EQ(second.LastError(), QStringLiteral("No window class was given."));

    // The refused window left the first one in place.
    Recorder firstGot(first);
    EXPECT_TRUE(messenger.Post(messenger.FindTopLevelWindow(RadarClass()), RequestMessage, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return firstGot.received.size() == 1; }));

    first.Unregister();
    EXPECT_TRUE(second.Register(RadarClass())) << second.LastError().toStdString();
    EXPECT_EQ(second.WindowClass(), RadarClass());
}

TEST_F(WindowMessages, AWindowGoneBetweenFindAndPostFailsAtOnce)
{
    auto window = std::make_unique<MessageWindow>();
    ASSERT_TRUE(window->Register(RadarClass()));
    const WindowHandle found = messenger.FindTopLevelWindow(RadarClass());
    ASSERT_FALSE(found.IsNull());
    window.reset();

    EXPECT_FALSE(messenger.Post(found, RequestMessage, 0, 0));
    EXPECT_EQ(messenger.LastError(), QStringLiteral("The window of class \"xRadar5100task9012\" is gone."));
    EXPECT_FALSE(messenger.Restore(found));
    EXPECT_FALSE(messenger.LastError().isEmpty());

    // A new window of the class is another window: the old handle stays dead.
    MessageWindow again;
    ASSERT_TRUE(again.Register(RadarClass()));
    Recorder got(again);
    EXPECT_FALSE(messenger.Post(found, RequestMessage, 0, 1));
    EXPECT_TRUE(messenger.Post(messenger.FindTopLevelWindow(RadarClass()), RequestMessage, 0, 2));
    ASSERT_TRUE(WaitFor([&] { return !got.received.empty(); }));
    EXPECT_EQ(got.received, (std::vector { Posted(RequestMessage, 0, 2) }));

    EXPECT_FALSE(messenger.Post(WindowHandle(), RequestMessage, 0, 0));
    EXPECT_EQ(messenger.LastError(), QStringLiteral("No window was given."));
}

TEST_F(WindowMessages, RestoreIsAnsweredByThePeer)
{
    TemporaryFolder folder;
    TestPeerProcess willing(RadarClass(), folder.path(), folder.filePath(QStringLiteral("willing.json")));
    TestPeerProcess refusing(
        QStringLiteral("Refusing"), folder.path(), folder.filePath(QStringLiteral("no.json")));
    refusing.SetRefuseRestore(true);
    QString error;
    ASSERT_TRUE(willing.Start(&error)) << error.toStdString();
    ASSERT_TRUE(refusing.Start(&error)) << error.toStdString();

    EXPECT_TRUE(messenger.Restore(messenger.FindTopLevelWindow(RadarClass())))
        << messenger.LastError().toStdString();
    EXPECT_TRUE(messenger.LastError().isEmpty());
    EXPECT_FALSE(messenger.Restore(messenger.FindTopLevelWindow(QStringLiteral("Refusing"))));
    EXPECT_EQ(
        messenger.LastError(), QStringLiteral("The window of class \"Refusing\" could not be restored."));

    ASSERT_TRUE(willing.WaitForEvents(1));
    EXPECT_EQ(willing.Events().at(0).toObject(),
        (QJsonObject {
            { QStringLiteral("kind"), QStringLiteral("restore") }, { QStringLiteral("answer"), true } }));
}

TEST_F(WindowMessages, AWindowThatDoesNotAnswerFailsTheRestoreAfterTheTimeout)
{
    // A window of this thread cannot answer while the caller waits: it
    // stands for a program that hangs.
    MessageWindow busy;
    ASSERT_TRUE(busy.Register(QStringLiteral("Busy")));
    bool asked = false;
    busy.SetRestoreHandler([&] {
        asked = true;
        return true;
    });
    messenger.SetRestoreTimeout(200);

    EXPECT_FALSE(messenger.Restore(messenger.FindTopLevelWindow(QStringLiteral("Busy"))));
    EXPECT_EQ(messenger.LastError(),
        QStringLiteral("The window of class \"Busy\" did not answer the restore request within 200 ms."));
    // The request still arrives; its late answer goes nowhere.
    EXPECT_TRUE(WaitFor([&] { return asked; }));
}

TEST(WindowMessagesWithoutBus, EveryCallFailsWithAReason)
{
    DBusWindowMessenger messenger(QStringLiteral("unix:path=/nonexistent/verdanta-bus"));
    const auto failedForTheBus
        = [&] { return messenger.LastError().startsWith(u"The session bus is not available: "); };

    EXPECT_TRUE(messenger.FindTopLevelWindow(RadarClass()).IsNull());
    EXPECT_TRUE(failedForTheBus()) << messenger.LastError().toStdString();
    EXPECT_FALSE(messenger.Post(WindowHandle(RadarClass(), QStringLiteral(":1.7")), RequestMessage, 0, 0));
    EXPECT_TRUE(failedForTheBus());
    EXPECT_FALSE(messenger.Broadcast(RequestMessage, 0, 0));
    EXPECT_TRUE(failedForTheBus());
    EXPECT_FALSE(messenger.Restore(WindowHandle(RadarClass(), QStringLiteral(":1.7"))));
    EXPECT_TRUE(failedForTheBus());
}

TEST_F(WindowMessages, TheWrittenProtocolReachesTheWindowAndOtherFormsAreIgnored)
{
    MessageWindow window;
    ASSERT_TRUE(window.Register(RadarClass()));
    Recorder got(window);
    const QString destination = QStringLiteral("--dest=org.verdanta.Window.xradar5100task9012");
    const QString path = QStringLiteral("/org/verdanta/Window");
    const auto send = [](const QStringList &args) {
        return QProcess::execute(
            QStringLiteral("dbus-send"), QStringList { QStringLiteral("--session") } + args);
    };
    const auto post = [&](const QStringList &args) {
        return send(QStringList { QStringLiteral("--type=method_call"), destination, path,
                        QStringLiteral("org.verdanta.Window.PostMessage") }
            + args);
    };
    const auto broadcast = [&](const QStringList &args) {
        return send(QStringList { QStringLiteral("--type=signal"), path,
                        QStringLiteral("org.verdanta.Window.BroadcastMessage") }
            + args);
    };

    ASSERT_EQ(post({ QStringLiteral("uint32:1283"), QStringLiteral("uint64:18446744073709551615"),
                  QStringLiteral("int64:-9223372036854775808") }),
        0);
    ASSERT_EQ(
        broadcast({ QStringLiteral("uint32:1283"), QStringLiteral("uint64:1"), QStringLiteral("int64:2") }),
        0);
    ASSERT_EQ(broadcast({ QStringLiteral("string:1283") }), 0);
    ASSERT_EQ(
        broadcast({ QStringLiteral("uint32:1283"), QStringLiteral("int64:1"), QStringLiteral("int64:2") }),
        0);
    ASSERT_EQ(post({ QStringLiteral("uint32:1283") }), 0);
    ASSERT_EQ(post({ QStringLiteral("uint32:7"), QStringLiteral("uint64:0"), QStringLiteral("int64:0") }), 0);

    ASSERT_TRUE(WaitFor([&] { return got.received.size() >= 3; }));
    // Time for late arrivals of the ignored forms, had they been delivered.
    WaitFor([] { return false; }, 200);
    EXPECT_THAT(got.received,
        UnorderedElementsAre(
            Posted(RequestMessage, MaxWParam, MinLParam), Broadcast(RequestMessage, 1, 2), Posted(7, 0, 0)));
}

TEST_F(WindowMessages, TheRequestReachesTheRepertoryPeerEndToEnd)
{
    TemporaryFolder folder;
    TestPeerProcess radar(RadarClass(), folder.path(), folder.filePath(QStringLiteral("radar.json")));
    QString error;
    ASSERT_TRUE(radar.Start(&error)) << error.toStdString();
    const WindowHandle window = messenger.FindTopLevelWindow(RadarClass());
    ASSERT_FALSE(window.IsNull()) << messenger.LastError().toStdString();

    // Without a request file the peer still gets the message and says so.
    ASSERT_TRUE(messenger.Post(window, RequestMessage, 0, 0)) << messenger.LastError().toStdString();
    ASSERT_TRUE(radar.WaitForEvents(1));
    EXPECT_FALSE(radar.Events().at(0)[QStringLiteral("request")][QStringLiteral("found")].toBool());

    const QByteArray request
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                         "<Request><Type>Calculate</Type><Start>No</Start>"
                         "<Patient><Id>42</Id><Last_Name>Ştefănescu</Last_Name><First_Name>Zoë</"
                         "First_Name><Picture/></Patient>"
                         "<Consultation><Id>7</Id><Date>03/02/2024 10:15:00</Date>"
                         "<Possible_Rubrics>anxiety\nfear of dark</Possible_Rubrics>"
                         "<MM_Word_Search>anxiety\nfear of dark</MM_Word_Search></Consultation></Request>\n")
              .toUtf8();
    ASSERT_TRUE(folder.writeFile(QStringLiteral("VerdantaReq.xml"), request));
    ASSERT_TRUE(messenger.Post(window, RequestMessage, 0, 0));
    ASSERT_TRUE(radar.WaitForEvents(2));
    const QJsonObject posted = radar.Events().at(1).toObject();
    EXPECT_EQ(posted[QStringLiteral("kind")].toString(), QStringLiteral("posted"));
    EXPECT_EQ(posted[QStringLiteral("message")].toInt(), 1283);
    EXPECT_EQ(posted[QStringLiteral("wParam")].toString(), QStringLiteral("0"));
    EXPECT_EQ(posted[QStringLiteral("lParam")].toString(), QStringLiteral("0"));
    const QJsonObject read = posted[QStringLiteral("request")].toObject();
    EXPECT_TRUE(read[QStringLiteral("found")].toBool());
    EXPECT_EQ(read[QStringLiteral("text")].toString(), QString::fromUtf8(request));
    EXPECT_EQ(read[QStringLiteral("error")].toString(), QString());
    const auto pair = [](const char *path, const QString &text) {
        return QJsonArray { QLatin1String(path), text };
    };
    EXPECT_EQ(read[QStringLiteral("elements")].toArray(),
        (QJsonArray { pair("Request/Type", QStringLiteral("Calculate")),
            pair("Request/Start", QStringLiteral("No")), pair("Request/Patient/Id", QStringLiteral("42")),
            pair("Request/Patient/Last_Name", QStringLiteral("Ştefănescu")),
            pair("Request/Patient/First_Name", QStringLiteral("Zoë")),
            pair("Request/Patient/Picture", QString()), pair("Request/Consultation/Id", QStringLiteral("7")),
            pair("Request/Consultation/Date", QStringLiteral("03/02/2024 10:15:00")),
            pair("Request/Consultation/Possible_Rubrics", QStringLiteral("anxiety\nfear of dark")),
            pair("Request/Consultation/MM_Word_Search", QStringLiteral("anxiety\nfear of dark")) }));

    // The file is read when the message arrives: a broadcast after a rewrite
    // carries the new request.
    ASSERT_TRUE(folder.writeFile(QStringLiteral("VerdantaReq.xml"),
        "<Request><Type>Calculate</Type><Start>No</Start><Patient><Id>43</Id></Patient></Request>"));
    ASSERT_TRUE(messenger.Broadcast(RequestMessage, 0, 0));
    ASSERT_TRUE(radar.WaitForEvents(3));
    const QJsonObject broadcast = radar.Events().at(2).toObject();
    EXPECT_EQ(broadcast[QStringLiteral("kind")].toString(), QStringLiteral("broadcast"));
    EXPECT_EQ(broadcast[QStringLiteral("request")][QStringLiteral("elements")].toArray().at(2),
        pair("Request/Patient/Id", QStringLiteral("43")));

    EXPECT_TRUE(messenger.Restore(window)) << messenger.LastError().toStdString();
    ASSERT_TRUE(radar.WaitForEvents(4));
    EXPECT_EQ(radar.Events().at(3)[QStringLiteral("kind")].toString(), QStringLiteral("restore"));

    // The peer dies without a word: its window disappears with it.
    radar.Kill();
    EXPECT_TRUE(WaitFor([&] { return messenger.FindTopLevelWindow(RadarClass()).IsNull(); }));
    EXPECT_FALSE(messenger.Post(window, RequestMessage, 0, 0));
    EXPECT_EQ(messenger.LastError(), QStringLiteral("The window of class \"xRadar5100task9012\" is gone."));
}

namespace {

// What logic tests may rely on, whichever messenger they are given.
void CheckMessengerContract(IWindowMessenger &messenger, const std::function<void()> &addWindow,
    const std::function<void()> &removeWindow)
{
    EXPECT_TRUE(messenger.FindTopLevelWindow(QString()).IsNull());
    EXPECT_FALSE(messenger.LastError().isEmpty());
    EXPECT_TRUE(messenger.FindTopLevelWindow(RadarClass()).IsNull());
    EXPECT_FALSE(messenger.LastError().isEmpty());

    addWindow();
    const WindowHandle found = messenger.FindTopLevelWindow(QStringLiteral("XRADAR5100TASK9012"));
    EXPECT_FALSE(found.IsNull());
    EXPECT_EQ(found.WindowClass(), QStringLiteral("XRADAR5100TASK9012"));
    EXPECT_TRUE(messenger.LastError().isEmpty());
    EXPECT_TRUE(messenger.Post(found, RequestMessage, 0, 0));
    EXPECT_TRUE(messenger.Broadcast(RequestMessage, 0, 0));

    removeWindow();
    EXPECT_FALSE(messenger.Post(found, RequestMessage, 0, 0));
    EXPECT_FALSE(messenger.LastError().isEmpty());
    EXPECT_TRUE(messenger.FindTopLevelWindow(RadarClass()).IsNull());
    addWindow();
    EXPECT_FALSE(messenger.Post(found, RequestMessage, 0, 0));
    EXPECT_TRUE(messenger.Post(messenger.FindTopLevelWindow(RadarClass()), RequestMessage, 0, 0));
}

} // namespace

TEST_F(WindowMessages, TheScriptedMessengerKeepsTheContractOfTheRealOne)
{
    MessageWindow window;
    CheckMessengerContract(
        messenger, [&] { ASSERT_TRUE(window.Register(RadarClass())); }, [&] { window.Unregister(); });

    ScriptedWindowMessenger scripted;
    CheckMessengerContract(
        scripted, [&] { scripted.AddWindow(RadarClass()); }, [&] { scripted.RemoveWindow(RadarClass()); });
    ASSERT_EQ(scripted.Calls().size(), 5u);
    EXPECT_EQ(scripted.Calls()[0].kind, ScriptedWindowMessenger::Kind::Post);
    EXPECT_EQ(scripted.Calls()[0].message, RequestMessage);
    EXPECT_EQ(scripted.Calls()[1].kind, ScriptedWindowMessenger::Kind::Broadcast);
    EXPECT_EQ(scripted.SearchedClasses().size(), 5);

    // Set results and texts.
    const WindowHandle window2 = scripted.FindTopLevelWindow(RadarClass());
    scripted.SetRestoreResult(false);
    scripted.SetFailureText(QStringLiteral("Access is denied."));
    EXPECT_FALSE(scripted.Restore(window2));
    EXPECT_EQ(scripted.LastError(), QStringLiteral("Access is denied."));
    scripted.SetBroadcastResult(false);
    EXPECT_FALSE(scripted.Broadcast(RequestMessage, 0, 0));
}
