#include "heal/heal_fill.h"

#include "engine/progress.h"
#include "engine/row_bands.h"
#include "heal/patch_match.h"
#include "heal/push_pull.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace ombrik {

namespace {

using heal::Level;
using heal::PatchField;

// The photo round an area reaches at least this far.
constexpr int kCoarsestSpan = 24;
// Scales stop halving once no pixel of the area is further than this from the border.
constexpr int kCoarsestDepth = 8;
// ... or before the photo round it gets less than this many pixels across: a
// patch must stay small beside it.
constexpr int kCoarsestSide = 40;
// Spots no deeper than this that are long and thin (an area of more than
// kStrokeElongation × depth² each; a round spot's is about π × depth²) are
// strokes, as over a wire or a scratch: they are grown a patch at a time at
// full size instead, which keeps the texture they cross.
constexpr int kStrokeDepth = 24;
constexpr double kStrokeElongation = 12.0;
// A stroke's patches are taken from within this many times its depth.
constexpr int kStrokeReach = 4;
// Beyond this many separate spots they are filled as one area.
constexpr size_t kMostSpots = 512;
// Beyond this many runs of marked pixels the spots are not told apart.
constexpr size_t kMostRuns = 1 << 20;

struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool intersects(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    void unite(const Box& o)
    {
        if (empty()) {
            *this = o;
            return;
        }
        x0 = std::min(x0, o.x0), y0 = std::min(y0, o.y0), x1 = std::max(x1, o.x1), y1 = std::max(y1, o.y1);
    }
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// The photo round an area that its patches are taken from: as far again as
// the area is wide, at least a little.
Box SurroundOf(const Box& area, int width, int height)
{
    const int margin = std::max(std::max(area.width(), area.height()), kCoarsestSpan) + heal::kPatchRadius;
    return {std::max(0, area.x0 - margin), std::max(0, area.y0 - margin), std::min(width, area.x1 + margin),
            std::min(height, area.y1 + margin)};
}

// The first marked byte of row[x..width), or width; whole words of unmarked
// bytes are stepped over at once (masks are mostly empty).
int NextMarked(const uint8_t* row, int x, int width)
{
    while (x + 8 <= width) {
        uint64_t word;
        std::memcpy(&word, row + x, 8);
        if (word)
            break;
        x += 8;
    }
    while (x < width && !row[x])
        ++x;
    return x;
}

int FindRoot(std::vector<int>& parent, int i)
{
    while (parent[size_t(i)] != i)
        i = parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
    return i;
}

// The spots of a mask (8-connected), by runs of marked pixels row by row.
// Empty when there are too many runs to keep apart.
std::vector<Box> FindSpots(const std::vector<uint8_t>& mask, int width, int height)
{
    struct Run {
        int x0, x1, y, id;
    };
    std::vector<Run> runs;
    std::vector<int> parent;
    size_t previousStart = 0, previousEnd = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = mask.data() + size_t(y) * width;
        const size_t rowStart = runs.size();
        size_t p = previousStart;
        for (int x = NextMarked(row, 0, width); x < width; x = NextMarked(row, x, width)) {
            int end = x;
            while (end < width && row[end])
                ++end;
            const int id = int(parent.size());
            parent.push_back(id);
            runs.push_back({x, end, y, id});
            if (runs.size() > kMostRuns)
                return {};
            // Runs of the row above that touch this one, diagonals included.
            while (p < previousEnd && runs[p].x1 < x)
                ++p;
            for (size_t q = p; q < previousEnd && runs[q].x0 <= end; ++q) {
                const int a = FindRoot(parent, id), b = FindRoot(parent, runs[q].id);
                if (a != b)
                    parent[size_t(std::max(a, b))] = std::min(a, b);
            }
            x = end;
        }
        previousStart = rowStart;
        previousEnd = runs.size();
    }
    std::vector<int> spotOf(parent.size(), -1);
    std::vector<Box> spots;
    for (const Run& r : runs) {
        const int root = FindRoot(parent, r.id);
        if (spotOf[size_t(root)] < 0) {
            spotOf[size_t(root)] = int(spots.size());
            spots.push_back({});
        }
        spots[size_t(spotOf[size_t(root)])].unite({r.x0, r.y, r.x1, r.y + 1});
    }
    return spots;
}

// Spots whose surroundings meet are filled together.
std::vector<std::vector<Box>> GroupSpots(std::vector<Box> spots, int width, int height, const Box& everything)
{
    if (spots.empty() || spots.size() > kMostSpots)
        return {{everything}};
    std::vector<int> parent(spots.size());
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<Box> around(spots.size());
    for (size_t i = 0; i < spots.size(); ++i)
        around[i] = SurroundOf(spots[i], width, height);
    for (size_t i = 0; i < spots.size(); ++i)
        for (size_t j = i + 1; j < spots.size(); ++j)
            if (around[i].intersects(around[j])) {
                const int a = FindRoot(parent, int(i)), b = FindRoot(parent, int(j));
                if (a != b)
                    parent[size_t(std::max(a, b))] = std::min(a, b);
            }
    std::vector<std::vector<Box>> groups;
    std::vector<int> groupOf(spots.size(), -1);
    for (size_t i = 0; i < spots.size(); ++i) {
        const int root = FindRoot(parent, int(i));
        if (groupOf[size_t(root)] < 0) {
            groupOf[size_t(root)] = int(groups.size());
            groups.emplace_back();
        }
        groups[size_t(groupOf[size_t(root)])].push_back(spots[i]);
    }
    return groups;
}

// How many passes of search and vote a scale gets: many where it is cheap.
int PassesAt(int level, int levels)
{
    if (level == levels - 1)
        return 4;
    return level == 0 ? 2 : (level == 1 ? 3 : 4);
}

Level CutLevel(const PixelBuffer& photo, const std::vector<uint8_t>& mask, const Box& box)
{
    Level level;
    level.width = box.width();
    level.height = box.height();
    level.image.resize(size_t(level.width) * level.height * 3);
    level.hole.resize(size_t(level.width) * level.height);
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            const size_t i = size_t(y) * level.width + x;
            const uint8_t* p = photo.at(box.x0 + x, box.y0 + y);
            std::copy(p, p + 3, &level.image[i * 3]);
            level.hole[i] = mask[size_t(box.y0 + y) * photo.width + box.x0 + x] ? 1 : 0;
        }
    return level;
}

