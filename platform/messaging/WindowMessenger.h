#pragma once

#include "messaging_export.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <memory>

namespace Messaging {

// Another program's top-level window as a finder returned it. A handle stays
// tied to the one window it was found for: once that window is gone, posting
// to or restoring it fails, even when a new window of the same class appears.
class MESSAGING_EXPORT WindowHandle
{
public:
    WindowHandle() = default;
    // 'address' is the implementation's own name of the window: the owner's
    // unique connection name on the bus, or the window handle's number in
    // hexadecimal on Windows.
    WindowHandle(const QString &windowClass, const QString &address);

    bool IsNull() const { return m_address.isEmpty(); }
    const QString &WindowClass() const { return m_windowClass; }
    const QString &Address() const { return m_address; }

    friend bool operator==(const WindowHandle &, const WindowHandle &) = default;

private:
    QString m_windowClass;
    QString m_address;
};

// Window messages between programs, as the program sends them. Every call
// returns at once except Restore, which waits a bounded time for the window's
// answer. On failure a call returns false (a null handle for the finder) and
// LastError() says why.
class MESSAGING_EXPORT IWindowMessenger
{
public:
    virtual ~IWindowMessenger() = default;

    // A top-level window of the class, whatever its title; window classes
    // compare without regard to case. A null handle when there is none or the
    // class is empty.
    virtual WindowHandle FindTopLevelWindow(const QString &windowClass) = 0;
    // Queues the message for the window and returns without waiting for it to
    // be handled. False when the window is gone or the message could not be
    // queued.
    virtual bool Post(const WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam) = 0;
    // Queues the message for every top-level window of every program.
    virtual bool Broadcast(quint32 message, quint64 wParam, qint64 lParam) = 0;
    // Asks the window to come back from minimised or hidden and to the front.
    // True when the window answered that it did.
    virtual bool Restore(const WindowHandle &window) = 0;
    // The reason of the last failure, in the user's language; empty after a
    // call that succeeded.
    virtual QString LastError() const = 0;
};

// The platform's window messages: the session bus on Linux, the window
// manager's messages on Windows.
MESSAGING_EXPORT std::unique_ptr<IWindowMessenger> CreateWindowMessenger();

} // namespace Messaging
