#pragma once

class QImage;
class QIODevice;

namespace Lumisk {

// Writes the image as a single-frame GIF (at most 256 colours, dithered when the
// image has more; transparent pixels kept as the transparent colour). Qt reads
// GIF but has no writer of its own.
bool WriteGif(const QImage &image, QIODevice *device);

} // namespace Lumisk