// Hole pixels from the known ones round them, smoothly.
void SmoothFill(Level& level)
{
    const size_t n = size_t(level.width) * level.height;
    std::vector<float> values(n * 3), weight(n);
    for (size_t i = 0; i < n; ++i) {
        weight[i] = level.hole[i] ? 0.0f : 1.0f;
        for (int k = 0; k < 3; ++k)
            values[i * 3 + k] = level.image[i * 3 + k];
    }
    heal::PushPullFill(values, weight, level.width, level.height, 3);
    for (size_t i = 0; i < n; ++i)
        if (level.hole[i])
            for (int k = 0; k < 3; ++k)
                level.image[i * 3 + k] = uint8_t(std::clamp(values[i * 3 + k] + 0.5f, 0.0f, 255.0f));
}

// The seam: right outside the hole the patches say slightly other colours
// than the photo has. That difference, spread smoothly over the hole, is
// added to it, so the fill meets its border without a step.
void BlendSeam(Level& level, const PatchField& field, const Box& holeBox)
{
    const int ring = 2;
    const Box b{std::max(0, holeBox.x0 - ring - 1), std::max(0, holeBox.y0 - ring - 1),
                std::min(level.width, holeBox.x1 + ring + 1), std::min(level.height, holeBox.y1 + ring + 1)};
    const int w = b.width(), h = b.height();
    std::vector<float> diff(size_t(w) * h * 3, 0.0f), weight(size_t(w) * h, 0.0f);
    auto nearHole = [&](int x, int y) {
        for (int dy = -ring; dy <= ring; ++dy)
            for (int dx = -ring; dx <= ring; ++dx) {
                const int xx = x + dx, yy = y + dy;
                if (xx >= 0 && yy >= 0 && xx < level.width && yy < level.height
                    && level.hole[size_t(yy) * level.width + xx])
                    return true;
            }
        return false;
    };
    bool any = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int lx = b.x0 + x, ly = b.y0 + y;
            const size_t li = size_t(ly) * level.width + lx;
            if (level.hole[li] || !nearHole(lx, ly))
                continue;
            float voted[3];
            if (!field.votedAt(level, lx, ly, voted))
                continue;
            const size_t i = size_t(y) * w + x;
            for (int k = 0; k < 3; ++k)
                diff[i * 3 + k] = float(level.image[li * 3 + k]) - voted[k];
            weight[i] = 1.0f;
            any = true;
        }
    if (!any)
        return;
    heal::PushPullFill(diff, weight, w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t li = size_t(b.y0 + y) * level.width + b.x0 + x;
            if (!level.hole[li])
                continue;
            const size_t i = size_t(y) * w + x;
            for (int k = 0; k < 3; ++k)
                level.image[li * 3 + k] =
                    uint8_t(std::clamp(float(level.image[li * 3 + k]) + diff[i * 3 + k] + 0.5f, 0.0f, 255.0f));
        }
}

