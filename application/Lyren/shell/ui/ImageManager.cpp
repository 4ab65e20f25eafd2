#include "shell/ui/ImageManager.h"

#include "Lumisk/ILumisk.h"

namespace {

// A reference to the manager for the length of one call.
class Reference
{
public:
    Reference()
        : m_pManager(ILumiskFactory())
    {
        if (m_pManager)
            m_pManager->AddRef();
    }
    ~Reference()
    {
        if (m_pManager)
            m_pManager->Release();
    }
    Reference(const Reference &) = delete;
    Reference &operator=(const Reference &) = delete;
    ILumisk *operator->() const { return m_pManager; }
    explicit operator bool() const { return m_pManager != nullptr; }

private:
    ILumisk *m_pManager;
};

} // namespace

bool CLumiskImageManager::SetQuality(int quality)
{
    Reference manager;
    return manager && manager->SetQuality(quality);
}

bool CLumiskImageManager::EditQuality(int *quality)
{
    Reference manager;
    if (!manager || !manager->ShowQualityDialog())
        return false;
    return manager->GetQuality(quality);
}

QString CLumiskImageManager::Choose(QWidget *parent, const QString &folder, const QString &current)
{
    Reference manager;
    if (!manager || folder.isEmpty() || !manager->SetImagesFolder(folder))
        return {};
    manager->SetCurrentFile(current);
    manager->ShowImagesBin(parent);
    return manager->GetCurrentFile();
}

QString CLumiskImageManager::Import(const QString &folder, const QString &source)
{
    Reference manager;
    if (!manager || folder.isEmpty() || !manager->SetImagesFolder(folder))
        return {};
    QString imported;
    return manager->ImportImage(source, &imported) ? imported : QString();
}

bool CLumiskImageManager::ShowImage(QWidget *, const QString &path)
{
    Reference manager;
    return manager && !path.isEmpty() && manager->ShowImage(path);
}
