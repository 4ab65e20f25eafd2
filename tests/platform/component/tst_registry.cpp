// Finding classes in the modules folder, making objects by class id and
// ProgID, interfaces and reference counts, and when a server may be unloaded.
#include "TestHelpers.h"

#include "support/TestSupport.h"

#include "component/Control.h"
#include "component/DispatchDriver.h"
#include "component/Events.h"
#include "component/Registry.h"
#include "component/ViewObject.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>

#include <thread>

using namespace Component;

namespace {

// A copy of the test server in its own folder, loaded apart from the one the
// process's registry uses.
struct ServerCopy
{
    TestSupport::TemporaryFolder folder;
    QString path;

    ServerCopy()
    {
        path = folder.filePath(QFileInfo(TestServerPath()).fileName());
        QFile::copy(TestServerPath(), path);
    }
};

} // namespace

TEST(Registry, ClassesComeFromTheServerMetadataAndMatchItsRegistration)
{
    Registry &registry = Registry::Instance();
    EXPECT_EQ(Registry::DefaultModulesFolder(), registry.ModulesFolder());

    ClassInfo control;
    ASSERT_TRUE(registry.FindClass(TestServer::kClsidControl, &control));
    EXPECT_EQ(QStringLiteral("ComponentTest.Control.1"), control.progId);
    EXPECT_EQ(QStringLiteral("Apartment"), control.threadingModel);
    EXPECT_EQ(TestServer::kIidControl, control.interfaceId);
    EXPECT_TRUE(control.control);
    EXPECT_EQ(131473u, control.miscStatus);

    QString path;
    ServerInfo metadata;
    ASSERT_TRUE(registry.FindServer(TestServer::kClsidView, &path, &metadata));
    EXPECT_EQ(QStringLiteral("ComponentTest"), metadata.name);
    EXPECT_EQ(3, metadata.classes.size());

    IServer *server = TestServerRoot();
    ASSERT_NE(nullptr, server);
    ServerInfo registration;
    EXPECT_HR(S_OK, server->RegisterServer(&registration));
    EXPECT_TRUE(registration == metadata) << QJsonDocument(registration.ToJson()).toJson().toStdString();
    QList<QUuid> removed;
    EXPECT_HR(S_OK, server->UnregisterServer(&removed));
    EXPECT_EQ(QList<QUuid>({ TestServer::kClsidControl, TestServer::kClsidView, TestServer::kClsidCounter }),
        removed);
}

TEST(Registry, ModulesFolderIsConfigurable)
{
    const QByteArray saved = qgetenv("VERDANTA_MODULES_DIR");
    qputenv("VERDANTA_MODULES_DIR", "/opt/elsewhere/modules");
    EXPECT_EQ(QStringLiteral("/opt/elsewhere/modules"), Registry::DefaultModulesFolder());
    qunsetenv("VERDANTA_MODULES_DIR");
    EXPECT_EQ(QCoreApplication::applicationDirPath() + QStringLiteral("/modules"),
        Registry::DefaultModulesFolder());
    if (!saved.isEmpty())
        qputenv("VERDANTA_MODULES_DIR", saved);
}

