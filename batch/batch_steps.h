// What a batch run does to each photo: an ordered list of steps, each a named
// operation on the photo that returns an empty text or why it failed. Effects,
// geometry, overlays and anything else plug in as steps; the runner neither
// knows nor cares which.
#pragma once

#include "effects/effect_catalogue.h"
#include "engine/pixel_buffer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrik {

// One photo on its way from load to save.
struct BatchPhoto {
    PixelBuffer pixels;     // 3 bytes per pixel
    std::string inputPath;
    uint32_t seed = 0;      // for steps that draw random numbers
};

struct BatchStep {
    std::string label;
    // The step uses process-wide state (random generators, caches, fonts):
    // while it runs no other job runs such a step, so results do not depend
    // on how many jobs run or in which order they finish.
    bool serialised = false;
    // A failure means the request cannot be done on this photo (a crop
    // outside it), which the single-file form reports as a usage error.
    bool failureIsUsage = false;
    // Changes the photo; returns "" or the reason it failed.
    std::function<std::string(BatchPhoto&)> apply;
};

// Runs one step, holding the process-wide lock when it is serialised.
std::string RunStep(const BatchStep& step, BatchPhoto& photo);

// Runs the steps in order; stops at the first failure and returns its reason
// prefixed with the step's label.
std::string RunSteps(const std::vector<BatchStep>& steps, BatchPhoto& photo);

// The seed of one photo: the run's seed mixed with the file's name (not its
// folder), so a photo gets the same seed whatever the job count or order.
uint32_t PhotoSeed(uint32_t runSeed, const std::string& fileName);

// False for effects that are placed or warped with the mouse in the editor.
bool RunsInBatch(const EffectInfo& info);

// True for effects whose result depends on random numbers.
bool DrawsRandomNumbers(const EffectInfo& info);

// A step that runs a whole-photo effect. `randomIndex` counts the random
// effects before this one in the run: each reseeds every generator the
// effects use from the photo's seed (the first with the seed itself).
BatchStep EffectStep(const EffectInfo& info, int randomIndex);

// The display name with "&&" shown as '&', or "effect N" for unnamed ids.
std::string EffectLabel(const EffectInfo& info);

} // namespace ombrik
