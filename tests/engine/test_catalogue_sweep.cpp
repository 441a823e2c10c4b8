// Every effect RunEffect runs, on odd sizes and on a real photo: it keeps to its
// buffers (the sanitizers watch), leaves the descriptor's bytes alone outside the
// destination, and gives the same output when the random sources are reseeded.
#include "artistic/brush_painter.h"
#include "effects/effect_catalogue.h"
#include "engine/effect_filter.h"
#include "effects/effect_request.h"
#include "engine/pixel_buffer.h"
#include "tests/support/photo_fixture.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

using namespace ombrik;

namespace {

bool RunsThroughRunEffect(const EffectInfo& e)
{
    return e.mode != ApplyMode::WarpBrush && e.mode != ApplyMode::LightPlacement;
}

void ReseedEverything()
{
    SeedScatterRandom(1234);
    std::srand(1234);
    g_random_set_seed(1234);
    SetPainterSeed(1234);  // the painter makes a fresh generator per painting
}

// Runs the id with guard bytes round the destination, which must survive.
std::vector<uint8_t> RunGuarded(EffectId id, const PixelBuffer& src)
{
    constexpr size_t kGuard = 64;
    std::vector<uint8_t> block(src.byteCount() + 2 * kGuard, 0xA5);
    std::memset(block.data() + kGuard, 0, src.byteCount());
    EffectRequest rq;
    rq.initialise();
    rq.set(id, src.width, src.height, src.bytesPerPixel);
    ReseedEverything();
    rq.RunEffect(src.data(), block.data() + kGuard);
    for (size_t i = 0; i < kGuard; ++i) {
        EXPECT_EQ(block[i], 0xA5) << "id " << id << " wrote before its destination";
        EXPECT_EQ(block[block.size() - 1 - i], 0xA5) << "id " << id << " wrote past its destination";
    }
    return std::vector<uint8_t>(block.begin() + kGuard, block.end() - kGuard);
}

PixelBuffer Noise(int w, int h, int bpp)
{
    PixelBuffer b(w, h, bpp);
    std::srand(unsigned(w * 131 + h));
    for (auto& v : b.pixels)
        v = uint8_t(std::rand() & 0xFF);
    return b;
}

} // namespace

TEST(CatalogueSweep, DegenerateSizesAndARealPhotoAreSafeAndRepeat)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {7, 3}, {2, 1000}, {1000, 2}, {1, 9}, {9, 1}, {0, 0}};
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 160, 108);
    ASSERT_FALSE(photo.empty());
    for (const EffectInfo& e : EffectCatalogue()) {
        if (!RunsThroughRunEffect(e))
            continue;
        for (auto [w, h] : sizes)
            for (int bpp : {3, 4}) {
                SCOPED_TRACE(testing::Message() << "id " << e.id << " size " << w << "x" << h << " bpp " << bpp);
                if (w == 0 && bpp == 4)
                    continue;
                const PixelBuffer src = w ? Noise(w, h, bpp) : photo;  // 0 x 0 stands for the photo
                const std::time_t before = std::time(nullptr);
                const std::vector<uint8_t> first = RunGuarded(e.id, src);
                const std::vector<uint8_t> second = RunGuarded(e.id, src);
                // Stamps reseed their count from the clock's seconds.
                if (e.engine != EffectEngine::Stamp || std::time(nullptr) == before) {
                    EXPECT_EQ(first, second);
                }
                if (e.engine == EffectEngine::Copy) {
                    EXPECT_EQ(first, src.pixels);
                }
            }
    }
}
