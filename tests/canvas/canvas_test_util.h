// Small helpers shared by the canvas tests.
#pragma once

#include "canvas/canvas_document.h"

#include <algorithm>
#include <string>
#include <utility>

namespace ombrik::test {

inline PixelBuffer Flat(int w, int h, uint8_t v)
{
    PixelBuffer b(w, h, 3);
    std::fill(b.pixels.begin(), b.pixels.end(), v);
    return b;
}

inline CanvasDocument Opened(PixelBuffer photo, std::string path = "/tmp/photo.png")
{
    CanvasDocument doc;
    doc.afterOpen(std::move(photo), std::move(path));
    return doc;
}

} // namespace ombrik::test
