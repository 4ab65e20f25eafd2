#include "Lumisk/ImageFiles.h"

#include "Lumisk/GifWriter.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QImageReader>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Lumisk {

namespace {

// The writer format for a path's extension, or empty for an unknown one.
QByteArray WriterFormat(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"jpg" || suffix == u"jpeg")
        return QByteArrayLiteral("jpeg");
    if (suffix == u"bmp" || suffix == u"gif" || suffix == u"tiff" || suffix == u"png")
        return suffix.toLatin1();
    return {};
}

bool FitsAllocationLimit(const QSize &size)
{
    if (size.isEmpty())
        return false;
    const qint64 limitMegabytes = QImageReader::allocationLimit();
    if (limitMegabytes <= 0)
        return true;
    // Counted as 32-bit colour: that is what scaling and drawing turn every image into.
    return qint64(size.width()) * size.height() * 4 <= limitMegabytes * 1024 * 1024;
}

// Decoders fill a cut-off JPEG with grey and report success, so the file's
// structure is walked: every segment must be whole, and the last scan must be
// followed by the end-of-image marker.
bool JpegIsComplete(const uchar *data, qint64 size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    qint64 pos = 2;
    for (;;) {
        if (pos >= size || data[pos] != 0xFF)
            return false;
        while (pos < size && data[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            return false;
        const uchar marker = data[pos++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > size)
            return false;
        const int length = (data[pos] << 8) | data[pos + 1];
        if (length < 2 || pos + length > size)
            return false;
        pos += length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data runs up to the next marker that is neither a byte
        // stuffing nor a restart marker.
        for (;;) {
            const void *found = std::memchr(data + pos, 0xFF, size_t(size - pos));
            if (!found)
                return false;
            pos = static_cast<const uchar *>(found) - data;
            if (pos + 1 >= size)
                return false;
            const uchar next = data[pos + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                pos += 2;
            else if (next == 0xFF)
                ++pos;
            else
                break;
        }
    }
}

// A PNG ends with its IEND chunk; decoders stop quietly at the end of a cut-off file.
bool PngIsComplete(const uchar *data, qint64 size)
{
    static const uchar iend[] = { 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82 };
    if (size < qint64(sizeof(iend)))
        return false;
    const uchar *first = data;
    const uchar *last = data + size;
    return std::search(first, last, std::begin(iend), std::end(iend)) != last;
}

// A GIF ends with its trailer byte after the last image block.
bool GifIsComplete(const uchar *data, qint64 size)
{
    return size >= 14 && std::memcmp(data, "GIF8", 4) == 0 && data[size - 1] == 0x3B;
}

quint32 LittleEndian(const uchar *data, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | data[i];
    return value;
}

// The BMP reader accepts a file whose pixel rows stop early, so the rows the
// header promises must all be there.
bool BmpIsComplete(const uchar *data, qint64 size)
{
    if (size < 26)
        return false;
    const qint64 pixelsOffset = LittleEndian(data + 10, 4);
    const quint32 headerSize = LittleEndian(data + 14, 4);
    qint64 width = 0;
    qint64 height = 0;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = LittleEndian(data + 18, 2);
        height = LittleEndian(data + 20, 2);
        bitsPerPixel = int(LittleEndian(data + 24, 2));
    } else if (headerSize >= 40 && size >= 34) {
        width = qint32(LittleEndian(data + 18, 4));
        height = qint32(LittleEndian(data + 22, 4));
        bitsPerPixel = int(LittleEndian(data + 28, 2));
        compression = LittleEndian(data + 30, 4);
    } else {
        return true;
    }
    // Uncompressed rows (plain or with colour masks) have a known length;
    // run-length data is checked against the file size in the header.
    if (compression == 0 || compression == 3 || compression == 6) {
        const qint64 rowBytes = (std::abs(width) * bitsPerPixel + 31) / 32 * 4;
        return size >= pixelsOffset + rowBytes * std::abs(height);
    }
    const qint64 declaredSize = LittleEndian(data + 2, 4);
    return declaredSize == 0 || size >= declaredSize;
}

QImage OnWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

} // namespace

const QStringList &ImageExtensions()
{
    static const QStringList extensions { QStringLiteral(".bmp"), QStringLiteral(".gif"),
        QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".tiff"), QStringLiteral(".png") };
    return extensions;
}

