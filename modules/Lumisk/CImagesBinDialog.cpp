#include "Lumisk/CImagesBinDialog.h"

#include "Lumisk/CImagePreviewStatic.h"
#include "Lumisk/ImageFiles.h"
#include "Lumisk/LumiskPrompts.h"

#include <QtConcurrent/QtConcurrentMap>
#include <QtCore/QFileInfo>
#include <QtCore/QMimeData>
#include <QtCore/QSignalBlocker>
#include <QtCore/QThread>
#include <QtCore/QUrl>
#include <QtGui/QAction>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtGui/QIcon>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole;
// True once the item shows its real thumbnail instead of the blank one.
constexpr int ThumbnailShownRole = Qt::UserRole + 1;
constexpr int StatusMessageMs = 8000;

// A toolbar picture drawn from a symbol, for desktops without an icon theme.
QIcon SymbolIcon(const QString &symbol)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(40, 70, 120));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, symbol);
    painter.end();
    return QIcon(pixmap);
}

QStringList LocalFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

CImagesBinDialog::CImagesBinDialog(CLumisk *lumisk, QWidget *parent)
    : QDialog(parent)
    , m_pLumisk(lumisk)
{
    setObjectName(QStringLiteral("imagesBinDialog"));
    setWindowTitle(tr("Images Bin"));
    setAcceptDrops(true);

    // One core stays free for the window.
    m_workerThreads.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    m_blank = QPixmap(Lumisk::ThumbnailSize);
    m_blank.fill(Qt::white);

    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("imageList"));
    m_pList->setViewMode(QListView::IconMode);
    m_pList->setIconSize(Lumisk::ThumbnailSize);
    m_pList->setGridSize(Lumisk::ThumbnailSize + QSize(24, 40));
    m_pList->setResizeMode(QListView::Adjust);
    m_pList->setMovement(QListView::Static);
    m_pList->setUniformItemSizes(true);
    m_pList->setWordWrap(true);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Files dropped on the list go to the window, which imports them.
    m_pList->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_pList->setAcceptDrops(false);
    m_pList->installEventFilter(this);

    m_pPreview = new CImagePreviewStatic(this);
    m_pPreview->setObjectName(QStringLiteral("imagePreview"));
    m_pPreview->setFrameShape(QFrame::StyledPanel);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_pList);
    splitter->addWidget(m_pPreview);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    m_pStatusBar = new QStatusBar(this);
    m_pCount = new QLabel(this);
    m_pCount->setObjectName(QStringLiteral("imageCount"));
    m_pStatusBar->addPermanentWidget(m_pCount);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreateActions());
    layout->addWidget(splitter, 1);
    layout->addWidget(m_pStatusBar);

    connect(m_pList, &QListWidget::itemSelectionChanged, this, &CImagesBinDialog::OnSelectionChanged);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(&m_worker, &QFutureWatcher<Thumbnail>::resultReadyAt, this, &CImagesBinDialog::OnThumbnailReady);

    resize(800, 540);
    Refill();
    SelectPath(m_pLumisk->GetCurrentFile());
}

CImagesBinDialog::~CImagesBinDialog()
{
    StopThumbnails();
}

