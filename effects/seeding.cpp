#include "effects/seeding.h"

#include "artistic/brush_painter.h"
#include "engine/effect_filter.h"

#include <glib.h>

#include <cstdlib>
#include <ctime>

namespace ombrik {

void SeedEffectGenerators(std::optional<uint32_t> seed)
{
    const uint32_t s = seed.value_or(uint32_t(std::time(nullptr)));
    SeedScatterRandom(s);
    std::srand(s);
    if (seed) {
        g_random_set_seed(s);
        SetPainterSeed(s);
    } else {
        SetPainterSeed(std::nullopt);
    }
}

} // namespace ombrik
