// Pixel helpers and the floating-point colour helpers.
#include "engine/colour.h"
#include "engine/pixel_buffer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ombrik;

TEST(PixelHelpers, LuminanceOfPrimariesAndWhite)
{
    const uint8_t red[3] = {0, 0, 255}, blue[3] = {255, 0, 0}, white[3] = {255, 255, 255};
    EXPECT_EQ(PixelLuminance(red, 3), 54);
    EXPECT_EQ(PixelLuminance(blue, 3), 18);
    EXPECT_EQ(PixelLuminance(white, 3), 254);
    const uint8_t grey[2] = {77, 200};
    EXPECT_EQ(PixelLuminance(grey, 1), 77);
    EXPECT_EQ(PixelLuminance(grey, 2), 77);
    EXPECT_EQ(PixelLuminance(white, 5), 0);
}

TEST(PixelHelpers, CopyCarriesExactlyTheGivenBytes)
{
    const uint8_t src[4] = {1, 2, 3, 4};
    uint8_t dst[4] = {9, 9, 9, 9};
    PixelCopy(dst, src, 3);
    EXPECT_EQ(std::vector<uint8_t>(dst, dst + 4), (std::vector<uint8_t>{1, 2, 3, 9}));
    PixelCopy(dst, src, 4);
    EXPECT_EQ(dst[3], 4);
    uint8_t untouched[4] = {9, 9, 9, 9};
    PixelCopy(untouched, src, 5);
    PixelCopy(untouched, src, 0);
    EXPECT_EQ(std::vector<uint8_t>(untouched, untouched + 4), (std::vector<uint8_t>{9, 9, 9, 9}));
}

TEST(PixelHelpers, AddressAndBuffer)
{
    PixelBuffer b(7, 3, 3);
    EXPECT_EQ(b.byteCount(), 63u);
    EXPECT_EQ(PixelAddress(b.data(), 7, 3, 2, 1) - b.data(), (2 + 7) * 3);
    EXPECT_EQ(b.at(6, 2) - b.data(), (6 + 14) * 3);
    PixelBuffer none(0, 5, 3);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(PixelByteCount(-1, 4, 3), 0u);
}

TEST(ColourHelpers, ToBytesRoundsAndClamps)
{
    RgbColor c{0.5, 1.2, -0.1, 1.0};
    uint8_t r = 0, g = 0, b = 7;
    kLightingColours.toBytes(&c, &r, &g, &b);
    EXPECT_EQ(r, 128);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 0);
    // Missing outputs are skipped.
    kLightingColours.toBytes(&c, nullptr, &g, nullptr);
    EXPECT_EQ(g, 255);
}

TEST(ColourHelpers, ClampAddMultiplyMaxMin)
{
    RgbColor c{1.5, -2.0, std::numeric_limits<double>::quiet_NaN(), 0.3};
    kNovaColours.clamp(&c);
    EXPECT_EQ(c.r, 1.0);
    EXPECT_EQ(c.g, 0.0);
    EXPECT_EQ(c.b, 0.0);
    EXPECT_EQ(c.a, 0.3);

    RgbColor a{0.1, 0.2, 0.3, 0.9}, d{0.5, 0.5, 0.5, 0.1};
    kNovaColours.add(&a, &d);
    EXPECT_DOUBLE_EQ(a.r, 0.6);
    EXPECT_DOUBLE_EQ(a.b, 0.8);
    EXPECT_EQ(a.a, 0.9);
    kNovaColours.multiply(&a, 2.0);
    EXPECT_DOUBLE_EQ(a.g, 1.4);
    EXPECT_EQ(a.a, 0.9);
    kNovaColours.setAlpha(&a, 0.25);
    EXPECT_EQ(a.a, 0.25);

    RgbColor m{0.2, 0.7, 0.4, 0};
    EXPECT_EQ(kMagicBrushColours.maximum(&m), 0.7);
    EXPECT_EQ(kMagicBrushColours.minimum(&m), 0.2);
}

