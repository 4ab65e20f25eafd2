// Window messages on a session bus of their own (the program runs itself again
// under dbus-run-session), with the receiving window on another thread, as
// another program's would be:
//   find_us                 finding a window by class (one question to the bus daemon)
//   post_call_us            a post returning to the caller (owner check, then queued)
//   post_delivery_us        from the post to the window's signal
//   broadcast_delivery_us   from the broadcast to the window's signal
//   restore_us              a restore answered by the window
// Medians over the runs.
#include "practice/BenchTimer.h"

#include "messaging/DBusWindowMessenger.h"
#include "messaging/MessageWindow.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Runs = 2000;
constexpr quint32 RequestMessage = 0x503;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A window living on a thread of its own; records when messages arrive.
class RemoteWindow
{
public:
    explicit RemoteWindow(const QElapsedTimer &clock)
        : m_clock(clock)
    {
        m_thread.start();
        m_anchor.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_anchor,
            [this] {
                m_window = new Messaging::MessageWindow;
                const auto arrived = [this](quint32, quint64, qint64) {
                    m_arrivedAt.store(m_clock.nsecsElapsed());
                    m_count.fetch_add(1);
                };
                QObject::connect(m_window, &Messaging::MessageWindow::messagePosted, m_window, arrived);
                QObject::connect(m_window, &Messaging::MessageWindow::messageBroadcast, m_window, arrived);
                m_registered = m_window->Register(QStringLiteral("xRadar5100task9012"));
            },
            Qt::BlockingQueuedConnection);
    }
    ~RemoteWindow()
    {
        QMetaObject::invokeMethod(
            &m_anchor, [this] { delete m_window; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    bool Registered() const { return m_registered; }
    int Count() const { return m_count.load(); }
    // Waits for the arrival after 'count' and returns its time on the clock.
    qint64 WaitPast(int count) const
    {
        while (m_count.load() <= count)
            std::this_thread::yield();
        return m_arrivedAt.load();
    }

private:
    const QElapsedTimer &m_clock;
    QThread m_thread;
    QObject m_anchor;
    Messaging::MessageWindow *m_window = nullptr;
    bool m_registered = false;
    std::atomic<qint64> m_arrivedAt { 0 };
    std::atomic<int> m_count { 0 };
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("VERDANTA_BENCH_PRIVATE_BUS")) {
        qputenv("VERDANTA_BENCH_PRIVATE_BUS", "1");
        ::execlp("dbus-run-session", "dbus-run-session", "--", argv[0], static_cast<char *>(nullptr));
        std::perror("dbus-run-session");
        return 1;
    }
    QCoreApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    RemoteWindow window(clock);
    if (!window.Registered()) {
        std::fprintf(stderr, "the window could not be registered\n");
        return 1;
    }
    Messaging::DBusWindowMessenger messenger;
    const QString windowClass = QStringLiteral("xRadar5100task9012");
    Messaging::WindowHandle found;

    Bench::Report("find_us",
        Bench::MedianMs(Runs, [&] { found = messenger.FindTopLevelWindow(windowClass); }) * 1e3, "us");
    if (found.IsNull())
        return 1;

    std::vector<double> calls;
    std::vector<double> deliveries;
    for (int i = 0; i < Runs; ++i) {
        const int before = window.Count();
        const qint64 start = clock.nsecsElapsed();
        if (!messenger.Post(found, RequestMessage, 0, 0))
            return 1;
        calls.push_back(static_cast<double>(clock.nsecsElapsed() - start) / 1e3);
        deliveries.push_back(static_cast<double>(window.WaitPast(before) - start) / 1e3);
    }
    Bench::Report("post_call_us", Median(calls), "us");
    Bench::Report("post_delivery_us", Median(deliveries), "us");

    deliveries.clear();
    for (int i = 0; i < Runs; ++i) {
        const int before = window.Count();
        const qint64 start = clock.nsecsElapsed();
        if (!messenger.Broadcast(RequestMessage, 0, 0))
            return 1;
        deliveries.push_back(static_cast<double>(window.WaitPast(before) - start) / 1e3);
    }
    Bench::Report("broadcast_delivery_us", Median(deliveries), "us");

    Bench::Report("restore_us", Bench::MedianMs(Runs, [&] { messenger.Restore(found); }) * 1e3, "us");
    return 0;
}
