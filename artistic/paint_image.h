// The painter's own image type and the image operations its steps use:
// bilinear resampling, rotation, padding, cropping, blur, gamma tables, relief
// maps, hue values and plasma noise. Three bytes per pixel in the photo's
// memory order, rows packed, row 0 first.
#pragma once

#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrik {

// Allocates large pixel blocks on 2 MB boundaries and asks the kernel for huge
// pages: strokes land at random places all over a multi-megabyte canvas, and
// with 4 KB pages nearly every stroke would miss the TLB.
template <typename T>
struct PixelBlockAllocator {
    using value_type = T;
    PixelBlockAllocator() = default;
    template <typename U>
    PixelBlockAllocator(const PixelBlockAllocator<U>&) noexcept {}
    T* allocate(size_t n);
    void deallocate(T* p, size_t n) noexcept;
    template <typename U>
    bool operator==(const PixelBlockAllocator<U>&) const noexcept { return true; }
};

void* AllocatePixelBlock(size_t bytes);
void FreePixelBlock(void* block) noexcept;

template <typename T>
T* PixelBlockAllocator<T>::allocate(size_t n)
{
    return static_cast<T*>(AllocatePixelBlock(n * sizeof(T)));
}
template <typename T>
void PixelBlockAllocator<T>::deallocate(T* p, size_t) noexcept
{
    FreePixelBlock(p);
}

using PixelBlock = std::vector<uint8_t, PixelBlockAllocator<uint8_t>>;

struct PaintImage {
    int32_t width = 0;
    int32_t height = 0;
    PixelBlock pixels;

    PaintImage() = default;
    // A black image; a width or height below 1 is raised to 1.
    PaintImage(int32_t w, int32_t h);

    bool empty() const { return pixels.empty(); }
    void clear();
    uint8_t* at(int x, int y) { return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
    const uint8_t* at(int x, int y) const { return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

// The painter's current random generator (process-wide). Every painting makes a
// new one; the plasma noise draws from it. A generator is made on first use when
// none exists yet.
GRand* PainterRandom();
// Replaces the current generator (takes ownership; the old one is released).
void SetPainterRandom(GRand* generator);

void FillImage(PaintImage& image, uint8_t c0, uint8_t c1, uint8_t c2);

// Bilinear sample: negative coordinates give black, x and y are clamped to the
// last column and row, weights are single precision and a neighbour of weight
// 0 is not read.
void BilinearSample(const PaintImage& image, double x, double y, uint8_t out[3]);

void ResizeImage(PaintImage& image, int w, int h);
void ScaleImage(PaintImage& image, double factor);
void RotateImage(PaintImage& image, double degrees);
void PadImage(PaintImage& image, int left, int right, int top, int bottom, uint8_t c0, uint8_t c1, uint8_t c2);
void EdgePadImage(PaintImage& image, int left, int right, int top, int bottom);
// Columns x0..x1 - 1 and rows y0..y1 - 1, limited to the image (at least 1 × 1).
void CropImage(PaintImage& image, int x0, int y0, int x1, int y1);
// Crops to the box of pixels that differ from the background colour, grown by
// margin. An image without such a pixel is left as it is.
void AutoCropImage(PaintImage& image, int margin);
void BoxBlurImage(PaintImage& image, int rx, int ry);

struct GammaTable {
    uint8_t value[256];
};
GammaTable MakeGammaTable(double g);
// Builds the table for g and applies it in place to the flagged channels.
void ApplyGammaTable(PaintImage& image, double g, bool channel0, bool channel1, bool channel2);

// Channel 1 := max(0, channel 0 - channel 0 of the upper-left neighbour); 0 on
// the first row and column.
void ComputeReliefMap(PaintImage& image);

// 0..254: the hue of a pixel scaled to a byte; 0 for greys.
int HueValue(const uint8_t* pixel);

// Fractal plasma noise in channel 0 (then copied to channels 1 and 2), drawn
// from the painter's current random generator.
void PlasmaImage(PaintImage& image, double roughness);

} // namespace ombrik
