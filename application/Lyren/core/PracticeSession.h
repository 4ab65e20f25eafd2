#pragma once

#include "core/ProgressRunner.h"

#include <QtCore/QString>

#include <functional>

// Work that needs the practice closed: restoring a backup, importing a
// practice. The window layer offers the session through the context's
// services: once the command that asked has returned, the current patient is
// saved, the database and every window close (without the weekly backup),
// the work runs under a progress window, and the program opens the practice
// again and tells the person the outcome.
struct ClosedWork
{
    // The progress window's caption.
    QString caption;
    // Runs with the practice closed; true when it changed what it set out to
    // change. 'message' is what the person is told after the practice opened
    // again (also on failure).
    std::function<bool(IProgress &progress, QString *message)> run;
    // Runs when the practice cannot be opened after the work: undoes it, so
    // that the practice opens as it was; 'message' says what happened.
    std::function<bool(QString *message)> undo;
};

class IPracticeSession
{
public:
    virtual ~IPracticeSession() = default;
    // Queues the work; false when work is queued already.
    virtual bool ReopenAfter(ClosedWork work) = 0;
};
