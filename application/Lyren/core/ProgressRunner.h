#pragma once

#include <QtCore/QString>

#include <functional>

class QWidget;

// Long work (checking, restoring, exporting a practice) runs through a
// runner: in the program on a worker thread while a modal window shows its
// caption, step and progress with a Cancel button; without windows on the
// calling thread. The work must not touch windows or the program's open
// database connection: it works on files and connections of its own.

// What the work reports while it runs; every call is safe from the worker.
class IProgress
{
public:
    // What is being done now ("Copying the patient folders...").
    virtual void SetStep(const QString &text) = 0;
    virtual void SetProgress(qint64 done, qint64 total) = 0;
    // True once the person asked to stop; the work then ends soon.
    virtual bool IsCancelled() const = 0;

    // Reports progress and says whether to go on: the form the data
    // library's long operations take.
    bool Continue(qint64 done, qint64 total)
    {
        SetProgress(done, total);
        return !IsCancelled();
    }

protected:
    ~IProgress() = default;
};

class IProgressRunner
{
public:
    using Work = std::function<bool(IProgress &progress)>;
    virtual ~IProgressRunner() = default;
    // Runs the work and returns its result once it has ended; Cancel is
    // offered only when the work can stop.
    virtual bool Run(QWidget *parent, const QString &caption, bool cancellable, const Work &work) = 0;
};

// Runs the work on the calling thread, with nobody to cancel it; steps go to
// the given sink (the command line prints them).
class InlineProgressRunner final : public IProgressRunner
{
public:
    explicit InlineProgressRunner(std::function<void(const QString &step)> steps = {});
    bool Run(QWidget *parent, const QString &caption, bool cancellable, const Work &work) override;

private:
    std::function<void(const QString &)> m_steps;
};