// Where the photo round a stroke is flat (a blurred background, a clean
// sky), copies grown from either side meet in a step, for no patch has the
// shade between; a smooth fill from the border is right there. The local
// contrast of the known pixels, spread into the hole, decides pixel by pixel
// between the two, so grain and texture keep the grown fill.
void SmoothWhereFlat(Level& level)
{
    // How far a pixel stands out from its 3 × 3 neighbourhood, in levels:
    // below kFlat the smooth fill is taken, above kBusy the grown one.
    constexpr float kFlat = 0.5f, kBusy = 1.0f;
    const int w = level.width, h = level.height;
    const size_t n = size_t(w) * h;
    auto luma = [&](size_t i) {
        return 0.114f * level.image[i * 3] + 0.587f * level.image[i * 3 + 1] + 0.299f * level.image[i * 3 + 2];
    };
    std::vector<float> contrast(n, 0.0f), weight(n, 0.0f);
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            bool known = true;
            float mean = 0;
            for (int dy = -1; dy <= 1 && known; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const size_t q = size_t(y + dy) * w + x + dx;
                    if (level.hole[q]) {
                        known = false;
                        break;
                    }
                    mean += luma(q);
                }
            if (!known)
                continue;
            const size_t i = size_t(y) * w + x;
            contrast[i] = std::abs(luma(i) - mean / 9.0f);
            weight[i] = 1.0f;
        }
    heal::PushPullFill(contrast, weight, w, h, 1);
    Level smooth = level;
    SmoothFill(smooth);
    for (size_t i = 0; i < n; ++i) {
        if (!level.hole[i])
            continue;
        const float a = std::clamp((contrast[i] - kFlat) / (kBusy - kFlat), 0.0f, 1.0f);
        for (int k = 0; k < 3; ++k)
            level.image[i * 3 + k] = uint8_t(
                std::clamp(a * level.image[i * 3 + k] + (1 - a) * smooth.image[i * 3 + k] + 0.5f, 0.0f, 255.0f));
    }
}

Box HoleBox(const Level& level)
{
    Box box{level.width, level.height, 0, 0};
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x)
            if (level.hole[size_t(y) * level.width + x]) {
                box.x0 = std::min(box.x0, x), box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1), box.y1 = std::max(box.y1, y + 1);
            }
    return box;
}

// How far the deepest hole pixel is from a known one (in 8-connected steps).
int HoleDepth(const Level& level)
{
    const int w = level.width, h = level.height;
    const int far = w + h;
    std::vector<int> d(size_t(w) * h);
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = level.hole[i] ? far : 0;
    auto relax = [&](int x, int y, int dx, int dy) {
        const int xx = x + dx, yy = y + dy;
        if (xx >= 0 && yy >= 0 && xx < w && yy < h)
            d[size_t(y) * w + x] = std::min(d[size_t(y) * w + x], d[size_t(yy) * w + xx] + 1);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (d[size_t(y) * w + x]) {
                relax(x, y, -1, 0), relax(x, y, -1, -1), relax(x, y, 0, -1), relax(x, y, 1, -1);
            }
    int deepest = 0;
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            if (d[size_t(y) * w + x]) {
                relax(x, y, 1, 0), relax(x, y, 1, 1), relax(x, y, 0, 1), relax(x, y, -1, 1);
            }
            deepest = std::max(deepest, d[size_t(y) * w + x]);
        }
    return deepest;
}

