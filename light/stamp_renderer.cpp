#include "light/stamp_renderer.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace ombrik::embedded {
extern const unsigned char embedded_stamp_fairy_dust_pam[];
extern const std::size_t embedded_stamp_fairy_dust_pam_size;
extern const unsigned char embedded_stamp_firefly_pam[];
extern const std::size_t embedded_stamp_firefly_pam_size;
extern const unsigned char embedded_stamp_sparkle_pam[];
extern const std::size_t embedded_stamp_sparkle_pam_size;
extern const unsigned char embedded_stamp_mist_pam[];
extern const std::size_t embedded_stamp_mist_pam_size;
} // namespace ombrik::embedded

namespace ombrik {

namespace {

// Stamps larger than this (in pixels along a side) are not drawn: no patch
// gets near it, and it keeps every coordinate well inside int and float range.
constexpr float kMaxStampSide = float(1 << 24);

uint8_t ToByte(float v)
{
    const int i = int(v);
    return uint8_t(i < 0 ? 0 : (i > 255 ? 255 : i));
}

// Decodes a PAM file (P7, DEPTH 4, MAXVAL 255) into blue, green, red, alpha.
StampImage DecodePam(const unsigned char* data, size_t size)
{
    StampImage image;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t end = text.find("ENDHDR\n");
    if (text.substr(0, 3) != "P7\n" || end == std::string_view::npos)
        return image;
    int width = 0, height = 0, depth = 0, maxval = 0;
    size_t pos = 3;
    while (pos < end) {
        const size_t eol = text.find('\n', pos);
        const std::string_view line = text.substr(pos, eol - pos);
        auto value = [&](std::string_view key, int& out) {
            if (line.substr(0, key.size()) == key)
                out = std::atoi(std::string(line.substr(key.size())).c_str());
        };
        value("WIDTH ", width);
        value("HEIGHT ", height);
        value("DEPTH ", depth);
        value("MAXVAL ", maxval);
        pos = eol + 1;
    }
    const size_t body = end + 7;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || depth != 4 || maxval != 255 ||
        size - body != size_t(width) * size_t(height) * 4)
        return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(size - body);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i + 0] = data[body + i + 2];
        image.pixels[i + 1] = data[body + i + 1];
        image.pixels[i + 2] = data[body + i + 0];
        image.pixels[i + 3] = data[body + i + 3];
    }
    return image;
}

// One scaled stamp pixel (x, y) of the Bw × Ch enlargement or reduction:
// integer bilinear interpolation with rounding. Rows that would start on the
// last source row stay transparent. The right neighbour of the last source
// column is the last column itself.
inline void ScaledPixel(const StampImage& stamp, int64_t bw, int64_t ch, int64_t x, int64_t y, uint8_t out[4])
{
    const int64_t pw = stamp.width, ph = stamp.height;
    const int64_t row = (y * ph) / ch;
    const int64_t ry = (y * ph) % ch;
    if (row >= ph - 1) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return;
    }
    const int64_t col = (x * pw) / bw;
    const int64_t rx = (x * pw) % bw;
    const int64_t col1 = std::min(col + 1, pw - 1);
    const uint8_t* p00 = &stamp.pixels[size_t((row * pw + col) * 4)];
    const uint8_t* p10 = &stamp.pixels[size_t((row * pw + col1) * 4)];
    const uint8_t* p01 = &stamp.pixels[size_t(((row + 1) * pw + col) * 4)];
    const uint8_t* p11 = &stamp.pixels[size_t(((row + 1) * pw + col1) * 4)];
    const int64_t w00 = (bw - rx) * (ch - ry), w10 = rx * (ch - ry), w01 = (bw - rx) * ry, w11 = rx * ry;
    const int64_t area = bw * ch;
    for (int c = 0; c < 4; ++c)
        out[c] = uint8_t((area / 2 + p00[c] * w00 + p10[c] * w10 + p01[c] * w01 + p11[c] * w11) / area);
}

} // namespace

HlsBytes RgbToHls(int red, int green, int blue)
{
    const int mx = std::max({red, green, blue});
    const int mn = std::min({red, green, blue});
    HlsBytes hls;
    hls.lightness = ((mx + mn) * 255 + 255) / 510;
    if (mx == mn) {
        hls.saturation = 0;
        hls.hue = 170;
        return hls;
    }
    if (hls.lightness <= 127)
        hls.saturation = ((mx - mn) * 255 + (mx + mn) / 2) / (mx + mn);
    else
        hls.saturation = ((mx - mn) * 255 + (510 - mx - mn) / 2) / (510 - mx - mn);
    auto q = [&](int c) { return ((mx - c) * 42 + (mx - mn) / 2) / (mx - mn); };
    int hue;
    if (red == mx)
        hue = q(blue) - q(green);
    else if (green == mx)
        hue = 85 + q(red) - q(blue);
    else
        hue = 170 + q(green) - q(red);
    hls.hue = hue & 0xFF;
    return hls;
}

