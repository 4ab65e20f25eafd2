#pragma once

#include "safety/PracticeDataDialogs.h"

#include <QtWidgets/QDialog>

class QTreeWidget;
class QPushButton;

// "Restore from backup": the four weekly backups with their dates and
// patient counts, newest first, and "Other file..." for a copy elsewhere.
class CRestoreBackupDlg : public QDialog
{
    Q_OBJECT

public:
    CRestoreBackupDlg(const std::vector<BackupCopy> &copies, QWidget *parent = nullptr);

    // The copy chosen, once the dialog was accepted.
    QString ChosenPath() const { return m_chosen; }
    QTreeWidget *List() const { return m_pList; }
    QPushButton *RestoreButton() const { return m_pRestore; }
    QPushButton *OtherFileButton() const { return m_pOtherFile; }

private:
    void ChooseOtherFile();
    void AcceptCurrent();
    void UpdateButtons();

    QTreeWidget *m_pList = nullptr;
    QPushButton *m_pRestore = nullptr;
    QPushButton *m_pOtherFile = nullptr;
    QString m_chosen;
};

// The window layer's chooser of the copy to restore.
class CBackupChooser final : public IBackupChooser
{
public:
    QString ChooseBackup(QWidget *parent, const std::vector<BackupCopy> &copies) override;
};
