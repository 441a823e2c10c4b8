// Text objects on the canvas and the records the history keeps of them. The
// records are plain values: copying one gives a deep copy that shares nothing
// with the live object, and the cached screen shapes are cleared in copies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik {

enum class ObjectKind : int32_t { Text = 4 };

// A rectangle of pixels (photo or screen), right and bottom exclusive.
struct IntRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const IntRect&) const = default;
};

// The font of a text object: only the height and the face name are used.
struct LogicalFont {
    int32_t height = 0;
    int32_t width = 0;
    std::string faceName;  // at most 31 characters
    bool operator==(const LogicalFont&) const = default;
};

struct CanvasObject {
    LogicalFont font;
    std::string text;
    int32_t style = 0;
    float angle = 0.0f;          // degrees, about the object's centre
    int32_t textWidth = 0;       // measured at scale 1, photo pixels
    int32_t textHeight = 0;
    float scale = 1.0f;
    uint32_t colour1 = 0;        // 0x00BBGGRR
    uint32_t colour2 = 0;
    bool selected = false;
    IntRect screenRect;          // refreshed at every paint
    float transparency = 0.0f;   // 0 opaque .. 1
    int32_t x = 0, y = 0;        // top-left of the unrotated, scaled object
    int32_t dragStartX = 0, dragStartY = 0;
    int32_t hitShapeIndex = -1;

    bool operator==(const CanvasObject&) const = default;

    // The copy a history step keeps: everything but the cached screen data.
    CanvasObject historyCopy() const
    {
        CanvasObject copy = *this;
        copy.screenRect = IntRect{};
        return copy;
    }
};

} // namespace ombrik
