#include "artistic/gaussian_blur.h"

#include "artistic/vector_clones.h"
#include "engine/row_bands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ombrik {

double GaussianSigmaForRadius(double radius)
{
    const double logOf1Over255 = std::log2(0.00392156862745098) * std::log(2.0);
    return std::sqrt(-(radius * radius) / (2.0 * logOf1Over255));
}

namespace {

// One causal step for every line of a batch: y0 receives the new outputs.
OMBRIK_VECTOR_CLONES
void CausalRow(const double* __restrict x0, const double* __restrict x1, const double* __restrict x2,
               const double* __restrict x3, const double* __restrict y1, const double* __restrict y2,
               const double* __restrict y3, const double* __restrict y4, double* __restrict y0, size_t c,
               const double n[4], const double d[4])
{
    const double n0 = n[0], n1 = n[1], n2 = n[2], n3 = n[3];
    const double d1 = d[0], d2 = d[1], d3 = d[2], d4 = d[3];
    for (size_t l = 0; l < c; ++l)
        y0[l] = (n0 * x0[l] + n1 * x1[l] + n2 * x2[l] + n3 * x3[l])
            - (d1 * y1[l] + d2 * y2[l] + d3 * y3[l] + d4 * y4[l]);
}

// One anti-causal step for every line of a batch: y4 (the oldest output)
// receives the new output, which is also added to o. The arrays written never
// overlap the ones read, which lets the loop vectorise.
OMBRIK_VECTOR_CLONES
void AntiCausalRow(const double* __restrict x1, const double* __restrict x2, const double* __restrict x3,
                   const double* __restrict x4, const double* __restrict y1, const double* __restrict y2,
                   const double* __restrict y3, double* __restrict y4, double* __restrict o, size_t c,
                   const double m[4], const double d[4])
{
    const double m1 = m[0], m2 = m[1], m3 = m[2], m4 = m[3];
    const double d1 = d[0], d2 = d[1], d3 = d[2], d4 = d[3];
    for (size_t l = 0; l < c; ++l) {
        const double y = (m1 * x1[l] + m2 * x2[l] + m3 * x3[l] + m4 * x4[l])
            - (d1 * y1[l] + d2 * y2[l] + d3 * y3[l] + d4 * y4[l]);
        y4[l] = y;
        o[l] += y;
    }
}

} // namespace

RecursiveGaussian::RecursiveGaussian(double sigma)
{
    // Deriche's constants for the Gaussian, stretched by sigma.
    const double a0 = 1.6803, a1 = 3.735, b0 = 1.783, b1 = 1.723;
    const double w0 = 0.6318, w1 = 1.997, c0 = -0.6803, c1 = -0.2598;

    const double cos0 = std::cos(w0 / sigma), sin0 = std::sin(w0 / sigma);
    const double cos1 = std::cos(w1 / sigma), sin1 = std::sin(w1 / sigma);
    const double e0 = std::exp(-b0 / sigma), e1 = std::exp(-b1 / sigma);

    const double n0 = a0 + c0;
    const double n1 = e1 * (c1 * sin1 - (c0 + 2.0 * a0) * cos1) + e0 * (a1 * sin0 - (2.0 * c0 + a0) * cos0);
    const double n2 = 2.0 * e0 * e1 * ((a0 + c0) * cos1 * cos0 - a1 * cos1 * sin0 - c1 * cos0 * sin1)
        + c0 * e0 * e0 + a0 * e1 * e1;
    const double n3 = e1 * e0 * e0 * (c1 * sin1 - c0 * cos1) + e0 * e1 * e1 * (a1 * sin0 - a0 * cos0);

    d[0] = -2.0 * e1 * cos1 - 2.0 * e0 * cos0;
    d[1] = 4.0 * cos1 * cos0 * e0 * e1 + e1 * e1 + e0 * e0;
    d[2] = -2.0 * cos0 * e0 * e1 * e1 - 2.0 * cos1 * e1 * e0 * e0;
    d[3] = e0 * e0 * e1 * e1;

    // Normalise to unit area: the continuous approximation peaks at 1.
    const double norm = 2.5066282731988802845 * sigma;  // sigma * sqrt(2 * 3.14159265)
    n[0] = n0 / norm;
    n[1] = n1 / norm;
    n[2] = n2 / norm;
    n[3] = n3 / norm;

    m[0] = n[1] - d[0] * n[0];
    m[1] = n[2] - d[1] * n[0];
    m[2] = n[3] - d[2] * n[0];
    m[3] = -d[3] * n[0];

    const double feedback = 1.0 + d[0] + d[1] + d[2] + d[3];
    causalEdge = (n[0] + n[1] + n[2] + n[3]) / feedback;
    antiCausalEdge = (m[0] + m[1] + m[2] + m[3]) / feedback;
}

