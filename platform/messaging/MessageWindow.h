#pragma once

#include "messaging_export.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <functional>
#include <memory>

namespace Messaging {

class MessageWindowBackend;

// The receiving side of window messages: a top-level window of a class that
// other programs find, post to, broadcast to and restore. It receives on the
// thread that registered it, through that thread's event loop.
class MESSAGING_EXPORT MessageWindow : public QObject
{
    Q_OBJECT

public:
    explicit MessageWindow(QObject *parent = nullptr);
    ~MessageWindow() override;
    MessageWindow(const MessageWindow &) = delete;
    MessageWindow &operator=(const MessageWindow &) = delete;

    // Makes the window of the class known, so that finders of the class reach
    // it. False (with LastError) for an empty class, without a session bus, or
    // when a window of the class is already registered. A registered window
    // first unregisters.
    bool Register(const QString &windowClass);
    // Finders no longer reach the window; handles found for it stop working.
    void Unregister();
    bool IsRegistered() const;
    QString WindowClass() const { return m_windowClass; }
    QString LastError() const { return m_lastError; }

    // Decides the answer to restore requests (bring the program's window to
    // the front, say whether it could). Without one, requests are answered yes.
    void SetRestoreHandler(std::function<bool()> handler) { m_restoreHandler = std::move(handler); }

signals:
    // A message posted to this window.
    void messagePosted(quint32 message, quint64 wParam, qint64 lParam);
    // A message broadcast to every top-level window. On Windows broadcasts
    // cannot be told from posted messages and arrive as messagePosted.
    void messageBroadcast(quint32 message, quint64 wParam, qint64 lParam);
    // Another program asked the window to restore; emitted before the answer.
    void restoreRequested();

private:
    friend class MessageWindowBackend;
    bool AnswerRestore();

    QString m_windowClass;
    QString m_lastError;
    std::function<bool()> m_restoreHandler;
    std::unique_ptr<MessageWindowBackend> m_backend;
};

} // namespace Messaging
