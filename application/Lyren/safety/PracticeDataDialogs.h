#pragma once

#include "safety/PracticeRestore.h"

#include <QtCore/QString>

#include <vector>

class QWidget;

// The dialog of the practice's data commands that logic opens. The window
// layer provides it through the context's services; tests provide their own.
class IBackupChooser
{
public:
    virtual ~IBackupChooser() = default;
    // Shows the weekly backups with their dates and patient counts, and lets
    // the person pick another database file instead; the path of the copy to
    // restore, empty when the person cancelled.
    virtual QString ChooseBackup(QWidget *parent, const std::vector<BackupCopy> &copies) = 0;
};
