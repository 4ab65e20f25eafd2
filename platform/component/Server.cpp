#include "component/Server.h"

#include "component/Object.h"

#include <QtCore/QJsonArray>

#include <new>

namespace Component {

namespace {

bool Fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool ReadUuid(const QJsonObject &json, const char *key, bool required, QUuid *uuid, QString *error)
{
    const QJsonValue value = json.value(QLatin1String(key));
    if (value.isUndefined() && !required)
        return true;
    const QUuid parsed = QUuid::fromString(value.toString());
    if (parsed.isNull())
        return Fail(error, QStringLiteral("\"%1\" is not a class or interface id").arg(QLatin1String(key)));
    *uuid = parsed;
    return true;
}

QString UuidText(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithBraces).toUpper();
}

} // namespace

QJsonObject ClassInfo::ToJson() const
{
    QJsonObject json {
        { QStringLiteral("ClassId"), UuidText(classId) },
        { QStringLiteral("ProgId"), progId },
        { QStringLiteral("VersionIndependentProgId"), versionIndependentProgId },
        { QStringLiteral("HelpString"), helpString },
        { QStringLiteral("ThreadingModel"), threadingModel },
        { QStringLiteral("Version"), version },
        { QStringLiteral("Control"), control },
        { QStringLiteral("Insertable"), insertable },
        { QStringLiteral("MiscStatus"), static_cast<qint64>(miscStatus) },
    };
    if (!interfaceId.isNull()) {
        json.insert(QStringLiteral("InterfaceId"), UuidText(interfaceId));
        json.insert(QStringLiteral("InterfaceName"), interfaceName);
        json.insert(QStringLiteral("InterfaceHelpString"), interfaceHelpString);
    }
    return json;
}

bool ClassInfo::FromJson(const QJsonObject &json, ClassInfo *info, QString *error)
{
    ClassInfo read;
    if (!ReadUuid(json, "ClassId", true, &read.classId, error)
        || !ReadUuid(json, "InterfaceId", false, &read.interfaceId, error))
        return false;
    read.progId = json.value(QStringLiteral("ProgId")).toString();
    read.versionIndependentProgId = json.value(QStringLiteral("VersionIndependentProgId")).toString();
    read.helpString = json.value(QStringLiteral("HelpString")).toString();
    read.threadingModel = json.value(QStringLiteral("ThreadingModel")).toString();
    read.version = json.value(QStringLiteral("Version")).toString();
    read.interfaceName = json.value(QStringLiteral("InterfaceName")).toString();
    read.interfaceHelpString = json.value(QStringLiteral("InterfaceHelpString")).toString();
    read.control = json.value(QStringLiteral("Control")).toBool();
    read.insertable = json.value(QStringLiteral("Insertable")).toBool();
    const double misc = json.value(QStringLiteral("MiscStatus")).toDouble();
    if (misc < 0 || misc > 4294967295.0)
        return Fail(error, QStringLiteral("\"MiscStatus\" is out of range"));
    read.miscStatus = static_cast<quint32>(misc);
    if (read.progId.isEmpty())
        return Fail(error, QStringLiteral("class %1 has no \"ProgId\"").arg(UuidText(read.classId)));
    *info = std::move(read);
    return true;
}

QJsonObject ServerInfo::ToJson() const
{
    QJsonArray classArray;
    for (const ClassInfo &info : classes)
        classArray.append(info.ToJson());
    return QJsonObject {
        { QStringLiteral("Server"), name },
        { QStringLiteral("TypeLibrary"),
            QJsonObject { { QStringLiteral("Id"), UuidText(typeLibrary.id) },
                { QStringLiteral("Name"), typeLibrary.name },
                { QStringLiteral("Version"), typeLibrary.version },
                { QStringLiteral("HelpString"), typeLibrary.helpString } } },
        { QStringLiteral("Classes"), classArray },
    };
}

