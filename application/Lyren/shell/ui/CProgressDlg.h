#pragma once

#include "core/ProgressWindow.h"

// The program's modal progress window: the work runs on a worker thread
// while the window shows its caption and progress bar; Cancel asks the work
// to stop; the window closes itself when the worker reports its end.
class CProgressDlg final : public IProgressWindow
{
public:
    void Run(QWidget *parent, const QString &caption, int range, const Work &work) override;
};
