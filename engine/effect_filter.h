// CEffectFilter runs the tone, retouch, texture and blur operations on a
// source/destination pair of the size it was given. It owns no pixel memory;
// the caller allocates both buffers (distinct, width × height × bytesPerPixel
// bytes each). Channels are bytes 0, 1, 2 (blue, green, red); a fourth byte is
// alpha and is left alone unless an operation says otherwise.
#pragma once

#include <cstdint>

namespace ombrik {

class CEffectFilter {
public:
    // Fixed parameters of the catalogue.
    static constexpr int kLightenPercent = 110;
    static constexpr int kDarkenPercent = 90;
    static constexpr int kMedianRadius = 3;
    static constexpr int kMedianBlackLevel = 7;
    static constexpr int kMedianWhiteLevel = 248;
    static constexpr int kRedEyeThreshold = 50;
    static constexpr float kGamma = 1.1f;
    static constexpr int kContrastPercent = 110;

    CEffectFilter() = default;

    void setDimensions(int width, int height, int bytesPerPixel);
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bytesPerPixel() const { return m_bytesPerPixel; }

    // Retouch operations.
    void ScaleChannels(const uint8_t* src, uint8_t* dst, int percent) const;
    void SmoothSkin(const uint8_t* src, uint8_t* dst) const;
    void RemoveRedEye(const uint8_t* src, uint8_t* dst) const;
    void ApplyGamma(const uint8_t* src, uint8_t* dst, float gamma) const;
    void AdjustContrast(const uint8_t* src, uint8_t* dst, int percent) const;
    void BoxBlur(const uint8_t* src, uint8_t* dst) const;
    void Sharpen(const uint8_t* src, uint8_t* dst) const;
    void GreyFromGreen(const uint8_t* src, uint8_t* dst) const;
    void Pixelize(const uint8_t* src, uint8_t* dst) const;

    // Texture and blur operations (whole-photo filters).
    void Emboss(const uint8_t* src, uint8_t* dst) const;
    void Splash(const uint8_t* src, uint8_t* dst) const;
    void GlassTiles(const uint8_t* src, uint8_t* dst) const;
    void Posterize(const uint8_t* src, uint8_t* dst) const;
    void MotionBlur(const uint8_t* src, uint8_t* dst, int direction) const;
    void RadialBlur(const uint8_t* src, uint8_t* dst) const;

private:
    bool valid() const;
    void copyAll(const uint8_t* src, uint8_t* dst) const;
    // Maps channels 0..2 of every pixel through a 256-entry table (a fourth
    // byte is copied), optionally reporting progress every 20 rows.
    void applyTable(const uint8_t* src, uint8_t* dst, const uint8_t table[256], bool reportProgress = false) const;

    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
};

// The generator behind Splash's scatter: the C library's additive feedback
// sequence (the same numbers rand() gives after srand(seed)), kept in a state of
// our own so the per-pixel draws take no lock. The canvas reseeds it with the
// time whenever a photo is loaded.
void SeedScatterRandom(unsigned int seed);
int NextScatterRandom();

} // namespace ombrik
