// The brush-stroke painter: brush set, placement, best match, compositing,
// reproducibility and the six catalogue effects on real and degenerate photos.
#include "artistic/brush_painter.h"
#include "artistic/brush_resources.h"
#include "artistic/painter_presets.h"
#include "engine/progress.h"
#include "effects/effect_request.h"
#include "tests/artistic/painter_test_helpers.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace ombrik;
using test::PrintErrCapture;
using test::TempFolder;

namespace {

const int kPainterIds[] = {41, 44, 45, 49, 51, 57};

// A white rectangle of w × h as a grey P5 file.
std::string WhiteBrushFile(const TempFolder& folder, const std::string& name, int w, int h)
{
    return folder.write(name, "P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n" +
                                  std::string(size_t(w) * size_t(h), '\xff'));
}

PaintImage WhiteImage(int w, int h)
{
    PaintImage image(w, h);
    FillImage(image, 255, 255, 255);
    return image;
}

PainterParams BasicParams(const std::string& brushFile)
{
    PainterParams p;
    p.orientCount = 1;
    p.orientType = ByValue;
    p.strokeDensity = 5;
    p.brushGamma = 1;
    p.backgroundType = 0;
    p.backgroundColour = RgbColor{0, 0, 0, 1};
    p.paperScale = 100;
    p.sizeCount = 1;
    p.sizeFirst = p.sizeLast = 8;
    p.sizeType = ByValue;
    p.shadowDarkness = 20;
    p.brushFile = brushFile;
    return p;
}

// The box of a brush's painted pixels: width and height.
std::pair<int, int> CoverageExtent(const PainterBrush& brush)
{
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    for (const auto& p : brush.pixels)
        if (p.w > 128) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    return {x1 - x0 + 1, y1 - y0 + 1};
}

PixelBuffer Paint(const PainterParams& params, const PixelBuffer& src)
{
    PixelBuffer dst(src.width, src.height, 3);
    CBrushPainter painter;
    painter.SetImageSize(src.width, src.height, 3);
    painter.SelectParams(params);
    painter.Paint(src.data(), dst.data());
    return dst;
}

PixelBuffer Flat(int w, int h, uint8_t c0, uint8_t c1, uint8_t c2, int bpp = 3)
{
    PixelBuffer buffer(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = buffer.at(x, y);
            p[0] = c0;
            p[1] = c1;
            p[2] = c2;
            if (bpp == 4)
                p[3] = uint8_t(x + y);
        }
    return buffer;
}

class SeededPainter : public ::testing::Test {
protected:
    void SetUp() override { SetPainterSeed(20261207u); }
    void TearDown() override { SetPainterSeed(std::nullopt); }
};

} // namespace

TEST_F(SeededPainter, BrushSizesAndAngles)
{
    PainterParams p = BasicParams("");
    p.sizeLast = 20;
    p.sizeFirst = 10;
    // A single size is sizeFirst, not sizeLast.
    const PaintImage base = MakeBaseBrush(p, WhiteImage(40, 40));
    BrushSet single = MakeBrushSet(p, base);
    ASSERT_EQ(single.brushes.size(), 1u);
    EXPECT_NEAR(CoverageExtent(single.brushes[0]).first, 10, 1);
    // With two sizes index 0 is sizeLast and the last index sizeFirst.
    p.sizeCount = 2;
    BrushSet two = MakeBrushSet(p, base);
    ASSERT_EQ(two.brushes.size(), 2u);
    EXPECT_NEAR(CoverageExtent(two.brushes[0]).first, 20, 1);
    EXPECT_NEAR(CoverageExtent(two.brushes[1]).first, 10, 1);
    EXPECT_NEAR(two.brushes[0].weight / two.brushes[1].weight, 4.0, 0.5);
    for (const PainterBrush& brush : two.brushes) {
        EXPECT_EQ(brush.image.width, two.maxW);
        EXPECT_EQ(brush.image.height, two.maxH);
    }

    // With one angle the brush turns by orientFirst; orientSpan does nothing.
    PainterParams bar = BasicParams("");
    bar.sizeFirst = bar.sizeLast = 20;
    const PaintImage barBase = MakeBaseBrush(bar, WhiteImage(40, 8));
    bar.orientSpan = 90;
    const auto flat = CoverageExtent(MakeBrushSet(bar, barBase).brushes[0]);
    EXPECT_GT(flat.first, 3 * flat.second);
    bar.orientFirst = 90;
    const auto upright = CoverageExtent(MakeBrushSet(bar, barBase).brushes[0]);
    EXPECT_GT(upright.second, 3 * upright.first);
}

