#include "light/lighting_renderer.h"

#include "engine/progress.h"
#include "light/light_rows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ombrik {

double Vector3::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

Vector3 Vector3::normalised() const
{
    const double len = length();
    if (len == 0.0)
        return {};
    return {x / len, y / len, z / len};
}

void LightingRenderer::reset()
{
    m_width = 0;
    m_height = 0;
}

void LightingRenderer::setSize(int width, int height, int bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void LightingRenderer::applyPreset(LightingPreset preset)
{
    const bool spot = preset == LightingPreset::Spotlight;
    m_viewpoint.set(0.5, 0.5, spot ? 0.075 : 0.5);
    for (LightSource& light : m_lights) {
        light.type = kLightNone;
        light.position.set(-1, -1, 1);
        light.direction.set(0, 0, 1);
        light.colour = {1.0, 1.0, 1.0, 1.0};
        light.intensity = 1.0;
        light.active = true;
    }
    LightSource& main = m_lights[0];
    main.type = spot ? kLightDirectional : kLightPoint;
    if (spot)
        main.direction.set(-1.13, 0.68, 0.8);
    else
        main.direction.set(0.74, 0.56, 2.8);
    main.colour = {1.0, 0.1, 0.1, 1.0};
    m_material.ambient = spot ? 0.9 : 0.2;
    m_material.diffuseIntensity = spot ? 0.1 : 0.8;
    m_material.diffuseReflectivity = 0.4;
    m_material.specularReflectivity = spot ? 0.6 : 0.5;
    m_material.highlight = 27.0;
    m_material.metallic = false;
}

void LightingRenderer::setLightColour(int red, int green, int blue)
{
    // Byte order: blue pairs with the picture's byte 0.
    m_lights[0].colour = {blue / 255.0, green / 255.0, red / 255.0, 1.0};
}

void LightingRenderer::setSpotDirection(int ax, int ay, int mx, int my)
{
    const double offX = double(mx) - double(ax);
    const double offY = double(my) - double(ay);
    Vector3& direction = m_lights[0].direction;
    if (ax > 0 && ay > 0) {
        // Both offsets are measured against the larger press coordinate.
        float k = 1.0f, m = 1.0f;
        if (ax > ay)
            k = float(ay) / float(ax);
        else
            m = float(ax) / float(ay);
        direction.set(offX * double(m) / double(ax), offY * double(k) / double(ay), 0.8);
        return;
    }
    // A press on column 0, row 0 or left of / above the picture: the ratio
    // above would divide by zero or flip the direction. Measure against the
    // larger press coordinate while that is positive, else the longer side.
    double scale = double(std::max(ax, ay));
    if (scale < 1.0)
        scale = double(std::max({m_width, m_height, 1}));
    direction.set(offX / scale, offY / scale, 0.8);
}

void LightingRenderer::setViewpoint(int ax, int ay, double z)
{
    // Half sizes of a 1-pixel side are 0; use 1 there so that no ratio divides by zero.
    const int w2 = std::max(m_width / 2, 1);
    const int h2 = std::max(m_height / 2, 1);
    float sx, sy;
    if (w2 > h2) {
        sx = 0.5f;
        sy = 0.5f * float(h2) / float(w2);
    } else {
        sx = 0.5f * float(w2) / float(h2);
        sy = 0.5f;
    }
    m_viewpoint.set(0.5 + double(sx) * (double(ax) - w2) / w2, 0.5 + double(sy) * (double(ay) - h2) / h2, z);
}

void LightingRenderer::setSpotViewpoint(int ax, int ay)
{
    setViewpoint(ax, ay, 0.075);
}

void LightingRenderer::setNearViewpoint(int ax, int ay)
{
    setViewpoint(ax, ay, 0.5);
}

void LightingRenderer::setLightPosition(int ax, int ay, int mx, int my)
{
    const int w2 = std::max(m_width / 2, 1);
    const int h2 = std::max(m_height / 2, 1);
    m_lights[0].position.set((double(mx) - double(ax)) * 1.5 / w2 + 0.5, (double(my) - double(ay)) * 1.5 / h2 + 0.5,
                             1.0);
}

namespace {

// One lit slot with everything that does not depend on the pixel worked out.
struct PreparedLight {
    bool point = false;
    Vector3 source;         // position of a point light
    Vector3 l2;             // directional: the unit light vector normalised once more
    double nl = 0;          // directional: 2 N·L, not below 0
    RgbColor k;             // colour × intensity
    RgbColor kd;            // k × diffuse intensity
    RgbColor ks;            // k × specular reflectivity (non-metallic)
};

struct Column {
    double px = 0;   // surface x of the column
    double u = 0;    // picture x to read
    int ix = 0;      // rounded u
    double fx = 0;   // fraction of u
};

struct RowSetup {
    double py = 0, v = 0, fy = 0;
    int iy = 0;
};

// byte / 255 for every byte value.
const std::array<double, 256> kByteValue = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = i / 255.0;
    return t;
}();

// The clamp of the colour helpers, inlined for the pixel loop: above 1 gives 1,
// anything not >= 0 gives 0.
inline double Clamp01(double v)
{
    return v > 1.0 ? 1.0 : (v >= 0.0 ? v : 0.0);
}

} // namespace

