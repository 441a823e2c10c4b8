// Crop, quarter turns, flips, straighten and Lanczos resampling against
// references computed here pixel by pixel.
#include "engine/geometry.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ombrik;

namespace {

// Every pixel different from its neighbours and from its mirror images.
PixelBuffer Pattern(int w, int h)
{
    PixelBuffer b(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.at(x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x * 7 + y * 13);
        }
    return b;
}

bool SamePixel(const PixelBuffer& a, int ax, int ay, const PixelBuffer& b, int bx, int by)
{
    return std::equal(a.at(ax, ay), a.at(ax, ay) + 3, b.at(bx, by));
}

double CatmullRomRef(double t)
{
    t = std::abs(t);
    if (t < 1)
        return 1.5 * t * t * t - 2.5 * t * t + 1;
    if (t < 2)
        return -0.5 * t * t * t + 2.5 * t * t - 4 * t + 2;
    return 0;
}

double LanczosRef(double x)
{
    auto sinc = [](double v) { return v == 0 ? 1.0 : std::sin(std::numbers::pi * v) / (std::numbers::pi * v); };
    return std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0.0;
}

} // namespace

TEST(Geometry, CropTurnsAndFlipsMovePixelsExactly)
{
    const PixelBuffer src = Pattern(150, 70);  // crosses the 64-pixel tiles

    const PixelBuffer crop = CropPixels(src, 13, 9, 40, 24);
    ASSERT_EQ(crop.width, 40);
    ASSERT_EQ(crop.height, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_TRUE(SamePixel(crop, x, y, src, 13 + x, 9 + y)) << x << "," << y;
    EXPECT_TRUE(CropPixels(src, 120, 0, 40, 10).empty());  // past the right edge
    EXPECT_TRUE(CropPixels(src, -1, 0, 4, 4).empty());
    EXPECT_TRUE(CropPixels(src, 0, 0, 0, 4).empty());

    const PixelBuffer right = RotateQuarterTurns(src, 1);
    const PixelBuffer half = RotateQuarterTurns(src, 2);
    const PixelBuffer left = RotateQuarterTurns(src, -1);
    const PixelBuffer flipH = FlipPixels(src, true);
    const PixelBuffer flipV = FlipPixels(src, false);
    ASSERT_EQ(right.width, 70);
    ASSERT_EQ(right.height, 150);
    ASSERT_EQ(left.width, 70);
    ASSERT_EQ(half.width, 150);
    const int w = src.width, h = src.height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Clockwise: the top-left corner goes to the top-right.
            ASSERT_TRUE(SamePixel(right, h - 1 - y, x, src, x, y)) << x << "," << y;
            ASSERT_TRUE(SamePixel(left, y, w - 1 - x, src, x, y)) << x << "," << y;
            ASSERT_TRUE(SamePixel(half, w - 1 - x, h - 1 - y, src, x, y)) << x << "," << y;
            ASSERT_TRUE(SamePixel(flipH, w - 1 - x, y, src, x, y)) << x << "," << y;
            ASSERT_TRUE(SamePixel(flipV, x, h - 1 - y, src, x, y)) << x << "," << y;
        }
    EXPECT_EQ(RotateQuarterTurns(src, 3).pixels, left.pixels);

    // Four turns and two flips give the photo back byte for byte.
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png");
    ASSERT_FALSE(photo.empty());
    PixelBuffer turned = photo;
    for (int k = 0; k < 4; ++k)
        turned = RotateQuarterTurns(turned, 1);
    EXPECT_EQ(turned.pixels, photo.pixels);
    EXPECT_EQ(FlipPixels(FlipPixels(photo, true), true).pixels, photo.pixels);
    EXPECT_EQ(FlipPixels(FlipPixels(photo, false), false).pixels, photo.pixels);
    EXPECT_EQ(FlipPixels(FlipPixels(photo, true), false).pixels, RotateQuarterTurns(photo, 2).pixels);
}

