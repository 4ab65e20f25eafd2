#include "messaging/WindowMessenger.h"

namespace Messaging {

WindowHandle::WindowHandle(const QString &windowClass, const QString &address)
    : m_windowClass(windowClass)
    , m_address(address)
{ }

} // namespace Messaging