bool LightingRenderer::render(const PixelBuffer& source, PixelBuffer& destination) const
{
    const int w = m_width, h = m_height;
    if (w <= 0 || h <= 0 || m_bytesPerPixel != 3 || source.width != w || source.height != h
        || source.bytesPerPixel != 3 || destination.width != w || destination.height != h
        || destination.bytesPerPixel != 3 || source.byteCount() != size_t(w) * size_t(h) * 3
        || destination.byteCount() != source.byteCount())
        return false;

    // Look-ups always read the source; shading in place would read rows
    // already written.
    PixelBuffer aliasCopy;
    const uint8_t* src = source.data();
    if (&source == &destination) {
        aliasCopy = source;
        src = aliasCopy.data();
    }
    uint8_t* dst = destination.data();

    const ColourHelpers& colours = kLightingColours;
    std::vector<PreparedLight> lights;
    for (const LightSource& slot : m_lights) {
        if (!slot.active || slot.type == kLightNone)
            continue;
        PreparedLight p;
        p.point = slot.type == kLightPoint;
        p.source = p.point ? slot.position : slot.direction;
        p.k = slot.colour;
        colours.multiply(&p.k, slot.intensity);
        p.kd = p.k;
        colours.multiply(&p.kd, m_material.diffuseIntensity);
        p.ks = p.k;
        colours.multiply(&p.ks, m_material.specularReflectivity);
        if (!p.point) {
            Vector3 l = p.source.normalised();
            const double d = l.length();
            if (d != 0)
                l = l.scaled(1.0 / d);
            p.nl = std::max(2.0 * l.z, 0.0);
            p.l2 = l.normalised();
        }
        lights.push_back(p);
    }

    // Picture to surface and back, per column and per row.
    const double dw = w, dh = h;
    const bool wide = w >= h;
    const double offset = wide ? (1.0 - dh / dw) * 0.5 : (1.0 - dw / dh) * 0.5;
    std::vector<Column> columns(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        Column& c = columns[size_t(x)];
        if (wide) {
            c.px = x / dw;
            c.u = c.px * (w - 1);
        } else {
            c.px = x / dh + offset;
            c.u = (c.px - offset) * (h - 1);
        }
        c.ix = int(std::floor(c.u + 0.5));
        c.fx = c.u - std::floor(c.u);
    }
    auto rowSetup = [&](int y) {
        RowSetup r;
        if (wide) {
            r.py = offset + y / dw;
            r.v = (r.py - offset) * (w - 1);
        } else {
            r.py = y / dh;
            r.v = r.py * (h - 1);
        }
        r.iy = int(std::floor(r.v + 0.5));
        r.fy = r.v - std::floor(r.v);
        return r;
    };

    const SurfaceMaterial& mat = m_material;
    const Vector3 eye = m_viewpoint;

    // Bilinear look-up with the fractions of u and v (not of u − ix). Every
    // picture pixel has alpha 1, so the alpha-weighted blend divides by the
    // blended alpha a, which can differ from 1 by rounding.
    auto lookUp = [&](const Column& col, const RowSetup& row, double out[3]) {
        const int ix = col.ix, iy = row.iy;
        if (ix < 0 || iy < 0 || ix >= w || iy >= h) {
            out[0] = out[1] = out[2] = 0.0;
            return;
        }
        const uint8_t* p00 = src + (size_t(iy) * size_t(w) + size_t(ix)) * 3;
        if (ix + 1 >= w || iy + 1 >= h) {
            for (int k = 0; k < 3; ++k)
                out[k] = kByteValue[p00[k]];
            return;
        }
        const uint8_t* p10 = p00 + 3;
        const uint8_t* p01 = p00 + size_t(w) * 3;
        const uint8_t* p11 = p01 + 3;
        const double fx = col.fx, fy = row.fy, gx = 1.0 - fx, gy = 1.0 - fy;
        const double a = gy * (gx * 1.0 + fx * 1.0) + fy * (gx * 1.0 + fx * 1.0);
        if (!(a > 0)) {
            out[0] = out[1] = out[2] = 0.0;
            return;
        }
        for (int k = 0; k < 3; ++k) {
            const double blend = gy * (gx * kByteValue[p00[k]] + fx * kByteValue[p10[k]])
                + fy * (gx * kByteValue[p01[k]] + fx * kByteValue[p11[k]]);
            out[k] = a == 1.0 ? blend : blend / a;
        }
    };

    // The plane normal is (0, 0, 1), so N · X is exactly X.z for the finite
    // vectors met here, and only the z of the half vector is needed.
    const double highlight = mat.highlight;
    const double specular = mat.specularReflectivity;
    auto renderRow = [&](int y) {
        const RowSetup row = rowSetup(y);
        uint8_t* out = dst + size_t(y) * size_t(w) * 3;
        const double ey = eye.y - row.py;
        const double ez = eye.z;
        for (int x = 0; x < w; ++x) {
            const Column& col = columns[size_t(x)];
            double c[3];
            lookUp(col, row, c);
            double acc[3] = {c[0] * mat.ambient, c[1] * mat.ambient, c[2] * mat.ambient};
            const double ex = eye.x - col.px;
            const double vlen = std::sqrt(ex * ex + ey * ey + ez * ez);
            Vector3 view;
            if (vlen != 0.0)
                view = {ex / vlen, ey / vlen, ez / vlen};
            for (const PreparedLight& light : lights) {
                Vector3 l2 = light.l2;
                double nl = light.nl;
                if (light.point) {
                    Vector3 l{light.source.x - col.px, light.source.y - row.py, light.source.z};
                    const double d = l.length();
                    if (d != 0)
                        l = l.scaled(1.0 / d);
                    nl = std::max(2.0 * l.z, 0.0);
                    l2 = l.normalised();
                }
                const Vector3 half = l2 + view;
                const double hlen = half.length();
                double s = hlen != 0.0 ? half.z / hlen : 0.0;
                if (s < 0.01)
                    s = 0.01;
                const double t = std::pow(s, highlight) * nl;
                for (int k = 0; k < 3; ++k) {
                    const double kd = k == 0 ? light.kd.r : (k == 1 ? light.kd.g : light.kd.b);
                    const double highlight = mat.metallic
                        ? (k == 0 ? light.k.r : (k == 1 ? light.k.g : light.k.b)) * c[k] * specular * t
                        : (k == 0 ? light.ks.r : (k == 1 ? light.ks.g : light.ks.b)) * t;
                    acc[k] += Clamp01(kd * c[k] * nl + highlight);
                }
            }
            out[3 * x] = uint8_t(int(Clamp01(acc[0]) * 255.0));
            out[3 * x + 1] = uint8_t(int(Clamp01(acc[1]) * 255.0));
            out[3 * x + 2] = uint8_t(int(Clamp01(acc[2]) * 255.0));
        }
    };

    const double total = double(w) * double(h);
    ForEachLightRow(w, h, false, renderRow, [&](int y) {
        const double k = double(y) * double(w);
        ReportProgress(int((k + 1.0) / total * 100.0));
    });
    return true;
}

} // namespace ombrik
