#include "artistic/paint_image.h"

#include "engine/row_bands.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace ombrik {

namespace {
GRand* g_painterRandom = nullptr;

// fn(y0, y1) for blocks of rows of an image: on every core for a whole canvas,
// on this thread for a brush. Unlike ForEachRowBand it always does every row.
void ForEachRowBlock(int width, int height, const std::function<void(int, int)>& fn)
{
    constexpr int kRows = 32;
    const int blocks = (height + kRows - 1) / kRows;
    const bool large = int64_t(width) * int64_t(height) >= 200000;
    ForEachItem(blocks, large ? CoreCount() : 1, [&](int b) { fn(b * kRows, std::min(height, (b + 1) * kRows)); });
}
} // namespace

void* AllocatePixelBlock(size_t bytes)
{
    constexpr size_t kHugePage = size_t(2) << 20;
    void* block;
    if (bytes >= 2 * kHugePage) {
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        block = std::aligned_alloc(kHugePage, rounded);
        if (block)
            madvise(block, rounded, MADV_HUGEPAGE);
    } else {
        block = std::malloc(bytes ? bytes : 1);
    }
    if (!block)
        throw std::bad_alloc();
    return block;
}

void FreePixelBlock(void* block) noexcept
{
    std::free(block);
}

PaintImage::PaintImage(int32_t w, int32_t h)
    : width(std::max(w, 1)), height(std::max(h, 1)), pixels(size_t(width) * size_t(height) * 3, 0)
{
}

void PaintImage::clear()
{
    width = 0;
    height = 0;
    pixels.clear();
    pixels.shrink_to_fit();
}

GRand* PainterRandom()
{
    if (!g_painterRandom)
        g_painterRandom = g_rand_new();
    return g_painterRandom;
}

void SetPainterRandom(GRand* generator)
{
    if (g_painterRandom)
        g_rand_free(g_painterRandom);
    g_painterRandom = generator;
}

void FillImage(PaintImage& image, uint8_t c0, uint8_t c1, uint8_t c2)
{
    ForEachRowBlock(image.width, image.height, [&](int y0, int y1) {
        uint8_t* p = image.at(0, y0);
        const size_t count = size_t(y1 - y0) * size_t(image.width);
        for (size_t k = 0; k < count; ++k, p += 3) {
            p[0] = c0;
            p[1] = c1;
            p[2] = c2;
        }
    });
}

void BilinearSample(const PaintImage& image, double x, double y, uint8_t out[3])
{
    // The negated tests also turn NaN coordinates into black.
    if (!(x >= 0.0) || !(y >= 0.0) || image.empty()) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    if (x > image.width - 1)
        x = image.width - 1;
    if (y > image.height - 1)
        y = image.height - 1;
    const int ix = int(x);
    const int iy = int(y);
    const float fx = float(x - ix);
    const float fy = float(y - iy);
    const float w00 = (1.0f - fx) * (1.0f - fy);
    const float w10 = fx * (1.0f - fy);
    const float w01 = (1.0f - fx) * fy;
    const float w11 = fx * fy;
    float acc0 = 0.0f, acc1 = 0.0f, acc2 = 0.0f;
    auto add = [&](float w, int px, int py) {
        const uint8_t* p = image.at(px, py);
        acc0 += w * p[0];
        acc1 += w * p[1];
        acc2 += w * p[2];
    };
    // Neighbours of weight 0 lie beyond the image on the last row or column.
    if (w00 != 0.0f)
        add(w00, ix, iy);
    if (w10 != 0.0f)
        add(w10, ix + 1, iy);
    if (w01 != 0.0f)
        add(w01, ix, iy + 1);
    if (w11 != 0.0f)
        add(w11, ix + 1, iy + 1);
    out[0] = uint8_t(std::min(acc0, 255.0f));
    out[1] = uint8_t(std::min(acc1, 255.0f));
    out[2] = uint8_t(std::min(acc2, 255.0f));
}

void ResizeImage(PaintImage& image, int w, int h)
{
    PaintImage out(w, h);
    const float rx = float(image.width) / float(out.width);
    const float ry = float(image.height) / float(out.height);
    for (int i = 0; i < out.height; ++i) {
        const float y = float(i) * ry;
        uint8_t* row = out.at(0, i);
        for (int j = 0; j < out.width; ++j)
            BilinearSample(image, float(j) * rx, y, row + size_t(j) * 3);
    }
    image = std::move(out);
}

