// Levels and curves: per-channel tone maps on encoded levels 0..255, for all
// three channels together (RGB) and for red, green and blue on their own.
//
// Levels stretch the range between a black and a white point to the whole
// range and bend the mid-tones by a gamma. A curve passes through points set
// by the user; between two points it is a monotone cubic (Fritsch–Carlson
// tangents), so it is smooth, never overshoots its points and keeps tones in
// order wherever the points do; outside the first and last point it is flat.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace ombrik {

// Which channel a level or curve acts on: all three, or one of them.
enum class ToneChannel { Rgb, Red, Green, Blue };
constexpr int kToneChannels = 4;

struct Levels {
    static constexpr double kMinGamma = 0.1;
    static constexpr double kMaxGamma = 10.0;

    double black = 0;    // input level that becomes 0
    double gamma = 1;    // > 1 brightens the mid-tones, < 1 darkens them
    double white = 255;  // input level that becomes 255

    bool isIdentity() const { return black == 0 && gamma == 1 && white == 255; }
    // Finite; 0 <= black, black + 1 <= white <= 255; gamma within its range.
    bool valid() const;
    // The output (0..255, not rounded) for an input 0..255.
    double map(double level) const;
    bool operator==(const Levels&) const = default;
};

struct CurvePoint {
    int x = 0;  // input level 0..255
    int y = 0;  // output level 0..255
    bool operator==(const CurvePoint&) const = default;
};

struct Curve {
    static constexpr int kMaxPoints = 16;

    // Rising x; no points at all is the straight line.
    std::vector<CurvePoint> points;

    // No points, or only points on the diagonal from (0, 0) to (255, 255).
    bool isIdentity() const;
    // Empty, or 2..kMaxPoints points, each inside 0..255, x strictly rising.
    bool valid() const;
    bool operator==(const Curve&) const = default;

    // The straight line's two end points.
    static Curve linear();
};

// A curve ready to evaluate: its points and tangents.
class CurveSpline {
public:
    explicit CurveSpline(const Curve& curve);
    // The output (0..255, not rounded) for an input 0..255.
    double operator()(double x) const;

private:
    std::vector<double> m_x, m_y, m_slope;
};

// The named starting curves of the Curves section.
enum class CurvePreset { Linear, SoftS, StrongS, LiftShadows };
constexpr int kCurvePresets = 4;
Curve PresetCurve(CurvePreset preset);

// The levels and curves of an adjustment as one map per channel: channel
// levels, then RGB levels, then the channel curve, then the RGB curve.
struct ToneMaps {
    std::array<Levels, kToneChannels> levels{};
    std::array<Curve, kToneChannels> curves{};

    bool isIdentity() const;
    bool valid() const;
    bool operator==(const ToneMaps&) const = default;
};

// Evaluates ToneMaps for one channel (Red, Green or Blue) on levels 0..255.
class ToneMapper {
public:
    explicit ToneMapper(const ToneMaps& maps);
    bool identity() const { return m_identity; }
    double map(ToneChannel channel, double level) const;

private:
    std::array<Levels, kToneChannels> m_levels{};
    std::vector<CurveSpline> m_curves;  // by channel; a straight line where a curve is identity or invalid
    std::array<bool, kToneChannels> m_curved{};
    bool m_identity = true;
};

// The eyedroppers of Levels: the picked colour (0..255 per channel, as the
// stage before levels gives it) becomes black, white or a neutral grey by
// setting the red, green and blue levels. False, and nothing changed, when the
// colour cannot serve: too close to the other end point, or, for grey, a
// channel at or beyond black or white.
enum class LevelsPick { Black, White, Grey };
bool PickLevels(std::array<Levels, kToneChannels>& levels, LevelsPick pick, const std::array<double, 3>& rgb);

} // namespace ombrik
