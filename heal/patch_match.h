// One scale of a heal fill: the region round the area, which of its pixels
// are to be filled, and the field that gives every patch overlapping the area
// the patch of the known photo it copies (found by randomised search and
// propagation between neighbours), and the vote that makes pixels from it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace ombrik::heal {

// Patches are squares of 2 × kPatchRadius + 1 pixels.
inline constexpr int kPatchRadius = 3;

struct Level {
    int width = 0, height = 0;
    std::vector<uint8_t> image;  // 3 bytes a pixel (blue, green, red), row by row
    std::vector<uint8_t> hole;   // 1 where the pixel is to be filled

    // Half the size: a coarse pixel averages its known fine pixels and is a
    // hole pixel when any of them is.
    Level half() const;
};

class PatchField {
public:
    // Finds the targets (pixels whose patch overlaps the hole) and the
    // sources (pixels whose whole patch lies in the level and off the hole).
    void build(const Level& level);
    bool hasSources() const { return !m_sources.empty(); }
    int targetCount() const { return int(m_targets.size()); }

    // Every target copies a source chosen at random.
    void randomise(uint64_t seed);
    // Fills the hole from its border inward, ring by ring: each pixel takes
    // the centre of the source patch that best matches what is already known
    // or filled round it, so edges run on into the hole. The field starts
    // from those matches. False when cancelled.
    bool peel(Level& level, uint64_t seed, int threads);
    // Fills the hole from its border inward, a patch at a time: the front
    // pixel whose patch is most known (and where a line of the picture runs
    // into the hole) goes first and copies the unknown part of the source
    // patch that best matches its known part. Each target then copies the
    // patch its centre came from, and until the next search only targets in
    // the hole vote. Sharper than peel() and search for thin areas (a wire,
    // a scratch), where averaging the many patches that see some of the
    // hole leaves a smooth band. `progress` hears the share of the hole
    // filled so far, now and then. False when cancelled.
    bool grow(Level& level, uint64_t seed, const std::function<void(double)>& progress);
    // Every target starts from the offset its coarse pixel had (twice as far),
    // or from a random source where that lands off the sources.
    void upsample(const PatchField& coarse, uint64_t seed);
    // One pass of search: distances refreshed for the level's current pixels,
    // then propagation from the neighbours and a random search round the best
    // so far. Rows are worked in bands, alternate bands at a time, each with
    // its own generator, so the outcome depends on nothing but the seed.
    // False when cancelled.
    bool improve(const Level& level, int pass, uint64_t seed, int threads);
    // Hole pixels become the weighted mean of what the patches over them say
    // (uniform weights when `weighted` is false). False when cancelled.
    bool vote(Level& level, bool weighted, int threads);
    // What the patches say at (x, y), for any pixel near the hole (known ones
    // too); false when no patch covers it.
    bool votedAt(const Level& level, int x, int y, float out[3]) const;

private:
    void refreshWeights();
    bool isSource(int x, int y) const;

    int m_width = 0, m_height = 0;
    std::vector<int32_t> m_targets;      // pixel indices, row by row
    std::vector<int32_t> m_targetIndex;  // per pixel: its target number or -1
    std::vector<int32_t> m_bandStart;    // first target of each band of rows
    std::vector<uint8_t> m_isSource;     // per pixel
    std::vector<int32_t> m_sources;      // pixel indices of the sources
    std::vector<int32_t> m_match;        // per target: the source pixel index
    std::vector<int32_t> m_distance;     // per target: squared difference
    std::vector<float> m_weight;         // per target: its say in the vote
    bool m_holeVotesOnly = false;        // set by grow(), until the next search
};

} // namespace ombrik::heal
