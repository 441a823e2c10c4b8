#include "canvas/photo_snapshot.h"
#include "files/pixel_image.h"

#include "files/image_encoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <atomic>
#include <cstring>

namespace ombrik {

uint64_t NextSnapshotSerial()
{
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

PhotoSnapshot EncodeSnapshot(const PixelBuffer& photo)
{
    PhotoSnapshot snapshot;
    if (photo.empty() || photo.bytesPerPixel != 3)
        return snapshot;
    ImageEncoder encoder("snapshot.jpg");
    encoder.setQuality(90);
    QByteArray bytes;
    if (encoder.saveToStream(photo, bytes) != SaveStatus::Ok)
        return snapshot;
    snapshot.bytes.assign(bytes.begin(), bytes.end());
    snapshot.serial = NextSnapshotSerial();
    return snapshot;
}

std::optional<PixelBuffer> DecodeSnapshot(const PhotoSnapshot& snapshot)
{
    if (snapshot.bytes.empty())
        return std::nullopt;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(snapshot.bytes.data()),
                                               qsizetype(snapshot.bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpg");
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const int width = image.width() & ~3;
    if (width <= 0 || image.height() <= 0)
        return std::nullopt;
    return PixelBufferFromImage(width == image.width() ? image : image.copy(0, 0, width, image.height()));
}

} // namespace ombrik
