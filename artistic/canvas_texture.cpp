#include "artistic/canvas_texture.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace ombrik::embedded {
extern const unsigned char embedded_canvas_pgm[];
extern const std::size_t embedded_canvas_pgm_size;
} // namespace ombrik::embedded

namespace ombrik {

const int8_t* CanvasTexture()
{
    // The PGM holds each value offset by 128 after its fixed header.
    static const std::array<int8_t, kCanvasTextureSize * kCanvasTextureSize> table = [] {
        std::array<int8_t, kCanvasTextureSize * kCanvasTextureSize> t{};
        static constexpr char kHeader[] = "P5\n128 128\n255\n";
        constexpr std::size_t headerSize = sizeof kHeader - 1;
        const unsigned char* bytes = embedded::embedded_canvas_pgm;
        if (embedded::embedded_canvas_pgm_size == headerSize + t.size()
            && std::memcmp(bytes, kHeader, headerSize) == 0)
            for (std::size_t i = 0; i < t.size(); ++i)
                t[i] = int8_t(int(bytes[headerSize + i]) - 128);
        return t;
    }();
    return table.data();
}

} // namespace ombrik
