#include "messagingtest/ScriptedWindowMessenger.h"

namespace MessagingTest {

using Messaging::WindowHandle;

WindowHandle ScriptedWindowMessenger::AddWindow(const QString &windowClass)
{
    const QString address = QStringLiteral("scripted-window-%1").arg(m_nextWindow++);
    m_windows.insert(windowClass.toCaseFolded(), address);
    return WindowHandle(windowClass, address);
}

void ScriptedWindowMessenger::RemoveWindow(const QString &windowClass)
{
    m_windows.remove(windowClass.toCaseFolded());
}

void ScriptedWindowMessenger::Clear()
{
    m_calls.clear();
    m_searched.clear();
}

WindowHandle ScriptedWindowMessenger::FindTopLevelWindow(const QString &windowClass)
{
    m_searched.append(windowClass);
    if (windowClass.isEmpty()) {
        m_lastError = QStringLiteral("No window class was given.");
        return {};
    }
    const QString address = m_windows.value(windowClass.toCaseFolded());
    if (address.isEmpty()) {
        m_lastError = QStringLiteral("No window of class \"%1\" is running.").arg(windowClass);
        return {};
    }
    m_lastError.clear();
    return WindowHandle(windowClass, address);
}

bool ScriptedWindowMessenger::Post(const WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam)
{
    m_calls.push_back({ Kind::Post, window.WindowClass(), message, wParam, lParam });
    return Answer(IsAlive(window) && m_postResult);
}

bool ScriptedWindowMessenger::Broadcast(quint32 message, quint64 wParam, qint64 lParam)
{
    m_calls.push_back({ Kind::Broadcast, QString(), message, wParam, lParam });
    return Answer(m_broadcastResult);
}

bool ScriptedWindowMessenger::Restore(const WindowHandle &window)
{
    m_calls.push_back({ Kind::Restore, window.WindowClass(), 0, 0, 0 });
    return Answer(IsAlive(window) && m_restoreResult);
}

bool ScriptedWindowMessenger::Answer(bool result)
{
    if (result)
        m_lastError.clear();
    else
        m_lastError = m_failureText;
    return result;
}

bool ScriptedWindowMessenger::IsAlive(const WindowHandle &window) const
{
    return !window.IsNull() && m_windows.value(window.WindowClass().toCaseFolded()) == window.Address();
}

} // namespace MessagingTest
