#include "safety/ui/CRestoreBackupDlg.h"

#include "desktop/FileDialogs.h"

#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole + 1;

} // namespace

CRestoreBackupDlg::CRestoreBackupDlg(const std::vector<BackupCopy> &copies, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("restoreBackupDialog"));
    setWindowTitle(tr("Restore from backup"));
    auto *layout = new QVBoxLayout(this);
    auto *intro
        = new QLabel(tr("Choose the copy of the practice's database to restore. The database as it is now "
                        "is kept beside it; the patient folders are left as they are."),
            this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("backupList"));
    m_pList->setRootIsDecorated(false);
    m_pList->setHeaderLabels({ tr("Backup"), tr("Made"), tr("Patients") });
    for (const BackupCopy &copy : copies) {
        auto *item = new QTreeWidgetItem(m_pList);
        item->setText(
            0, copy.slot ? PracticeRestore::SlotTitle(*copy.slot) : QDir::toNativeSeparators(copy.path));
        item->setData(0, PathRole, copy.path);
        if (!copy.exists) {
            item->setText(1, tr("none"));
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            continue;
        }
        item->setText(1, QLocale().toString(copy.made, QLocale::ShortFormat));
        item->setText(2,
            copy.readable && copy.patients >= 0 ? QLocale().toString(copy.patients) : tr("cannot be read"));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_pList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_pList);

    auto *buttons = new QDialogButtonBox(this);
    m_pOtherFile = buttons->addButton(tr("Other file..."), QDialogButtonBox::ActionRole);
    m_pOtherFile->setObjectName(QStringLiteral("otherFileButton"));
    m_pRestore = buttons->addButton(tr("Restore..."), QDialogButtonBox::AcceptRole);
    m_pRestore->setObjectName(QStringLiteral("restoreButton"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    connect(m_pOtherFile, &QPushButton::clicked, this, &CRestoreBackupDlg::ChooseOtherFile);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRestoreBackupDlg::AcceptCurrent);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &CRestoreBackupDlg::AcceptCurrent);
    connect(m_pList, &QTreeWidget::currentItemChanged, this, &CRestoreBackupDlg::UpdateButtons);

    // The newest copy there is comes first and is chosen.
    for (int i = 0; i < m_pList->topLevelItemCount(); ++i) {
        if (m_pList->topLevelItem(i)->flags() & Qt::ItemIsEnabled) {
            m_pList->setCurrentItem(m_pList->topLevelItem(i));
            break;
        }
    }
    UpdateButtons();
    resize(560, 300);
}

void CRestoreBackupDlg::UpdateButtons()
{
    const QTreeWidgetItem *item = m_pList->currentItem();
    m_pRestore->setEnabled(item && (item->flags() & Qt::ItemIsEnabled));
}

void CRestoreBackupDlg::AcceptCurrent()
{
    const QTreeWidgetItem *item = m_pList->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    m_chosen = item->data(0, PathRole).toString();
    accept();
}

void CRestoreBackupDlg::ChooseOtherFile()
{
    const QString path = Desktop::FileDialogs().GetOpenFileName(this, tr("Restore a copy of the database"),
        QDir::homePath(), tr("Verdanta databases (*.mdb)|*.mdb|All files (*.*)|*.*||"));
    if (path.isEmpty())
        return;
    m_chosen = path;
    accept();
}

QString CBackupChooser::ChooseBackup(QWidget *parent, const std::vector<BackupCopy> &copies)
{
    CRestoreBackupDlg dialog(copies, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenPath() : QString();
}
