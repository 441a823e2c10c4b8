// The warp brush: bends the photo under a circular brush by accumulating, for
// every pixel, a displacement into the base image it takes its colour from.
// Move drags the content along a stroke, grow and shrink swell or pinch it,
// the swirls turn it, and remove ("Reduce Warp") eases the displacements back
// towards the base image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace ombrik {

enum class WarpMode : int32_t {
    Grow = 0,
    Shrink = 1,
    Move = 2,
    Remove = 3,
    SwirlCounterClockwise = 4,
    SwirlClockwise = 5,
};

inline constexpr int kWarpMaxRadius = 250;
inline constexpr int kWarpFalloffSize = 250;

// filter[k] = ((cos(sqrt(k / 250) × pi) + 1) / 2)^0.7: 1 at the brush centre,
// almost 0 at its rim; k is the squared distance in 250ths of the squared radius.
const std::array<double, kWarpFalloffSize>& WarpFalloffTable();

class WarpDeformer {
public:
    // Brush settings as the Warp panel starts them.
    static constexpr int kInitialRadius = 20;
    static constexpr int kInitialAmountPosition = 30;

    WarpDeformer() = default;
    WarpDeformer(const WarpDeformer&) = delete;
    WarpDeformer& operator=(const WarpDeformer&) = delete;

    // Takes `source` as the base image and `destination` as the displayed photo
    // (both width × height × bytesPerPixel, bytesPerPixel 3 or 4, kept by the
    // caller until the next start), clears every displacement and copies the
    // base into the photo. Bad descriptors leave the deformer idle.
    void start(int32_t width, int32_t height, int32_t bytesPerPixel, const uint8_t* source, uint8_t* destination);

    // Brush radius in picture pixels; 0 (which the slider allows) works as 1
    // and anything above 250 as 250.
    void setRadius(int32_t radius);
    // Slider position 0..100; the amount is position × 0.01.
    void setAmount(int32_t position) { m_amount = position * 0.01; }
    void setMode(WarpMode mode) { m_mode = mode; }

    int32_t radius() const { return m_radius; }
    double amount() const { return m_amount; }
    WarpMode mode() const { return m_mode; }

    // One brush application. In move mode a stroke from the previous point to
    // (x, y); in every other mode one deformation centred at (x, y). Points
    // outside the picture are allowed.
    void apply(int x, int y, int previousX, int previousY);

    bool started() const { return m_destination != nullptr; }
    // Accumulated displacement of pixel (x, y): where, relative to the pixel,
    // it now takes its colour from in the base image. (0, 0) outside.
    std::array<double, 2> displacement(int x, int y) const;

private:
    void deform(int x, int y, double vx, double vy);
    template <WarpMode Mode>
    void deformAs(int x, int y, double vx, double vy);
    std::array<double, 2> sampleField(double fx, double fy) const;
    void resample(int px, int py, double sx, double sy);

    int32_t m_radius = kInitialRadius;
    double m_amount = kInitialAmountPosition * 0.01;
    WarpMode m_mode = WarpMode::Move;

    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_bytesPerPixel = 3;
    const uint8_t* m_source = nullptr;
    uint8_t* m_destination = nullptr;
    std::vector<double> m_field;    // (dx, dy) per pixel, row-major
    std::vector<double> m_scratch;  // (dx, dy) per brush offset of one deformation
    std::array<double, kWarpFalloffSize> m_filter{};
    // amount × filter[(i² + j²) × 250 div R²] for each i² + j² < R², for the
    // radius and amount it was built with.
    std::vector<double> m_weightBySquare;
    int32_t m_weightRadius = 0;
    double m_weightAmount = 0.0;
};

} // namespace ombrik