TEST_F(SeededPainter, GridPlacementDividesTheDensityByThree)
{
    TempFolder folder;
    PainterParams p = BasicParams(WhiteBrushFile(folder, "dot.pnm", 1, 1));
    p.sizeFirst = p.sizeLast = 1;
    p.placementType = 1;
    p.strokeDensity = 3;  // one stroke per brush box after the division
    p.colourType = 1;
    const PixelBuffer out = Paint(p, Flat(60, 60, 255, 255, 255));
    // The one-pixel brush lands on a lattice with the pitch of its 2 × 2 box;
    // undivided, the pitch would be under a pixel and every pixel painted.
    int painted = 0, offLattice = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (out.at(x, y)[0] != 0) {
                ++painted;
                offLattice += (x % 2 == 0 || y % 2 == 0);
            }
    EXPECT_EQ(offLattice, 0);
    EXPECT_EQ(painted, 29 * 29);  // centres 1..57: the last row and column are skipped
}

TEST_F(SeededPainter, PaintedEdgesKeepThePhotoSizeAndAFlatColour)
{
    // Cubism keeps the photo under its strokes and paints the edges: a flat
    // photo stays flat up to the truncations of the running colour sums and of
    // the blends, which only ever round down over the overlapping strokes.
    const PixelBuffer flat = Flat(37, 23, 90, 140, 200);
    const PixelBuffer out = test::RunCatalogueEffect(45, flat);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(out.at(x, y)[c], flat.at(x, y)[c] - 3, 3) << x << "," << y;
}

TEST(PainterStroke, ShadowLiesDepthMinusTwiceBlurFromTheCorner)
{
    PainterParams p = BasicParams("");
    p.shadowDepth = 10;
    p.shadowBlur = 4;
    PainterShadow shadow;
    shadow.pixels.push_back({1, 1, 0.5});
    PainterBrush noPaint;
    PaintImage canvas = WhiteImage(30, 30);
    const int colour[3] = {0, 0, 0};
    LayStroke(canvas, p, noPaint, &shadow, 5, 5, colour);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(canvas.at(x, y)[1], (x == 8 && y == 8) ? 127 : 255) << x << "," << y;
    // A shadow reaching past the canvas is clipped, not written outside.
    LayStroke(canvas, p, noPaint, &shadow, 27, 27, colour);

    // The set's shadows: padded by twice the blur, coverage only in channel 2.
    p.dropShadow = 1;
    p.shadowDarkness = 100;
    const BrushSet set = MakeBrushSet(p, MakeBaseBrush(p, WhiteImage(10, 10)));
    ASSERT_EQ(set.shadows.size(), 1u);
    EXPECT_EQ(set.shadows[0].image.width, set.maxW + 16);
    EXPECT_EQ(set.shadows[0].image.height, set.maxH + 16);
    for (size_t k = 0; k < set.shadows[0].image.pixels.size(); k += 3)
        ASSERT_EQ(set.shadows[0].image.pixels[k] | set.shadows[0].image.pixels[k + 1], 0);
    // Each shadow pixel darkens by 1 - a x 100 % / 255.
    EXPECT_FALSE(set.shadows[0].pixels.empty());
    for (const auto& px : set.shadows[0].pixels)
        ASSERT_NEAR(px.f, 1 - set.shadows[0].image.at(px.x, px.y)[2] / 255.0, 1e-12);

    // Relief 0.15 %: q = 0.0015 x channel 1 from (1, 1) on, kept down to 0.001.
    p.brushRelief = 0.15;
    const BrushSet relieved = MakeBrushSet(p, MakeBaseBrush(p, WhiteImage(10, 10)));
    const PainterBrush& brush = relieved.brushes[0];
    size_t raised = 0;
    for (int y = 1; y < brush.image.height; ++y)
        for (int x = 1; x < brush.image.width; ++x)
            raised += brush.image.at(x, y)[1] != 0;
    ASSERT_EQ(brush.relief.size(), raised);
    for (const auto& px : brush.relief)
        ASSERT_NEAR(px.q, 0.0015 * brush.image.at(px.x, px.y)[1], 1e-12);
}