QToolBar *CImagesBinDialog::CreateActions()
{
    auto makeAction = [this](const char *name, const QString &text, const QString &toolTip, const QIcon &icon,
                          auto slot) {
        auto *action = new QAction(icon, text, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(toolTip);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const QStyle *style = this->style();
    QAction *add = makeAction("actionAddImage", tr("&Add New Image..."), tr("Adds a new image to images bin"),
        QIcon::fromTheme(QStringLiteral("list-add"), SymbolIcon(QStringLiteral("+"))),
        &CImagesBinDialog::AddNewImage);
    QAction *remove = makeAction("actionDeleteSelected", tr("&Delete Selected"),
        tr("Remove selected image from images bin"),
        QIcon::fromTheme(QStringLiteral("edit-delete"), style->standardIcon(QStyle::SP_TrashIcon)),
        &CImagesBinDialog::DeleteSelected);
    QAction *quality = makeAction("actionImageQuality", tr("Image Quality..."), tr("Set images quality"),
        QIcon::fromTheme(QStringLiteral("configure"), SymbolIcon(QStringLiteral("Q"))),
        [this] { m_pLumisk->RunQualityDialog(this); });
    QAction *exit = makeAction("actionExit", tr("Exit"), tr("Exit"),
        QIcon::fromTheme(
            QStringLiteral("application-exit"), style->standardIcon(QStyle::SP_DialogCloseButton)),
        &QDialog::accept);
    QAction *rotateRight
        = makeAction("actionRotateRight", tr("Rotate Right"), tr("Rotate right with 90 degrees"),
            QIcon::fromTheme(QStringLiteral("object-rotate-right"), SymbolIcon(QString(QChar(0x21BB)))),
            [this] { ChangeCurrent(CLumisk::Change::RotateRight); });
    QAction *rotateLeft = makeAction("actionRotateLeft", tr("Rotate Left"), tr("Rotate left with 90 degrees"),
        QIcon::fromTheme(QStringLiteral("object-rotate-left"), SymbolIcon(QString(QChar(0x21BA)))),
        [this] { ChangeCurrent(CLumisk::Change::RotateLeft); });
    QAction *mirror = makeAction("actionMirror", tr("Mirror"), tr("Mirror"),
        QIcon::fromTheme(QStringLiteral("object-flip-horizontal"), SymbolIcon(QString(QChar(0x21C6)))),
        [this] { ChangeCurrent(CLumisk::Change::Mirror); });
    QAction *flip = makeAction("actionFlip", tr("Flip"), tr("Flip"),
        QIcon::fromTheme(QStringLiteral("object-flip-vertical"), SymbolIcon(QString(QChar(0x21C5)))),
        [this] { ChangeCurrent(CLumisk::Change::Flip); });

    auto *menuBar = new QMenuBar(this);
    QMenu *menu = menuBar->addMenu(tr("Image"));
    menu->addAction(add);
    menu->addAction(remove);
    menu->addSeparator();
    menu->addAction(quality);
    menu->addSeparator();
    menu->addAction(exit);

    auto *toolBar = new QToolBar(this);
    toolBar->setIconSize(QSize(24, 24));
    for (QAction *action : { rotateRight, rotateLeft, mirror, flip })
        toolBar->addAction(action);
    toolBar->addSeparator();
    for (QAction *action : { quality, add, remove })
        toolBar->addAction(action);
    toolBar->addSeparator();
    toolBar->addAction(exit);

    layout()->setMenuBar(menuBar);
    return toolBar;
}

void CImagesBinDialog::Refill()
{
    StopThumbnails();
    QStringList missing;
    {
        const QSignalBlocker blocker(m_pList);
        m_pList->clear();
        for (const QString &path : m_pLumisk->Images()) {
            auto *item = new QListWidgetItem(QFileInfo(path).fileName(), m_pList);
            item->setData(PathRole, path);
            item->setToolTip(path);
            const QPixmap made = m_thumbnails.value(path);
            item->setIcon(made.isNull() ? m_blank : made);
            item->setData(ThumbnailShownRole, !made.isNull());
            if (made.isNull())
                missing.append(path);
        }
    }
    UpdateStatus();
    m_pPreview->SetFilename({});
    if (!missing.isEmpty()) {
        // Decoding photos takes long: the worker makes the thumbnails and each is
        // shown as it arrives, so the window stays responsive meanwhile.
        m_worker.setFuture(
            QtConcurrent::mapped(&m_workerThreads, std::move(missing), [](const QString &path) {
                return Thumbnail { path, Lumisk::LoadThumbnail(path) };
            }));
    }
}

void CImagesBinDialog::StopThumbnails()
{
    m_worker.cancel();
    m_worker.waitForFinished();
}

void CImagesBinDialog::OnThumbnailReady(int index)
{
    const Thumbnail thumbnail = m_worker.resultAt(index);
    // A thumbnail made meanwhile (after a rotation) is newer than the worker's.
    if (m_thumbnails.contains(thumbnail.path))
        return;
    ShowThumbnail(thumbnail.path, QPixmap::fromImage(thumbnail.image));
}

void CImagesBinDialog::ShowThumbnail(const QString &path, const QPixmap &thumbnail)
{
    m_thumbnails.insert(path, thumbnail);
    for (int row = 0; row < m_pList->count(); ++row) {
        QListWidgetItem *item = m_pList->item(row);
        if (item->data(PathRole).toString() != path)
            continue;
        item->setIcon(thumbnail);
        item->setData(ThumbnailShownRole, true);
        emit ThumbnailShown(row);
    }
}

void CImagesBinDialog::UpdateStatus()
{
    m_pCount->setText(tr("%n Image(s)", nullptr, m_pList->count()));
}

void CImagesBinDialog::SelectPath(const QString &path)
{
    if (path.isEmpty())
        return;
    for (int row = 0; row < m_pList->count(); ++row) {
        QListWidgetItem *item = m_pList->item(row);
        if (item->data(PathRole).toString() == path) {
            m_pList->setCurrentItem(item);
            m_pList->scrollToItem(item);
            return;
        }
    }
}

void CImagesBinDialog::SelectLast()
{
    if (m_pList->count() == 0)
        return;
    QListWidgetItem *last = m_pList->item(m_pList->count() - 1);
    m_pList->setCurrentItem(last);
    m_pList->scrollToItem(last);
}

void CImagesBinDialog::OnSelectionChanged()
{
    QListWidgetItem *item = m_pList->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QListWidgetItem *> selected = m_pList->selectedItems();
        item = selected.isEmpty() ? nullptr : selected.last();
    }
    if (!item) {
        m_pPreview->SetFilename({});
        return;
    }
    const QString path = item->data(PathRole).toString();
    m_pLumisk->SetCurrentFile(path);
    if (m_pPreview->Filename() != path)
        m_pPreview->SetFilename(path);
}

void CImagesBinDialog::AddNewImage()
{
    QStringList patterns;
    for (const QString &extension : Lumisk::ImageExtensions())
        patterns.append(QLatin1Char('*') + extension);
    // File dialogs on this platform match patterns with case, so both cases are offered.
    const QString lower = patterns.join(QLatin1Char(' '));
    const QString filter
        = tr("Image Files (%1 %2)").arg(lower, lower.toUpper()) + QStringLiteral(";;") + tr("All files (*)");
    const QString path = LumiskPrompts()->GetOpenFileName(this, tr("Open Image File"), filter);
    if (!path.isEmpty())
        ImportFiles({ path });
}

void CImagesBinDialog::ImportFiles(const QStringList &paths)
{
    qsizetype failed = 0;
    for (const QString &path : paths) {
        if (!m_pLumisk->ImportImage(path, nullptr))
            ++failed;
    }
    Refill();
    SelectLast();
    if (failed > 0)
        m_pStatusBar->showMessage(
            tr("%n file(s) could not be imported.", nullptr, int(failed)), StatusMessageMs);
}

void CImagesBinDialog::DeleteSelected()
{
    const QList<QListWidgetItem *> selected = m_pList->selectedItems();
    if (selected.isEmpty())
        return;
    // The files go for good, so a slip of the Delete key must not cost a patient's image.
    if (!LumiskPrompts()->Confirm(this, tr("Delete Images"),
            tr("Delete the %n selected image(s)? The files are removed from the images "
               "folder.",
                nullptr, int(selected.size()))))
        return;
    int failed = 0;
    {
        const QSignalBlocker blocker(m_pList);
        for (QListWidgetItem *item : selected) {
            const QString path = item->data(PathRole).toString();
            if (m_pLumisk->DeleteImage(path)) {
                m_thumbnails.remove(path);
                delete item;
            } else {
                ++failed;
            }
        }
        m_pList->clearSelection();
    }
    m_pPreview->SetFilename({});
    UpdateStatus();
    if (failed > 0)
        m_pStatusBar->showMessage(tr("%n image(s) could not be deleted.", nullptr, failed), StatusMessageMs);
}

void CImagesBinDialog::ChangeCurrent(CLumisk::Change change)
{
    QListWidgetItem *item = m_pList->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString path = item->data(PathRole).toString();
    QImage changed;
    if (!m_pLumisk->ChangeImage(path, change, &changed)) {
        m_pStatusBar->showMessage(tr("The image could not be changed."), StatusMessageMs);
        return;
    }
    m_pPreview->SetFilename(path);
    ShowThumbnail(path, QPixmap::fromImage(Lumisk::MakeThumbnail(changed)));
}

bool CImagesBinDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            DeleteSelected();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CImagesBinDialog::dragEnterEvent(QDragEnterEvent *event)
{
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CImagesBinDialog::dropEvent(QDropEvent *event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    ImportFiles(files);
}
