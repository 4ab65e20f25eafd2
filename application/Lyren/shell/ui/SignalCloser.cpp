#include "shell/ui/SignalCloser.h"

#include <QtCore/QSocketNotifier>
#include <QtWidgets/QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler only writes a byte; the event loop does the rest.
int g_pipe[2] = { -1, -1 };

void OnEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
}

} // namespace

SignalCloser::SignalCloser(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_pWindow(window)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    m_pNotifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &SignalCloser::OnSignal);
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

SignalCloser::~SignalCloser()
{
    if (!m_pNotifier)
        return;
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        std::signal(signal, SIG_DFL);
    delete m_pNotifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SignalCloser::OnSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(g_pipe[1], &byte, 1);
    if (m_pWindow)
        m_pWindow->close();
}
