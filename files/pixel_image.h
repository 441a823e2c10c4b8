// The one bridge between the editor's pixel buffers and Qt's images.
#pragma once

#include "engine/pixel_buffer.h"

#include <QImage>

namespace ombrik {

// Views a 3- or 4-byte buffer as a QImage without copying (null for anything
// else). The buffer must outlive the image and its implicit copies.
QImage PixelBufferImage(const PixelBuffer& picture);

// A 3-byte copy of any image (converted from whatever format it is in);
// empty for a null image.
PixelBuffer PixelBufferFromImage(const QImage& image);

} // namespace ombrik
