#include "Lumisk/GifWriter.h"

#include <QtCore/QIODevice>
#include <QtGui/QImage>

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace Lumisk {

namespace {

int WriteToDevice(GifFileType *gif, const GifByteType *data, int length)
{
    auto *device = static_cast<QIODevice *>(gif->UserData);
    return int(device->write(reinterpret_cast<const char *>(data), length));
}

struct ColorMapDeleter
{
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

} // namespace

bool WriteGif(const QImage &image, QIODevice *device)
{
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF || !device)
        return false;
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
    if (indexed.isNull())
        return false;

    // One palette entry stands for every pixel that is more transparent than not.
    QList<QRgb> table = indexed.colorTable();
    int transparent = -1;
    std::vector<uchar> remap(256);
    for (int i = 0; i < table.size(); ++i) {
        remap[size_t(i)] = uchar(i);
        if (qAlpha(table[i]) < 128) {
            if (transparent < 0)
                transparent = i;
            remap[size_t(i)] = uchar(transparent);
        }
    }

    int bits = 1;
    while ((1 << bits) < table.size())
        ++bits;
    std::vector<GifColorType> colors(size_t(1) << bits, GifColorType { 0, 0, 0 });
    for (int i = 0; i < table.size(); ++i)
        colors[size_t(i)] = GifColorType { GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
            GifByteType(qBlue(table[i])) };
    const std::unique_ptr<ColorMapObject, ColorMapDeleter> map(
        GifMakeMapObject(int(colors.size()), colors.data()));
    if (!map)
        return false;

    int error = 0;
    GifFileType *gif = EGifOpen(device, WriteToDevice, &error);
    if (!gif)
        return false;
    EGifSetGifVersion(gif, transparent >= 0);
    bool ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), bits, 0, map.get()) == GIF_OK;
    if (ok && transparent >= 0) {
        GraphicsControlBlock control {};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = transparent;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(indexed.width()));
    for (int y = 0; ok && y < indexed.height(); ++y) {
        const uchar *source = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            line[size_t(x)] = remap[source[x]];
        ok = EGifPutLine(gif, line.data(), indexed.width()) == GIF_OK;
    }
    // Closing writes the trailer and frees the writer whatever happened before.
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed;
}

} // namespace Lumisk
