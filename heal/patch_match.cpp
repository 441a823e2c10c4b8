#include "heal/patch_match.h"

#include "heal/patch_distance.h"

#include "engine/progress.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace ombrik::heal {

using namespace detail;

namespace {

constexpr int kBandRows = 16;

// A copy's say in a pixel (dx, dy) from its centre, when copies are blended:
// a Gaussian of one pixel.
float CentreWeight(int dx, int dy)
{
    static const auto table = [] {
        std::array<float, (2 * kR + 1) * (2 * kR + 1)> t{};
        for (int y = -kR; y <= kR; ++y)
            for (int x = -kR; x <= kR; ++x)
                t[size_t((y + kR) * (2 * kR + 1) + x + kR)] = std::exp(-float(x * x + y * y) / 2.0f);
        return t;
    }();
    return table[size_t((dy + kR) * (2 * kR + 1) + dx + kR)];
}

} // namespace

Level Level::half() const
{
    Level c;
    c.width = (width + 1) / 2;
    c.height = (height + 1) / 2;
    c.image.assign(size_t(c.width) * c.height * 3, 0);
    c.hole.assign(size_t(c.width) * c.height, 0);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            int sum[3] = {0, 0, 0}, known = 0;
            bool anyHole = false;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const int fx = 2 * x + dx, fy = 2 * y + dy;
                    if (fx >= width || fy >= height)
                        continue;
                    const size_t f = size_t(fy) * width + fx;
                    if (hole[f]) {
                        anyHole = true;
                        continue;
                    }
                    ++known;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += image[f * 3 + k];
                }
            const size_t ci = size_t(y) * c.width + x;
            c.hole[ci] = anyHole ? 1 : 0;
            if (known > 0)
                for (int k = 0; k < 3; ++k)
                    c.image[ci * 3 + k] = uint8_t((sum[k] + known / 2) / known);
        }
    return c;
}

void PatchField::build(const Level& level)
{
    const int w = level.width, h = level.height;
    m_width = w;
    m_height = h;
    // Hole pixels counted over any rectangle through a summed table.
    std::vector<int32_t> sums(size_t(w + 1) * (h + 1), 0);
    for (int y = 0; y < h; ++y) {
        int32_t row = 0;
        for (int x = 0; x < w; ++x) {
            row += level.hole[size_t(y) * w + x] ? 1 : 0;
            sums[size_t(y + 1) * (w + 1) + x + 1] = sums[size_t(y) * (w + 1) + x + 1] + row;
        }
    }
    auto holesIn = [&](int x0, int y0, int x1, int y1) {  // inclusive, clipped
        x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, w - 1), y1 = std::min(y1, h - 1);
        return sums[size_t(y1 + 1) * (w + 1) + x1 + 1] - sums[size_t(y0) * (w + 1) + x1 + 1]
            - sums[size_t(y1 + 1) * (w + 1) + x0] + sums[size_t(y0) * (w + 1) + x0];
    };
    m_targets.clear();
    m_sources.clear();
    m_targetIndex.assign(size_t(w) * h, -1);
    m_isSource.assign(size_t(w) * h, 0);
    m_bandStart.assign(size_t((h + kBandRows - 1) / kBandRows + 1), 0);
    for (int y = 0; y < h; ++y) {
        if (y % kBandRows == 0)
            m_bandStart[size_t(y / kBandRows)] = int32_t(m_targets.size());
        for (int x = 0; x < w; ++x) {
            const int32_t holes = holesIn(x - kR, y - kR, x + kR, y + kR);
            const int32_t index = int32_t(y) * w + x;
            if (holes > 0) {
                m_targetIndex[size_t(index)] = int32_t(m_targets.size());
                m_targets.push_back(index);
            } else if (x >= kEdge && y >= kEdge && x < w - kEdge && y < h - kEdge) {
                // Patches cut off a little by the level's edge count too: at
                // coarse scales the rim of the photo is often all there is of
                // the sky or the ground.
                m_isSource[size_t(index)] = 1;
                m_sources.push_back(index);
            }
        }
    }
    m_bandStart.back() = int32_t(m_targets.size());
    m_match.assign(m_targets.size(), 0);
    m_distance.assign(m_targets.size(), std::numeric_limits<int32_t>::max());
    m_weight.assign(m_targets.size(), 1.0f);
    m_holeVotesOnly = false;
}

