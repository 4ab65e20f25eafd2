// The receiving side of window messages on Windows: a hidden top-level window
// of the class, so that both FindWindow and HWND_BROADCAST reach it; the Qt
// event loop of the thread dispatches its messages. Built only there.
#include "messaging/MessageWindow.h"
#include "messaging/MessageWindowBackend.h"

#include "messaging/Win32Errors.h"

namespace Messaging {

namespace {

class Win32MessageWindowBackend final : public MessageWindowBackend
{
public:
    explicit Win32MessageWindowBackend(MessageWindow &window)
        : m_window(window)
    { }
    ~Win32MessageWindowBackend() override { Unregister(); }

    bool Register(const QString &windowClass, QString *error) override
    {
        Unregister();
        m_className = windowClass;
        WNDCLASSEXW info = {};
        info.cbSize = sizeof(info);
        info.lpfnWndProc = &Win32MessageWindowBackend::WindowProc;
        info.hInstance = GetModuleHandleW(nullptr);
        info.lpszClassName = reinterpret_cast<LPCWSTR>(m_className.utf16());
        if (!RegisterClassExW(&info)) {
            *error = SystemErrorText(GetLastError());
            m_className.clear();
            return false;
        }
        // Not visible: a top-level window that nobody sees.
        m_handle = CreateWindowExW(0, info.lpszClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, info.hInstance, this);
        if (!m_handle) {
            *error = SystemErrorText(GetLastError());
            UnregisterClassW(info.lpszClassName, info.hInstance);
            m_className.clear();
            return false;
        }
        return true;
    }

    void Unregister() override
    {
        if (m_handle) {
            DestroyWindow(m_handle);
            m_handle = nullptr;
        }
        if (!m_className.isEmpty()) {
            UnregisterClassW(reinterpret_cast<LPCWSTR>(m_className.utf16()), GetModuleHandleW(nullptr));
            m_className.clear();
        }
    }

    bool IsRegistered() const override { return m_handle != nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto *self = reinterpret_cast<Win32MessageWindowBackend *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message >= WM_USER && message <= 0xBFFF) {
            emit self->m_window.messagePosted(
                message, static_cast<quint64>(wParam), static_cast<qint64>(lParam));
            return 0;
        }
        if (message == WM_WINDOWPOSCHANGING) {
            // A restore would show the empty window: keep it hidden and let the
            // program bring its own window forward instead.
            auto *position = reinterpret_cast<WINDOWPOS *>(lParam);
            if (position->flags & SWP_SHOWWINDOW) {
                position->flags &= ~SWP_SHOWWINDOW;
                AnswerRestore(self->m_window);
            }
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    MessageWindow &m_window;
    QString m_className;
    HWND m_handle = nullptr;
};

} // namespace

std::unique_ptr<MessageWindowBackend> CreateMessageWindowBackend(MessageWindow &window)
{
    return std::make_unique<Win32MessageWindowBackend>(window);
}

} // namespace Messaging