// Whether spots this deep (in steps from their border) with this many
// pixels each on average are strokes. Growing a patch at a time keeps the
// texture a thin area crosses, which averaging the many patches that see a
// little of it would blur; a round spot fills more cleanly by search and vote.
bool AreStrokes(int depth, double areaEach)
{
    return depth <= kStrokeDepth && areaEach > kStrokeElongation * depth * depth;
}

// The depth of a group's spots, from the mask alone.
int SpotsDepth(const std::vector<uint8_t>& mask, int width, int height, const Box& box)
{
    const Box b{std::max(0, box.x0 - 1), std::max(0, box.y0 - 1), std::min(width, box.x1 + 1),
                std::min(height, box.y1 + 1)};
    Level level;
    level.width = b.width();
    level.height = b.height();
    level.hole.resize(size_t(level.width) * level.height);
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x)
            level.hole[size_t(y) * level.width + x] = mask[size_t(b.y0 + y) * width + b.x0 + x] ? 1 : 0;
    return HoleDepth(level);
}

// Progress over every group and scale, in work done (hole pixels × passes).
struct Progress {
    double total = 1, done = 0;
    int reported = -1;
    void add(double units)
    {
        done += units;
        const int percent = std::clamp(int(100.0 * done / total), 0, 100);
        if (percent != reported) {
            reported = percent;
            ReportProgress(percent);
        }
    }
};

// Fills one group of spots (the hole of `level`, the photo round them).
// False when cancelled.
bool FillLevel(Level& level, PatchField finest, bool strokes, uint64_t seed, int threads, double share,
               Progress& progress)
{
    std::vector<Level> levels;
    std::vector<PatchField> fields(1);
    fields[0] = std::move(finest);
    if (!fields[0].hasSources()) {
        SmoothFill(level);
        progress.add(share);
        return true;
    }
    if (strokes) {
        // Grown at full size, a patch at a time.
        double reported = 0;
        auto grown = [&](double fraction) {
            progress.add(share * (fraction - reported));
            reported = fraction;
        };
        if (!fields[0].grow(level, seed * 131, grown) || !fields[0].vote(level, true, threads))
            return false;
        grown(1.0);
        BlendSeam(level, fields[0], HoleBox(level));
        SmoothWhereFlat(level);
        return true;
    }
    levels.push_back(std::move(level));
    for (;;) {
        const Level& last = levels.back();
        if (HoleDepth(last) <= kCoarsestDepth || std::min(last.width, last.height) < 2 * kCoarsestSide)
            break;
        Level coarse = last.half();
        PatchField field;
        field.build(coarse);
        if (!field.hasSources())
            break;
        levels.push_back(std::move(coarse));
        fields.push_back(std::move(field));
    }
    const int count = int(levels.size());
    double units = 0;
    for (int l = 0; l < count; ++l)
        units += double(fields[size_t(l)].targetCount()) * (PassesAt(l, count) + 1);
    const double unitShare = share / std::max(1.0, units);

    for (int l = count - 1; l >= 0; --l) {
        Level& lv = levels[size_t(l)];
        PatchField& field = fields[size_t(l)];
        const uint64_t levelSeed = seed * 131 + uint64_t(l);
        if (l == count - 1) {
            if (!field.peel(lv, levelSeed, threads))
                return false;
        } else {
            field.upsample(fields[size_t(l) + 1], levelSeed);
            if (!field.vote(lv, false, threads))
                return false;
        }
        progress.add(unitShare * field.targetCount());
        const int passes = PassesAt(l, count);
        for (int pass = 0; pass < passes; ++pass) {
            if (!field.improve(lv, pass, levelSeed, threads) || !field.vote(lv, true, threads))
                return false;
            progress.add(unitShare * field.targetCount());
        }
        if (l == 0)
            BlendSeam(lv, field, HoleBox(lv));
    }
    level = std::move(levels[0]);
    return true;
}

} // namespace