bool PatchField::isSource(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_width && y < m_height && m_isSource[size_t(y) * m_width + x];
}

void PatchField::randomise(uint64_t seed)
{
    if (m_sources.empty())
        return;
    for (size_t i = 0; i < m_targets.size(); ++i)
        m_match[i] = m_sources[size_t(Mix(seed, i) % m_sources.size())];
}

bool PatchField::peel(Level& level, uint64_t seed, int threads)
{
    if (m_sources.empty())
        return true;
    // Small levels are searched through; larger ones by propagation from the
    // ring before and random tries.
    constexpr size_t kSearchAll = 2500;
    constexpr int kRandomTries = 48;
    const int w = m_width, h = m_height;
    std::vector<uint8_t> filled(size_t(w) * h);
    for (size_t i = 0; i < filled.size(); ++i)
        filled[i] = level.hole[i] ? 0 : 1;
    std::vector<int32_t> peelMatch(size_t(w) * h, -1);
    std::vector<int32_t> front, chosen;
    for (;;) {
        front.clear();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t p = size_t(y) * w + x;
                if (filled[p])
                    continue;
                bool touches = false;
                for (int dy = -1; dy <= 1 && !touches; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if (xx >= 0 && yy >= 0 && xx < w && yy < h && filled[size_t(yy) * w + xx]) {
                            touches = true;
                            break;
                        }
                    }
                if (touches)
                    front.push_back(int32_t(p));
            }
        if (front.empty())
            break;
        chosen.assign(front.size(), -1);
        const int chunks = int((front.size() + 63) / 64);
        ForEachItem(chunks, threads, [&](int c) {
            if (CancelRequested())
                return;
            for (size_t f = size_t(c) * 64; f < std::min(front.size(), size_t(c + 1) * 64); ++f) {
                const int32_t p = front[f];
                const int tx = p % w, ty = p / w;
                Rng rng(Mix(seed, uint64_t(p)));
                int32_t best = -1, bestD = std::numeric_limits<int32_t>::max();
                auto tryCandidate = [&](int sx, int sy) {
                    if (!isSource(sx, sy))
                        return;
                    const int32_t d = MaskedDistance(level.image.data(), filled.data(), w, h, tx, ty, sx, sy, bestD);
                    if (d < bestD) {
                        bestD = d;
                        best = sy * w + sx;
                    }
                };
                if (m_sources.size() <= kSearchAll) {
                    for (int32_t s : m_sources)
                        tryCandidate(s % w, s / w);
                } else {
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int xx = tx + dx, yy = ty + dy;
                            if (xx < 0 || yy < 0 || xx >= w || yy >= h)
                                continue;
                            const int32_t m = peelMatch[size_t(yy) * w + xx];
                            if (m >= 0)
                                tryCandidate(m % w - dx, m / w - dy);
                        }
                    for (int k = 0; k < kRandomTries; ++k) {
                        const int32_t s = m_sources[size_t(rng.next() % m_sources.size())];
                        tryCandidate(s % w, s / w);
                    }
                    for (int r = std::max(w, h) / 4; r >= 1 && best >= 0; r /= 2)
                        tryCandidate(std::clamp(best % w + rng.around(r), kEdge, w - 1 - kEdge),
                                     std::clamp(best / w + rng.around(r), kEdge, h - 1 - kEdge));
                }
                chosen[f] = best;
            }
        });
        if (CancelRequested())
            return false;
        // The ring is written only once all of it has chosen.
        for (size_t f = 0; f < front.size(); ++f) {
            const int32_t p = front[f], s = chosen[f] >= 0 ? chosen[f] : m_sources[0];
            std::copy_n(&level.image[size_t(s) * 3], 3, &level.image[size_t(p) * 3]);
            peelMatch[size_t(p)] = s;
            filled[size_t(p)] = 1;
        }
    }
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const int32_t m = peelMatch[size_t(m_targets[i])];
        m_match[i] = m >= 0 ? m : m_sources[size_t(Mix(seed, i) % m_sources.size())];
    }
    return true;
}

