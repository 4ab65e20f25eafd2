#include "shell/ui/CProgressDlg.h"

#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtWidgets/QProgressDialog>

#include <atomic>

namespace {

// What the worker reports; positions reach the window through queued calls.
class Report final : public IProgressReport
{
public:
    explicit Report(QProgressDialog *window)
        : m_pWindow(window)
    { }
    void SetPosition(int position) override
    {
        if (position == m_last.exchange(position))
            return;
        QPointer<QProgressDialog> window = m_pWindow;
        QMetaObject::invokeMethod(
            window,
            [window, position] {
                if (window)
                    window->setValue(position);
            },
            Qt::QueuedConnection);
    }
    bool IsCancelled() const override { return m_cancelled.load(); }
    void Cancel() { m_cancelled = true; }

private:
    QProgressDialog *m_pWindow;
    std::atomic_int m_last = -1;
    std::atomic_bool m_cancelled = false;
};

} // namespace

void CProgressDlg::Run(QWidget *parent, const QString &caption, int range, const Work &work)
{
    QProgressDialog window(caption, QProgressDialog::tr("Cancel"), 0, range, parent);
    window.setObjectName(QStringLiteral("progressWindow"));
    window.setWindowTitle(caption);
    window.setWindowModality(Qt::WindowModal);
    window.setAutoClose(false);
    window.setAutoReset(false);
    window.setMinimumDuration(0);
    Report report(&window);
    QObject::connect(&window, &QProgressDialog::canceled, &window, [&report] { report.Cancel(); });
    QThread *worker = QThread::create([&work, &report] { work(report); });
    // The worker's end, posted to the window's thread, closes the window.
    QObject::connect(
        worker, &QThread::finished, &window, [&window] { window.done(QDialog::Accepted); },
        Qt::QueuedConnection);
    worker->start();
    window.exec();
    worker->wait();
    delete worker;
}
