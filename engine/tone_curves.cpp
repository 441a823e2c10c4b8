#include "engine/tone_curves.h"

#include <algorithm>
#include <cmath>

namespace ombrik {

bool Levels::valid() const
{
    return std::isfinite(black) && std::isfinite(gamma) && std::isfinite(white) && black >= 0 && white <= 255
        && black + 1 <= white && gamma >= kMinGamma && gamma <= kMaxGamma;
}

double Levels::map(double level) const
{
    const double n = std::clamp((level - black) / (white - black), 0.0, 1.0);
    return 255 * (gamma == 1 ? n : std::pow(n, 1 / gamma));
}

bool Curve::isIdentity() const
{
    if (points.empty())
        return true;
    return points.front().x == 0 && points.back().x == 255
        && std::all_of(points.begin(), points.end(), [](const CurvePoint& p) { return p.x == p.y; });
}

bool Curve::valid() const
{
    if (points.empty())
        return true;
    if (points.size() < 2 || points.size() > size_t(kMaxPoints))
        return false;
    for (size_t i = 0; i < points.size(); ++i) {
        const CurvePoint& p = points[i];
        if (p.x < 0 || p.x > 255 || p.y < 0 || p.y > 255 || (i > 0 && p.x <= points[i - 1].x))
            return false;
    }
    return true;
}

Curve Curve::linear()
{
    return Curve{{{0, 0}, {255, 255}}};
}

CurveSpline::CurveSpline(const Curve& curve)
{
    const Curve c = curve.valid() && !curve.points.empty() ? curve : Curve::linear();
    const size_t n = c.points.size();
    for (const CurvePoint& p : c.points) {
        m_x.push_back(p.x);
        m_y.push_back(p.y);
    }
    // Fritsch–Carlson: secant slopes, tangents averaged where the secants
    // agree in sign and 0 at a turn, then shortened where they would let a
    // piece overshoot its ends.
    std::vector<double> secant(n - 1);
    for (size_t k = 0; k + 1 < n; ++k)
        secant[k] = (m_y[k + 1] - m_y[k]) / (m_x[k + 1] - m_x[k]);
    m_slope.assign(n, 0.0);
    m_slope[0] = secant[0];
    m_slope[n - 1] = secant[n - 2];
    for (size_t k = 1; k + 1 < n; ++k)
        m_slope[k] = secant[k - 1] * secant[k] > 0 ? (secant[k - 1] + secant[k]) / 2 : 0.0;
    for (size_t k = 0; k + 1 < n; ++k) {
        if (secant[k] == 0) {
            m_slope[k] = m_slope[k + 1] = 0;
            continue;
        }
        const double a = m_slope[k] / secant[k], b = m_slope[k + 1] / secant[k];
        if (a < 0)
            m_slope[k] = 0;
        if (b < 0)
            m_slope[k + 1] = 0;
        const double r = a * a + b * b;
        if (r > 9) {
            const double t = 3 / std::sqrt(r);
            m_slope[k] = t * a * secant[k];
            m_slope[k + 1] = t * b * secant[k];
        }
    }
}

double CurveSpline::operator()(double x) const
{
    if (x <= m_x.front())
        return m_y.front();
    if (x >= m_x.back())
        return m_y.back();
    const size_t k = size_t(std::upper_bound(m_x.begin(), m_x.end(), x) - m_x.begin()) - 1;
    const double h = m_x[k + 1] - m_x[k];
    const double t = (x - m_x[k]) / h, t2 = t * t, t3 = t2 * t;
    const double y = (2 * t3 - 3 * t2 + 1) * m_y[k] + (t3 - 2 * t2 + t) * h * m_slope[k]
        + (-2 * t3 + 3 * t2) * m_y[k + 1] + (t3 - t2) * h * m_slope[k + 1];
    // Within the two points' outputs (the tangents guarantee it up to rounding).
    return std::clamp(y, std::min(m_y[k], m_y[k + 1]), std::max(m_y[k], m_y[k + 1]));
}

Curve PresetCurve(CurvePreset preset)
{
    switch (preset) {
    case CurvePreset::SoftS:
        return Curve{{{0, 0}, {64, 56}, {192, 200}, {255, 255}}};
    case CurvePreset::StrongS:
        return Curve{{{0, 0}, {64, 44}, {192, 214}, {255, 255}}};
    case CurvePreset::LiftShadows:
        return Curve{{{0, 0}, {48, 72}, {128, 148}, {255, 255}}};
    case CurvePreset::Linear:
        break;
    }
    return Curve::linear();
}

bool ToneMaps::isIdentity() const
{
    return std::all_of(levels.begin(), levels.end(), [](const Levels& l) { return l.isIdentity(); })
        && std::all_of(curves.begin(), curves.end(), [](const Curve& c) { return c.isIdentity(); });
}

bool ToneMaps::valid() const
{
    return std::all_of(levels.begin(), levels.end(), [](const Levels& l) { return l.valid(); })
        && std::all_of(curves.begin(), curves.end(), [](const Curve& c) { return c.valid(); });
}

ToneMapper::ToneMapper(const ToneMaps& maps)
{
    for (int c = 0; c < kToneChannels; ++c) {
        const Levels& l = maps.levels[size_t(c)];
        // Invalid levels are left out rather than guessed at.
        m_levels[size_t(c)] = l.valid() ? l : Levels();
        const Curve& curve = maps.curves[size_t(c)];
        m_curved[size_t(c)] = curve.valid() && !curve.isIdentity();
        m_curves.emplace_back(m_curved[size_t(c)] ? curve : Curve::linear());
        m_identity = m_identity && m_levels[size_t(c)].isIdentity() && !m_curved[size_t(c)];
    }
}

double ToneMapper::map(ToneChannel channel, double v) const
{
    const size_t c = size_t(channel), all = size_t(ToneChannel::Rgb);
    if (channel != ToneChannel::Rgb && !m_levels[c].isIdentity())
        v = m_levels[c].map(v);
    if (!m_levels[all].isIdentity())
        v = m_levels[all].map(v);
    if (channel != ToneChannel::Rgb && m_curved[c])
        v = m_curves[c](v);
    if (m_curved[all])
        v = m_curves[all](v);
    return v;
}

bool PickLevels(std::array<Levels, kToneChannels>& levels, LevelsPick pick, const std::array<double, 3>& rgb)
{
    std::array<Levels, kToneChannels> out = levels;
    double target = 0;
    if (pick == LevelsPick::Grey) {
        // The grey keeps the brightness the channels' levels give it now.
        for (int c = 0; c < 3; ++c)
            target += out[size_t(c + 1)].map(rgb[size_t(c)]) / 255 / 3;
        if (!(target > 0.01 && target < 0.99))
            return false;
    }
    for (int c = 0; c < 3; ++c) {
        Levels& l = out[size_t(c + 1)];
        const double v = rgb[size_t(c)];
        if (!std::isfinite(v))
            return false;
        switch (pick) {
        case LevelsPick::Black:
            l.black = std::max(0.0, v);
            break;
        case LevelsPick::White:
            l.white = std::min(255.0, v);
            break;
        case LevelsPick::Grey: {
            const double n = (v - l.black) / (l.white - l.black);
            if (!(n > 0.01 && n < 0.99))
                return false;
            // n^(1/gamma) = target.
            l.gamma = std::clamp(std::log(n) / std::log(target), Levels::kMinGamma, Levels::kMaxGamma);
            break;
        }
        }
        if (!l.valid())
            return false;
    }
    levels = out;
    return true;
}

} // namespace ombrik
