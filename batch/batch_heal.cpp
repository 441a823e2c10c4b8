#include "batch/batch_heal.h"

#include "heal/heal_fill.h"

#include <QImage>
#include <QImageReader>

#include <cmath>
#include <cstdlib>

namespace ombrik {

std::shared_ptr<const HealMaskPicture> LoadHealMask(const std::string& path, std::string& error)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        error = "the heal mask '" + path + "' could not be read: " + reader.errorString().toStdString();
        return nullptr;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    auto mask = std::make_shared<HealMaskPicture>();
    mask->width = image.width();
    mask->height = image.height();
    mask->path = path;
    mask->marked.resize(size_t(mask->width) * size_t(mask->height));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            mask->marked[size_t(y) * mask->width + x] = (line[x] & 0xFFFFFF) != 0;
    }
    return mask;
}

bool ScaleHealMask(const HealMaskPicture& mask, int width, int height, std::vector<uint8_t>& out, std::string& error)
{
    const int mw = mask.width, mh = mask.height;
    if (mw <= 0 || mh <= 0 || width <= 0 || height <= 0) {
        error = "the heal mask is empty";
        return false;
    }
    // The photo may have lost a few columns to its width being cut to a
    // multiple of 4, and a pixel either way to downsizing.
    const double maskAspect = double(mw) / mh, photoAspect = double(width) / height;
    const double slack = 3.0 / width + 1.0 / height + 0.01;
    if (std::abs(maskAspect / photoAspect - 1.0) > slack) {
        error = "the heal mask '" + mask.path + "' is " + std::to_string(mw) + " x " + std::to_string(mh)
            + ": not in the proportions of the photo (" + std::to_string(width) + " x " + std::to_string(height) + ")";
        return false;
    }
    // Marked mask pixels counted over any rectangle, so a photo pixel sees
    // every mask pixel under it, however the sizes compare.
    std::vector<uint32_t> sums(size_t(mw + 1) * size_t(mh + 1), 0);
    for (int y = 0; y < mh; ++y) {
        uint32_t row = 0;
        for (int x = 0; x < mw; ++x) {
            row += mask.marked[size_t(y) * mw + x];
            sums[size_t(y + 1) * (mw + 1) + x + 1] = sums[size_t(y) * (mw + 1) + x + 1] + row;
        }
    }
    out.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const int my0 = int(int64_t(y) * mh / height);
        const int my1 = std::max(my0 + 1, int(int64_t(y + 1) * mh / height));
        for (int x = 0; x < width; ++x) {
            const int mx0 = int(int64_t(x) * mw / width);
            const int mx1 = std::max(mx0 + 1, int(int64_t(x + 1) * mw / width));
            const uint32_t count = sums[size_t(my1) * (mw + 1) + mx1] - sums[size_t(my0) * (mw + 1) + mx1]
                - sums[size_t(my1) * (mw + 1) + mx0] + sums[size_t(my0) * (mw + 1) + mx0];
            out[size_t(y) * width + x] = count > 0;
        }
    }
    return true;
}

BatchStep HealStep(std::shared_ptr<const HealMaskPicture> mask)
{
    BatchStep step;
    step.label = "Heal";
    step.failureIsUsage = true;
    step.apply = [mask](BatchPhoto& photo) -> std::string {
        std::vector<uint8_t> area;
        std::string error;
        if (!ScaleHealMask(*mask, photo.pixels.width, photo.pixels.height, area, error))
            return error;
        PixelBuffer healed;
        switch (HealFill(photo.pixels, area, healed)) {
        case HealOutcome::Filled:
            photo.pixels = std::move(healed);
            return {};
        case HealOutcome::Nothing:
            return {};
        case HealOutcome::TooLarge:
            return "the area the heal mask marks is more than two thirds of the photo: too little is left to fill "
                   "it from";
        case HealOutcome::Cancelled:
            return "cancelled";
        case HealOutcome::BadInput:
            break;
        }
        return "the photo cannot be healed";
    };
    return step;
}

} // namespace ombrik
