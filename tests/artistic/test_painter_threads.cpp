// The painter on every core: each look, and settings that reach every stroke
// path, give on one thread and on several, with the vector code and without,
// the bytes of a run that takes the strokes one by one; progress comes from
// the calling thread in the same steps; a cancel stops a run that has spread
// over the cores.
#include "artistic/brush_painter.h"
#include "artistic/brush_resources.h"
#include "artistic/stroke_bands.h"
#include "engine/progress.h"
#include "tests/artistic/painter_test_helpers.h"
#include "tests/support/photo_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace ombrik;
using test::TempFolder;

namespace {

struct Route {
    int threads;
    bool vectorCode;
    bool bands;
};

class PainterThreads : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteBrushFiles(m_brushes.path()));
        SetPresetBrushFolder(m_brushes.path());
    }
    void TearDown() override
    {
        SetPainterVectorCode(true);
        SetPainterBands(true);
        SetPainterSeed(std::nullopt);
        ClearCancel();
    }

    // Paints with a preset (0..5) or, with preset -1, with params.
    static PixelBuffer Paint(int preset, const PainterParams& params, const PixelBuffer& src, Route run,
                             uint32_t seed = 20261208u)
    {
        SetPainterVectorCode(run.vectorCode);
        SetPainterBands(run.bands);
        SetPainterSeed(seed);
        PixelBuffer dst(src.width, src.height, src.bytesPerPixel);
        CBrushPainter painter;
        painter.SetImageSize(src.width, src.height, src.bytesPerPixel);
        if (preset >= 0)
            painter.SelectPreset(preset);
        else
            painter.SelectParams(params);
        painter.SetThreadCount(run.threads);
        painter.Paint(src.data(), dst.data());
        return dst;
    }

    // The reference takes the strokes one by one: searched in order, coloured
    // by a running sum in double precision and laid with LayStroke over the
    // whole canvas, without vector code. Every other route must give its bytes.
    static void ExpectSameBytes(int preset, const PainterParams& params, const PixelBuffer& src,
                                const std::string& what)
    {
        const PixelBuffer reference = Paint(preset, params, src, {1, false, false});
        ASSERT_NE(reference.pixels, std::vector<uint8_t>(reference.pixels.size(), 0)) << what;
        for (Route run : {Route{3, true, true}, Route{2, false, true}, Route{1, true, true}})
            EXPECT_TRUE(Paint(preset, params, src, run).pixels == reference.pixels)
                << what << ": " << run.threads << " threads, vector code " << run.vectorCode;
    }

    TempFolder m_brushes;
};

} // namespace

TEST_F(PainterThreads, EachLookGivesTheSameBytesOnOneThreadAndOnSeveral)
{
    // Odd sizes, so that the last band is short and strokes cross band edges.
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 412, 297);
    ASSERT_FALSE(photo.empty());
    for (int preset = 0; preset < kPainterPresetCount; ++preset)
        ExpectSameBytes(preset, PainterParams{}, photo, "look " + std::to_string(preset));

    // Four-byte pixels keep their fourth byte on every path.
    PixelBuffer four(160, 121, 4);
    for (int y = 0; y < four.height; ++y)
        for (int x = 0; x < four.width; ++x) {
            const uint8_t* p = photo.at(x * 2, y * 2);
            uint8_t* q = four.at(x, y);
            q[0] = p[0], q[1] = p[1], q[2] = p[2], q[3] = uint8_t(x ^ y);
        }
    ExpectSameBytes(2, PainterParams{}, four, "four-byte pixels");
}

TEST_F(PainterThreads, EveryStrokePathGivesTheSameBytes)
{
    // Shadows reaching into the bands above and below, tiled copies across the
    // edges, colour brushes, colour noise, the best-match search done where
    // each stroke is drawn (random placement) and ahead for a whole chunk
    // (grid placement), searched sizes, and every colour type.
    const PixelBuffer photo = test::LoadSamplePhoto("astronaut.png", 220, 180);
    for (int variant = 0; variant < 6; ++variant) {
        PainterParams p = PainterPreset(variant);
        p.dropShadow = 1;
        p.shadowDepth = variant % 2 ? 12 : -6;
        p.shadowBlur = variant % 3;
        p.shadowDarkness = 40;
        p.tileable = variant != 3;
        p.colourBrushes = variant == 1 || variant == 4;
        p.colourNoise = variant == 2 ? 0 : 25;
        p.colourType = variant % 3;
        p.placementType = variant % 2;
        p.placeTowardCentre = variant == 5;
        p.brushRelief = 20;
        if (variant >= 2) {
            p.orientType = BestMatch;
            p.matchThreshold = variant == 4 ? 0 : 3;
        }
        if (variant == 3) {
            p.sizeCount = 3;
            p.sizeFirst = p.sizeLast / 2;
            p.sizeType = BestMatch;
        }
        ExpectSameBytes(-1, p, photo, "variant " + std::to_string(variant));
    }
}

TEST_F(PainterThreads, ProgressComesFromTheCallingThreadInTheSameSteps)
{
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 451, 300);
    for (int preset : {1, 2}) {
        std::vector<int> steps[2];
        for (int k = 0; k < 2; ++k) {
            const std::thread::id caller = std::this_thread::get_id();
            bool elsewhere = false;
            ScopedProgressSink sink([&](int percent) {
                steps[k].push_back(percent);
                elsewhere = elsewhere || std::this_thread::get_id() != caller;
            });
            Paint(preset, PainterParams{}, photo, {k == 0 ? 1 : 4, true, k == 1});
            EXPECT_FALSE(elsewhere) << preset;
        }
        EXPECT_GE(steps[0].size(), 25u) << preset;
        EXPECT_EQ(steps[1], steps[0]) << preset;
        EXPECT_TRUE(std::is_sorted(steps[1].begin(), steps[1].end())) << preset;
    }
}

TEST_F(PainterThreads, ACancelStopsARunOnSeveralThreads)
{
    // Dot Art lays the most strokes: on four megapixels the strokes still to
    // come when the cancel is asked, from the progress sink a third of the
    // way through, would take far longer than the time allowed. The run must
    // send no more progress, leave the destination alone and return promptly.
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 2400, 1600);
    for (int threads : {2, 3}) {
        std::vector<int> steps;
        std::chrono::steady_clock::time_point asked;
        ScopedProgressSink sink([&](int percent) {
            steps.push_back(percent);
            if (percent >= 30 && !CancelRequested()) {
                asked = std::chrono::steady_clock::now();
                RequestCancel();
            }
        });
        SetPainterSeed(3);
        PixelBuffer dst(photo.width, photo.height, 3);
        CBrushPainter painter;
        painter.SetImageSize(photo.width, photo.height, 3);
        painter.SelectPreset(1);
        painter.SetThreadCount(threads);
        painter.Paint(photo.data(), dst.data());
        const auto latency = std::chrono::steady_clock::now() - asked;
        ASSERT_TRUE(CancelRequested()) << threads;
        ClearCancel();
        ASSERT_FALSE(steps.empty());
        EXPECT_GE(steps.back(), 30) << threads;
        EXPECT_LT(steps.back(), 40) << threads;
        EXPECT_EQ(dst.pixels, std::vector<uint8_t>(dst.pixels.size(), 0)) << threads;
        // The rest of the run takes seconds; the limit leaves room for a
        // machine busy with other tests at the same time.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        constexpr auto kLimit = std::chrono::milliseconds(2000);
#else
        constexpr auto kLimit = std::chrono::milliseconds(400);
#endif
        EXPECT_LT(latency, kLimit) << threads;
    }
}
