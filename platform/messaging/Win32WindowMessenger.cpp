// Window messages through the window manager of Windows. Built only there.
#include "messaging/WindowMessenger.h"

#include "messaging/Win32Errors.h"

namespace Messaging {

namespace {

HWND HandleOf(const WindowHandle &window)
{
    bool ok = false;
    const auto value = static_cast<quintptr>(window.Address().toULongLong(&ok, 16));
    return ok ? reinterpret_cast<HWND>(value) : nullptr;
}

class Win32WindowMessenger final : public IWindowMessenger
{
public:
    WindowHandle FindTopLevelWindow(const QString &windowClass) override
    {
        m_lastError.clear();
        if (windowClass.isEmpty()) {
            m_lastError = SystemErrorText(ERROR_INVALID_PARAMETER);
            return {};
        }
        SetLastError(ERROR_SUCCESS);
        const HWND window = FindWindowW(reinterpret_cast<LPCWSTR>(windowClass.utf16()), nullptr);
        if (!window) {
            const DWORD code = GetLastError();
            m_lastError = SystemErrorText(code == ERROR_SUCCESS ? ERROR_NOT_FOUND : code);
            return {};
        }
        return WindowHandle(windowClass, QString::number(reinterpret_cast<quintptr>(window), 16));
    }

    bool Post(const WindowHandle &window, quint32 message, quint64 wParam, qint64 lParam) override
    {
        m_lastError.clear();
        const HWND target = HandleOf(window);
        if (!target || !IsWindow(target))
            return Fail(ERROR_INVALID_WINDOW_HANDLE);
        if (!PostMessageW(target, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)))
            return Fail(GetLastError());
        return true;
    }

    bool Broadcast(quint32 message, quint64 wParam, qint64 lParam) override
    {
        m_lastError.clear();
        if (!PostMessageW(HWND_BROADCAST, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)))
            return Fail(GetLastError());
        return true;
    }

    bool Restore(const WindowHandle &window) override
    {
        m_lastError.clear();
        const HWND target = HandleOf(window);
        if (!target || !IsWindow(target))
            return Fail(ERROR_INVALID_WINDOW_HANDLE);
        // ShowWindow answers whether the window was visible before, not
        // whether the restore worked: success is the window still being there.
        ShowWindow(target, SW_RESTORE);
        SetForegroundWindow(target);
        if (!IsWindow(target))
            return Fail(ERROR_INVALID_WINDOW_HANDLE);
        return true;
    }

    QString LastError() const override { return m_lastError; }

private:
    bool Fail(DWORD code)
    {
        m_lastError = SystemErrorText(code);
        return false;
    }

    QString m_lastError;
};

} // namespace

std::unique_ptr<IWindowMessenger> CreateWindowMessenger()
{
    return std::make_unique<Win32WindowMessenger>();
}

} // namespace Messaging