void PatchField::upsample(const PatchField& coarse, uint64_t seed)
{
    if (m_sources.empty())
        return;
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const int x = m_targets[i] % m_width, y = m_targets[i] / m_width;
        const int cx = std::min(x / 2, coarse.m_width - 1), cy = std::min(y / 2, coarse.m_height - 1);
        const int32_t ct = coarse.m_targetIndex[size_t(cy) * coarse.m_width + cx];
        if (ct >= 0) {
            const int32_t cs = coarse.m_match[size_t(ct)];
            const int sx = x + 2 * (cs % coarse.m_width - cx), sy = y + 2 * (cs / coarse.m_width - cy);
            if (isSource(sx, sy)) {
                m_match[i] = sy * m_width + sx;
                continue;
            }
        }
        m_match[i] = m_sources[size_t(Mix(seed, i) % m_sources.size())];
    }
}

bool PatchField::improve(const Level& level, int pass, uint64_t seed, int threads)
{
    if (m_sources.empty() || m_targets.empty())
        return true;
    const int w = m_width, h = m_height;
    const uint8_t* image = level.image.data();
    const int bands = int(m_bandStart.size()) - 1;

    m_holeVotesOnly = false;
    // Distances for the pixels as they are now (the vote changed them).
    ForEachItem(bands, threads, [&](int b) {
        for (int32_t i = m_bandStart[size_t(b)]; i < m_bandStart[size_t(b) + 1]; ++i) {
            const int32_t t = m_targets[size_t(i)], s = m_match[size_t(i)];
            m_distance[size_t(i)] = Distance(image, w, h, t % w, t / w, s % w, s / w, std::numeric_limits<int32_t>::max());
        }
    });
    if (CancelRequested())
        return false;

    const int dir = pass % 2 == 0 ? 1 : -1;
    const int searchRadius = std::max(w, h);
    auto work = [&](int b) {
        if (CancelRequested())
            return;
        Rng rng(Mix(seed, uint64_t(pass) * 100003u + uint64_t(b)));
        const int32_t first = m_bandStart[size_t(b)], last = m_bandStart[size_t(b) + 1];
        for (int32_t k = 0; k < last - first; ++k) {
            const int32_t i = dir > 0 ? first + k : last - 1 - k;
            const int32_t t = m_targets[size_t(i)];
            const int tx = t % w, ty = t / w;
            int32_t best = m_match[size_t(i)];
            int32_t bestD = m_distance[size_t(i)];
            auto tryCandidate = [&](int sx, int sy) {
                if (!isSource(sx, sy))
                    return;
                const int32_t s = sy * w + sx;
                if (s == best)
                    return;
                const int32_t d = Distance(image, w, h, tx, ty, sx, sy, bestD);
                if (d < bestD) {
                    bestD = d;
                    best = s;
                }
            };
            // Propagation: the neighbour's match, shifted along.
            if (tx - dir >= 0 && tx - dir < w) {
                const int32_t n = m_targetIndex[size_t(t - dir)];
                if (n >= 0) {
                    const int32_t s = m_match[size_t(n)];
                    tryCandidate(s % w + dir, s / w);
                }
            }
            if (ty - dir >= 0 && ty - dir < h) {
                const int32_t n = m_targetIndex[size_t(t - dir * w)];
                if (n >= 0) {
                    const int32_t s = m_match[size_t(n)];
                    tryCandidate(s % w, s / w + dir);
                }
            }
            // Random search in shrinking windows round the best so far.
            for (int r = searchRadius; r >= 1; r /= 2) {
                const int bx = best % w, by = best / w;
                const int sx = std::clamp(bx + rng.around(r), kEdge, w - 1 - kEdge);
                const int sy = std::clamp(by + rng.around(r), kEdge, h - 1 - kEdge);
                tryCandidate(sx, sy);
            }
            m_match[size_t(i)] = best;
            m_distance[size_t(i)] = bestD;
        }
    };
    // Even bands, then odd ones: a band reads only the rows of the bands
    // beside it, which are never being written at the same time.
    for (int phase = 0; phase < 2; ++phase) {
        const int count = (bands - phase + 1) / 2;
        ForEachItem(count, threads, [&](int j) { work(2 * j + phase); });
        if (CancelRequested())
            return false;
    }
    refreshWeights();
    return true;
}

