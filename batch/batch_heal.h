// The --heal step of the command line: a mask picture (the photo's
// proportions, any non-black pixel marking the area) scaled to each photo and
// the area filled from the rest of the photo.
#pragma once

#include "batch/batch_steps.h"

#include <memory>
#include <string>
#include <vector>

namespace ombrik {

// A mask picture as read: one bit a pixel, set where the picture is not black.
struct HealMaskPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> marked;
    std::string path;
};

// Reads the mask; null with `error` set when it cannot be read.
std::shared_ptr<const HealMaskPicture> LoadHealMask(const std::string& path, std::string& error);

// The mask at a photo's size: a photo pixel is marked when any mask pixel
// over it is. False with `error` set when the proportions differ by more than
// the photo's rounding to whole pixels.
bool ScaleHealMask(const HealMaskPicture& mask, int width, int height, std::vector<uint8_t>& out, std::string& error);

// The step: an empty area changes nothing; another proportion or an area too
// large to fill fails as a usage error.
BatchStep HealStep(std::shared_ptr<const HealMaskPicture> mask);

} // namespace ombrik