TEST(PainterStroke, CompositingDarkensEdgesAndAddsTheColour)
{
    PainterParams p = BasicParams("");
    p.edgeDarkness = 0.5;
    PainterBrush brush;
    brush.pixels.push_back({0, 0, 0, 255, 1.0, 0.0, 1.0});
    brush.pixels.push_back({1, 0, 1, 51, 0.2, 0.8, 1.0});
    PaintImage canvas = WhiteImage(3, 1);
    const int colour[3] = {10, 100, 250};
    LayStroke(canvas, p, brush, nullptr, 0, 0, colour);
    // Full coverage: the colour. Partial: 255 × 0.5 × 0.8 = 102, plus 0.2 × colour.
    EXPECT_EQ(canvas.at(0, 0)[0], 10);
    EXPECT_EQ(canvas.at(0, 0)[2], 250);
    EXPECT_EQ(canvas.at(1, 0)[0], 104);
    EXPECT_EQ(canvas.at(1, 0)[1], 122);
    EXPECT_EQ(canvas.at(1, 0)[2], 152);
    EXPECT_EQ(canvas.at(2, 0)[0], 255);
}

TEST_F(SeededPainter, BestMatchSearch)
{
    PainterParams p = BasicParams("");
    p.orientCount = 6;
    p.orientSpan = 180;
    p.sizeFirst = p.sizeLast = 12;
    BrushSet set = MakeBrushSet(p, MakeBaseBrush(p, WhiteImage(40, 6)));
    PaintImage photo(set.maxW + 4, set.maxH + 4);
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x) {
            uint8_t* px = photo.at(x, y);
            px[0] = uint8_t(x * 20);
            px[1] = uint8_t(y * 20);
            px[2] = uint8_t((x * y * 7) & 0xFF);
        }
    BindToCanvas(set, photo.width);

    // Threshold 0 looks at every candidate; a huge one stops at the first.
    int examined = 0;
    const int best = FindBestMatch(set, photo, 1, 1, 0, 1, 6, 0.0, &examined);
    EXPECT_EQ(examined, 6);
    FindBestMatch(set, photo, 1, 1, 0, 1, 6, 1e9, &examined);
    EXPECT_EQ(examined, 1);
    FindBestMatch(set, photo, 1, 1, 1, 2, 6, 0.0, &examined);
    EXPECT_EQ(examined, 3);

    // The winner is the brush with the least weighted deviation from its own
    // weighted mean, computed here straight from the brush images.
    double bestMismatch = 1e300;
    int expected = -1;
    for (int k = 0; k < 6; ++k) {
        const PaintImage& b = set.brushes[size_t(k)].image;
        double weight = 0, sum[3] = {0, 0, 0};
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                if (const int w = b.at(x, y)[0]) {
                    weight += w;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += w / 255.0 * photo.at(1 + x, 1 + y)[c];
                }
        double d = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                if (const int w = b.at(x, y)[0])
                    for (int c = 0; c < 3; ++c)
                        d += w / 255.0 * std::abs(int(photo.at(1 + x, 1 + y)[c] - sum[c] * 255 / weight));
        if (d / weight < bestMismatch) {
            bestMismatch = d / weight;
            expected = k;
        }
    }
    EXPECT_EQ(best, expected);

    // On a flat photo all brushes tie and the pick is random among them.
    PaintImage flat(photo.width, photo.height);
    FillImage(flat, 50, 60, 70);
    SetPainterRandom(g_rand_new_with_seed(3));
    std::set<int> picks;
    for (int k = 0; k < 60; ++k)
        picks.insert(FindBestMatch(set, flat, 1, 1, 0, 1, 6, 0.0));
    EXPECT_GT(picks.size(), 3u);

    // Brushes without coverage never win; with none left the answer is 0.
    BrushSet empty;
    empty.brushes.resize(3);
    EXPECT_EQ(FindBestMatch(empty, flat, 0, 0, 0, 1, 3, 0.0, &examined), 0);
    EXPECT_EQ(examined, 3);
}

