// Growing a fill inward a patch at a time, in the order of how much of each
// patch is known and how strongly a line of the picture crosses the border
// there, each patch copying the best matching patch of the known photo.
#include "heal/patch_match.h"

#include "engine/progress.h"
#include "heal/patch_distance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ombrik::heal {

using namespace detail;

namespace {

// Levels with no more sources than this, and holes no larger, are searched
// through.
constexpr size_t kSearchAll = 2500;
constexpr size_t kSearchAllHole = 20000;
// Otherwise: all sources this close to the pixel, what the pixels round it
// were copied from, random tries and tries round the best so far.
constexpr int kNear = 12;
constexpr int kRandomTries = 32;

struct Entry {
    float priority;
    int32_t pixel;
    bool operator<(const Entry& o) const
    {
        return priority < o.priority || (priority == o.priority && pixel > o.pixel);
    }
};

} // namespace

bool PatchField::grow(Level& level, uint64_t seed, const std::function<void(double)>& progress)
{
    if (m_sources.empty())
        return true;
    const int w = m_width, h = m_height;
    const size_t n = size_t(w) * h;
    const uint8_t* image = level.image.data();
    size_t holePixels = 0, done = 0;
    std::vector<uint8_t> filled(n);
    std::vector<float> confidence(n);
    std::vector<int32_t> copiedFrom(n, -1);
    for (size_t i = 0; i < n; ++i) {
        filled[i] = level.hole[i] ? 0 : 1;
        confidence[i] = filled[i];
        holePixels += level.hole[i] ? 1 : 0;
    }
    auto isFilled = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && filled[size_t(y) * w + x]; };
    auto onFront = [&](int x, int y) {
        if (filled[size_t(y) * w + x])
            return false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (isFilled(x + dx, y + dy))
                    return true;
        return false;
    };
    auto luma = [&](int x, int y) {
        const uint8_t* p = image + (size_t(y) * w + x) * 3;
        return 0.114f * p[0] + 0.587f * p[1] + 0.299f * p[2];
    };
    // How much of the patch round (x, y) is known, known pixels counting
    // fully and filled ones as much as the patch they were filled from.
    auto known = [&](int x, int y) {
        float sum = 0;
        int area = 0;
        for (int yy = std::max(0, y - kR); yy <= std::min(h - 1, y + kR); ++yy)
            for (int xx = std::max(0, x - kR); xx <= std::min(w - 1, x + kR); ++xx) {
                sum += confidence[size_t(yy) * w + xx];
                ++area;
            }
        return sum / float(std::max(area, 1));
    };
    auto priority = [&](int x, int y) {
        // The border's normal points to the filled pixels round (x, y); the
        // picture's gradient comes from pairs of filled pixels beside it. A
        // line of the picture runs along its isophote, across the gradient.
        float nx = 0, ny = 0, gx = 0, gy = 0;
        int gxCount = 0, gyCount = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if (isFilled(x + dx, y + dy))
                    nx += float(dx), ny += float(dy);
                if (dx < 1 && isFilled(x + dx, y + dy) && isFilled(x + dx + 1, y + dy)) {
                    gx += luma(x + dx + 1, y + dy) - luma(x + dx, y + dy);
                    ++gxCount;
                }
                if (dy < 1 && isFilled(x + dx, y + dy) && isFilled(x + dx, y + dy + 1)) {
                    gy += luma(x + dx, y + dy + 1) - luma(x + dx, y + dy);
                    ++gyCount;
                }
            }
        gx = gxCount ? gx / float(gxCount) : 0.0f;
        gy = gyCount ? gy / float(gyCount) : 0.0f;
        const float length = std::sqrt(nx * nx + ny * ny);
        const float data = length > 0 ? std::abs(gx * ny - gy * nx) / length / 255.0f : 0.0f;
        return known(x, y) * (data + 0.05f);
    };

    std::vector<Entry> heap;
    auto push = [&](int x, int y) {
        heap.push_back({priority(x, y), int32_t(y) * w + x});
        std::push_heap(heap.begin(), heap.end());
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (onFront(x, y))
                push(x, y);

    const bool searchAll = m_sources.size() <= kSearchAll && holePixels <= kSearchAllHole;
    Rng rng(seed);
    size_t steps = 0;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end());
        const int32_t pixel = heap.back().pixel;
        heap.pop_back();
        if (filled[size_t(pixel)])
            continue;  // an entry made stale by a copy since
        if (++steps % 16 == 0) {
            if (CancelRequested())
                return false;
            progress(double(done) / double(std::max<size_t>(holePixels, 1)));
        }
        const int tx = pixel % w, ty = pixel / w;
        int32_t best = -1, bestD = std::numeric_limits<int32_t>::max();
        auto tryCandidate = [&](int sx, int sy) {
            if (!isSource(sx, sy))
                return;
            const int32_t d = TextureDistance(image, filled.data(), w, h, tx, ty, sx, sy, bestD);
            if (d < bestD) {
                bestD = d;
                best = sy * w + sx;
            }
        };
        if (searchAll) {
            for (int32_t s : m_sources)
                tryCandidate(s % w, s / w);
        } else {
            // Going on with the copies round it keeps a texture whole.
            for (int dy = -kR; dy <= kR; ++dy)
                for (int dx = -kR; dx <= kR; ++dx) {
                    const int xx = tx + dx, yy = ty + dy;
                    if (xx < 0 || yy < 0 || xx >= w || yy >= h)
                        continue;
                    const int32_t m = copiedFrom[size_t(yy) * w + xx];
                    if (m >= 0)
                        tryCandidate(m % w - dx, m / w - dy);
                }
            for (int sy = std::max(kEdge, ty - kNear); sy <= std::min(h - 1 - kEdge, ty + kNear); ++sy)
                for (int sx = std::max(kEdge, tx - kNear); sx <= std::min(w - 1 - kEdge, tx + kNear); ++sx)
                    tryCandidate(sx, sy);
            for (int k = 0; k < kRandomTries; ++k) {
                const int32_t s = m_sources[size_t(rng.next() % m_sources.size())];
                tryCandidate(s % w, s / w);
            }
            for (int r = std::max(w, h) / 4; r >= 1 && best >= 0; r /= 2)
                for (int k = 0; k < 2; ++k)
                    tryCandidate(std::clamp(best % w + rng.around(r), kEdge, w - 1 - kEdge),
                                 std::clamp(best / w + rng.around(r), kEdge, h - 1 - kEdge));
        }
        if (best < 0)
            best = m_sources[0];
        // The source centre always lies in the level, so the pixel itself is
        // written and leaves the front.
        const int bx = best % w, by = best / w;
        const float copyConfidence = known(tx, ty);
        for (int dy = -kR; dy <= kR; ++dy)
            for (int dx = -kR; dx <= kR; ++dx) {
                const int xx = tx + dx, yy = ty + dy, sx = bx + dx, sy = by + dy;
                if (xx < 0 || yy < 0 || xx >= w || yy >= h || sx < 0 || sy < 0 || sx >= w || sy >= h)
                    continue;
                const size_t q = size_t(yy) * w + xx;
                if (filled[q])
                    continue;
                const size_t s = size_t(sy) * w + sx;
                std::copy_n(&level.image[s * 3], 3, &level.image[q * 3]);
                filled[q] = 1;
                confidence[q] = copyConfidence;
                copiedFrom[q] = int32_t(s);
                ++done;
            }
        for (int yy = std::max(0, ty - 2 * kR - 1); yy <= std::min(h - 1, ty + 2 * kR + 1); ++yy)
            for (int xx = std::max(0, tx - 2 * kR - 1); xx <= std::min(w - 1, tx + 2 * kR + 1); ++xx)
                if (onFront(xx, yy))
                    push(xx, yy);
    }

    // A target copies the patch its centre came from; where that is not a
    // source (its pixel lay at the rim of a copy), the copy of the nearest
    // pixel round it that gives one, shifted along. Targets left without
    // have no say until the next search.
    m_holeVotesOnly = true;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const int32_t t = m_targets[i];
        const int tx = t % w, ty = t / w;
        int32_t match = -1;
        for (int r = 0; r <= kR && match < 0; ++r)
            for (int dy = -r; dy <= r && match < 0; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    if (std::max(std::abs(dx), std::abs(dy)) != r)
                        continue;
                    const int qx = tx + dx, qy = ty + dy;
                    if (qx < 0 || qy < 0 || qx >= w || qy >= h)
                        continue;
                    const int32_t m = copiedFrom[size_t(qy) * w + qx];
                    if (m >= 0 && isSource(m % w - dx, m / w - dy)) {
                        match = (m / w - dy) * w + m % w - dx;
                        break;
                    }
                }
        m_match[i] = match >= 0 ? match : m_sources[size_t(Mix(seed, i) % m_sources.size())];
        m_weight[i] = match >= 0 ? 1.0f : 0.0f;
    }
    return true;
}

} // namespace ombrik::heal