TEST(Registry, ProgIdsAndUnknownClassesAreAnsweredCleanly)
{
    QUuid classId;
    EXPECT_HR(S_OK, ClassIdFromProgId(QStringLiteral("ComponentTest.View.1"), &classId));
    EXPECT_EQ(TestServer::kClsidView, classId);
    EXPECT_HR(S_OK, ClassIdFromProgId(QStringLiteral("ComponentTest.View"), &classId));
    EXPECT_EQ(TestServer::kClsidView, classId);
    EXPECT_HR(CO_E_CLASSSTRING, ClassIdFromProgId(QStringLiteral("ComponentTest.Nothing"), &classId));
    EXPECT_TRUE(classId.isNull());
    EXPECT_HR(CO_E_CLASSSTRING, ClassIdFromProgId(QString(), &classId));

    void *object = reinterpret_cast<void *>(0x1);
    EXPECT_HR(REGDB_E_CLASSNOTREG, CreateInstance(QUuid::createUuid(), IUnknown::IID, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_HR(E_POINTER, CreateInstance(TestServer::kClsidView, IUnknown::IID, nullptr));
}

TEST(Registry, ObjectsAnswerTheirInterfacesWithOneIdentity)
{
    IServer *server = TestServerRoot();
    ASSERT_NE(nullptr, server);
    {
        HRESULT hr = E_FAIL;
        const ComPtr<IUnknown> object = CreateInstance<IUnknown>(TestServer::kClsidControl, &hr);
        ASSERT_HR(S_OK, hr);
        const ComPtr<IDispatch> dispatch = object.As<IDispatch>();
        const ComPtr<IControl> control = object.As<IControl>();
        const ComPtr<IConnectionPoint> events = object.As<IConnectionPoint>();
        ASSERT_TRUE(dispatch && control && events);
        EXPECT_TRUE(IsSameObject(dispatch.Get(), control.Get()));
        EXPECT_TRUE(IsSameObject(events.Get(), object.Get()));

        // The class's own dual interface is its IDispatch.
        void *dual = nullptr;
        EXPECT_HR(S_OK, object->QueryInterface(TestServer::kIidControl, &dual));
        EXPECT_EQ(static_cast<void *>(dispatch.Get()), dual);
        static_cast<IDispatch *>(dual)->Release();

        HRESULT query = S_OK;
        EXPECT_FALSE(object.As<IViewObject>(&query));
        EXPECT_HR(E_NOINTERFACE, query);
        EXPECT_HR(S_FALSE, server->CanUnloadNow());
    }
    EXPECT_HR(S_OK, server->CanUnloadNow());

    // An object made for an interface it lacks is not left behind.
    ComPtr<IViewObject> view;
    EXPECT_HR(E_NOINTERFACE, CreateInstance(TestServer::kClsidControl, IViewObject::IID, view.PutVoid()));
    EXPECT_FALSE(view);
    EXPECT_HR(S_OK, server->CanUnloadNow());
}

TEST(Registry, FactoriesAndLocksKeepTheServerLoaded)
{
    IServer *server = TestServerRoot();
    ASSERT_NE(nullptr, server);
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK,
        Registry::Instance().GetClassObject(
            TestServer::kClsidCounter, IClassFactory::IID, factory.PutVoid()));
    EXPECT_HR(S_FALSE, server->CanUnloadNow());
    EXPECT_HR(S_OK, factory->LockServer(true));
    factory.Reset();
    EXPECT_HR(S_FALSE, server->CanUnloadNow());

    ASSERT_HR(S_OK,
        Registry::Instance().GetClassObject(
            TestServer::kClsidCounter, IClassFactory::IID, factory.PutVoid()));
    EXPECT_HR(S_OK, factory->LockServer(false));
    EXPECT_HR(E_UNEXPECTED, factory->LockServer(false)); // more unlocks than locks change nothing
    factory.Reset();
    EXPECT_HR(S_OK, server->CanUnloadNow());

    void *object = nullptr;
    EXPECT_HR(
        CLASS_E_CLASSNOTAVAILABLE, server->GetClassObject(QUuid::createUuid(), IClassFactory::IID, &object));
}

TEST(Registry, UnusedServersAreUnloadedAndLoadedAgainOnDemand)
{
    ServerCopy copy;
    Registry registry(copy.folder.path());
    ASSERT_TRUE(registry.FindClass(TestServer::kClsidCounter));
    EXPECT_FALSE(registry.IsServerLoaded(copy.path));

    ComPtr<IDispatch> counter = registry.CreateInstance<IDispatch>(TestServer::kClsidCounter);
    ASSERT_TRUE(counter);
    EXPECT_TRUE(registry.IsServerLoaded(copy.path));
    EXPECT_EQ(0, registry.FreeUnusedServers());
    counter.Reset();
    EXPECT_EQ(1, registry.FreeUnusedServers());
    EXPECT_FALSE(registry.IsServerLoaded(copy.path));

    counter = registry.CreateInstance<IDispatch>(TestServer::kClsidCounter);
    EXPECT_TRUE(counter);
}

TEST(Registry, JunkInTheModulesFolderIsSkipped)
{
    ServerCopy copy;
    ASSERT_TRUE(copy.folder.writeFile(QStringLiteral("libjunk.so"), QByteArray(4096, '\x7f')));
    ASSERT_TRUE(copy.folder.writeFile(QStringLiteral("libempty.so"), QByteArray()));
    ASSERT_TRUE(copy.folder.writeFile(QStringLiteral("notes.txt"), "not a library"));
    QDir(copy.folder.path()).mkdir(QStringLiteral("libfolder.so"));

    Registry registry(copy.folder.path());
    EXPECT_EQ(3, registry.Classes().size());
    EXPECT_TRUE(registry.CreateInstance<IDispatch>(TestServer::kClsidCounter));

    Registry missing(copy.folder.filePath(QStringLiteral("no/such/folder")));
    EXPECT_TRUE(missing.Classes().isEmpty());
    HRESULT hr = S_OK;
    EXPECT_FALSE(missing.CreateInstance<IDispatch>(TestServer::kClsidCounter, &hr));
    EXPECT_HR(REGDB_E_CLASSNOTREG, hr);
}

TEST(Registry, MalformedMetadataIsRefusedWithAReason)
{
    ServerInfo info;
    ASSERT_TRUE(Registry::Instance().FindServer(TestServer::kClsidControl, nullptr, &info));
    ServerInfo again;
    ASSERT_TRUE(ServerInfo::FromJson(info.ToJson(), &again));
    EXPECT_TRUE(info == again);

    const auto refused = [](QJsonObject json) {
        ServerInfo read;
        QString error;
        const bool ok = ServerInfo::FromJson(json, &read, &error);
        return !ok && !error.isEmpty();
    };
    QJsonObject json = info.ToJson();
    json.remove(QStringLiteral("Server"));
    EXPECT_TRUE(refused(json));
    json = info.ToJson();
    json.insert(QStringLiteral("Classes"), QStringLiteral("none"));
    EXPECT_TRUE(refused(json));
    QJsonArray classes = info.ToJson().value(QStringLiteral("Classes")).toArray();
    QJsonObject first = classes.first().toObject();
    first.insert(QStringLiteral("ClassId"), QStringLiteral("{not-a-uuid}"));
    classes.replace(0, first);
    json = info.ToJson();
    json.insert(QStringLiteral("Classes"), classes);
    EXPECT_TRUE(refused(json));
    first = classes.first().toObject();
    first.insert(QStringLiteral("ClassId"), TestServer::kClsidControl.toString());
    first.insert(QStringLiteral("MiscStatus"), -4);
    classes.replace(0, first);
    json.insert(QStringLiteral("Classes"), classes);
    EXPECT_TRUE(refused(json));
}

TEST(Registry, ApartmentClassesAreMadeOnTheUserInterfaceThreadOnly)
{
    HRESULT control = S_OK;
    HRESULT view = S_OK;
    HRESULT counter = E_FAIL;
    int counted = 0;
    std::thread worker([&] {
        ComPtr<IUnknown> unused;
        control = CreateInstance(TestServer::kClsidControl, IUnknown::IID, unused.PutVoid());
        view = CreateInstance(TestServer::kClsidView, IUnknown::IID, unused.PutVoid());
        const DispatchDriver driver(CreateInstance<IDispatch>(TestServer::kClsidCounter, &counter));
        driver.Put(TestServer::kCounterValue, 41);
        counted = driver.Get(TestServer::kCounterValue).toInt();
    });
    worker.join();
    EXPECT_HR(RPC_E_WRONG_THREAD, control);
    EXPECT_HR(RPC_E_WRONG_THREAD, view);
    EXPECT_HR(S_OK, counter);
    EXPECT_EQ(41, counted);
}