void HlsToRgb(const HlsBytes& hls, uint8_t* red, uint8_t* green, uint8_t* blue)
{
    const float s = float(hls.saturation) / 255.0f;
    const float l = float(hls.lightness) / 255.0f;
    if (s == 0.0f) {
        *red = *green = *blue = ToByte(l * 255.0f);
        return;
    }
    const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float m1 = 2.0f * l - m2;
    const float h = float(hls.hue) * 1.4117647f;
    auto f = [&](float x) {
        if (x > 360.0f)
            x -= 360.0f;
        else if (x < 0.0f)
            x += 360.0f;
        if (x < 60.0f)
            return m1 + (m2 - m1) * x * 0.016666668f;
        if (x < 180.0f)
            return m2;
        if (x < 240.0f)
            return m1 + (m2 - m1) * (240.0f - x) * 0.016666668f;
        return m1;
    };
    *red = ToByte(f(h + 120.0f) * 255.0f);
    *green = ToByte(f(h) * 255.0f);
    *blue = ToByte(f(h - 120.0f) * 255.0f);
}

StampImage LoadStampImage(int32_t variant)
{
    using namespace embedded;
    switch (variant) {
    case 0: return DecodePam(embedded_stamp_fairy_dust_pam, embedded_stamp_fairy_dust_pam_size);
    case 1: return DecodePam(embedded_stamp_firefly_pam, embedded_stamp_firefly_pam_size);
    case 2: return DecodePam(embedded_stamp_sparkle_pam, embedded_stamp_sparkle_pam_size);
    case 3: return DecodePam(embedded_stamp_mist_pam, embedded_stamp_mist_pam_size);
    default: return {};
    }
}