void ScaleImage(PaintImage& image, double factor)
{
    ResizeImage(image, int(factor * image.width), int(factor * image.height));
}

void RotateImage(PaintImage& image, double degrees)
{
    PaintImage out(image.width, image.height);
    const double hw = image.width / 2.0;
    const double hh = image.height / 2.0;
    const double turn = degrees * 0.017453292519943295;
    for (int i = 0; i < out.height; ++i) {
        uint8_t* row = out.at(0, i);
        const double dy = i - hh;
        for (int j = 0; j < out.width; ++j) {
            const double dx = j - hw;
            const double rho = std::sqrt(dx * dx + dy * dy);
            const double theta = std::atan2(dy, dx) - turn;
            double x = hw + rho * std::cos(theta);
            double y = hh + rho * std::sin(theta);
            // The first row and column land a rounding error below 0 at small
            // angles; they are still inside the image, not beyond it.
            if (x < 0 && x > -1e-9)
                x = 0;
            if (y < 0 && y > -1e-9)
                y = 0;
            BilinearSample(image, x, y, row + size_t(j) * 3);
        }
    }
    image = std::move(out);
}

void PadImage(PaintImage& image, int left, int right, int top, int bottom, uint8_t c0, uint8_t c1, uint8_t c2)
{
    left = std::max(left, 0);
    right = std::max(right, 0);
    top = std::max(top, 0);
    bottom = std::max(bottom, 0);
    PaintImage out(left + image.width + right, top + image.height + bottom);
    if (c0 || c1 || c2)
        FillImage(out, c0, c1, c2);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.at(left, y + top), image.at(0, y), size_t(image.width) * 3);
    image = std::move(out);
}

void EdgePadImage(PaintImage& image, int left, int right, int top, int bottom)
{
    left = std::max(left, 0);
    right = std::max(right, 0);
    top = std::max(top, 0);
    bottom = std::max(bottom, 0);
    PaintImage out(left + image.width + right, top + image.height + bottom);
    ForEachRowBlock(out.width, out.height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const int sy = std::clamp(y - top, 0, image.height - 1);
            const uint8_t* src = image.at(0, sy);
            uint8_t* dst = out.at(0, y);
            for (int x = 0; x < left; ++x)
                std::memcpy(dst + size_t(x) * 3, src, 3);
            std::memcpy(dst + size_t(left) * 3, src, size_t(image.width) * 3);
            const uint8_t* last = src + size_t(image.width - 1) * 3;
            for (int x = left + image.width; x < out.width; ++x)
                std::memcpy(dst + size_t(x) * 3, last, 3);
        }
    });
    image = std::move(out);
}

void CropImage(PaintImage& image, int x0, int y0, int x1, int y1)
{
    x0 = std::clamp(x0, 0, image.width);
    y0 = std::clamp(y0, 0, image.height);
    x1 = std::clamp(x1, x0, image.width);
    y1 = std::clamp(y1, y0, image.height);
    PaintImage out(x1 - x0, y1 - y0);
    ForEachRowBlock(out.width, y1 - y0, [&](int r0, int r1) {
        for (int y = y0 + r0; y < y0 + r1; ++y)
            std::memcpy(out.at(0, y - y0), image.at(x0, y), size_t(x1 - x0) * 3);
    });
    image = std::move(out);
}