void RecursiveGaussian::blurInterleaved(const double* in, double* out, int length, int count)
{
    if (length <= 0 || count <= 0)
        return;
    const size_t c = size_t(count);
    const double n0 = n[0], n1 = n[1], n2 = n[2], n3 = n[3];
    const double m1 = m[0], m2 = m[1], m3 = m[2], m4 = m[3];
    const double d1 = d[0], d2 = d[1], d3 = d[2], d4 = d[3];

    // Causal pass. The first four outputs see the replicated first sample and
    // the steady-state output for it.
    const double* first = in;
    for (int t = 0; t < std::min(length, 4); ++t) {
        for (size_t l = 0; l < c; ++l) {
            auto x = [&](int k) { return k < 0 ? first[l] : in[size_t(k) * c + l]; };
            auto y = [&](int k) { return k < 0 ? causalEdge * first[l] : out[size_t(k) * c + l]; };
            out[size_t(t) * c + l] = (n0 * x(t) + n1 * x(t - 1) + n2 * x(t - 2) + n3 * x(t - 3))
                - (d1 * y(t - 1) + d2 * y(t - 2) + d3 * y(t - 3) + d4 * y(t - 4));
        }
    }
    for (int t = 4; t < length; ++t) {
        const double* x0 = in + size_t(t) * c;
        double* y0 = out + size_t(t) * c;
        CausalRow(x0, x0 - c, x0 - 2 * c, x0 - 3 * c, y0 - c, y0 - 2 * c, y0 - 3 * c, y0 - 4 * c, y0, c, n, d);
    }

    // Anti-causal pass from the last sample back, added to the causal result
    // as it goes. Each line keeps its last four outputs in a ring of four
    // arrays; `ring[(base + k - 1) & 3]` holds y-[t + k].
    m_anti.assign(4 * c, 0.0);
    double* ring[4] = {m_anti.data(), m_anti.data() + c, m_anti.data() + 2 * c, m_anti.data() + 3 * c};
    const double* last = in + size_t(length - 1) * c;
    for (int k = 0; k < 4; ++k)
        for (size_t l = 0; l < c; ++l)
            ring[k][l] = antiCausalEdge * last[l];
    int base = 0;
    auto step = [&](int t, auto&& x) {
        double* y1 = ring[base & 3];
        const double* y2 = ring[(base + 1) & 3];
        const double* y3 = ring[(base + 2) & 3];
        double* y4 = ring[(base + 3) & 3];
        double* o = out + size_t(t) * c;
        // The oldest output (t + 4) is overwritten with the new one (t).
        for (size_t l = 0; l < c; ++l) {
            const double y = (m1 * x(1, l) + m2 * x(2, l) + m3 * x(3, l) + m4 * x(4, l))
                - (d1 * y1[l] + d2 * y2[l] + d3 * y3[l] + d4 * y4[l]);
            y4[l] = y;
            o[l] += y;
        }
        base = (base + 3) & 3;  // the slot just written becomes y-[t] for t - 1
    };
    for (int t = length - 1; t >= std::max(0, length - 4); --t)
        step(t, [&](int k, size_t l) { return t + k >= length ? last[l] : in[size_t(t + k) * c + l]; });
    for (int t = length - 5; t >= 0; --t) {
        const double* x1 = in + size_t(t + 1) * c;
        AntiCausalRow(x1, x1 + c, x1 + 2 * c, x1 + 3 * c, ring[base & 3], ring[(base + 1) & 3], ring[(base + 2) & 3],
                      ring[(base + 3) & 3], out + size_t(t) * c, c, m, d);
        base = (base + 3) & 3;
    }
}

void GaussianOutputBytes(const double* values, uint8_t* bytes, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    // Clamp and truncate two at a time; max/min give the same as the
    // comparisons for every value the filter produces (never NaN).
    const __m128d low = _mm_setzero_pd(), high = _mm_set1_pd(255.0);
    for (; i + 4 <= count; i += 4) {
        const __m128i a = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(_mm_loadu_pd(values + i), low), high));
        const __m128i b = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(_mm_loadu_pd(values + i + 2), low), high));
        const __m128i four = _mm_unpacklo_epi64(a, b);
        const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(four, four), _mm_setzero_si128());
        const int word = _mm_cvtsi128_si32(packed);
        std::memcpy(bytes + i, &word, 4);
    }
#endif
    for (; i < count; ++i)
        bytes[i] = GaussianOutputByte(values[i]);
}

void BlurByteImageLines(uint8_t* image, int width, int height, double sigma, bool rows)
{
    if (width <= 0 || height <= 0)
        return;
    const int length = rows ? width : height;   // samples per line
    const int lineCount = rows ? height : width;
    // Lines are handed out in bands of 20; each band is blurred as one
    // interleaved batch (sample t of the band's line l at t * count + l).
    ForEachRowBand(length, lineCount, false, [=](int l0, int l1) {
        const int count = l1 - l0;
        const size_t c = size_t(count);
        const size_t stride = size_t(width);
        RecursiveGaussian gauss(sigma);
        const size_t samples = size_t(length) * c;
        const auto inStore = std::make_unique_for_overwrite<double[]>(samples);
        const auto outStore = std::make_unique_for_overwrite<double[]>(samples);
        double* const in = inStore.get();
        double* const out = outStore.get();
        if (rows) {
            for (int l = 0; l < count; ++l) {
                const uint8_t* line = image + size_t(l0 + l) * stride;
                for (int t = 0; t < length; ++t)
                    in[size_t(t) * c + size_t(l)] = line[t];
            }
        } else {
            for (int t = 0; t < length; ++t) {
                const uint8_t* line = image + size_t(t) * stride + size_t(l0);
                double* target = in + size_t(t) * c;
                for (size_t l = 0; l < c; ++l)
                    target[l] = line[l];
            }
        }
        gauss.blurInterleaved(in, out, length, count);
        if (rows) {
            const auto bytesStore = std::make_unique_for_overwrite<uint8_t[]>(samples);
            uint8_t* const bytes = bytesStore.get();
            GaussianOutputBytes(out, bytes, samples);
            for (int l = 0; l < count; ++l) {
                uint8_t* line = image + size_t(l0 + l) * stride;
                for (int t = 0; t < length; ++t)
                    line[t] = bytes[size_t(t) * c + size_t(l)];
            }
        } else {
            for (int t = 0; t < length; ++t)
                GaussianOutputBytes(out + size_t(t) * c, image + size_t(t) * stride + size_t(l0), c);
        }
    });
}

} // namespace ombrik
