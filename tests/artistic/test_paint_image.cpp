// The painter's image operations on tiny synthetic images with exact bytes.
#include "artistic/paint_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace ombrik;

namespace {

PaintImage Pattern(int w, int h)
{
    PaintImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.at(x, y);
            p[0] = uint8_t(10 * x + y);
            p[1] = uint8_t(3 * x * y);
            p[2] = uint8_t(200 - 7 * y);
        }
    return image;
}

} // namespace

TEST(PaintImage, CreationRaisesSizesBelowOneAndStartsBlack)
{
    const PaintImage a(0, -5);
    EXPECT_EQ(a.width, 1);
    EXPECT_EQ(a.height, 1);
    EXPECT_EQ(a.pixels.size(), 3u);
    const PaintImage b(4, 2);
    for (uint8_t v : b.pixels)
        EXPECT_EQ(v, 0);
}

TEST(PaintImage, BilinearSampleWeightsAndEdges)
{
    const PaintImage image = Pattern(3, 2);
    uint8_t out[3];
    // Halfway between (0,0) and (1,0): channel 0 is 0 and 10.
    BilinearSample(image, 0.5, 0.0, out);
    EXPECT_EQ(out[0], 5);
    // On the last column and row only that pixel is read (ASan checks the rest).
    BilinearSample(image, 2.0, 1.0, out);
    EXPECT_EQ(out[0], image.at(2, 1)[0]);
    EXPECT_EQ(out[1], image.at(2, 1)[1]);
    EXPECT_EQ(out[2], image.at(2, 1)[2]);
    // Beyond the image the coordinates are clamped; below 0 is black.
    BilinearSample(image, 9.0, 9.0, out);
    EXPECT_EQ(out[0], image.at(2, 1)[0]);
    BilinearSample(image, -0.01, 1.0, out);
    EXPECT_EQ(out[0] | out[1] | out[2], 0);
    BilinearSample(image, NAN, 1.0, out);
    EXPECT_EQ(out[0] | out[1] | out[2], 0);
}

TEST(PaintImage, ResizeAndRotateByZeroKeepTheImage)
{
    PaintImage image = Pattern(9, 7);
    const PaintImage original = image;
    ResizeImage(image, 9, 7);
    EXPECT_EQ(image.pixels, original.pixels);
    RotateImage(image, 0);
    ASSERT_EQ(image.width, 9);
    for (size_t k = 0; k < image.pixels.size(); ++k)
        EXPECT_NEAR(image.pixels[k], original.pixels[k], 1) << k;
    ScaleImage(image, 2.0);
    EXPECT_EQ(image.width, 18);
    EXPECT_EQ(image.height, 14);
    ResizeImage(image, 0, 0);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
}

TEST(PaintImage, PadEdgePadAndCrop)
{
    PaintImage image = Pattern(2, 2);
    const PaintImage original = image;
    PadImage(image, 1, 2, 0, 1, 7, 8, 9);
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(image.at(0, 0)[0], 7);
    EXPECT_EQ(image.at(4, 2)[2], 9);
    EXPECT_EQ(image.at(2, 1)[0], original.at(1, 1)[0]);

    image = original;
    EdgePadImage(image, 2, 1, 1, 2);
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 5);
    EXPECT_EQ(image.at(0, 0)[0], original.at(0, 0)[0]);  // corner repeats the corner
    EXPECT_EQ(image.at(4, 4)[1], original.at(1, 1)[1]);
    EXPECT_EQ(image.at(0, 2)[2], original.at(0, 1)[2]);

    CropImage(image, 2, 1, 4, 3);
    EXPECT_EQ(image.pixels, original.pixels);
    CropImage(image, 5, 5, 9, 9);  // outside: a 1 × 1 image, never an empty one
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
}

TEST(PaintImage, WholeCanvasFillEdgePadAndCropDoEveryRow)
{
    // Canvas-sized images are shared out over the cores in blocks of rows:
    // every row must be done, whatever block it falls in.
    const PaintImage original = Pattern(613, 401);
    PaintImage image = original;
    EdgePadImage(image, 9, 11, 13, 17);
    ASSERT_EQ(image.width, 633);
    ASSERT_EQ(image.height, 431);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            ASSERT_EQ(std::memcmp(image.at(x, y), original.at(std::clamp(x - 9, 0, 612), std::clamp(y - 13, 0, 400)), 3),
                      0) << x << "," << y;
    CropImage(image, 9, 13, 622, 414);
    EXPECT_EQ(image.pixels, original.pixels);
    FillImage(image, 1, 2, 3);
    for (size_t k = 0; k < image.pixels.size(); ++k)
        ASSERT_EQ(image.pixels[k], k % 3 + 1) << k;
}

TEST(PaintImage, AutoCropFindsTheMarkedBox)
{
    PaintImage image(12, 10);
    image.at(4, 3)[0] = 200;
    image.at(6, 5)[0] = 100;
    AutoCropImage(image, 1);
    // Rows 3..5 and columns 4..6 grown by one on each side.
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 5);
    EXPECT_EQ(image.at(1, 1)[0], 200);
    EXPECT_EQ(image.at(3, 3)[0], 100);

    PaintImage flat(6, 4);
    AutoCropImage(flat, 1);  // nothing to crop to: unchanged
    EXPECT_EQ(flat.width, 6);
    EXPECT_EQ(flat.height, 4);
}