static bool SamePixel(const uint8_t* a, const uint8_t* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

void AutoCropImage(PaintImage& image, int margin)
{
    if (image.empty())
        return;
    const int w = image.width;
    const int h = image.height;
    auto rowDiffers = [&](int y, const uint8_t* ref) {
        for (int x = 0; x < w; ++x)
            if (!SamePixel(image.at(x, y), ref))
                return true;
        return false;
    };
    int top = -1;
    for (int y = 0; y < h && top < 0; ++y)
        if (rowDiffers(y, image.at(0, 0)))
            top = y;
    if (top < 0)
        return;  // one flat colour: nothing to crop to
    int bottom = top;
    for (int y = h - 1; y > top; --y)
        if (rowDiffers(y, image.at(0, h - 1))) {
            bottom = y;
            break;
        }
    const uint8_t* leftRef = image.at(0, top);
    const uint8_t* rightRef = image.at(w - 1, top);
    auto columnDiffers = [&](int x, const uint8_t* ref) {
        for (int y = top; y <= bottom; ++y)
            if (!SamePixel(image.at(x, y), ref))
                return true;
        return false;
    };
    int left = 0;
    for (int x = 0; x < w; ++x)
        if (columnDiffers(x, leftRef)) {
            left = x;
            break;
        }
    int right = w - 1;
    for (int x = w - 1; x >= 0; --x)
        if (columnDiffers(x, rightRef)) {
            right = x;
            break;
        }
    const int x0 = std::max(left - margin, 0);
    const int y0 = std::max(top - margin, 0);
    const int x1 = std::min(right + 1 + margin, w - 1);
    const int y1 = std::min(bottom + 1 + margin, h - 1);
    CropImage(image, x0, y0, x1, y1);
}

void BoxBlurImage(PaintImage& image, int rx, int ry)
{
    if (image.empty())
        return;
    rx = std::max(rx, 0);
    ry = std::max(ry, 0);
    const int w = image.width;
    const int h = image.height;
    // Horizontal window sums, then vertical sums of those: the same integer
    // total as summing the clipped window directly.
    std::vector<int32_t> rowSums(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = image.at(0, y);
        int32_t* dst = rowSums.data() + size_t(y) * size_t(w) * 3;
        for (int c = 0; c < 3; ++c) {
            int32_t sum = 0;
            for (int x = 0; x <= std::min(rx, w - 1); ++x)
                sum += src[size_t(x) * 3 + c];
            for (int x = 0; x < w; ++x) {
                dst[size_t(x) * 3 + c] = sum;
                const int add = x + rx + 1;
                const int sub = x - rx;
                if (add < w)
                    sum += src[size_t(add) * 3 + c];
                if (sub >= 0)
                    sum -= src[size_t(sub) * 3 + c];
            }
        }
    }
    std::vector<int32_t> colSums(size_t(w) * 3, 0);
    for (int y = 0; y <= std::min(ry, h - 1); ++y)
        for (size_t k = 0; k < colSums.size(); ++k)
            colSums[k] += rowSums[size_t(y) * size_t(w) * 3 + k];
    for (int y = 0; y < h; ++y) {
        const int rows = std::min(y + ry, h - 1) - std::max(y - ry, 0) + 1;
        uint8_t* dst = image.at(0, y);
        for (int x = 0; x < w; ++x) {
            const int cols = std::min(x + rx, w - 1) - std::max(x - rx, 0) + 1;
            const int32_t count = rows * cols;
            for (int c = 0; c < 3; ++c)
                dst[size_t(x) * 3 + c] = uint8_t(colSums[size_t(x) * 3 + c] / count);
        }
        const int add = y + ry + 1;
        const int sub = y - ry;
        if (add < h)
            for (size_t k = 0; k < colSums.size(); ++k)
                colSums[k] += rowSums[size_t(add) * size_t(w) * 3 + k];
        if (sub >= 0)
            for (size_t k = 0; k < colSums.size(); ++k)
                colSums[k] -= rowSums[size_t(sub) * size_t(w) * 3 + k];
    }
}

GammaTable MakeGammaTable(double g)
{
    GammaTable table{};
    for (int i = 0; i < 256; ++i) {
        if (g > 0)
            table.value[i] = uint8_t(255.0 * std::pow(i * 0.00392156862745098, 1.0 / g));
        else if (g < 0)
            table.value[255 - i] = uint8_t(255.0 * std::pow(i * 0.00392156862745098, -1.0 / g));
        else
            table.value[i] = 0;
    }
    return table;
}

void ApplyGammaTable(PaintImage& image, double g, bool channel0, bool channel1, bool channel2)
{
    const GammaTable table = MakeGammaTable(g);
    const bool flags[3] = {channel0, channel1, channel2};
    for (size_t k = 0; k < image.pixels.size(); ++k)
        if (flags[k % 3])
            image.pixels[k] = table.value[image.pixels[k]];
}

void ComputeReliefMap(PaintImage& image)
{
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = image.width - 1; x >= 0; --x) {
            uint8_t* p = image.at(x, y);
            p[1] = 0;
            if (x >= 1 && y >= 1) {
                const int d = int(p[0]) - int(image.at(x - 1, y - 1)[0]);
                p[1] = uint8_t(std::max(d, 0));
            }
        }
}

