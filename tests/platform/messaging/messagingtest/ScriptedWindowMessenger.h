#pragma once

#include "messaging/WindowMessenger.h"

#include <QtCore/QHash>
#include <QtCore/QStringList>

#include <vector>

namespace MessagingTest {

// Window messages for logic tests: windows exist because the test says so,
// every call is recorded, and the results are the ones set. Like the real
// messengers, classes compare without regard to case and a handle stops
// working once its window is removed.
class ScriptedWindowMessenger final : public Messaging::IWindowMessenger
{
public:
    enum class Kind { Post, Broadcast, Restore };
    struct Call
    {
        Kind kind = Kind::Post;
        QString windowClass; // empty for broadcasts
        quint32 message = 0;
        quint64 wParam = 0;
        qint64 lParam = 0;
    };

    // A window of the class appears (replacing one of the same class).
    Messaging::WindowHandle AddWindow(const QString &windowClass);
    // The window of the class goes away.
    void RemoveWindow(const QString &windowClass);

    void SetPostResult(bool result) { m_postResult = result; }
    void SetBroadcastResult(bool result) { m_broadcastResult = result; }
    void SetRestoreResult(bool result) { m_restoreResult = result; }
    // LastError() after a set failure.
    void SetFailureText(const QString &text) { m_failureText = text; }

    // Every post, broadcast and restore, also those that failed.
    const std::vector<Call> &Calls() const { return m_calls; }
    // Every class asked for by the finder.
    const QStringList &SearchedClasses() const { return m_searched; }
    void Clear();

    Messaging::WindowHandle FindTopLevelWindow(const QString &windowClass) override;
    bool Post(const Messaging::WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam) override;
    bool Broadcast(quint32 message, quint64 wParam, qint64 lParam) override;
    bool Restore(const Messaging::WindowHandle &window) override;
    QString LastError() const override { return m_lastError; }

private:
    bool Answer(bool result);
    bool IsAlive(const Messaging::WindowHandle &window) const;

    QHash<QString, QString> m_windows; // folded class -> address
    int m_nextWindow = 1;
    bool m_postResult = true;
    bool m_broadcastResult = true;
    bool m_restoreResult = true;
    QString m_failureText = QStringLiteral("The scripted call failed.");
    QString m_lastError;
    std::vector<Call> m_calls;
    QStringList m_searched;
};

} // namespace MessagingTest