void PatchField::refreshWeights()
{
    // A patch's say falls off with how badly it matches, on the scale of a
    // typical match of this pass.
    std::vector<float> perPixel(m_targets.size());
    for (size_t i = 0; i < m_targets.size(); ++i) {
        perPixel[i] = float(m_distance[i]) / float(kWhole);
    }
    if (perPixel.empty())
        return;
    std::vector<float> sorted = perPixel;
    const size_t q = sorted.size() * 3 / 4;
    std::nth_element(sorted.begin(), sorted.begin() + ptrdiff_t(q), sorted.end());
    const float scale = std::max(sorted[q], 3.0f);
    for (size_t i = 0; i < perPixel.size(); ++i)
        m_weight[i] = std::exp(-perPixel[i] / (2.0f * scale));
}

bool PatchField::votedAt(const Level& level, int x, int y, float out[3]) const
{
    const int w = m_width, h = m_height;
    float acc[3] = {0, 0, 0}, total = 0.0f;
    for (int dy = -kR; dy <= kR; ++dy) {
        const int ty = y - dy;
        if (ty < 0 || ty >= h)
            continue;
        for (int dx = -kR; dx <= kR; ++dx) {
            const int tx = x - dx;
            if (tx < 0 || tx >= w)
                continue;
            const int32_t i = m_targetIndex[size_t(ty) * w + tx];
            if (i < 0)
                continue;
            // Right after growing, only the copies made into the hole speak,
            // each mostly round its own centre: they agree where one copy
            // covers a pixel and blend only where copies meet.
            if (m_holeVotesOnly && !level.hole[size_t(ty) * w + tx])
                continue;
            const int32_t m = m_match[size_t(i)];
            const int sx = m % w + dx, sy = m / w + dy;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                continue;
            const int32_t s = sy * w + sx;
            const float wt = m_weight[size_t(i)] * (m_holeVotesOnly ? CentreWeight(dx, dy) : 1.0f);
            const uint8_t* p = &level.image[size_t(s) * 3];
            acc[0] += wt * p[0];
            acc[1] += wt * p[1];
            acc[2] += wt * p[2];
            total += wt;
        }
    }
    if (total <= 0.0f)
        return false;
    for (int k = 0; k < 3; ++k)
        out[k] = acc[k] / total;
    return true;
}

bool PatchField::vote(Level& level, bool weighted, int threads)
{
    if (m_sources.empty())
        return true;
    if (!weighted)
        std::fill(m_weight.begin(), m_weight.end(), 1.0f);
    // Sources never overlap the hole, so hole pixels can be written in place.
    const int bands = (m_height + kBandRows - 1) / kBandRows;
    ForEachItem(bands, threads, [&](int b) {
        if (CancelRequested())
            return;
        for (int y = b * kBandRows; y < std::min(m_height, (b + 1) * kBandRows); ++y)
            for (int x = 0; x < m_width; ++x) {
                const size_t p = size_t(y) * m_width + x;
                if (!level.hole[p])
                    continue;
                float v[3];
                if (votedAt(level, x, y, v))
                    for (int k = 0; k < 3; ++k)
                        level.image[p * 3 + k] = uint8_t(std::clamp(v[k] + 0.5f, 0.0f, 255.0f));
            }
    });
    return !CancelRequested();
}

} // namespace ombrik::heal
