#include "files/pixel_image.h"

#include <cstring>

namespace ombrik {

QImage PixelBufferImage(const PixelBuffer& picture)
{
    if (picture.width <= 0 || picture.height <= 0
        || picture.byteCount() != PixelByteCount(picture.width, picture.height, picture.bytesPerPixel))
        return {};
    if (picture.bytesPerPixel == 3)
        return QImage(picture.data(), picture.width, picture.height, qsizetype(picture.stride()), QImage::Format_BGR888);
    if (picture.bytesPerPixel == 4)
        return QImage(picture.data(), picture.width, picture.height, qsizetype(picture.stride()), QImage::Format_ARGB32);
    return {};
}

PixelBuffer PixelBufferFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage bgr = image.format() == QImage::Format_BGR888 ? image : image.convertToFormat(QImage::Format_BGR888);
    PixelBuffer out(bgr.width(), bgr.height(), 3);
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(out.at(0, y), bgr.constScanLine(y), out.stride());
    return out;
}

} // namespace ombrik
