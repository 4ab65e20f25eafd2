#pragma once

#include "Lumisk/ILumisk.h"

#include <QtCore/QStringList>

#include <atomic>

class QImage;
class QWidget;

// The process-wide image manager behind ILumiskFactory().
class CLumisk final : public ILumisk
{
public:
    // The instance, created when there is none.
    static CLumisk *Instance();

    long AddRef() override;
    long Release() override;
    bool SetImagesFolder(const QString &folder) override;
    bool SetCurrentFile(const QString &path) override;
    bool SelectImage(int index) override;
    QString GetCurrentFile() override;
    void ShowImagesBin(QWidget *parent) override;
    int GetImageCount() override;
    QString GetImage(int index) override;
    bool ImportImage(const QString &sourcePath, QString *newPath) override;
    bool ShowImage(const QString &path) override;
    bool GetQuality(int *value) override;
    bool SetQuality(int value) override;
    bool ShowQualityDialog() override;

    // For the images bin.
    const QStringList &Images() const { return m_images; }
    // The quality dialog over the given window; true when confirmed.
    bool RunQualityDialog(QWidget *parent);
    // Deletes the file and takes it out of the list; a file that cannot be
    // deleted stays listed. Deleting the current file clears it.
    bool DeleteImage(const QString &path);
    // Turns or flips the image and saves it over its file; on success the new
    // image is returned in changed. Cut-off and multi-frame files are left alone.
    enum class Change { RotateRight, RotateLeft, Mirror, Flip };
    bool ChangeImage(const QString &path, Change change, QImage *changed);

private:
    CLumisk() = default;
    ~CLumisk() override = default;
    friend struct LumiskLifetime;

    // A path in the images folder for the file name that replaces no file there.
    QString FreePathFor(const QString &fileName) const;

    std::atomic<long> m_refCount { 1 };
    QString m_imagesFolder;
    QString m_currentFile;
    QStringList m_images;
};