TEST_F(SeededPainter, PresetTableStrokeCountProgressAndPaperRelief)
{
    // The columns of the preset table that differ between the six effects.
    const double density[] = {18, 20, 20, 21.7, 12.5, 32.5}, edge[] = {0, 0.3, 0.1, 0.15, 0.1, 0.35};
    const double relief[] = {0, 12, 12, 12.39, 15.04, 0}, size[] = {20.15, 5, 14, 44, 14, 30};
    const double gamma[] = {0.5, 1, 1, 1, 1.8, 1}, aspect[] = {0, 0, 0, 0, -0.04, -0.4};
    const double orients[] = {30, 1, 15, 7, 8, 30}, grid[] = {0, 0, 1, 0, 1, 0}, shade[] = {20, 20, 20, 20, 0, 20};
    for (int n = 0; n < 6; ++n) {
        const PainterParams& q = PainterPreset(n);
        EXPECT_EQ((std::vector<double>{q.strokeDensity, q.edgeDarkness, q.brushRelief, q.sizeFirst, q.brushGamma,
                                       q.brushAspect, double(q.orientCount), double(q.placementType), q.shadowDarkness}),
                  (std::vector<double>{density[n], edge[n], relief[n], size[n], gamma[n], aspect[n], orients[n],
                                       grid[n], shade[n]})) << n;
    }

    // Stroke count, from which the progress reports follow: at random
    // 5 x (40 x 62 / (2 x 2)) strokes; on the grid, with the density divided
    // by 3, truncate(40 x d / 2) x truncate(62 x d / 2). A report at every
    // multiple of N / 30 (at least 10) counting down.
    TempFolder folder;
    PainterParams p = BasicParams(WhiteBrushFile(folder, "dot.pnm", 1, 1));
    p.sizeFirst = p.sizeLast = 1;  // a 2 x 2 brush box
    for (int placement : {0, 1}) {
        p.placementType = placement;
        const double d = placement ? 5 * 0.3333333333333333 : 5.0;
        const int n = placement ? int(40 * d / 2) * int(62 * d / 2) : 5 * (40 * 62 / 4), step = std::max(n / 30, 10);
        std::vector<int> expected, seen;
        for (int c = n; c >= 1; --c)
            if (c % step == 0)
                expected.push_back(int((1 - double(c) / n) * 100));
        ScopedProgressSink sink([&](int percent) { seen.push_back(percent); });
        Paint(p, Flat(62, 40, 9, 9, 9));
        EXPECT_EQ(seen, expected) << placement;
    }

    // Paper relief over the kept photo (a black brush paints nothing): the
    // paper 0, 100, 228 in a row, each pixel against its right neighbour:
    // e = (here - next) x 0.5 x -0.5 = 25, 32, -57; k = e / 128 lightens
    // 100 to 130 and 138, and darkens it to truncate(100 x (1 - 57 / 128)) = 55.
    p = BasicParams(folder.write("black.pnm", std::string("P5\n1 1\n255\n") + '\0'));
    p.backgroundType = 1;
    p.paperFile = folder.write("paper.pnm", std::string("P5\n3 1\n255\n\0\x64\xe4", 14));
    p.paperRelief = 50;
    const PixelBuffer out = Paint(p, Flat(6, 2, 100, 100, 100));
    const int relit[] = {130, 138, 55};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(out.at(x, 1)[2], relit[x % 3]) << x;
}

TEST_F(SeededPainter, DegenerateSizesAndFourBytePixels)
{
    for (EffectId id : kPainterIds)
        for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 40}, {40, 1}, {7, 3}}) {
            const PixelBuffer src = Flat(w, h, 30, 60, 90);
            const PixelBuffer out = test::RunCatalogueEffect(id, src);
            ASSERT_EQ(out.byteCount(), src.byteCount());
            if (id == 45) {  // keeps the photo under its strokes
                for (size_t k = 0; k < out.pixels.size(); ++k)
                    ASSERT_NEAR(out.pixels[k], src.pixels[k] - 3, 3) << w << "x" << h;
            }
        }
    const PixelBuffer src = Flat(9, 5, 30, 60, 90, 4);
    const PixelBuffer out = test::RunCatalogueEffect(45, src);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(out.at(x, y)[3], src.at(x, y)[3]);
            EXPECT_NEAR(out.at(x, y)[2], 87, 3);
        }
}

