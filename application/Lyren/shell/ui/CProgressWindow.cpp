#include "shell/ui/CProgressWindow.h"

#include <QtCore/QEventLoop>
#include <QtCore/QMutex>
#include <QtCore/QTimer>
#include <QtWidgets/QProgressDialog>

#include <atomic>
#include <thread>

namespace {

// What the worker reports, read by the window's timer.
class SharedProgress final : public IProgress
{
public:
    void SetStep(const QString &text) override
    {
        QMutexLocker lock(&m_mutex);
        m_step = text;
    }
    void SetProgress(qint64 done, qint64 total) override
    {
        m_done = done;
        m_total = total;
    }
    bool IsCancelled() const override { return m_cancelled; }

    void Cancel() { m_cancelled = true; }
    QString Step() const
    {
        QMutexLocker lock(&m_mutex);
        return m_step;
    }
    // The progress in thousandths; -1 while the whole is unknown.
    int Permille() const
    {
        const qint64 total = m_total;
        return total > 0 ? static_cast<int>(std::min<qint64>(m_done, total) * 1000 / total) : -1;
    }

private:
    mutable QMutex m_mutex;
    QString m_step;
    std::atomic<qint64> m_done { 0 };
    std::atomic<qint64> m_total { 0 };
    std::atomic<bool> m_cancelled { false };
};

} // namespace

bool CProgressWindow::Run(QWidget *parent, const QString &caption, bool cancellable, const Work &work)
{
    if (!work)
        return false;
    SharedProgress progress;
    QProgressDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("progressWindow"));
    dialog.setWindowTitle(caption);
    dialog.setLabelText(caption);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.setRange(0, 0);
    dialog.setMinimumWidth(420);
    if (cancellable)
        dialog.setCancelButtonText(tr("Cancel"));
    else
        dialog.setCancelButton(nullptr);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&progress] { progress.Cancel(); });

    std::atomic<bool> finished { false };
    bool result = false;
    std::thread worker([&] {
        result = work(progress);
        finished = true;
    });

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        const QString step = progress.IsCancelled() ? tr("Stopping...") : progress.Step();
        if (!step.isEmpty() && dialog.labelText() != step)
            dialog.setLabelText(step);
        const int permille = progress.Permille();
        if (permille < 0) {
            dialog.setRange(0, 0);
        } else {
            dialog.setRange(0, 1000);
            dialog.setValue(permille);
        }
    });
    poll.start(50);
    dialog.show();
    if (!finished)
        loop.exec();
    worker.join();
    dialog.hide();
    return result;
}
