#include "tests/support/photo_fixture.h"

#include "effects/effect_request.h"

#include <QImage>

#include <cstring>

namespace ombrik::test {

PixelBuffer LoadSamplePhoto(const std::string& name, int width, int height)
{
    return LoadSamplePhotoFromPath(std::string(OMBRIK_PHOTO_DIR) + "/" + name, width, height);
}

PixelBuffer LoadSamplePhotoFromPath(const std::string& path, int width, int height)
{
    QImage image(QString::fromStdString(path));
    if (image.isNull())
        return {};
    if (width > 0 && height > 0)
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_BGR888);
    PixelBuffer buffer(image.width(), image.height(), 3);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(buffer.at(0, y), image.constScanLine(y), buffer.stride());
    return buffer;
}

PixelBuffer RunCatalogueEffect(EffectId id, const PixelBuffer& src)
{
    PixelBuffer dst(src.width, src.height, src.bytesPerPixel);
    EffectRequest request;
    request.initialise();
    request.set(id, src.width, src.height, src.bytesPerPixel);
    request.RunEffect(src.data(), dst.data());
    return dst;
}

bool SavePixelBuffer(const PixelBuffer& buffer, const std::string& path)
{
    if (buffer.bytesPerPixel != 3 || buffer.empty())
        return false;
    QImage image(buffer.data(), buffer.width, buffer.height, int(buffer.stride()), QImage::Format_BGR888);
    return image.save(QString::fromStdString(path));
}

} // namespace ombrik::test
