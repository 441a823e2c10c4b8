// Every random generator an effect draws from, seeded in one place: the
// scatter generator (Splash, the stamps), the C library's (rand), GLib's
// global one (wind, mosaic, lights) and the painter's.
#pragma once

#include <cstdint>
#include <optional>

namespace ombrik {

// With a seed every generator starts from it, so the same effects on the same
// photo give the same pixels (the command line). Without one they start from
// the clock and the painter draws a fresh sequence for every painting (the
// window, once per photo).
void SeedEffectGenerators(std::optional<uint32_t> seed);

} // namespace ombrik
