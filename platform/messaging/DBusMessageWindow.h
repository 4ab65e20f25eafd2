#pragma once

#include "messaging/MessageWindowBackend.h"

#include <QtCore/QObject>
#include <QtDBus/QDBusAbstractAdaptor>

// The receiving side of window messages over the session bus (not part of the
// library's interface). Each window has its own connection to the bus, so
// that a handle (the connection's unique name) names exactly one window.

namespace Messaging {

class DBusMessageWindowBackend;

// The object exported at the protocol's object path; it also receives the
// broadcast signal.
class DBusWindowObject final : public QObject
{
    Q_OBJECT

public:
    explicit DBusWindowObject(DBusMessageWindowBackend &backend);

public slots:
    // Only signals of the protocol's signature reach it.
    void OnBroadcast(uint message, qulonglong wParam, qlonglong lParam);

private:
    DBusMessageWindowBackend &m_backend;
};

// The window's interface on the bus (BusProtocol.h names its members).
class DBusWindowAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.verdanta.Window")

public:
    DBusWindowAdaptor(DBusWindowObject *object, DBusMessageWindowBackend &backend);

public slots:
    Q_NOREPLY void PostMessage(uint message, qulonglong wParam, qlonglong lParam);
    bool Restore();

private:
    DBusMessageWindowBackend &m_backend;
};

class DBusMessageWindowBackend final : public MessageWindowBackend
{
public:
    explicit DBusMessageWindowBackend(MessageWindow &window);
    ~DBusMessageWindowBackend() override;
    DBusMessageWindowBackend(const DBusMessageWindowBackend &) = delete;
    DBusMessageWindowBackend &operator=(const DBusMessageWindowBackend &) = delete;

    bool Register(const QString &windowClass, QString *error) override;
    void Unregister() override;
    bool IsRegistered() const override { return !m_busName.isEmpty(); }

    MessageWindow &Window() { return m_window; }
    bool AnswerRestore() { return MessageWindowBackend::AnswerRestore(m_window); }

private:
    void Disconnect();

    MessageWindow &m_window;
    QString m_connectionName;
    QString m_busName;
    std::unique_ptr<DBusWindowObject> m_object;
};

} // namespace Messaging
