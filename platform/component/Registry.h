#pragma once

#include "component/Server.h"
#include "component/Unknown.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QString>

#include <memory>

class QPluginLoader;

namespace Component {

// Finds the classes of the server libraries in a modules folder and makes their
// objects. A server is a Qt plug-in implementing IServer; its metadata (read
// without loading it) stands in for registration. A server is loaded the first
// time one of its classes is asked for.
//
// Files that are not server plug-ins, or whose metadata is malformed, are
// skipped with a warning; a class id offered by two servers belongs to the one
// whose file name sorts first.
class COMPONENT_EXPORT Registry
{
public:
    explicit Registry(QString modulesFolder);
    ~Registry();
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    // The process's registry, over DefaultModulesFolder().
    static Registry &Instance();
    // $VERDANTA_MODULES_DIR when set, otherwise "<application folder>/modules".
    static QString DefaultModulesFolder();

    QString ModulesFolder() const { return m_folder; }
    // Reads the folder again (already loaded servers stay loaded).
    void Rescan();

    QList<ClassInfo> Classes() const;
    bool FindClass(const QUuid &classId, ClassInfo *info = nullptr) const;
    // The class of a ProgID or version-independent ProgID; CO_E_CLASSSTRING
    // when no class has it.
    HRESULT ClassIdFromProgId(const QString &progId, QUuid *classId) const;
    // The server file and registration of a class, from its metadata.
    bool FindServer(const QUuid &classId, QString *path, ServerInfo *info = nullptr) const;

    // REGDB_E_CLASSNOTREG for an unknown class, CO_E_ERRORINDLL when its server
    // cannot be loaded.
    HRESULT GetClassObject(const QUuid &classId, const QUuid &iid, void **object);
    // A new object of the class, asked for 'iid'. Classes with the "Apartment"
    // or no threading model are made on the user-interface thread only
    // (RPC_E_WRONG_THREAD elsewhere).
    HRESULT CreateInstance(const QUuid &classId, const QUuid &iid, void **object);
    template<class T> ComPtr<T> CreateInstance(const QUuid &classId, HRESULT *result = nullptr)
    {
        ComPtr<T> object;
        const HRESULT hr = CreateInstance(classId, T::IID, object.PutVoid());
        if (result)
            *result = hr;
        return object;
    }

    // Unloads the loaded servers that have nothing alive; returns how many.
    int FreeUnusedServers();
    bool IsServerLoaded(const QString &path) const;

private:
    struct Entry
    {
        QString path;
        ServerInfo info;
        std::unique_ptr<QPluginLoader> loader;
    };
    // The folder is read lazily, on the first question.
    void ScanLocked() const;
    HRESULT LoadLocked(Entry &entry, IServer **server) const;
    const ClassInfo *FindLocked(const QUuid &classId, Entry **entry = nullptr) const;

    QString m_folder;
    mutable QMutex m_mutex;
    mutable bool m_scanned = false;
    mutable std::vector<std::unique_ptr<Entry>> m_servers; // sorted by path
};

// The same on the process's registry, for the program's one-line creations:
//     auto proxy = Component::CreateInstance<Component::IDispatch>(kClsidPrescProxy);
COMPONENT_EXPORT HRESULT CreateInstance(const QUuid &classId, const QUuid &iid, void **object);
template<class T> ComPtr<T> CreateInstance(const QUuid &classId, HRESULT *result = nullptr)
{
    return Registry::Instance().CreateInstance<T>(classId, result);
}
COMPONENT_EXPORT HRESULT ClassIdFromProgId(const QString &progId, QUuid *classId);

} // namespace Component
