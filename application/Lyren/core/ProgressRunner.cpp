#include "core/ProgressRunner.h"

namespace {

class InlineProgress final : public IProgress
{
public:
    explicit InlineProgress(const std::function<void(const QString &)> &steps)
        : m_steps(steps)
    { }
    void SetStep(const QString &text) override
    {
        if (m_steps)
            m_steps(text);
    }
    void SetProgress(qint64, qint64) override { }
    bool IsCancelled() const override { return false; }

private:
    const std::function<void(const QString &)> &m_steps;
};

} // namespace

InlineProgressRunner::InlineProgressRunner(std::function<void(const QString &)> steps)
    : m_steps(std::move(steps))
{ }

bool InlineProgressRunner::Run(QWidget *, const QString &caption, bool, const Work &work)
{
    if (m_steps && !caption.isEmpty())
        m_steps(caption);
    InlineProgress progress(m_steps);
    return work && work(progress);
}