TEST(ColourHelpers, HsvOfPrimariesAndGreys)
{
    HsvColor hsv;
    RgbColor red{1, 0, 0, 0.5};
    kLightingColours.toHsv(&red, &hsv);
    EXPECT_EQ(hsv.h, 0.0);
    EXPECT_EQ(hsv.s, 1.0);
    EXPECT_EQ(hsv.v, 1.0);
    EXPECT_EQ(hsv.a, 0.5);
    RgbColor green{0, 1, 0, 0};
    kLightingColours.toHsv(&green, &hsv);
    EXPECT_DOUBLE_EQ(hsv.h, 1.0 / 3.0);
    RgbColor blue{0, 0, 1, 0};
    kLightingColours.toHsv(&blue, &hsv);
    EXPECT_DOUBLE_EQ(hsv.h, 2.0 / 3.0);

    RgbColor grey{0.4, 0.4, 0.4, 0};
    kLightingColours.toHsv(&grey, &hsv);
    EXPECT_EQ(hsv.h, 0.0);
    EXPECT_EQ(hsv.s, 0.0);
    EXPECT_EQ(hsv.v, 0.4);
    RgbColor nearlyGrey{0.40005, 0.4, 0.40009, 0};
    kLightingColours.toHsv(&nearlyGrey, &hsv);
    EXPECT_EQ(hsv.s, 0.0);
}

TEST(ColourHelpers, HsvRoundTripsAndHueOneIsRed)
{
    const RgbColor samples[] = {{0.9, 0.3, 0.1, 1}, {0.2, 0.8, 0.5, 1}, {0.3, 0.1, 0.7, 1}, {0.6, 0.6, 0.2, 1},
                                {0.1, 0.5, 0.9, 1}, {0.8, 0.2, 0.6, 1}};
    for (const RgbColor& c : samples) {
        HsvColor hsv;
        RgbColor back;
        kMagicBrushColours.toHsv(&c, &hsv);
        kMagicBrushColours.fromHsv(&hsv, &back);
        EXPECT_NEAR(back.r, c.r, 1e-12);
        EXPECT_NEAR(back.g, c.g, 1e-12);
        EXPECT_NEAR(back.b, c.b, 1e-12);
    }
    HsvColor h0{0.0, 0.8, 0.9, 1}, h1{1.0, 0.8, 0.9, 1};
    RgbColor a, b;
    kMagicBrushColours.fromHsv(&h0, &a);
    kMagicBrushColours.fromHsv(&h1, &b);
    EXPECT_EQ(a.r, b.r);
    EXPECT_EQ(a.g, b.g);
    EXPECT_EQ(a.b, b.b);
}

namespace {
std::vector<std::string> g_reports;
GLogWriterOutput CaptureWriter(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer)
{
    if (level & G_LOG_LEVEL_CRITICAL)
        for (gsize i = 0; i < n; ++i)
            if (std::string(fields[i].key) == "MESSAGE")
                g_reports.emplace_back(static_cast<const char*>(fields[i].value));
    return G_LOG_WRITER_HANDLED;
}
} // namespace

TEST(ColourHelpers, NullPointersAreReportedWithTheModuleName)
{
    static bool installed = false;
    if (!installed) {
        g_log_set_writer_func(CaptureWriter, nullptr, nullptr);
        installed = true;
    }
    g_reports.clear();
    RgbColor c{0.5, 0.5, 0.5, 1};
    kLightingColours.clamp(nullptr);
    kNovaColours.add(&c, nullptr);
    EXPECT_EQ(kMagicBrushColours.maximum(nullptr), 0.0);
    kMagicBrushColours.toHsv(&c, nullptr);
    kLightingColours.setAlpha(nullptr, 1.0);
    ASSERT_EQ(g_reports.size(), 5u);
    EXPECT_TRUE(g_reports[0].starts_with("file eLighting: line "));
    EXPECT_TRUE(g_reports[0].ends_with(": assertion `rgb != NULL' failed"));
    EXPECT_TRUE(g_reports[1].starts_with("file eNova: line "));
    EXPECT_TRUE(g_reports[1].ends_with("assertion `rgb2 != NULL' failed"));
    EXPECT_TRUE(g_reports[2].starts_with("file eMagicBrush: line "));
    EXPECT_TRUE(g_reports[3].ends_with("assertion `hsv != NULL' failed"));
    EXPECT_TRUE(g_reports[4].ends_with("assertion `rgba != NULL' failed"));
    // The helper that was stopped left its valid argument alone.
    EXPECT_EQ(c.r, 0.5);
}
