#pragma once

#include "messaging/WindowMessenger.h"

#include <memory>

namespace Messaging {

// Window messages over the D-Bus session bus. A window is the bus name its
// class maps to (BusProtocol.h); a handle is the unique connection name that
// owned it when found. Posting and broadcasting only queue the message on the
// bus; the finder and the checks before posting ask the bus daemon, never the
// window. Restore is a method call that waits at most the restore timeout for
// the window's answer, so the window must live in another process or thread.
class MESSAGING_EXPORT DBusWindowMessenger final : public IWindowMessenger
{
public:
    // On the session bus, or on the bus at 'busAddress' when one is given.
    explicit DBusWindowMessenger(const QString &busAddress = QString());
    ~DBusWindowMessenger() override;
    DBusWindowMessenger(const DBusWindowMessenger &) = delete;
    DBusWindowMessenger &operator=(const DBusWindowMessenger &) = delete;

    // How long Restore waits for the window's answer (2000 ms unless set).
    void SetRestoreTimeout(int milliseconds);

    WindowHandle FindTopLevelWindow(const QString &windowClass) override;
    bool Post(const WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam) override;
    bool Broadcast(quint32 message, quint64 wParam, qint64 lParam) override;
    bool Restore(const WindowHandle &window) override;
    QString LastError() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Messaging
