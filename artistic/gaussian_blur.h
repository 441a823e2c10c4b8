// Recursive (infinite-impulse-response) Gaussian blur: Deriche's fourth-order
// approximation, a causal pass plus an anti-causal pass with four feedback
// terms each, so the cost per sample does not depend on the standard deviation.
// Both ends of a line are extended by replicating the end sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ombrik {

// Standard deviation for a blur radius: the distance at which the Gaussian
// falls to 1/255 of its peak is r.
double GaussianSigmaForRadius(double radius);

class RecursiveGaussian {
public:
    explicit RecursiveGaussian(double sigma);

    // Blurs `count` lines of `length` samples each that are stored interleaved:
    // sample t of line l is at in[t * count + l]. Every line is filtered on its
    // own, exactly as if it were alone, so callers may batch lines freely. The
    // result (causal plus anti-causal pass, unclamped) goes to out, laid out
    // like in. in and out must not overlap.
    void blurInterleaved(const double* in, double* out, int length, int count);

    // Coefficients of the two passes:
    // causal   y+[t] = n0 x[t] + n1 x[t-1] + n2 x[t-2] + n3 x[t-3] - (d1 y+[t-1] + ... + d4 y+[t-4])
    // anti     y-[t] = m1 x[t+1] + ... + m4 x[t+4] - (d1 y-[t+1] + ... + d4 y-[t+4])
    double n[4] = {};
    double m[4] = {};  // m[0] is m1
    double d[4] = {};  // d[0] is d1
    // Steady-state output of each pass per unit of a constant input, used for
    // the samples before the start (causal) and after the end (anti-causal).
    double causalEdge = 0;
    double antiCausalEdge = 0;

private:
    std::vector<double> m_anti;  // anti-causal outputs of the current batch
};

// Blurs a one-byte image of width × height in place with the recursive
// Gaussian, all columns first and then all rows. For every column and every
// row whose index is a multiple of 5, `lineDone(isRow, index)` is called on the
// calling thread, in order (columns, then rows), once the pass that contains
// the line is done. Each stored sample is the filter output clamped to 0..255
// and truncated.
template <typename Callback>
void BlurByteImage(uint8_t* image, int width, int height, double sigma, Callback&& lineDone);

// Blurs every column (every row when `rows`) of a one-byte image in place.
// Lines are independent, so large images are shared between both cores.
void BlurByteImageLines(uint8_t* image, int width, int height, double sigma, bool rows);

template <typename Callback>
void BlurByteImage(uint8_t* image, int width, int height, double sigma, Callback&& lineDone)
{
    BlurByteImageLines(image, width, height, sigma, false);
    for (int x = 0; x < width; x += 5)
        lineDone(false, x);
    BlurByteImageLines(image, width, height, sigma, true);
    for (int y = 0; y < height; y += 5)
        lineDone(true, y);
}

// Clamps a filter output to 0..255 and truncates it.
inline uint8_t GaussianOutputByte(double v)
{
    return uint8_t(v <= 0.0 ? 0 : (v >= 255.0 ? 255 : int(v)));
}

// GaussianOutputByte over `count` values.
void GaussianOutputBytes(const double* values, uint8_t* bytes, size_t count);

} // namespace ombrik
