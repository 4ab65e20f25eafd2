#include "messaging/DBusWindowMessenger.h"

#include "messaging/BusProtocol.h"

#include <QtCore/QCoreApplication>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusError>
#include <QtDBus/QDBusMessage>

namespace Messaging {

namespace {

// The bus daemon answers its own calls at once; the bound only keeps a daemon
// that hangs from freezing the caller.
constexpr int DaemonTimeoutMs = 5000;
constexpr int DefaultRestoreTimeoutMs = 2000;

QString Tr(const char *text)
{
    return QCoreApplication::translate("Messaging", text);
}

enum class Lookup { Found, NoOwner, Failed };

} // namespace

struct DBusWindowMessenger::Private
{
    QDBusConnection connection = QDBusConnection(QString());
    // Set when this messenger opened a connection of its own.
    QString privateConnectionName;
    int restoreTimeoutMs = DefaultRestoreTimeoutMs;
    QString lastError;

    bool Fail(const QString &text)
    {
        lastError = text;
        return false;
    }

    bool CheckConnected()
    {
        if (connection.isConnected())
            return true;
        const QDBusError error = connection.lastError();
        return Fail(Tr("The session bus is not available: %1")
                        .arg(error.isValid() ? error.message() : Tr("no connection")));
    }

    // The unique connection name owning the window class's bus name.
    Lookup LookUpOwner(const QString &windowClass, QString *owner, QString *reason)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
            QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
            QStringLiteral("GetNameOwner"));
        call << Bus::BusNameForWindowClass(windowClass);
        const QDBusMessage reply = connection.call(call, QDBus::Block, DaemonTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1) {
            *owner = reply.arguments().constFirst().toString();
            return owner->isEmpty() ? Lookup::NoOwner : Lookup::Found;
        }
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
            return Lookup::NoOwner;
        *reason = reply.errorMessage();
        return Lookup::Failed;
    }

    bool FailLookup(const QString &windowClass, const QString &reason)
    {
        return Fail(Tr("The session bus could not be asked for the window of class \"%1\": %2")
                        .arg(windowClass, reason));
    }

    // The window the handle was found for still owns its class's name.
    bool CheckStillThere(const WindowHandle &window)
    {
        if (window.IsNull())
            return Fail(Tr("No window was given."));
        if (!CheckConnected())
            return false;
        QString owner;
        QString reason;
        switch (LookUpOwner(window.WindowClass(), &owner, &reason)) {
        case Lookup::Failed:
            return FailLookup(window.WindowClass(), reason);
        case Lookup::Found:
            if (owner == window.Address())
                return true;
            break;
        case Lookup::NoOwner:
            break;
        }
        return Fail(Tr("The window of class \"%1\" is gone.").arg(window.WindowClass()));
    }

    QDBusMessage CallTo(const WindowHandle &window, const char *method) const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(window.Address(), QLatin1String(Bus::ObjectPath),
            QLatin1String(Bus::Interface), QLatin1String(method));
        // A window that is not running is never started by the bus.
        call.setAutoStartService(false);
        return call;
    }
};

DBusWindowMessenger::DBusWindowMessenger(const QString &busAddress)
    : d(std::make_unique<Private>())
{
    if (busAddress.isEmpty()) {
        d->connection = QDBusConnection::sessionBus();
    } else {
        d->privateConnectionName
            = QStringLiteral("verdanta-messenger-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
        d->connection = QDBusConnection::connectToBus(busAddress, d->privateConnectionName);
    }
}

DBusWindowMessenger::~DBusWindowMessenger()
{
    if (!d->privateConnectionName.isEmpty()) {
        d->connection = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(d->privateConnectionName);
    }
}

void DBusWindowMessenger::SetRestoreTimeout(int milliseconds)
{
    d->restoreTimeoutMs = milliseconds;
}

WindowHandle DBusWindowMessenger::FindTopLevelWindow(const QString &windowClass)
{
    d->lastError.clear();
    if (windowClass.isEmpty()) {
        d->Fail(Tr("No window class was given."));
        return {};
    }
    if (!d->CheckConnected())
        return {};
    QString owner;
    QString reason;
    switch (d->LookUpOwner(windowClass, &owner, &reason)) {
    case Lookup::Found:
        return WindowHandle(windowClass, owner);
    case Lookup::NoOwner:
        d->Fail(Tr("No window of class \"%1\" is running.").arg(windowClass));
        break;
    case Lookup::Failed:
        d->FailLookup(windowClass, reason);
        break;
    }
    return {};
}

bool DBusWindowMessenger::Post(const WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam)
{
    d->lastError.clear();
    if (!d->CheckStillThere(window))
        return false;
    QDBusMessage call = d->CallTo(window, Bus::PostMethod);
    call << message << qulonglong(wParam) << qlonglong(lParam);
    // send() marks a method call as expecting no reply: the caller never waits.
    if (!d->connection.send(call))
        return d->Fail(Tr("The message could not be queued on the session bus: %1")
                           .arg(d->connection.lastError().message()));
    return true;
}

bool DBusWindowMessenger::Broadcast(quint32 message, quint64 wParam, qint64 lParam)
{
    d->lastError.clear();
    if (!d->CheckConnected())
        return false;
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(Bus::ObjectPath), QLatin1String(Bus::Interface), QLatin1String(Bus::BroadcastSignal));
    signal << message << qulonglong(wParam) << qlonglong(lParam);
    if (!d->connection.send(signal))
        return d->Fail(Tr("The message could not be broadcast on the session bus: %1")
                           .arg(d->connection.lastError().message()));
    return true;
}

bool DBusWindowMessenger::Restore(const WindowHandle &window)
{
    d->lastError.clear();
    if (!d->CheckStillThere(window))
        return false;
    const QDBusMessage reply
        = d->connection.call(d->CallTo(window, Bus::RestoreMethod), QDBus::Block, d->restoreTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QDBusError::ErrorType type = QDBusError(reply).type();
        if (type == QDBusError::NoReply || type == QDBusError::Timeout || type == QDBusError::TimedOut)
            return d->Fail(Tr("The window of class \"%1\" did not answer the restore request within %2 ms.")
                               .arg(window.WindowClass())
                               .arg(d->restoreTimeoutMs));
        return d->Fail(Tr("The window of class \"%1\" could not be restored: %2")
                           .arg(window.WindowClass(), reply.errorMessage()));
    }
    const QVariantList answer = reply.arguments();
    if (answer.size() != 1 || answer.constFirst().typeId() != QMetaType::Bool
        || !answer.constFirst().toBool())
        return d->Fail(Tr("The window of class \"%1\" could not be restored.").arg(window.WindowClass()));
    return true;
}

QString DBusWindowMessenger::LastError() const
{
    return d->lastError;
}

std::unique_ptr<IWindowMessenger> CreateWindowMessenger()
{
    return std::make_unique<DBusWindowMessenger>();
}

} // namespace Messaging