bool HasImageExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return !suffix.isEmpty() && ImageExtensions().contains(QLatin1Char('.') + suffix, Qt::CaseInsensitive);
}

QStringList ScanImagesFolder(const QString &folder)
{
    QStringList paths;
    if (folder.isEmpty())
        return paths;
    const QDir dir(folder);
    if (!dir.exists())
        return paths;
    // Name filters of QDir match without regard to case unless asked otherwise.
    for (const QString &extension : ImageExtensions()) {
        const QStringList names
            = dir.entryList({ QLatin1Char('*') + extension }, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString &name : names)
            paths.append(folder + name);
    }
    return paths;
}

QRect FitRect(const QSize &imageSize, const QSize &box)
{
    if (imageSize.isEmpty() || box.isEmpty())
        return {};
    const double scale
        = std::min(double(box.width()) / imageSize.width(), double(box.height()) / imageSize.height());
    const int width = std::clamp(qRound(imageSize.width() * scale), 1, box.width());
    const int height = std::clamp(qRound(imageSize.height() * scale), 1, box.height());
    return QRect((box.width() - width) / 2, (box.height() - height) / 2, width, height);
}

bool IsCompleteImageFile(const QString &path)
{
    // Opening a pipe or device would wait for a writer, or read forever.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    const qint64 size = file.size();
    const uchar *data = file.map(0, size);
    if (!data)
        return false;
    // The content decides, not the name: a PNG may well be called ".jpg".
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return JpegIsComplete(data, size);
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0)
        return PngIsComplete(data, size);
    if (size >= 4 && std::memcmp(data, "GIF8", 4) == 0)
        return GifIsComplete(data, size);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return BmpIsComplete(data, size);
    return true;
}

QImage LoadImage(const QString &path, const QSize &fitWithin)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid()) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize upright = turned ? stored.transposed() : stored;
        if (!FitsAllocationLimit(upright))
            return {};
        if (fitWithin.isValid()
            && (upright.width() > fitWithin.width() || upright.height() > fitWithin.height())) {
            const QSize target = FitRect(upright, fitWithin).size();
            reader.setScaledSize(turned ? target.transposed() : target);
        }
    }
    QImage image;
    if (!reader.read(&image) || !FitsAllocationLimit(image.size()))
        return {};
    return image;
}

bool SaveImage(const QImage &image, const QString &path, int quality)
{
    const QByteArray format = WriterFormat(path);
    if (image.isNull() || format.isEmpty())
        return false;
    // The new content goes to a temporary file that replaces the old one only
    // when it is complete, so a failed write leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = false;
    if (format == "gif") {
        written = WriteGif(image, &file);
    } else {
        QImageWriter writer(&file, format);
        if (format == "jpeg" && quality >= 0)
            writer.setQuality(std::clamp(quality, 0, 100));
        if (format == "tiff")
            writer.setCompression(1); // LZW, lossless
        // JPEG and BMP keep no transparency; transparent parts become white, not black.
        const bool opaqueFormat = format == "jpeg" || format == "bmp";
        written = writer.write(opaqueFormat ? OnWhite(image) : image);
    }
    return written && file.commit();
}

QImage MakeThumbnail(const QImage &source)
{
    QImage canvas(ThumbnailSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QRect target = FitRect(source.size(), ThumbnailSize);
    if (!target.isEmpty()) {
        canvas.setDotsPerMeterX(source.dotsPerMeterX());
        canvas.setDotsPerMeterY(source.dotsPerMeterY());
        // QImage::scaled averages areas when it shrinks, which is the high-quality
        // scaling a thumbnail needs; QPainter only samples.
        const QImage scaled = source.size() == target.size()
            ? source
            : source.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&canvas);
        painter.drawImage(target.topLeft(), scaled);
    }
    return canvas.convertToFormat(QImage::Format_RGB888);
}

QImage LoadThumbnail(const QString &path)
{
    return MakeThumbnail(LoadImage(path, ThumbnailSize));
}

} // namespace Lumisk
