// Controls: made by class id into a container's widget, driven by dispatch,
// firing events to sinks, and the lifetimes of control and window.
#include "TestHelpers.h"

#include "support/TestSupport.h"

#include "component/Control.h"
#include "component/ControlHost.h"
#include "component/Events.h"
#include "component/Values.h"

#include <QtCore/QThread>
#include <QtTest/QTest>

using namespace Component;

namespace {

QColor CentrePixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

TEST(Controls, HostMakesTheControlInItsWindowAndDrivesIt)
{
    QWidget window;
    window.resize(200, 100);
    auto *host = new ControlHost(&window);
    host->resize(200, 100);
    ASSERT_HR(S_OK, host->CreateControl(QStringLiteral("ComponentTest.Control")));
    ASSERT_TRUE(host->HasControl());
    ASSERT_NE(nullptr, host->ControlWindow());
    EXPECT_EQ(host, host->ControlWindow()->parentWidget());
    window.show();

    EXPECT_HR(S_OK, host->Dispatch().Put(TestServer::kColour, Rgb(10, 200, 30)));
    EXPECT_EQ(QColor(10, 200, 30), CentrePixel(host));

    EXPECT_HR(REGDB_E_CLASSNOTREG, host->CreateControl(QUuid::createUuid()));
    EXPECT_FALSE(host->HasControl());
    EXPECT_HR(E_NOINTERFACE, host->CreateControl(TestServer::kClsidCounter)); // not a control
    EXPECT_FALSE(host->HasControl());
    EXPECT_HR(CO_E_CLASSSTRING, host->CreateControl(QStringLiteral("ComponentTest.Nothing")));
}

TEST(Controls, ControlAndWindowOutliveEachOtherSafely)
{
    IServer *server = TestServerRoot();
    ASSERT_NE(nullptr, server);
    ComPtr<IControl> control = CreateInstance<IControl>(TestServer::kClsidControl);
    ASSERT_TRUE(control);
    DispatchDriver dispatch(control.Get());

    auto first = std::make_unique<QWidget>();
    QWidget second;
    QWidget *window = nullptr;
    EXPECT_HR(E_POINTER, control->CreateControlWindow(nullptr, &window));
    ASSERT_HR(S_OK, control->CreateControlWindow(first.get(), &window));
    QWidget *again = nullptr;
    ASSERT_HR(S_OK, control->CreateControlWindow(&second, &again));
    EXPECT_EQ(window, again); // one window, moved to the new parent
    EXPECT_EQ(&second, window->parentWidget());
    EXPECT_EQ(1, dispatch.Get(TestServer::kWindowsMade).toInt());
    ASSERT_HR(S_OK, control->CreateControlWindow(first.get(), &window));

    // The window goes with its parent; the control keeps its state.
    EXPECT_HR(S_OK, dispatch.Put(TestServer::kText, QStringLiteral("kept")));
    first.reset();
    EXPECT_EQ(nullptr, control->ControlWindow());
    EXPECT_EQ(QStringLiteral("kept"), dispatch.Get(TestServer::kText).toString());

    // Released by the container while its window lives: the window holds it.
    ASSERT_HR(S_OK, control->CreateControlWindow(&second, &window));
    EXPECT_EQ(2, dispatch.Get(TestServer::kWindowsMade).toInt());
    EventSink sink;
    int clicks = 0;
    sink.On(TestServer::kEventClicked, [&clicks](const QVariantList &) { ++clicks; });
    ASSERT_HR(S_OK, sink.Connect(control.Get()));
    sink.Disconnect();
    dispatch.Release();
    control.Reset();
    EXPECT_HR(S_FALSE, server->CanUnloadNow());
    QTest::mouseClick(window, Qt::LeftButton); // still reaches a live control
    delete window;
    EXPECT_HR(S_OK, server->CanUnloadNow());
}

TEST(Controls, EventsReachEverySinkByDispid)
{
    QWidget window;
    window.resize(100, 60);
    ControlHost host(&window);
    host.resize(100, 60);
    ASSERT_HR(S_OK, host.CreateControl(TestServer::kClsidControl));
    window.show();

    QList<QVariantList> first;
    QList<QVariantList> second;
    EventSink sinkA;
    auto sinkB = std::make_unique<EventSink>();
    sinkA.On(5, [&first](const QVariantList &args) { first.append(args); });
    sinkA.On(TestServer::kEventClicked, [&first](const QVariantList &args) { first.append(args); });
    sinkB->On(5, [&second](const QVariantList &args) { second.append(args); });
    ASSERT_HR(S_OK, sinkA.Connect(host.Object().Get()));
    ASSERT_HR(S_OK, sinkB->Connect(host.Object().Get()));

    EXPECT_HR(S_OK, host.Dispatch().Call(TestServer::kFire, { 5, QStringLiteral("hello") }));
    EXPECT_HR(S_OK, host.Dispatch().Call(TestServer::kFire, { 7, 1 })); // nobody listens: ignored
    QTest::mouseClick(host.ControlWindow(), Qt::LeftButton, {}, QPoint(30, 20));
    ASSERT_EQ(2, first.size());
    EXPECT_EQ(QVariantList({ QStringLiteral("hello") }), first[0]);
    EXPECT_EQ(QVariantList({ 30, 20 }), first[1]);
    EXPECT_EQ(1, second.size());

    // A destroyed sink disconnects itself; a disconnected one hears nothing.
    sinkB.reset();
    sinkA.Disconnect();
    EXPECT_FALSE(sinkA.IsConnected());
    EXPECT_HR(S_OK, host.Dispatch().Call(TestServer::kFire, { 5, 2 }));
    EXPECT_EQ(2, first.size());
    EXPECT_EQ(1, second.size());

    const ComPtr<IConnectionPoint> point = host.Object().As<IConnectionPoint>();
    EXPECT_HR(CONNECT_E_NOCONNECTION, point->Unadvise(12345));
    ComPtr<IUnknown> counter = CreateInstance<IUnknown>(TestServer::kClsidCounter);
    EXPECT_HR(E_NOINTERFACE, sinkA.Connect(counter.Get()));
}

TEST(Controls, EventsFiredFromAWorkerArriveOnTheUserInterfaceThread)
{
    ComPtr<IUnknown> control = CreateInstance<IUnknown>(TestServer::kClsidControl);
    ASSERT_TRUE(control);
    EventSink sink;
    QVariantList received;
    QThread *thread = nullptr;
    sink.On(3, [&](const QVariantList &args) {
        received = args;
        thread = QThread::currentThread();
    });
    ASSERT_HR(S_OK, sink.Connect(control.Get()));
    EXPECT_HR(S_OK, DispatchDriver(control.Get()).Call(TestServer::kFireFromWorker, { 3 }));
    EXPECT_TRUE(received.isEmpty()); // queued, not run on the worker
    ASSERT_TRUE(TestSupport::WaitFor([&] { return !received.isEmpty(); }));
    EXPECT_EQ(QVariantList({ QStringLiteral("worker") }), received);
    EXPECT_EQ(QCoreApplication::instance()->thread(), thread);
}

TEST(Controls, ContainerMayDropTheControlInsideItsEvent)
{
    IServer *server = TestServerRoot();
    ASSERT_NE(nullptr, server);
    QWidget window;
    auto *host = new ControlHost(&window);
    host->resize(80, 40);
    ASSERT_HR(S_OK, host->CreateControl(TestServer::kClsidControl));
    window.show();
    EventSink sink;
    sink.On(TestServer::kEventClicked, [&](const QVariantList &) {
        sink.Disconnect();
        host->DestroyControl();
    });
    ASSERT_HR(S_OK, sink.Connect(host->Object().Get()));
    QTest::mouseClick(host->ControlWindow(), Qt::LeftButton);
    EXPECT_FALSE(host->HasControl());
    EXPECT_HR(S_FALSE, server->CanUnloadNow()); // the window goes once its handler has returned
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_HR(S_OK, server->CanUnloadNow());
}
