#pragma once

#include "lumisk_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QImage>

// Reading, writing and scaling the image files of the images folder. Every
// function is safe to call from a worker thread.
namespace Lumisk {

// The size of a thumbnail in the images bin.
inline constexpr QSize ThumbnailSize(100, 90);

// The extensions the library imports, lower case with the dot: ".bmp", ".gif",
// ".jpg", ".jpeg", ".tiff", ".png".
LUMISK_EXPORT const QStringList &ImageExtensions();

// True when the path's extension is one of ImageExtensions(), in any case.
LUMISK_EXPORT bool HasImageExtension(const QString &path);

// The image files of a folder (directories and hidden entries skipped), by
// extension in the order of ImageExtensions() and by name within one
// extension, matched in any case. folder must end with a separator; the paths
// are folder + file name.
LUMISK_EXPORT QStringList ScanImagesFolder(const QString &folder);

// The rectangle, inside a box of the given size, of an image of imageSize
// scaled by min(box width / image width, box height / image height) and centred.
// Small images are enlarged.
LUMISK_EXPORT QRect FitRect(const QSize &imageSize, const QSize &box);

// Decodes an image file, turned upright by its orientation tag. An image whose
// pixels would not fit Qt's image allocation limit as 32-bit colour is refused
// (null). With a valid fitWithin, a larger image is decoded straight to the
// size that fits the box, which is much faster for JPEG.
LUMISK_EXPORT QImage LoadImage(const QString &path, const QSize &fitWithin = QSize());

// False for an empty or unreadable file and for a JPEG, PNG, GIF or BMP that
// is cut off (decoders show what they got of those and report success).
LUMISK_EXPORT bool IsCompleteImageFile(const QString &path);

// Writes the image to path in the format of the path's extension (as
// HasImageExtension), replacing the file only once the whole image is written.
// quality (0..100) applies to JPEG only; -1 means the encoder's default.
LUMISK_EXPORT bool SaveImage(const QImage &image, const QString &path, int quality);

// A ThumbnailSize, 24-bit, white image with the source scaled to fit and centred.
LUMISK_EXPORT QImage MakeThumbnail(const QImage &source);

// The thumbnail of an image file (decoded at reduced size); white when the
// file cannot be read.
LUMISK_EXPORT QImage LoadThumbnail(const QString &path);

} // namespace Lumisk