TEST(PaintImage, BoxBlurCountsOnlyPixelsInside)
{
    PaintImage image(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            image.at(x, y)[0] = uint8_t(x * 40 + y);
    const PaintImage original = image;
    BoxBlurImage(image, 2, 2);
    // Independent sums over the clipped window.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            int sum = 0, count = 0;
            for (int v = y - 2; v <= y + 2; ++v)
                for (int u = x - 2; u <= x + 2; ++u)
                    if (u >= 0 && v >= 0 && u < 6 && v < 6) {
                        sum += original.at(u, v)[0];
                        ++count;
                    }
            EXPECT_EQ(image.at(x, y)[0], sum / count) << x << "," << y;
        }
    // The corner averages 9 pixels: columns 0..2 (0, 40, 80) and rows 0..2.
    EXPECT_EQ(image.at(0, 0)[0], (3 * (0 + 40 + 80) + 3 * (0 + 1 + 2)) / 9);

    PaintImage single(1, 1);
    single.at(0, 0)[1] = 77;
    BoxBlurImage(single, 2, 2);
    EXPECT_EQ(single.at(0, 0)[1], 77);
}

TEST(PaintImage, GammaTables)
{
    const GammaTable identity = MakeGammaTable(1.0);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(identity.value[i], i, 1);
    EXPECT_EQ(MakeGammaTable(1.0).value[255], 255);
    const GammaTable squared = MakeGammaTable(0.5);  // (i/255)^2
    EXPECT_EQ(squared.value[128], int(255.0 * std::pow(128 * 0.00392156862745098, 2.0)));
    const GammaTable inverse = MakeGammaTable(-1.0);
    EXPECT_EQ(inverse.value[0], 255);
    EXPECT_EQ(inverse.value[255], 0);
    EXPECT_NEAR(inverse.value[100], 155, 1);
    const GammaTable zero = MakeGammaTable(0.0);
    EXPECT_EQ(zero.value[255], 0);

    PaintImage image = Pattern(3, 3);
    const PaintImage original = image;
    ApplyGammaTable(image, 0.0, true, false, true);
    for (size_t k = 0; k < image.pixels.size(); ++k)
        EXPECT_EQ(image.pixels[k], k % 3 == 1 ? original.pixels[k] : 0);
}

TEST(PaintImage, ReliefMapIsTheRiseFromTheUpperLeft)
{
    PaintImage image(3, 3);
    const uint8_t c0[3][3] = {{10, 50, 20}, {30, 5, 90}, {0, 200, 7}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            image.at(x, y)[0] = c0[y][x];
            image.at(x, y)[1] = 99;
        }
    ComputeReliefMap(image);
    const uint8_t expected[3][3] = {{0, 0, 0}, {0, 0, 40}, {0, 170, 2}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(image.at(x, y)[1], expected[y][x]) << x << "," << y;
            EXPECT_EQ(image.at(x, y)[0], c0[y][x]);
        }
}

TEST(PaintImage, HueValues)
{
    const uint8_t grey[3] = {9, 9, 9};
    const uint8_t c0Max[3] = {255, 0, 0};
    const uint8_t c1Max[3] = {0, 255, 0};
    const uint8_t c2Max[3] = {0, 0, 255};
    const uint8_t wrap[3] = {255, 0, 128};  // h = (0 - 128)/255 + 6
    EXPECT_EQ(HueValue(grey), 0);
    EXPECT_EQ(HueValue(c0Max), 0);
    EXPECT_EQ(HueValue(c1Max), 85);
    EXPECT_EQ(HueValue(c2Max), 170);
    EXPECT_EQ(HueValue(wrap), int((-128.0 / 255 + 6) * 42.5));
}

TEST(PaintImage, PlasmaOnOnePixelKeepsTheLastOfFourDraws)
{
    SetPainterRandom(g_rand_new_with_seed(42));
    PaintImage image(1, 1);
    PlasmaImage(image, 15);
    GRand* reference = g_rand_new_with_seed(42);
    int last = 0;
    for (int k = 0; k < 4; ++k)
        last = g_rand_int_range(reference, 1, 256);
    g_rand_free(reference);
    EXPECT_EQ(image.at(0, 0)[0], last);
    EXPECT_EQ(image.at(0, 0)[1], last);
    EXPECT_EQ(image.at(0, 0)[2], last);
}

TEST(PaintImage, PlasmaOnThreeByThreeFollowsItsDrawsAndRanges)
{
    // Four corners, then the four edge midpoints (a draw in -1..1 times the
    // roughness plus the mean of their two corners) and the centre (a draw in
    // -(2 + 2) / 4..(2 + 2) / 4 plus the mean of the corners); nothing more.
    SetPainterRandom(g_rand_new_with_seed(7));
    PaintImage image(3, 3);
    PlasmaImage(image, 15);
    GRand* r = g_rand_new_with_seed(7);
    int c[4];  // (0, 0), (0, 2), (2, 0), (2, 2)
    for (int& v : c)
        v = g_rand_int_range(r, 1, 256);
    auto next = [&](int mean) { return std::clamp(int(g_rand_double_range(r, -1, 1) * 15 + mean), 1, 255); };
    const int top = next((c[0] + c[2]) / 2), bottom = next((c[1] + c[3]) / 2);
    const int left = next((c[1] + c[0]) / 2), right = next((c[3] + c[2]) / 2);
    const int centre = next((c[1] + c[3] + c[0] + c[2]) / 4);
    g_rand_free(r);
    const int expected[9] = {c[0], top, c[2], left, centre, right, c[1], bottom, c[3]};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(image.at(k % 3, k / 3)[0], expected[k]) << k;
}