StampImage RecolourStamp(const StampImage& stamp, uint32_t colour)
{
    const HlsBytes target = RgbToHls(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    // Only the lightness of a stamp pixel survives, so one entry per lightness
    // covers the whole picture.
    std::array<std::array<uint8_t, 3>, 256> byLightness;
    for (int l = 0; l < 256; ++l) {
        uint8_t r, g, b;
        HlsToRgb({target.hue, l, target.saturation}, &r, &g, &b);
        byLightness[size_t(l)] = {b, g, r};
    }
    StampImage out = stamp;
    for (size_t i = 0; i + 3 < out.pixels.size(); i += 4) {
        uint8_t* p = &out.pixels[i];
        const auto& bgr = byLightness[size_t(RgbToHls(p[2], p[1], p[0]).lightness)];
        p[0] = bgr[0];
        p[1] = bgr[1];
        p[2] = bgr[2];
    }
    return out;
}

void DrawStamp(uint8_t* patch, int32_t width, int32_t height, int32_t bytesPerPixel, const StampImage& stamp,
               float scale, float angleDegrees, int cx, int cy)
{
    if (!patch || width <= 0 || height <= 0 || bytesPerPixel < 3 || stamp.width <= 0 || stamp.height <= 0 ||
        stamp.pixels.size() != size_t(stamp.width) * size_t(stamp.height) * 4)
        return;
    const int pw = stamp.width, ph = stamp.height;
    const float B = float(pw) * scale;
    const float Cf = float(ph) * scale;
    if (float(cx) > float(width) + B || float(cx) < -B || float(cy) > float(height) + Cf || float(cy) < -Cf)
        return;
    // A copy under one pixel would divide by zero in the scaling; a NaN or
    // enormous one has no sensible size.
    if (!(B >= 1.0f && Cf >= 1.0f && B < kMaxStampSide && Cf < kMaxStampSide) || !std::isfinite(angleDegrees))
        return;
    const int bw = int(B);
    const int ch = int(scale * float(ph));
    if (ch < 1)
        return;

    // The box that holds the turned copy.
    const float rad = angleDegrees * 3.1415926f / 180.0f;
    const float c = std::cos(rad);
    const float sn = std::sin(rad);
    const float a = float((bw - 1) / 2);
    const float b = float((ch - 1) / 2);
    const int nw = int(std::max(std::fabs(c * a - sn * b - (-c * a + sn * b)),
                                std::fabs((-c * a - sn * b) - (sn * b + c * a))) + 0.5f);
    const int nh = int(std::max(std::fabs((-c * b - a * sn) - (c * b + a * sn)),
                                std::fabs((-c * b + sn * a) - (c * b - a * sn))) + 0.5f);
    if (nw <= 0 || nh <= 0)
        return;
    const float x0 = float(bw - 1) * 0.5f - (sn * float(nh - 1) + c * float(nw - 1)) * 0.5f;
    const float y0 = sn * float(nw - 1) * 0.5f - c * float(nh - 1) * 0.5f + float(ch - 1) * 0.5f;

    // Box row i, column j lands on patch column left + j, row
    // height - 1 - (top + i), and shows box pixel (nw - 1 - j, nh - 1 - i); that
    // box pixel holds the scaled copy's pixel (sx, ch - 1 - sy) found by turning
    // (nw - 1 - j, i). Only the part that lands on the patch is computed.
    const int left = int(float(cx + (bw - nw) / 2) - B / 2.0f);
    const int top = int(float(cy + (ch - nh) / 2) - Cf / 2.0f);
    const int64_t iBegin = std::max<int64_t>(0, -int64_t(top));
    const int64_t iEnd = std::min<int64_t>(nh, int64_t(height) - top);
    const int64_t jBegin = std::max<int64_t>(0, -int64_t(left));
    const int64_t jEnd = std::min<int64_t>(nw, int64_t(width) - left);
    for (int64_t i = iBegin; i < iEnd; ++i) {
        uint8_t* row = patch + size_t(height - 1 - (top + i)) * size_t(width) * size_t(bytesPerPixel);
        for (int64_t j = jBegin; j < jEnd; ++j) {
            const float bj = float(nw - 1 - j);
            const float bi = float(i);
            const int sx = int(x0 + c * bj + sn * bi + 0.5f);
            if (sx < 0 || sx >= bw)
                continue;
            const int sy = int(y0 + c * bi - sn * bj + 0.5f);
            if (sy < 0 || sy >= ch)
                continue;
            uint8_t px[4];
            ScaledPixel(stamp, bw, ch, sx, ch - 1 - sy, px);
            if (px[3] == 0)
                continue;  // a fully transparent pixel leaves the patch as it is
            const float alpha = float(px[3]) / 255.0f;
            const float rest = 1.0f - alpha;
            uint8_t* d = row + size_t(left + j) * size_t(bytesPerPixel);
            for (int k = 0; k < 3; ++k)
                d[k] = ToByte(float(px[k]) * alpha + float(d[k]) * rest);
        }
    }
}

void StampRenderer::reset()
{
    m_variant = 0;
    m_scale = 1.0f;
    m_colour = 0xFFFFFF;
    m_width = 0;
    m_height = 0;
}

void StampRenderer::setSize(int32_t width, int32_t height, int32_t bytesPerPixel)
{
    m_width = width;
    m_height = height;
    m_bytesPerPixel = bytesPerPixel;
}

void StampRenderer::render(const uint8_t* source, uint8_t* destination) const
{
    if (!source || !destination || m_width <= 0 || m_height <= 0 || (m_bytesPerPixel != 3 && m_bytesPerPixel != 4))
        return;
    const size_t bytes = size_t(m_width) * size_t(m_height) * size_t(m_bytesPerPixel);
    if (source != destination)
        std::memcpy(destination, source, bytes);

    const StampImage image = LoadStampImage(m_variant);
    if (image.empty())
        return;
    const StampImage stamp = RecolourStamp(image, m_colour);
    const int w = m_width;
    const int pw = stamp.width;

    if (m_variant == 3) {
        // Mist: one stamp the width of the patch, in its centre.
        const float s = float(w) / float(pw) * m_scale;
        const float angle = float(g_random_double() * 360.0);
        DrawStamp(destination, m_width, m_height, m_bytesPerPixel, stamp, s, angle, w / 2, w / 2);
        return;
    }

    std::srand(unsigned(std::time(nullptr)));
    const bool firefly = m_variant == 1;
    const int count = firefly ? std::rand() % 4 + 1 : std::rand() % 6 + 1;
    const double share = firefly ? 0.2 : 0.4;
    for (int n = 0; n < count; ++n) {
        const double r1 = g_random_double();
        const double r2 = g_random_double();
        const double o = w * share / pw;
        const float s = float((o * r1 + o * 0.25) * m_scale);
        const int u = int(float(pw) * s);
        const int d = w - u;
        const int cx = int(w / 2 + d * r1 - d / 2);
        const int cy = int(w / 2 + d * r2 - d / 2);
        const float angle = float(r2 * 360.0);
        DrawStamp(destination, m_width, m_height, m_bytesPerPixel, stamp, s, angle, cx, cy);
    }
}

} // namespace ombrik