TEST_F(SeededPainter, HostileBrushFileInTheDataFolderGivesTheCanvasOnly)
{
    TempFolder folder;
    ASSERT_TRUE(WriteBrushFiles(folder.path()));
    const std::string brush = folder.write("002.pnm", "P5\n185 185\n255\nnot nearly enough");
    const std::string previous = g_getenv("OMBRIK_DATA_DIR") ? g_getenv("OMBRIK_DATA_DIR") : "";
    g_setenv("OMBRIK_DATA_DIR", folder.path().c_str(), TRUE);
    PrintErrCapture capture;
    const PixelBuffer out = test::RunCatalogueEffect(44, Flat(20, 10, 200, 200, 200));  // Dot Art: black background
    if (previous.empty())
        g_unsetenv("OMBRIK_DATA_DIR");
    else
        g_setenv("OMBRIK_DATA_DIR", previous.c_str(), TRUE);
    EXPECT_EQ(capture.text(), "ppm_load: File \"" + brush + "\" ends before its pixels do!\n");
    for (uint8_t v : out.pixels)
        ASSERT_EQ(v, 0);
}

TEST_F(SeededPainter, DataFolderPathsOfAnyLengthWork)
{
    TempFolder root;
    std::string folder = root.path();
    for (int k = 0; k < 6; ++k) {
        folder += std::string(50, char('a' + k)) + "/";
        ASSERT_EQ(g_mkdir(folder.c_str(), 0700), 0);
    }
    ASSERT_GT(folder.size(), 300u);
    ASSERT_TRUE(WriteBrushFiles(folder));
    PrintErrCapture capture;
    CBrushPainter painter;
    const PixelBuffer src = Flat(30, 20, 200, 100, 50);
    PixelBuffer dst(30, 20, 3);
    painter.SetImageSize(30, 20, 3);
    painter.SetDataDirectory(folder);
    painter.SelectPreset(1);
    painter.Paint(src.data(), dst.data());
    EXPECT_EQ(capture.text(), "");
    int lit = 0;
    for (size_t k = 0; k < dst.pixels.size(); k += 3)
        lit += dst.pixels[k] > 100;
    EXPECT_GT(lit, 300);  // dots of the photo's colour, not a black picture
    for (int n = 1; n <= 6; ++n) {
        char name[16];
        g_snprintf(name, sizeof name, "%03d.pnm", n);
        g_remove((folder + name).c_str());
    }
    for (int k = 5; k >= 0; --k) {
        g_rmdir(folder.c_str());
        folder.resize(folder.size() - 51);
    }
}

TEST_F(SeededPainter, EveryMapTypeAndOptionRunsReproducibly)
{
    TempFolder folder;
    const std::string brush = WhiteBrushFile(folder, "bar.pnm", 16, 5);
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 48, 40);
    for (int type = 0; type <= 7; ++type) {
        PainterParams p = BasicParams(brush);
        p.orientCount = 4;
        p.orientSpan = 180;
        p.sizeCount = 3;
        p.sizeFirst = 4;
        p.sizeLast = 9;
        p.orientType = type;
        p.sizeType = 7 - type;
        p.orientVectorCount = 2;
        p.orientVectors[0] = OrientVector{0.2, 0.3, 0, 1, 0.5, 1, type % 4};
        p.orientVectors[1] = OrientVector{0.8, 0.6, 0, -1, 0, 2, (type + 1) % 4};
        p.orientStrengthExponent = 1.5;
        p.orientNearestOnly = type & 1;
        p.sizeVectorCount = 2;
        p.sizeVectors[0] = SizeVector{0.5, 0.5, 80, 1};
        p.sizeVectors[1] = SizeVector{0.1, 0.9, 20, 1};
        p.sizeStrengthExponent = 1;
        p.sizeNearestOnly = (type >> 1) & 1;
        p.colourNoise = 20;
        p.colourType = type % 3;
        p.placeTowardCentre = type == 3;
        p.placementType = type & 1;
        p.paintEdges = type != 5;
        p.tileable = type >= 4;
        p.dropShadow = type % 2 == 0;
        p.shadowDepth = 4;
        p.shadowBlur = 1;
        p.colourBrushes = type == 6;
        p.brushRelief = 20;
        p.edgeDarkness = 0.2;
        p.backgroundType = type % 4;
        p.paperFile = brush;
        p.paperScale = 50;
        p.paperInvert = type & 2;
        p.paperRelief = type >= 2 ? 30 : 0;
        p.paperOverlay = type == 7;
        p.matchThreshold = 0.5;
        SetPainterSeed(99);
        const PixelBuffer a = Paint(p, photo);
        const PixelBuffer b = Paint(p, photo);
        EXPECT_EQ(a.pixels, b.pixels) << type;
        EXPECT_NE(a.pixels, photo.pixels) << type;
    }

    // Unknown map types are reported once per stroke and use index 0.
    PainterParams p = BasicParams(brush);
    p.orientType = 9;
    PrintErrCapture capture;
    Paint(p, photo);
    EXPECT_NE(capture.text().find("Internal error; Unknown orientationtype\n"), std::string::npos);
}

