#include "messaging/DBusMessageWindow.h"

#include "messaging/BusProtocol.h"
#include "messaging/MessageWindow.h"

#include <QtCore/QCoreApplication>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>

namespace Messaging {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("Messaging", text);
}

} // namespace

DBusWindowObject::DBusWindowObject(DBusMessageWindowBackend &backend)
    : m_backend(backend)
{
    new DBusWindowAdaptor(this, backend);
}

void DBusWindowObject::OnBroadcast(uint message, qulonglong wParam, qlonglong lParam)
{
    emit m_backend.Window().messageBroadcast(message, wParam, lParam);
}

DBusWindowAdaptor::DBusWindowAdaptor(DBusWindowObject *object, DBusMessageWindowBackend &backend)
    : QDBusAbstractAdaptor(object)
    , m_backend(backend)
{ }

void DBusWindowAdaptor::PostMessage(uint message, qulonglong wParam, qlonglong lParam)
{
    emit m_backend.Window().messagePosted(message, wParam, lParam);
}

bool DBusWindowAdaptor::Restore()
{
    return m_backend.AnswerRestore();
}

DBusMessageWindowBackend::DBusMessageWindowBackend(MessageWindow &window)
    : m_window(window)
{ }

DBusMessageWindowBackend::~DBusMessageWindowBackend()
{
    Unregister();
}

bool DBusMessageWindowBackend::Register(const QString &windowClass, QString *error)
{
    Unregister();
    m_connectionName = QStringLiteral("verdanta-window-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!connection.isConnected()) {
        *error = Tr("The session bus is not available: %1").arg(connection.lastError().message());
        Disconnect();
        return false;
    }
    // Ready to receive before the name makes the window findable.
    m_object = std::make_unique<DBusWindowObject>(*this);
    const QString path = QLatin1String(Bus::ObjectPath);
    const QString interface = QLatin1String(Bus::Interface);
    if (!connection.registerObject(path, m_object.get(), QDBusConnection::ExportAdaptors)
        || !connection.connect(QString(), path, interface, QLatin1String(Bus::BroadcastSignal),
            m_object.get(), SLOT(OnBroadcast(uint, qulonglong, qlonglong)))) {
        *error = Tr("The window could not be set up on the session bus: %1")
                     .arg(connection.lastError().message());
        Disconnect();
        return false;
    }
    const QString busName = Bus::BusNameForWindowClass(windowClass);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = connection.interface()->registerService(busName, QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        *error = reply.isValid() ? Tr("A window of class \"%1\" is already registered.").arg(windowClass)
                                 : Tr("The window of class \"%1\" could not be registered: %2")
                                       .arg(windowClass, reply.error().message());
        Disconnect();
        return false;
    }
    m_busName = busName;
    return true;
}

void DBusMessageWindowBackend::Unregister()
{
    if (!m_busName.isEmpty()) {
        // Released by a call that waits, so that no finder reaches the window
        // once this returns.
        QDBusConnection(m_connectionName).interface()->unregisterService(m_busName);
        m_busName.clear();
    }
    Disconnect();
}

void DBusMessageWindowBackend::Disconnect()
{
    if (m_connectionName.isEmpty())
        return;
    QDBusConnection::disconnectFromBus(m_connectionName);
    m_connectionName.clear();
    m_object.reset();
}

std::unique_ptr<MessageWindowBackend> CreateMessageWindowBackend(MessageWindow &window)
{
    return std::make_unique<DBusMessageWindowBackend>(window);
}

} // namespace Messaging