bool ServerInfo::FromJson(const QJsonObject &json, ServerInfo *info, QString *error)
{
    ServerInfo read;
    read.name = json.value(QStringLiteral("Server")).toString();
    if (read.name.isEmpty())
        return Fail(error, QStringLiteral("no \"Server\" name"));
    const QJsonObject library = json.value(QStringLiteral("TypeLibrary")).toObject();
    if (!library.isEmpty()) {
        if (!ReadUuid(library, "Id", true, &read.typeLibrary.id, error))
            return false;
        read.typeLibrary.name = library.value(QStringLiteral("Name")).toString();
        read.typeLibrary.version = library.value(QStringLiteral("Version")).toString();
        read.typeLibrary.helpString = library.value(QStringLiteral("HelpString")).toString();
    }
    const QJsonValue classes = json.value(QStringLiteral("Classes"));
    if (!classes.isArray())
        return Fail(error, QStringLiteral("no \"Classes\" list"));
    for (const QJsonValue &entry : classes.toArray()) {
        ClassInfo classInfo;
        if (!ClassInfo::FromJson(entry.toObject(), &classInfo, error))
            return false;
        read.classes.append(classInfo);
    }
    *info = std::move(read);
    return true;
}

ServerLock::ServerLock(std::shared_ptr<ServerCounts> counts)
    : m_pCounts(std::move(counts))
{
    if (m_pCounts)
        ++m_pCounts->objects;
}

ServerLock::~ServerLock()
{
    if (m_pCounts)
        --m_pCounts->objects;
}

class Server::Factory final : public Object<IClassFactory>
{
public:
    Factory(Maker make, std::shared_ptr<ServerCounts> counts)
        : m_make(std::move(make))
        , m_lock(counts)
        , m_pCounts(std::move(counts))
    { }

    HRESULT CreateInstance(const QUuid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        try {
            IUnknown *created = m_make(ServerLock(m_pCounts));
            if (!created)
                return E_OUTOFMEMORY;
            // Held here so that an unsupported interface deletes the object again.
            const ComPtr<IUnknown> holder(created);
            return holder->QueryInterface(iid, object);
        } catch (const std::bad_alloc &) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT LockServer(bool lock) override
    {
        if (lock) {
            ++m_pCounts->locks;
            return S_OK;
        }
        // More unlocks than locks must not release objects' hold on the server.
        int locks = m_pCounts->locks.load();
        while (locks > 0 && !m_pCounts->locks.compare_exchange_weak(locks, locks - 1)) { }
        return locks > 0 ? S_OK : E_UNEXPECTED;
    }

private:
    Maker m_make;
    ServerLock m_lock;
    std::shared_ptr<ServerCounts> m_pCounts;
};

Server::Server(ServerInfo registration)
    : m_registration(std::move(registration))
    , m_pCounts(std::make_shared<ServerCounts>())
{ }

Server::~Server() = default;

void Server::AddClass(const QUuid &classId, Maker make)
{
    m_makers.emplace_back(classId, std::move(make));
}

HRESULT Server::CanUnloadNow()
{
    return m_pCounts->objects.load() == 0 && m_pCounts->locks.load() == 0 ? S_OK : S_FALSE;
}

HRESULT Server::GetClassObject(const QUuid &classId, const QUuid &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const auto &[id, make] : m_makers) {
        if (id != classId)
            continue;
        try {
            const ComPtr<IUnknown> factory((new Factory(make, m_pCounts))->Identity());
            return factory->QueryInterface(iid, object);
        } catch (const std::bad_alloc &) {
            return E_OUTOFMEMORY;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Server::RegisterServer(ServerInfo *info)
{
    if (!info)
        return E_POINTER;
    *info = m_registration;
    return S_OK;
}

HRESULT Server::UnregisterServer(QList<QUuid> *classIds)
{
    if (!classIds)
        return E_POINTER;
    classIds->clear();
    for (const ClassInfo &info : m_registration.classes)
        classIds->append(info.classId);
    return S_OK;
}

} // namespace Component
