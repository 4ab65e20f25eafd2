#pragma once

#include "component/Unknown.h"

#include <QtCore/QJsonObject>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace Component {

// What a server says about one of its classes; the server's plug-in metadata
// lists the same so that classes are found without loading the server.
struct COMPONENT_EXPORT ClassInfo
{
    QUuid classId;
    QString progId; // "Server.Class.1"
    QString versionIndependentProgId; // "Server.Class"
    QString helpString;
    QString threadingModel; // "Apartment", "Free", "Both", or empty (main thread)
    QString version; // "1.0"
    QUuid interfaceId; // the class's default (dual) interface
    QString interfaceName;
    QString interfaceHelpString;
    bool control = false;
    bool insertable = false;
    quint32 miscStatus = 0;

    QJsonObject ToJson() const;
    // False (and a reason) when a required key is missing or malformed.
    static bool FromJson(const QJsonObject &json, ClassInfo *info, QString *error = nullptr);
    bool operator==(const ClassInfo &other) const = default;
};

struct COMPONENT_EXPORT TypeLibraryInfo
{
    QUuid id;
    QString name;
    QString version;
    QString helpString;

    bool operator==(const TypeLibraryInfo &other) const = default;
};

// A server's registration: its name, type library and classes. This is the
// "MetaData" object of a server plug-in's JSON file:
//
//     { "Server": "Ostrel",
//       "TypeLibrary": { "Id": "{...}", "Name": "...", "Version": "1.0", "HelpString": "..." },
//       "Classes": [ { "ClassId": "{...}", "ProgId": "Ostrel.PrescProxy.1",
//                      "VersionIndependentProgId": "Ostrel.PrescProxy",
//                      "HelpString": "PrescProxy Class", "ThreadingModel": "Apartment",
//                      "Version": "1.0", "InterfaceId": "{...}", "InterfaceName": "IPrescProxy",
//                      "InterfaceHelpString": "IPrescProxy Interface",
//                      "Control": true, "Insertable": true, "MiscStatus": 131473 } ] }
struct COMPONENT_EXPORT ServerInfo
{
    QString name;
    TypeLibraryInfo typeLibrary;
    QList<ClassInfo> classes;

    QJsonObject ToJson() const;
    static bool FromJson(const QJsonObject &json, ServerInfo *info, QString *error = nullptr);
    bool operator==(const ServerInfo &other) const = default;
};

// Makes the objects of one class.
class IClassFactory : public IUnknown
{
public:
    static constexpr QUuid IID { 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 };

    // A new object, asked for the interface 'iid'.
    virtual HRESULT CreateInstance(const QUuid &iid, void **object) = 0;
    // Keeps the server loaded while locked, with or without live objects.
    virtual HRESULT LockServer(bool lock) = 0;
};

// The entry points of a server library (a Qt plug-in whose root object
// implements this interface).
class IServer
{
public:
    virtual ~IServer() = default;

    // S_OK when no object, factory or lock of the server is alive, S_FALSE otherwise.
    virtual HRESULT CanUnloadNow() = 0;
    // The class factory of a class; CLASS_E_CLASSNOTAVAILABLE for a class the
    // server does not make.
    virtual HRESULT GetClassObject(const QUuid &classId, const QUuid &iid, void **object) = 0;
    // What the server offers (what would be registered).
    virtual HRESULT RegisterServer(ServerInfo *info) = 0;
    // The classes whose registration the server would remove.
    virtual HRESULT UnregisterServer(QList<QUuid> *classIds) = 0;
};

} // namespace Component

#define COMPONENT_SERVER_IID "org.verdanta.Component.IServer/1.0"
Q_DECLARE_INTERFACE(Component::IServer, COMPONENT_SERVER_IID)

namespace Component {

// What keeps a server loaded: live objects and factories, and explicit locks
// (IClassFactory::LockServer).
struct ServerCounts
{
    std::atomic<int> objects { 0 };
    std::atomic<int> locks { 0 };
};

// Held by every object and factory of a server for its lifetime.
class COMPONENT_EXPORT ServerLock
{
public:
    explicit ServerLock(std::shared_ptr<ServerCounts> counts);
    ServerLock(ServerLock &&other) noexcept = default;
    ServerLock &operator=(ServerLock &&other) noexcept = default;
    ServerLock(const ServerLock &) = delete;
    ServerLock &operator=(const ServerLock &) = delete;
    ~ServerLock();

private:
    std::shared_ptr<ServerCounts> m_pCounts;
};

// An object of class T that keeps its server loaded while it lives.
template<class T> class Locked final : public T
{
public:
    explicit Locked(ServerLock lock)
        : m_lock(std::move(lock))
    { }

private:
    ServerLock m_lock;
};

// Base of a server plug-in's root object:
//
//     class OstrelServer : public Component::Server
//     {
//         Q_OBJECT
//         Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "Ostrel.json")
//         Q_INTERFACES(Component::IServer)
//     public:
//         OstrelServer() : Server(OstrelRegistration()) { AddClass<PrescProxy>(kClsidPrescProxy); ... }
//     };
//
// The registration given here is what RegisterServer() reports; keep the JSON
// file in step with it (the server's tests compare them).
class COMPONENT_EXPORT Server : public QObject, public IServer
{
    Q_OBJECT
    Q_INTERFACES(Component::IServer)

public:
    using Maker = std::function<IUnknown *(ServerLock lock)>;

    HRESULT CanUnloadNow() override;
    HRESULT GetClassObject(const QUuid &classId, const QUuid &iid, void **object) override;
    HRESULT RegisterServer(ServerInfo *info) override;
    HRESULT UnregisterServer(QList<QUuid> *classIds) override;

protected:
    explicit Server(ServerInfo registration);
    ~Server() override;

    // Objects of T are made with its default constructor.
    template<class T> void AddClass(const QUuid &classId)
    {
        AddClass(classId,
            [](ServerLock lock) -> IUnknown * { return (new Locked<T>(std::move(lock)))->Identity(); });
    }
    // 'make' returns a new object (no reference taken yet) holding 'lock'.
    void AddClass(const QUuid &classId, Maker make);

private:
    class Factory;

    ServerInfo m_registration;
    std::vector<std::pair<QUuid, Maker>> m_makers;
    std::shared_ptr<ServerCounts> m_pCounts;
};

} // namespace Component
