#include "batch/batch_steps.h"

#include "artistic/brush_painter.h"
#include "effects/effect_request.h"
#include "effects/seeding.h"
#include "engine/effect_filter.h"

#include <glib.h>

#include <cstdlib>
#include <mutex>

namespace ombrik {

namespace {

std::mutex& SharedStateLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

std::string RunStep(const BatchStep& step, BatchPhoto& photo)
{
    if (!step.serialised)
        return step.apply(photo);
    const std::lock_guard guard(SharedStateLock());
    return step.apply(photo);
}

std::string RunSteps(const std::vector<BatchStep>& steps, BatchPhoto& photo)
{
    for (const BatchStep& step : steps) {
        std::string error = RunStep(step, photo);
        if (!error.empty())
            return step.label + ": " + error;
    }
    return {};
}

uint32_t PhotoSeed(uint32_t runSeed, const std::string& fileName)
{
    // FNV-1a over the name, then the run seed folded in and mixed.
    uint32_t h = 2166136261u;
    for (const unsigned char c : fileName)
        h = (h ^ c) * 16777619u;
    h ^= runSeed + 0x9E3779B9u + (h << 6) + (h >> 2);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return h;
}

bool RunsInBatch(const EffectInfo& info)
{
    return info.mode != ApplyMode::LightPlacement && info.mode != ApplyMode::WarpBrush;
}

bool DrawsRandomNumbers(const EffectInfo& info)
{
    switch (info.engine) {
    case EffectEngine::Mosaic:
    case EffectEngine::Wind:
    case EffectEngine::BrushPainter:
    case EffectEngine::Stamp:
    case EffectEngine::Nova:
        return true;
    case EffectEngine::Filter:
        return info.operation == FilterOperation::Splash;
    default:
        return false;
    }
}

std::string EffectLabel(const EffectInfo& info)
{
    if (!info.name)
        return "effect " + std::to_string(info.id);
    std::string name = info.name;
    for (size_t at = name.find("&&"); at != std::string::npos; at = name.find("&&", at + 1))
        name.erase(at, 1);
    return name;
}

BatchStep EffectStep(const EffectInfo& info, int randomIndex)
{
    BatchStep step;
    step.label = EffectLabel(info);
    // Random effects share the generators; the painter also shares its brush
    // cache. Every other effect keeps its state in the run.
    step.serialised = DrawsRandomNumbers(info);
    const EffectId id = info.id;
    const bool random = step.serialised;
    const bool lighting = info.category == EffectCategory::Lighting;
    step.apply = [id, random, lighting, randomIndex](BatchPhoto& photo) -> std::string {
        PixelBuffer& pixels = photo.pixels;
        if (random)
            SeedEffectGenerators(photo.seed + uint32_t(randomIndex) * 0x9E3779B9u);
        PixelBuffer result(pixels.width, pixels.height, 3);
        EffectRequest request;
        request.initialise();
        request.set(id, pixels.width, pixels.height, 3);
        if (lighting)
            request.colour = DefaultLightingColour(id);
        request.RunEffect(pixels.data(), result.data());
        pixels = std::move(result);
        return {};
    };
    return step;
}

} // namespace ombrik