int HueValue(const uint8_t* pixel)
{
    const int c0 = pixel[0], c1 = pixel[1], c2 = pixel[2];
    if (c0 == c1 && c1 == c2)
        return 0;
    const int mx = std::max({c0, c1, c2});
    const int mn = std::min({c0, c1, c2});
    const double d = mx - mn;
    double h;
    if (mx == c0)
        h = (c1 - c2) / d;
    else if (mx == c1)
        h = (c2 - c0) / d + 2.0;
    else
        h = (c0 - c1) / d + 4.0;
    if (h < 0)
        h += 6.0;
    return int(h * 42.5);
}

namespace {

class Plasma {
public:
    Plasma(PaintImage& image, double roughness) : m_image(image), m_rand(PainterRandom()), m_roughness(roughness) {}

    void run()
    {
        const int w = m_image.width, h = m_image.height;
        at(0, 0) = uint8_t(g_rand_int_range(m_rand, 1, 256));
        at(0, h - 1) = uint8_t(g_rand_int_range(m_rand, 1, 256));
        at(w - 1, 0) = uint8_t(g_rand_int_range(m_rand, 1, 256));
        at(w - 1, h - 1) = uint8_t(g_rand_int_range(m_rand, 1, 256));
        subdivide(0, w - 1, 0, h - 1);
    }

private:
    uint8_t& at(int x, int y) { return m_image.at(x, y)[0]; }
    int p(int x, int y) { return at(x, y); }

    // 0 marks a point not yet set, so computed values are kept in 1..255.
    void set(int x, int y, double v)
    {
        v = std::clamp(v, -1.0e9, 1.0e9);
        const int iv = int(v);
        at(x, y) = uint8_t(iv <= 0 ? 1 : (iv > 255 ? 255 : iv));
    }

    double draw(double lo, double hi) { return g_rand_double_range(m_rand, lo, hi); }

    void subdivide(int x1, int x2, int y1, int y2)
    {
        const int bx = std::abs(x1 - x2);
        const int by = std::abs(y1 - y2);
        if (bx == 0 && by == 0)
            return;
        const int mx = (x1 + x2) / 2;
        const int my = (y1 + y2) / 2;
        if (p(mx, y1) == 0)
            set(mx, y1, draw(-bx / 2.0, bx / 2.0) * m_roughness + (p(x1, y1) + p(x2, y1)) / 2);
        if (p(mx, y2) == 0)
            set(mx, y2, draw(-bx / 2.0, bx / 2.0) * m_roughness + (p(x1, y2) + p(x2, y2)) / 2);
        if (p(x1, my) == 0)
            set(x1, my, draw(-by / 2.0, by / 2.0) * m_roughness + (p(x1, y2) + p(x1, y1)) / 2);
        if (p(x2, my) == 0)
            set(x2, my, draw(-by / 2.0, by / 2.0) * m_roughness + (p(x2, y2) + p(x2, y1)) / 2);
        if (p(mx, my) == 0)
            set(mx, my,
                draw((-bx - by) / 4.0, (bx + by) / 4.0) * m_roughness +
                    (p(x1, y2) + p(x2, y2) + p(x1, y1) + p(x2, y1)) / 4);
        if (bx > 1) {
            subdivide(x1, mx, y1, my);
            subdivide(mx, x2, y1, my);
        }
        if (by >= 2) {
            subdivide(x1, mx, my, y2);
            subdivide(mx, x2, my, y2);
        }
    }

    PaintImage& m_image;
    GRand* m_rand;
    double m_roughness;
};

} // namespace

void PlasmaImage(PaintImage& image, double roughness)
{
    if (image.empty())
        return;
    for (size_t k = 0; k < image.pixels.size(); k += 3)
        image.pixels[k] = 0;
    Plasma(image, roughness).run();
    for (size_t k = 0; k < image.pixels.size(); k += 3)
        image.pixels[k + 1] = image.pixels[k + 2] = image.pixels[k];
}

} // namespace ombrik
