#include "component/Registry.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QLibrary>
#include <QtCore/QLoggingCategory>
#include <QtCore/QPluginLoader>
#include <QtCore/QThread>

#include <algorithm>

namespace Component {

namespace {

Q_LOGGING_CATEGORY(lcRegistry, "verdanta.component.registry")

bool NeedsUserInterfaceThread(const ClassInfo &info)
{
    return info.threadingModel.isEmpty()
        || info.threadingModel.compare(QLatin1String("Apartment"), Qt::CaseInsensitive) == 0;
}

bool OnUserInterfaceThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

} // namespace

Registry::Registry(QString modulesFolder)
    : m_folder(std::move(modulesFolder))
{ }

Registry::~Registry() = default;

Registry &Registry::Instance()
{
    // Never destroyed: objects of loaded servers may live until the very end of
    // the process, and their code must stay mapped.
    static Registry *registry = new Registry(DefaultModulesFolder());
    return *registry;
}

QString Registry::DefaultModulesFolder()
{
    const QString configured = qEnvironmentVariable("VERDANTA_MODULES_DIR");
    if (!configured.isEmpty())
        return configured;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/modules");
}

void Registry::Rescan()
{
    QMutexLocker locker(&m_mutex);
    m_scanned = false;
    ScanLocked();
}

void Registry::ScanLocked() const
{
    if (m_scanned)
        return;
    m_scanned = true;
    // Loaded servers are kept (their objects may be alive); the others are read again.
    std::vector<std::unique_ptr<Entry>> kept;
    for (auto &entry : m_servers) {
        if (entry->loader && entry->loader->isLoaded())
            kept.push_back(std::move(entry));
    }
    m_servers = std::move(kept);

    const QDir folder(m_folder);
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString path = file.absoluteFilePath();
        if (!QLibrary::isLibrary(path))
            continue;
        const bool known = std::any_of(
            m_servers.begin(), m_servers.end(), [&path](const auto &entry) { return entry->path == path; });
        if (known)
            continue;
        const QJsonObject metaData = QPluginLoader(path).metaData();
        if (metaData.value(QStringLiteral("IID")).toString() != QLatin1String(COMPONENT_SERVER_IID))
            continue;
        auto entry = std::make_unique<Entry>();
        entry->path = path;
        QString error;
        if (!ServerInfo::FromJson(
                metaData.value(QStringLiteral("MetaData")).toObject(), &entry->info, &error)) {
            qCWarning(lcRegistry) << "Skipping server" << path << ":" << error;
            continue;
        }
        m_servers.push_back(std::move(entry));
    }
    std::sort(
        m_servers.begin(), m_servers.end(), [](const auto &a, const auto &b) { return a->path < b->path; });
}

const ClassInfo *Registry::FindLocked(const QUuid &classId, Entry **found) const
{
    for (const auto &entry : m_servers) {
        for (const ClassInfo &info : entry->info.classes) {
            if (info.classId == classId) {
                if (found)
                    *found = entry.get();
                return &info;
            }
        }
    }
    return nullptr;
}

QList<ClassInfo> Registry::Classes() const
{
    QMutexLocker locker(&m_mutex);
    ScanLocked();
    QList<ClassInfo> classes;
    for (const auto &entry : m_servers) {
        for (const ClassInfo &info : entry->info.classes) {
            if (FindLocked(info.classId) == &info)
                classes.append(info);
        }
    }
    return classes;
}

bool Registry::FindClass(const QUuid &classId, ClassInfo *info) const
{
    QMutexLocker locker(&m_mutex);
    ScanLocked();
    const ClassInfo *found = FindLocked(classId);
    if (found && info)
        *info = *found;
    return found != nullptr;
}

bool Registry::FindServer(const QUuid &classId, QString *path, ServerInfo *info) const
{
    QMutexLocker locker(&m_mutex);
    ScanLocked();
    Entry *entry = nullptr;
    if (!FindLocked(classId, &entry))
        return false;
    if (path)
        *path = entry->path;
    if (info)
        *info = entry->info;
    return true;
}

HRESULT Registry::ClassIdFromProgId(const QString &progId, QUuid *classId) const
{
    if (!classId)
        return E_POINTER;
    *classId = QUuid();
    QMutexLocker locker(&m_mutex);
    ScanLocked();
    if (progId.isEmpty())
        return CO_E_CLASSSTRING;
    for (const auto &entry : m_servers) {
        for (const ClassInfo &info : entry->info.classes) {
            if (info.progId == progId || info.versionIndependentProgId == progId) {
                *classId = info.classId;
                return S_OK;
            }
        }
    }
    return CO_E_CLASSSTRING;
}

HRESULT Registry::LoadLocked(Entry &entry, IServer **server) const
{
    if (!entry.loader)
        entry.loader = std::make_unique<QPluginLoader>(entry.path);
    QObject *root = entry.loader->instance();
    IServer *loaded = qobject_cast<IServer *>(root);
    if (!loaded) {
        qCWarning(lcRegistry) << "Cannot load server" << entry.path << ":" << entry.loader->errorString();
        return CO_E_ERRORINDLL;
    }
    *server = loaded;
    return S_OK;
}

HRESULT Registry::GetClassObject(const QUuid &classId, const QUuid &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IServer *server = nullptr;
    {
        QMutexLocker locker(&m_mutex);
        ScanLocked();
        Entry *found = nullptr;
        if (!FindLocked(classId, &found))
            return REGDB_E_CLASSNOTREG;
        const HRESULT hr = LoadLocked(*found, &server);
        if (Failed(hr))
            return hr;
    }
    return server->GetClassObject(classId, iid, object);
}

HRESULT Registry::CreateInstance(const QUuid &classId, const QUuid &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    ClassInfo info;
    if (!FindClass(classId, &info))
        return REGDB_E_CLASSNOTREG;
    if (NeedsUserInterfaceThread(info) && !OnUserInterfaceThread())
        return RPC_E_WRONG_THREAD;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = GetClassObject(classId, IClassFactory::IID, factory.PutVoid());
    if (Failed(hr))
        return hr;
    return factory->CreateInstance(iid, object);
}

int Registry::FreeUnusedServers()
{
    QMutexLocker locker(&m_mutex);
    int unloaded = 0;
    for (const auto &entry : m_servers) {
        if (!entry->loader || !entry->loader->isLoaded())
            continue;
        IServer *server = qobject_cast<IServer *>(entry->loader->instance());
        if (server && server->CanUnloadNow() == S_OK && entry->loader->unload())
            ++unloaded;
    }
    return unloaded;
}

bool Registry::IsServerLoaded(const QString &path) const
{
    QMutexLocker locker(&m_mutex);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return std::any_of(m_servers.begin(), m_servers.end(), [&absolute](const auto &entry) {
        return entry->path == absolute && entry->loader && entry->loader->isLoaded();
    });
}

HRESULT CreateInstance(const QUuid &classId, const QUuid &iid, void **object)
{
    return Registry::Instance().CreateInstance(classId, iid, object);
}

HRESULT ClassIdFromProgId(const QString &progId, QUuid *classId)
{
    return Registry::Instance().ClassIdFromProgId(progId, classId);
}

} // namespace Component
