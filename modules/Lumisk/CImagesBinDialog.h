#pragma once

#include "Lumisk/CLumisk.h"

#include <QtCore/QFutureWatcher>
#include <QtCore/QHash>
#include <QtCore/QThreadPool>
#include <QtGui/QImage>
#include <QtGui/QPixmap>
#include <QtWidgets/QDialog>

class CImagePreviewStatic;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QStatusBar;
class QToolBar;

// The images bin: thumbnails of the images folder beside a preview. Images
// are added (menu, toolbar or dropped files), deleted, turned and flipped;
// the selected image becomes the manager's current file.
class CImagesBinDialog : public QDialog
{
    Q_OBJECT

public:
    CImagesBinDialog(CLumisk *lumisk, QWidget *parent = nullptr);
    ~CImagesBinDialog() override;

    // A thumbnail made on the worker.
    struct Thumbnail
    {
        QString path;
        QImage image;
    };

signals:
    // A thumbnail was put on the item in row.
    void ThumbnailShown(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The menu, and the toolbar for the caller to place.
    QToolBar *CreateActions();
    // Rebuilds the items from the manager's list and builds the thumbnails not made yet.
    void Refill();
    void SelectPath(const QString &path);
    void SelectLast();
    void UpdateStatus();
    void ShowThumbnail(const QString &path, const QPixmap &thumbnail);
    void OnThumbnailReady(int index);
    void OnSelectionChanged();
    void AddNewImage();
    void ImportFiles(const QStringList &paths);
    void DeleteSelected();
    void ChangeCurrent(CLumisk::Change change);
    void StopThumbnails();

    CLumisk *m_pLumisk;
    QListWidget *m_pList = nullptr;
    CImagePreviewStatic *m_pPreview = nullptr;
    QStatusBar *m_pStatusBar = nullptr;
    QLabel *m_pCount = nullptr;
    QPixmap m_blank;
    // Thumbnails already made, by path, so that a refill does not make them again.
    QHash<QString, QPixmap> m_thumbnails;
    // Thumbnails have their own threads: Qt's painting shares out large fills to
    // the global pool and would wait behind a queue of photos to decode.
    QThreadPool m_workerThreads;
    QFutureWatcher<Thumbnail> m_worker;
};