TEST(Geometry, StraightenIsBicubicAndLeavesNoEmptyCorner)
{
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 320, 240);
    ASSERT_FALSE(photo.empty());

    // 0 degrees: the photo itself.
    EXPECT_EQ(StraightenPixels(photo, 0.0).pixels, photo.pixels);
    // A turn by 90 through the free rotation lands exactly on the quarter turn.
    EXPECT_EQ(RotatePixels(photo, 90.0, 240, 320, Interpolation::Bicubic).pixels, RotateQuarterTurns(photo, 1).pixels);
    // Beyond the range: refused.
    EXPECT_TRUE(StraightenPixels(photo, 45.1).empty());
    EXPECT_TRUE(StraightenPixels(photo, std::nan("")).empty());

    // Interior samples against Catmull-Rom computed here in doubles.
    const double degrees = 7.3;
    const PixelBuffer out = RotatePixels(photo, degrees, 200, 150, Interpolation::Bicubic);
    const double a = degrees * std::numbers::pi / 180;
    for (const auto& [i, j] : {std::pair{100, 75}, std::pair{17, 31}, std::pair{188, 140}, std::pair{63, 12}}) {
        const double X = i + 0.5 - 100, Y = j + 0.5 - 75;
        const double u = 160 + std::cos(a) * X + std::sin(a) * Y - 0.5;
        const double v = 120 - std::sin(a) * X + std::cos(a) * Y - 0.5;
        const int iu = int(std::floor(u)), iv = int(std::floor(v));
        for (int k = 0; k < 3; ++k) {
            double sum = 0;
            for (int r = -1; r <= 2; ++r)
                for (int c = -1; c <= 2; ++c)
                    sum += photo.at(iu + c, iv + r)[k] * CatmullRomRef(u - (iu + c)) * CatmullRomRef(v - (iv + r));
            EXPECT_NEAR(out.at(i, j)[k], std::clamp(sum, 0.0, 255.0), 1.5) << i << "," << j;
        }
    }

    // The auto-crop: a flat photo turned with black outside shows no black, and
    // the kept rectangle is the largest one (within the rounding to 4).
    PixelBuffer flat(160, 120, 3);
    std::fill(flat.pixels.begin(), flat.pixels.end(), 200);
    for (const double d : {0.1, 3.7, -12.5, 30.0, 45.0, -45.0}) {
        for (const auto& [w, h] : {std::pair{160, 120}, std::pair{120, 160}, std::pair{1000, 120}}) {
            const PixelSize size = StraightenedSize(w, h, d);
            double iw, ih;
            LargestInnerRectangle(w, h, d, iw, ih);
            EXPECT_GT(size.width, iw - 6) << d << " " << w << "x" << h;
            EXPECT_GT(size.height, ih - 6) << d << " " << w << "x" << h;
            EXPECT_EQ(size.width % 4, 0);
            EXPECT_EQ(size.height % 4, 0);
            // Its corners lie inside the turned photo, and 1 % more does not fit.
            const double r = d * std::numbers::pi / 180;
            auto inside = [&](double scale) {
                for (const double sx : {-0.5, 0.5})
                    for (const double sy : {-0.5, 0.5}) {
                        const double x = sx * iw * scale, y = sy * ih * scale;
                        const double px = std::cos(r) * x + std::sin(r) * y, py = -std::sin(r) * x + std::cos(r) * y;
                        if (std::abs(px) > w / 2.0 + 1e-6 || std::abs(py) > h / 2.0 + 1e-6)
                            return false;
                    }
                return true;
            };
            EXPECT_TRUE(inside(1.0)) << d << " " << w << "x" << h;
            EXPECT_FALSE(inside(1.01)) << d << " " << w << "x" << h;
            if (w != 160 || h != 120)
                continue;
            const PixelBuffer straight = RotatePixels(flat, d, size.width, size.height, Interpolation::Bicubic, 0);
            ASSERT_FALSE(straight.empty());
            EXPECT_EQ(std::count(straight.pixels.begin(), straight.pixels.end(), 200), ptrdiff_t(straight.byteCount()))
                << d;
        }
    }
}

