#pragma once

#include "core/ProgressRunner.h"

#include <QtCore/QCoreApplication>

// The modal progress window for long work: the work runs on a worker thread
// while the window shows the caption, the step, a progress bar and, when the
// work can stop, Cancel; the window closes itself when the work has ended.
class CProgressWindow final : public IProgressRunner
{
    Q_DECLARE_TR_FUNCTIONS(CProgressWindow)

public:
    bool Run(QWidget *parent, const QString &caption, bool cancellable, const Work &work) override;
};
