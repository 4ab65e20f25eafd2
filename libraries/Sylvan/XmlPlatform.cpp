#include "Sylvan/XmlPlatform.h"

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <QtCore/QtGlobal>

#include <atomic>
#include <mutex>

namespace Sylvan {

namespace {
std::mutex g_platformMutex;
std::atomic<int> g_platformUsers { 0 };
} // namespace

bool InitializePlatform()
{
    const std::lock_guard lock(g_platformMutex);
    try {
        xercesc::XMLPlatformUtils::Initialize(xercesc::XMLUni::fgXercescDefaultLocale);
    } catch (const xercesc::XMLException &) {
        qWarning("Sylvan: the XML platform could not be initialised");
        return false;
    }
    ++g_platformUsers;
    return true;
}

void TerminatePlatform()
{
    const std::lock_guard lock(g_platformMutex);
    if (g_platformUsers == 0)
        return;
    --g_platformUsers;
    xercesc::XMLPlatformUtils::Terminate();
}

bool IsPlatformInitialized()
{
    return g_platformUsers > 0;
}

PlatformScope::PlatformScope()
    : m_initialized(InitializePlatform())
{ }

PlatformScope::~PlatformScope()
{
    if (m_initialized)
        TerminatePlatform();
}

} // namespace Sylvan
