#include "light/warp_deformer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace ombrik {

namespace {

constexpr int kScratchSide = 2 * kWarpMaxRadius + 1;

// A stroke is cut into steps of at most half the radius; a segment that would
// need more steps than this is not a mouse movement and is ignored.
constexpr double kMaxStrokeSteps = double(1 << 20);

} // namespace

const std::array<double, kWarpFalloffSize>& WarpFalloffTable()
{
    static const std::array<double, kWarpFalloffSize> table = [] {
        std::array<double, kWarpFalloffSize> t{};
        for (int k = 0; k < kWarpFalloffSize; ++k)
            t[size_t(k)] = std::pow((std::cos(std::sqrt(k * 0.004) * std::numbers::pi) + 1.0) * 0.5, 0.7);
        return t;
    }();
    return table;
}

void WarpDeformer::start(int32_t width, int32_t height, int32_t bytesPerPixel, const uint8_t* source,
                         uint8_t* destination)
{
    m_source = nullptr;
    m_destination = nullptr;
    m_field.clear();
    m_field.shrink_to_fit();
    if (!source || !destination || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return;
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
    m_field.assign(size_t(width) * size_t(height) * 2, 0.0);
    if (m_scratch.empty())
        m_scratch.assign(size_t(kScratchSide) * kScratchSide * 2, 0.0);
    m_filter = WarpFalloffTable();
    m_weightRadius = 0;
    m_source = source;
    m_destination = destination;
    if (source != destination)
        std::memcpy(destination, source, size_t(width) * size_t(height) * size_t(bytesPerPixel));
}

void WarpDeformer::setRadius(int32_t radius)
{
    // A radius of 0 would divide by zero in the falloff index.
    m_radius = std::clamp(radius, 1, kWarpMaxRadius);
}

std::array<double, 2> WarpDeformer::displacement(int x, int y) const
{
    if (!started() || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return {0.0, 0.0};
    const size_t at = (size_t(x) + size_t(y) * size_t(m_width)) * 2;
    return {m_field[at], m_field[at + 1]};
}

void WarpDeformer::apply(int x, int y, int previousX, int previousY)
{
    if (!started())
        return;
    if (m_mode != WarpMode::Move) {
        deform(x, y, 0.0, 0.0);
        return;
    }
    // Move: walk from the previous point to (x, y) in steps of at most R / 2,
    // each deformation pulling colour from behind the direction of motion.
    const double qx = previousX, qy = previousY;
    const double ddx = x - qx, ddy = y - qy;
    const double dist = std::sqrt(ddx * ddx + ddy * ddy);
    const double steps = 1.0 + std::trunc(2.0 * dist / m_radius);
    if (!(steps <= kMaxStrokeSteps))
        return;
    const int n = int(steps);
    const double stepX = ddx / n, stepY = ddy / n;
    double cx = qx, cy = qy;
    for (int t = 1; t <= n; ++t) {
        cx += stepX;
        cy += stepY;
        deform(int(cx), int(cy), -stepX, -stepY);
    }
}

std::array<double, 2> WarpDeformer::sampleField(double fx, double fy) const
{
    if (fx < 0.0 || fy < 0.0 || fx >= m_width - 1 || fy >= m_height - 1)
        return {0.0, 0.0};
    const int ix = int(fx), iy = int(fy);
    const double tx = fx - ix, ty = fy - iy;
    const double* a = &m_field[(size_t(ix) + size_t(iy) * size_t(m_width)) * 2];
    const double* b = a + 2;
    const double* c = a + size_t(m_width) * 2;
    const double* d = c + 2;
    std::array<double, 2> out;
    for (int k = 0; k < 2; ++k) {
        const double top = a[k] + tx * (b[k] - a[k]);
        const double bottom = c[k] + tx * (d[k] - c[k]);
        out[size_t(k)] = top + (bottom - top) * ty;
    }
    return out;
}

void WarpDeformer::resample(int px, int py, double sx, double sy)
{
    const int ix = int(sx), iy = int(sy);
    const double tx = sx - ix, ty = sy - iy;
    const size_t bpp = size_t(m_bytesPerPixel);
    const size_t stride = size_t(m_width) * bpp;
    const uint8_t* p0 = m_source + size_t(iy) * stride + size_t(ix) * bpp;
    const uint8_t* p1 = p0 + bpp;
    const uint8_t* p2 = p0 + stride;
    const uint8_t* p3 = p2 + bpp;
    uint8_t* out = m_destination + size_t(py) * stride + size_t(px) * bpp;
    for (int c = 0; c < 3; ++c) {
        const double top = p0[c] + tx * (p1[c] - p0[c]);
        const double bottom = p2[c] + tx * (p3[c] - p2[c]);
        out[c] = uint8_t(int(top + (bottom - top) * ty));
    }
}

void WarpDeformer::deform(int x, int y, double vx, double vy)
{
    switch (m_mode) {
    case WarpMode::Grow: deformAs<WarpMode::Grow>(x, y, vx, vy); break;
    case WarpMode::Shrink: deformAs<WarpMode::Shrink>(x, y, vx, vy); break;
    case WarpMode::Move: deformAs<WarpMode::Move>(x, y, vx, vy); break;
    case WarpMode::Remove: deformAs<WarpMode::Remove>(x, y, vx, vy); break;
    case WarpMode::SwirlCounterClockwise: deformAs<WarpMode::SwirlCounterClockwise>(x, y, vx, vy); break;
    case WarpMode::SwirlClockwise: deformAs<WarpMode::SwirlClockwise>(x, y, vx, vy); break;
    }
}

template <WarpMode Mode>
void WarpDeformer::deformAs(int x, int y, double vx, double vy)
{
    const int r = m_radius;
    // Nothing of the picture lies under a brush centred this far outside.
    if (x < -r || y < -r || x > m_width - 1 + r || y > m_height - 1 + r)
        return;
    const int iFirst = -std::min(x, r);
    const int iLast = x + r < m_width ? r : m_width - x - 1;
    const int jFirst = -std::min(y, r);
    const int jLast = y + r < m_height ? r : m_height - y - 1;
    const int r2 = r * r;
    const int side = 2 * r + 1;
    const double e = 0.2 * r;
    const double amount = m_amount;
    const double lastX = m_width - 1, lastY = m_height - 1;
    // The falloff weight per squared distance i² + j² < r², instead of an
    // integer division per pixel.
    if (m_weightRadius != r || m_weightAmount != amount) {
        m_weightBySquare.resize(size_t(r2));
        for (int d2 = 0; d2 < r2; ++d2)
            m_weightBySquare[size_t(d2)] = amount * m_filter[size_t(d2 * 250 / r2)];
        m_weightRadius = r;
        m_weightAmount = amount;
    }
    const double* weightBySquare = m_weightBySquare.data();

    for (int j = jFirst; j <= jLast; ++j) {
        const int py = y + j;
        // Offsets with (i² + j²) × 250 div r² < 250, that is i² + j² < r²;
        // the rest of the row lies outside the brush.
        const int rest = r2 - j * j;
        if (rest <= 0)
            continue;
        int reach = int(std::sqrt(double(rest)));
        while (reach * reach >= rest)
            --reach;
        while ((reach + 1) * (reach + 1) < rest)
            ++reach;
        const int i0 = std::max(iFirst, -reach), i1 = std::min(iLast, reach);
        double* scratchRow = &m_scratch[(size_t(r + j) * size_t(side) + size_t(r)) * 2];
        const double* fieldRow = &m_field[size_t(py) * size_t(m_width) * 2];
        // Edge damping from the row's distance to the top and bottom borders.
        double rowScale = 1.0;
        if (py < e)
            rowScale = std::min(rowScale, py / e);
        if (lastY - py < e)
            rowScale = std::min(rowScale, (lastY - py) / e);
        for (int i = i0; i <= i1; ++i) {
            const int px = x + i;
            const double w = weightBySquare[i * i + j * j];
            double nx, ny;
            if constexpr (Mode == WarpMode::Remove) {
                const double* f = fieldRow + size_t(px) * 2;
                const double keep = 1.0 - w * 0.5;
                nx = keep * f[0];
                ny = keep * f[1];
            } else {
                double dx, dy;
                if constexpr (Mode == WarpMode::Grow) {
                    dx = -i * w * 0.1;
                    dy = -j * w * 0.1;
                } else if constexpr (Mode == WarpMode::Shrink) {
                    dx = i * w * 0.1;
                    dy = j * w * 0.1;
                } else if constexpr (Mode == WarpMode::SwirlCounterClockwise) {
                    dx = -j * w * 0.5;
                    dy = i * w * 0.5;
                } else if constexpr (Mode == WarpMode::SwirlClockwise) {
                    dx = j * w * 0.5;
                    dy = -i * w * 0.5;
                } else {
                    dx = vx * w;
                    dy = vy * w;
                }
                // Damp displacements near the border so that the border itself
                // never moves.
                double scale = rowScale;
                if (px < e)
                    scale = std::min(scale, px / e);
                if (lastX - px < e)
                    scale = std::min(scale, (lastX - px) / e);
                dx *= scale;
                dy *= scale;
                const std::array<double, 2> o = sampleField(px + dx, py + dy);
                nx = o[0] + dx;
                ny = o[1] + dy;
                if (px + nx < 0.0)
                    nx = -px;
                else if (px + nx > lastX)
                    nx = lastX - px;
                if (py + ny < 0.0)
                    ny = -py;
                else if (py + ny > lastY)
                    ny = lastY - py;
            }
            scratchRow[i * 2] = nx;
            scratchRow[i * 2 + 1] = ny;
            // Resample only where all four neighbours exist; a sample on the
            // last column or row leaves the pixel as it is.
            const double sx = px + nx, sy = py + ny;
            if (sx >= 0.0 && sy >= 0.0 && sx < lastX && sy < lastY)
                resample(px, py, sx, sy);
        }
    }

    // Field look-ups above saw the field as it was before this deformation;
    // only now do the new displacements replace it.
    for (int j = jFirst; j <= jLast; ++j) {
        const int rest = r2 - j * j;
        if (rest <= 0)
            continue;
        const int py = y + j;
        const double* scratchRow = &m_scratch[(size_t(r + j) * size_t(side) + size_t(r)) * 2];
        for (int i = iFirst; i <= iLast; ++i) {
            if (i * i >= rest)
                continue;
            double* f = &m_field[(size_t(x + i) + size_t(py) * size_t(m_width)) * 2];
            f[0] = scratchRow[i * 2];
            f[1] = scratchRow[i * 2 + 1];
        }
    }
}

} // namespace ombrik
