#include "engine/colour.h"

#include <glib.h>

namespace ombrik {

void ReportFailedPrecondition(const char* module, int line, const char* condition)
{
    g_log(nullptr, G_LOG_LEVEL_CRITICAL, "file %s: line %d: assertion `%s' failed", module, line, condition);
}

// Soft precondition: report and leave the operation without effect.
#define OMBRIK_RETURN_IF_FAIL(expr)                                    \
    do {                                                                \
        if (!(expr)) {                                                  \
            ReportFailedPrecondition(m_module, __LINE__, #expr);        \
            return;                                                     \
        }                                                               \
    } while (0)

#define OMBRIK_RETURN_VAL_IF_FAIL(expr, val)                           \
    do {                                                                \
        if (!(expr)) {                                                  \
            ReportFailedPrecondition(m_module, __LINE__, #expr);        \
            return (val);                                               \
        }                                                               \
    } while (0)

void ColourHelpers::setAlpha(RgbColor* rgba, double a) const
{
    OMBRIK_RETURN_IF_FAIL(rgba != NULL);
    rgba->a = a;
}

static double Clamp01(double v)
{
    if (v > 1.0)
        return 1.0;
    if (!(v >= 0.0))
        return 0.0;
    return v;
}

void ColourHelpers::clamp(RgbColor* rgb) const
{
    OMBRIK_RETURN_IF_FAIL(rgb != NULL);
    rgb->r = Clamp01(rgb->r);
    rgb->g = Clamp01(rgb->g);
    rgb->b = Clamp01(rgb->b);
    rgb->a = Clamp01(rgb->a);
}

void ColourHelpers::add(RgbColor* rgb1, const RgbColor* rgb2) const
{
    OMBRIK_RETURN_IF_FAIL(rgb1 != NULL);
    OMBRIK_RETURN_IF_FAIL(rgb2 != NULL);
    rgb1->r += rgb2->r;
    rgb1->g += rgb2->g;
    rgb1->b += rgb2->b;
}

void ColourHelpers::multiply(RgbColor* rgb, double factor) const
{
    OMBRIK_RETURN_IF_FAIL(rgb != NULL);
    rgb->r *= factor;
    rgb->g *= factor;
    rgb->b *= factor;
}

static uint8_t ChannelToByte(double v)
{
    return uint8_t(int(Clamp01(v) * 255.0 + 0.5));
}

void ColourHelpers::toBytes(const RgbColor* rgb, uint8_t* red, uint8_t* green, uint8_t* blue) const
{
    OMBRIK_RETURN_IF_FAIL(rgb != NULL);
    if (red)
        *red = ChannelToByte(rgb->r);
    if (green)
        *green = ChannelToByte(rgb->g);
    if (blue)
        *blue = ChannelToByte(rgb->b);
}

double ColourHelpers::maximum(const RgbColor* rgb) const
{
    OMBRIK_RETURN_VAL_IF_FAIL(rgb != NULL, 0.0);
    if (rgb->r > rgb->g)
        return rgb->r > rgb->b ? rgb->r : rgb->b;
    return rgb->g > rgb->b ? rgb->g : rgb->b;
}

double ColourHelpers::minimum(const RgbColor* rgb) const
{
    OMBRIK_RETURN_VAL_IF_FAIL(rgb != NULL, 0.0);
    if (rgb->r < rgb->g)
        return rgb->r < rgb->b ? rgb->r : rgb->b;
    return rgb->g < rgb->b ? rgb->g : rgb->b;
}

void ColourHelpers::toHsv(const RgbColor* rgb, HsvColor* hsv) const
{
    OMBRIK_RETURN_IF_FAIL(rgb != NULL);
    OMBRIK_RETURN_IF_FAIL(hsv != NULL);
    const double max = maximum(rgb);
    const double min = minimum(rgb);
    const double delta = max - min;
    hsv->v = max;
    if (delta > 0.0001) {
        hsv->s = delta / max;
        if (rgb->r == max) {
            hsv->h = (rgb->g - rgb->b) / delta;
            if (hsv->h < 0.0)
                hsv->h += 6.0;
        } else if (rgb->g == max) {
            hsv->h = 2.0 + (rgb->b - rgb->r) / delta;
        } else if (rgb->b == max) {
            hsv->h = 4.0 + (rgb->r - rgb->g) / delta;
        }
        hsv->h *= 1.0 / 6.0;
    } else {
        hsv->h = 0.0;
        hsv->s = 0.0;
    }
    hsv->a = rgb->a;
}

void ColourHelpers::fromHsv(const HsvColor* hsv, RgbColor* rgb) const
{
    OMBRIK_RETURN_IF_FAIL(hsv != NULL);
    OMBRIK_RETURN_IF_FAIL(rgb != NULL);
    if (hsv->s == 0.0) {
        rgb->r = hsv->v;
        rgb->g = hsv->v;
        rgb->b = hsv->v;
    } else {
        double hue = hsv->h;
        if (hue == 1.0 || hue != hue)
            hue = 0.0;
        hue *= 6.0;
        const int i = int(hue);
        const double f = hue - i;
        const double w = hsv->v * (1.0 - hsv->s);
        const double q = hsv->v * (1.0 - hsv->s * f);
        const double t = hsv->v * (1.0 - hsv->s * (1.0 - f));
        switch (i) {
        case 0: rgb->r = hsv->v; rgb->g = t; rgb->b = w; break;
        case 1: rgb->r = q; rgb->g = hsv->v; rgb->b = w; break;
        case 2: rgb->r = w; rgb->g = hsv->v; rgb->b = t; break;
        case 3: rgb->r = w; rgb->g = q; rgb->b = hsv->v; break;
        case 4: rgb->r = t; rgb->g = w; rgb->b = hsv->v; break;
        case 5: rgb->r = hsv->v; rgb->g = w; rgb->b = q; break;
        default: break;
        }
    }
    rgb->a = hsv->a;
}

} // namespace ombrik
