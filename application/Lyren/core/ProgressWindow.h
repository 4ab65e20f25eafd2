#pragma once

#include <QtCore/QString>

#include <functional>

class QWidget;

// What long work tells the progress window, from its worker thread.
class IProgressReport
{
public:
    // The bar's position, 0 to the window's range.
    virtual void SetPosition(int position) = 0;
    // The person asked to stop: the work ends as soon as it can.
    virtual bool IsCancelled() const = 0;

protected:
    ~IProgressReport() = default;
};

// The program's modal progress window: a caption, a progress bar and a
// cancel button. It runs the work it is given on a worker thread, stays
// modal on the user-interface thread until the work ends, then closes
// itself. The window layer offers it among the services; logic that finds
// none runs the work without a window.
class IProgressWindow
{
public:
    using Work = std::function<void(IProgressReport &report)>;
    virtual ~IProgressWindow() = default;
    // Returns when the work has ended (completed or stopped).
    virtual void Run(QWidget *parent, const QString &caption, int range, const Work &work) = 0;
};
