#include "shell/ImageManager.h"

#if VERDANTA_HAVE_LUMISK
#include "Lumisk/ILumisk.h"
#endif

namespace ImageManager {

#if VERDANTA_HAVE_LUMISK

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

bool IsPresent()
{
    return true;
}

bool SetQuality(int quality)
{
    Reference manager;
    return manager && manager->SetQuality(quality);
}

bool EditQuality(int *quality)
{
    Reference manager;
    if (!manager || !manager->ShowQualityDialog())
        return false;
    return manager->GetQuality(quality);
}

#else

// Built without the image manager: there is no setting to apply or edit.
bool IsPresent()
{
    return false;
}

bool SetQuality(int)
{
    return false;
}

bool EditQuality(int *)
{
    return false;
}

#endif

} // namespace ImageManager