TEST(Geometry, LanczosResizeMatchesTheFilterAndDoesNotAlias)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 300, 200);
    ASSERT_FALSE(photo.empty());
    EXPECT_EQ(ResizeLanczos3(photo, 300, 200).pixels, photo.pixels);  // same size: untouched

    // Against the separable filter in doubles (the fast route rounds between
    // passes and weights to 1/16384).
    for (const auto& [w, h] : {std::pair{120, 88}, std::pair{512, 340}}) {
        const PixelBuffer out = ResizeLanczos3(photo, w, h);
        ASSERT_EQ(out.width, w);
        ASSERT_EQ(out.height, h);
        auto taps = [](int in, int outSize, int x) {
            const double scale = double(in) / outSize, widen = std::max(1.0, scale);
            const double centre = (x + 0.5) * scale;
            std::vector<std::pair<int, double>> t;
            double total = 0;
            for (int s = 0; s < in; ++s) {
                const double wgt = LanczosRef((s + 0.5 - centre) / widen);
                if (wgt != 0) {
                    t.emplace_back(s, wgt);
                    total += wgt;
                }
            }
            for (auto& p : t)
                p.second /= total;
            return t;
        };
        double worst = 0;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{w / 2, h / 3}, std::pair{w - 1, h - 1}, std::pair{7, h - 5}}) {
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (const auto& [sy, wy] : taps(200, h, y)) {
                    double row = 0;
                    for (const auto& [sx, wx] : taps(300, w, x))
                        row += photo.at(sx, sy)[k] * wx;
                    sum += std::clamp(row, 0.0, 255.0) * wy;
                }
                worst = std::max(worst, std::abs(out.at(x, y)[k] - std::clamp(sum, 0.0, 255.0)));
            }
        }
        EXPECT_LE(worst, 1.5) << w << "x" << h;
    }

    // A one-pixel checkerboard halved becomes an even grey, not a pattern.
    PixelBuffer checks(64, 64, 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            std::fill(checks.at(x, y), checks.at(x, y) + 3, uint8_t((x + y) % 2 ? 255 : 0));
    const PixelBuffer half = ResizeLanczos3(checks, 32, 32);
    for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x)
            ASSERT_NEAR(half.at(x, y)[1], 127.5, 2.0) << x << "," << y;
}

TEST(Geometry, SizesFollowTheMultipleOfFourRuleAndLimits)
{
    EXPECT_EQ(FitWithin(1600, 1200, 800, 800), (PixelSize{800, 600}));
    EXPECT_EQ(FitWithin(1200, 1600, 800, 800), (PixelSize{600, 800}));
    EXPECT_EQ(FitWithin(1000, 748, 333, 1000), (PixelSize{332, 248}));
    EXPECT_EQ(FitWithin(400, 300, 2, 2), (PixelSize{}));
    EXPECT_EQ(ScaledByPercent(1600, 1200, 50), (PixelSize{800, 600}));
    EXPECT_EQ(ScaledByPercent(1000, 748, 33), (PixelSize{332, 248}));
    EXPECT_EQ(ScaledByPercent(100, 100, 0), (PixelSize{}));
    EXPECT_EQ(ScaledByPercent(100, 100, 1), (PixelSize{}));

    EXPECT_TRUE(ResizeProblem(1600, 1200, 800, 600, 1600 * 1200).empty());
    EXPECT_TRUE(ResizeProblem(800, 600, 1600, 1200, 1600 * 1200).empty());  // up to the threshold
    EXPECT_FALSE(ResizeProblem(800, 600, 1604, 1204, 1600 * 1200).empty());
    EXPECT_TRUE(ResizeProblem(800, 600, 2000, 1500, 0).empty());  // no threshold
    EXPECT_FALSE(ResizeProblem(800, 600, 0, 600, 0).empty());
    EXPECT_FALSE(ResizeProblem(800, 600, 802, 600, 0).empty());
    EXPECT_FALSE(ResizeProblem(800, 600, 10004, 600, 0).empty());

    EXPECT_TRUE(CropProblem(100, 80, 0, 0, 100, 80).empty());
    EXPECT_FALSE(CropProblem(100, 80, 1, 0, 100, 80).empty());
    EXPECT_FALSE(CropProblem(100, 80, 0, 0, 0, 10).empty());
    EXPECT_FALSE(CropProblem(100, 80, 0, 0, 3, 10).empty());
    EXPECT_FALSE(CropProblem(100, 80, -4, 0, 8, 8).empty());
    EXPECT_FALSE(CropProblem(100, 80, 2147483600, 0, 100, 8).empty());
}