bool HealAreaTooLarge(uint64_t marked, uint64_t pixels)
{
    return double(marked) > kHealMaxShare * double(pixels);
}

HealOutcome HealFill(const PixelBuffer& photo, const std::vector<uint8_t>& mask, PixelBuffer& out,
                     const HealOptions& options)
{
    const int width = photo.width, height = photo.height;
    if (photo.empty() || (photo.bytesPerPixel != 3 && photo.bytesPerPixel != 4)
        || mask.size() != size_t(width) * size_t(height) || photo.byteCount() != photo.stride() * size_t(height))
        return HealOutcome::BadInput;
    uint64_t marked = 0;
    Box everything{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = mask.data() + size_t(y) * width;
        for (int x = NextMarked(row, 0, width); x < width; x = NextMarked(row, x + 1, width)) {
            ++marked;
            everything.x0 = std::min(everything.x0, x), everything.x1 = std::max(everything.x1, x + 1);
            everything.y0 = std::min(everything.y0, y), everything.y1 = std::max(everything.y1, y + 1);
        }
    }
    if (marked == 0)
        return HealOutcome::Nothing;
    if (HealAreaTooLarge(marked, uint64_t(width) * uint64_t(height)))
        return HealOutcome::TooLarge;
    const int threads = options.threads > 0 ? options.threads : CoreCount();

    const std::vector<Box> found = FindSpots(mask, width, height);
    // Whether each group's spots are known one by one (else they are one area).
    const bool toldApart = !found.empty() && found.size() <= kMostSpots;
    const std::vector<std::vector<Box>> groups = GroupSpots(found, width, height, everything);
    // Each group is filled in a cut of its own; the photo is copied only at
    // the end, so a cancel leaves `out` untouched.
    std::vector<std::pair<Box, Level>> filled;
    Progress progress;
    progress.total = double(marked);
    ReportProgress(0);
    for (size_t g = 0; g < groups.size(); ++g) {
        Box spots;
        for (const Box& b : groups[g])
            spots.unite(b);
        uint64_t area = 0;
        for (const Box& b : groups[g])
            for (int y = b.y0; y < b.y1; ++y)
                for (int x = b.x0; x < b.x1; ++x)
                    area += mask[size_t(y) * width + x] ? 1 : 0;
        const int depth = SpotsDepth(mask, width, height, spots);
        const bool strokes = toldApart && AreStrokes(depth, double(area) / double(groups[g].size()));
        // Strokes copy from close by: a long wire across a large photo needs
        // a band round it, not the whole photo.
        const int reach = kStrokeReach * depth + kCoarsestSpan;
        Box cut = strokes ? Box{std::max(0, spots.x0 - reach), std::max(0, spots.y0 - reach),
                                std::min(width, spots.x1 + reach), std::min(height, spots.y1 + reach)}
                          : SurroundOf(spots, width, height);
        Level level = CutLevel(photo, mask, cut);
        PatchField field;
        field.build(level);
        if (!field.hasSources() && (cut.width() < width || cut.height() < height)) {
            // Too little round the area: the whole photo is searched.
            cut = {0, 0, width, height};
            level = CutLevel(photo, mask, cut);
            field.build(level);
        }
        if (!FillLevel(level, std::move(field), strokes, options.seed * 7919 + g, threads, double(area), progress)
            || CancelRequested())
            return HealOutcome::Cancelled;
        filled.emplace_back(cut, std::move(level));
    }
    if (&out != &photo)
        out = photo;  // reuses out's memory when it has the size already
    for (size_t g = 0; g < groups.size(); ++g) {
        const Box& cut = filled[g].first;
        const Level& level = filled[g].second;
        // Only this group's own pixels: the cut may reach other groups' spots.
        for (const Box& b : groups[g])
            for (int y = b.y0; y < b.y1; ++y)
                for (int x = b.x0; x < b.x1; ++x) {
                    if (!mask[size_t(y) * width + x])
                        continue;
                    const uint8_t* v = &level.image[(size_t(y - cut.y0) * level.width + (x - cut.x0)) * 3];
                    std::copy(v, v + 3, out.at(x, y));
                }
    }
    ReportProgress(100);
    return HealOutcome::Filled;
}

} // namespace ombrik
