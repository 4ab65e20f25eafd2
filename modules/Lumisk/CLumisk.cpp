#include "Lumisk/CLumisk.h"

#include "Lumisk/CImagePreviewDialog.h"
#include "Lumisk/CImageQualityDialog.h"
#include "Lumisk/CImagesBinDialog.h"
#include "Lumisk/ImageFiles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <QtGui/QTransform>
#include <QtWidgets/QApplication>

namespace {

CLumisk *g_pInstance = nullptr;

// The process-wide image quality; it outlives the instance, since the program
// sets it once at start and releases the manager right after.
std::atomic<int> g_imageQuality { 50 };

bool IsSameFile(const QString &first, const QString &second)
{
    const QFileInfo a(first);
    const QFileInfo b(second);
    if (QDir::cleanPath(a.absoluteFilePath())
            .compare(QDir::cleanPath(b.absoluteFilePath()), Qt::CaseInsensitive)
        == 0)
        return true;
    const QString canonical = a.canonicalFilePath();
    return !canonical.isEmpty() && canonical == b.canonicalFilePath();
}

QWidget *DialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

// Deletes the instance when the library is unloaded, whatever its count.
struct LumiskLifetime
{
    ~LumiskLifetime()
    {
        delete g_pInstance;
        g_pInstance = nullptr;
    }
};
static LumiskLifetime g_lifetime;

ILumisk::~ILumisk() = default;

ILumisk *ILumiskFactory()
{
    return CLumisk::Instance();
}

CLumisk *CLumisk::Instance()
{
    if (!g_pInstance)
        g_pInstance = new CLumisk;
    return g_pInstance;
}

long CLumisk::AddRef()
{
    return ++m_refCount;
}

long CLumisk::Release()
{
    const long count = --m_refCount;
    if (count == 0) {
        if (g_pInstance == this)
            g_pInstance = nullptr;
        delete this;
    }
    return count;
}

bool CLumisk::SetImagesFolder(const QString &folder)
{
    m_imagesFolder = QDir::fromNativeSeparators(folder);
    if (!m_imagesFolder.isEmpty() && !m_imagesFolder.endsWith(QLatin1Char('/')))
        m_imagesFolder += QLatin1Char('/');
    m_images = Lumisk::ScanImagesFolder(m_imagesFolder);
    return true;
}

bool CLumisk::SetCurrentFile(const QString &path)
{
    m_currentFile = path;
    return true;
}

bool CLumisk::SelectImage(int index)
{
    if (index < 0 || index >= m_images.size())
        return false;
    m_currentFile = m_images.at(index);
    return true;
}

QString CLumisk::GetCurrentFile()
{
    return m_currentFile;
}

void CLumisk::ShowImagesBin(QWidget *parent)
{
    // Held for the modal loop, so that a release made meanwhile cannot delete
    // the manager under its window.
    AddRef();
    {
        CImagesBinDialog dialog(this, parent);
        dialog.exec();
    }
    Release();
}

int CLumisk::GetImageCount()
{
    return int(m_images.size());
}

QString CLumisk::GetImage(int index)
{
    if (index < 0 || index >= m_images.size())
        return {};
    return m_images.at(index);
}

QString CLumisk::FreePathFor(const QString &fileName) const
{
    const QString first = m_imagesFolder + fileName;
    if (!QFileInfo::exists(first))
        return first;
    const QFileInfo name(fileName);
    const QString base = name.completeBaseName();
    const QString suffix = name.suffix();
    for (int n = 1; n < 100000; ++n) {
        const QString candidate = m_imagesFolder + QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return {};
}

bool CLumisk::ImportImage(const QString &sourcePath, QString *newPath)
{
    if (newPath)
        newPath->clear();
    // Without an images folder the new file would land in the current directory.
    if (sourcePath.isEmpty() || m_imagesFolder.isEmpty() || !Lumisk::HasImageExtension(sourcePath))
        return false;
    const QString fileName = QFileInfo(sourcePath).fileName();
    if (IsSameFile(sourcePath, m_imagesFolder + fileName))
        return false;
    if (!Lumisk::IsCompleteImageFile(sourcePath))
        return false;
    const QImage image = Lumisk::LoadImage(sourcePath);
    if (image.isNull())
        return false;
    // Another image of that name is already there: keep it and take a free name.
    const QString target = FreePathFor(fileName);
    if (target.isEmpty() || !Lumisk::SaveImage(image, target, g_imageQuality))
        return false;
    m_images.append(target);
    if (newPath)
        *newPath = target;
    return true;
}

bool CLumisk::ShowImage(const QString &path)
{
    if (path.isEmpty())
        return false;
    AddRef();
    {
        CImagePreviewDialog dialog(path, DialogParent());
        dialog.exec();
    }
    Release();
    return true;
}

bool CLumisk::GetQuality(int *value)
{
    if (value)
        *value = g_imageQuality;
    return true;
}

bool CLumisk::SetQuality(int value)
{
    if (value < 0 || value > 100)
        return false;
    g_imageQuality = value;
    return true;
}

bool CLumisk::ShowQualityDialog()
{
    AddRef();
    const bool confirmed = RunQualityDialog(DialogParent());
    Release();
    return confirmed;
}

bool CLumisk::RunQualityDialog(QWidget *parent)
{
    CImageQualityDialog dialog(g_imageQuality, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return SetQuality(dialog.Quality());
}

bool CLumisk::DeleteImage(const QString &path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return false;
    m_images.removeAll(path);
    if (m_currentFile == path)
        m_currentFile.clear();
    return true;
}

bool CLumisk::ChangeImage(const QString &path, Change change, QImage *changed)
{
    // Saving back only the first page of a multi-page TIFF or animated GIF
    // would lose the others.
    if (!Lumisk::IsCompleteImageFile(path) || QImageReader(path).imageCount() > 1)
        return false;
    QImage image = Lumisk::LoadImage(path);
    if (image.isNull())
        return false;
    switch (change) {
    case Change::RotateRight:
        image = image.transformed(QTransform().rotate(90));
        break;
    case Change::RotateLeft:
        image = image.transformed(QTransform().rotate(270));
        break;
    case Change::Mirror:
        image = image.mirrored(true, false);
        break;
    case Change::Flip:
        image = image.mirrored(false, true);
        break;
    }
    // Saved at the encoder's default quality, as a change is not an import.
    if (!Lumisk::SaveImage(image, path, -1))
        return false;
    if (changed)
        *changed = image;
    return true;
}