TEST_F(SeededPainter, TileableNeedsPaintedEdges)
{
    TempFolder folder;
    PainterParams p = BasicParams(WhiteBrushFile(folder, "b.pnm", 9, 9));
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 40, 30);
    const PixelBuffer plain = Paint(p, photo);
    p.tileable = 1;
    EXPECT_EQ(Paint(p, photo).pixels, plain.pixels);
    p.paintEdges = 1;
    EXPECT_NE(Paint(p, photo).pixels, plain.pixels);
}

TEST(PainterMaps, MapsCoverTheWorkingImage)
{
    PainterParams p = BasicParams("");
    p.orientVectorCount = 0;  // no vectors: a fixed direction, not NaN
    EXPECT_TRUE(std::isfinite(DirectionField(p, 0.3, 0.4)));
    EXPECT_EQ(SizeField(p, 0.3, 0.4), 0.0);
    const PaintImage work(5, 4);
    for (int type : {ByValue, ByRadius, ByAngle, ByNoise, ByHue, ByVectors}) {
        const PaintImage map = MakeStrokeMap(p, type, true, work, 10, 10);
        EXPECT_EQ(map.width, 5) << type;
        EXPECT_EQ(map.height, 4) << type;
    }
    EXPECT_TRUE(MakeStrokeMap(p, Random, true, work, 10, 10).empty());
    // Angle map: truncate((atan2(cy - y, cx - x) + pi) x 255 / (2 pi)).
    const PaintImage angle = MakeStrokeMap(p, ByAngle, true, PaintImage(101, 101), 1, 1);
    EXPECT_EQ(angle.at(0, 50)[0], 127);
    EXPECT_EQ(angle.at(50, 0)[0], 191);
    EXPECT_EQ(angle.at(50, 100)[0], 63);
    EXPECT_EQ(angle.at(0, 0)[0], 159);
    // Vectors map without vectors: direction 90 - offset, so n = offset
    // brought into 0..360: 260 x 255 / 360 = 184.2.
    p.orientAngleOffset = -100;
    const PaintImage byVectors = MakeStrokeMap(p, ByVectors, true, PaintImage(9, 9), 2, 2);
    EXPECT_EQ(byVectors.at(4, 4)[0], 184);
    // Noise map: plasma of roughness 15 at a sixth of the size plus 5, blurred
    // twice, enlarged and blurred again.
    SetPainterRandom(g_rand_new_with_seed(3));
    const PaintImage noise = MakeStrokeMap(p, ByNoise, true, PaintImage(40, 31), 1, 1);
    SetPainterRandom(g_rand_new_with_seed(3));
    PaintImage plasma(40 / 6 + 5, 31 / 6 + 5);
    PlasmaImage(plasma, 15);
    BoxBlurImage(plasma, 2, 2);
    BoxBlurImage(plasma, 2, 2);
    ResizeImage(plasma, 40, 31);
    BoxBlurImage(plasma, 2, 2);
    EXPECT_EQ(noise.pixels, plasma.pixels);
    // Radius map: 0 at the centre, 255 at the far corner.
    const PaintImage radius = MakeStrokeMap(p, ByRadius, false, PaintImage(101, 101), 1, 1);
    EXPECT_EQ(radius.at(50, 50)[0], 0);
    EXPECT_EQ(radius.at(0, 0)[0], 255);
}
