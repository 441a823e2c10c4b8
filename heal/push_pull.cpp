#include "heal/push_pull.h"

#include <algorithm>
#include <cstddef>

namespace ombrik::heal {

namespace {

struct Grid {
    int width = 0, height = 0;
    std::vector<float> values;  // weighted: premultiplied by weight until normalised
    std::vector<float> weight;
};

// A cell of the coarser grid averages its (up to) four finer cells by weight;
// its own weight is how much of it was known, at most 1.
Grid Push(const Grid& fine, int channels)
{
    Grid coarse;
    coarse.width = (fine.width + 1) / 2;
    coarse.height = (fine.height + 1) / 2;
    coarse.values.assign(size_t(coarse.width) * coarse.height * channels, 0.0f);
    coarse.weight.assign(size_t(coarse.width) * coarse.height, 0.0f);
    for (int y = 0; y < coarse.height; ++y)
        for (int x = 0; x < coarse.width; ++x) {
            const size_t c = size_t(y) * coarse.width + x;
            float wsum = 0.0f;
            float* out = &coarse.values[c * channels];
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const int fx = 2 * x + dx, fy = 2 * y + dy;
                    if (fx >= fine.width || fy >= fine.height)
                        continue;
                    const size_t f = size_t(fy) * fine.width + fx;
                    const float w = fine.weight[f];
                    if (w <= 0.0f)
                        continue;
                    wsum += w;
                    for (int k = 0; k < channels; ++k)
                        out[k] += w * fine.values[f * channels + k];
                }
            if (wsum > 0.0f)
                for (int k = 0; k < channels; ++k)
                    out[k] /= wsum;
            coarse.weight[c] = std::min(1.0f, wsum);
        }
    return coarse;
}

// Fills what the finer grid does not know from the coarser one, upsampled
// bilinearly (cell centres at half-pixel positions).
void Pull(Grid& fine, const Grid& coarse, int channels)
{
    for (int y = 0; y < fine.height; ++y) {
        const float cy = std::clamp((y + 0.5f) / 2.0f - 0.5f, 0.0f, float(coarse.height - 1));
        const int y0 = int(cy), y1 = std::min(y0 + 1, coarse.height - 1);
        const float ty = cy - float(y0);
        for (int x = 0; x < fine.width; ++x) {
            const size_t f = size_t(y) * fine.width + x;
            const float w = fine.weight[f];
            if (w >= 1.0f)
                continue;
            const float cx = std::clamp((x + 0.5f) / 2.0f - 0.5f, 0.0f, float(coarse.width - 1));
            const int x0 = int(cx), x1 = std::min(x0 + 1, coarse.width - 1);
            const float tx = cx - float(x0);
            for (int k = 0; k < channels; ++k) {
                auto at = [&](int xx, int yy) { return coarse.values[(size_t(yy) * coarse.width + xx) * channels + k]; };
                const float up = (1 - ty) * ((1 - tx) * at(x0, y0) + tx * at(x1, y0))
                    + ty * ((1 - tx) * at(x0, y1) + tx * at(x1, y1));
                float& v = fine.values[f * channels + k];
                v = w * v + (1.0f - w) * up;
            }
            fine.weight[f] = 1.0f;
        }
    }
}

} // namespace

void PushPullFill(std::vector<float>& values, const std::vector<float>& weight, int width, int height, int channels)
{
    if (width <= 0 || height <= 0 || channels <= 0)
        return;
    std::vector<Grid> pyramid(1);
    pyramid[0].width = width;
    pyramid[0].height = height;
    pyramid[0].values = std::move(values);
    pyramid[0].weight = weight;
    for (float& w : pyramid[0].weight)
        w = std::clamp(w, 0.0f, 1.0f);
    while (pyramid.back().width > 1 || pyramid.back().height > 1) {
        const Grid& last = pyramid.back();
        if (std::all_of(last.weight.begin(), last.weight.end(), [](float w) { return w > 0.0f; }))
            break;
        pyramid.push_back(Push(last, channels));
    }
    // The top: cells still unknown (nothing known anywhere) become 0.
    Grid& top = pyramid.back();
    for (size_t i = 0; i < top.weight.size(); ++i)
        if (top.weight[i] <= 0.0f)
            std::fill_n(top.values.begin() + ptrdiff_t(i * channels), channels, 0.0f);
    for (float& w : top.weight)
        w = 1.0f;
    for (size_t level = pyramid.size() - 1; level > 0; --level)
        Pull(pyramid[level - 1], pyramid[level], channels);
    values = std::move(pyramid[0].values);
}

} // namespace ombrik::heal
