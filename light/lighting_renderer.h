// "Spotlight" and "Point Light": the photo is a flat matt surface in the plane
// z = 0, lit by one coloured light and seen from a viewpoint above it; every
// pixel gets an ambient share of its own colour plus a diffuse and a specular
// term. The canvas drives one renderer per finished drag, in this order:
// reset, setSize, applyPreset, setLightColour, the two geometry calls, render.
//
// The surface normal is always (0, 0, 1).
//
// Surface coordinates: the longer picture side has length 1 and the shorter one
// is centred in 0..1; z points up towards the viewer. Colours are kept in the
// picture's byte order: RgbColor::r pairs with byte 0 (blue), g with byte 1,
// b with byte 2 (red).
#pragma once

#include "engine/colour.h"
#include "engine/pixel_buffer.h"

#include <array>
#include <cstdint>

namespace ombrik {

struct Vector3 {
    double x = 0, y = 0, z = 0;

    void set(double nx, double ny, double nz) { x = nx; y = ny; z = nz; }
    double length() const;
    Vector3 scaled(double f) const { return {x * f, y * f, z * f}; }
    // Each component divided by the length; a zero vector stays zero.
    Vector3 normalised() const;
    Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    double dot(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
};

// 0 point (has a position), 1 directional (has a direction), 3 none (skipped);
// any other non-zero value behaves like directional.
using LightType = int32_t;
inline constexpr LightType kLightPoint = 0;
inline constexpr LightType kLightDirectional = 1;
inline constexpr LightType kLightNone = 3;

struct LightSource {
    LightType type = kLightNone;
    Vector3 position;
    Vector3 direction;
    RgbColor colour{1, 1, 1, 1};
    double intensity = 1.0;
    bool active = true;
};

struct SurfaceMaterial {
    double ambient = 0;
    double diffuseIntensity = 0;
    double diffuseReflectivity = 0; // kept with the preset; the shading does not use it
    double specularReflectivity = 0;
    double highlight = 0;           // exponent of the specular term
    bool metallic = false;          // tint the specular colour with the picture colour
};

enum class LightingPreset { Spotlight, PointLight };

class LightingRenderer {
public:
    static constexpr int kLightSlots = 6;

    void reset();
    void setSize(int width, int height, int bytesPerPixel);
    // Resets viewpoint, all light slots and the material; call before the
    // colour and geometry.
    void applyPreset(LightingPreset preset);
    // Slot 0's colour from 0..255 components.
    void setLightColour(int red, int green, int blue);

    // Geometry from a drag: press (ax, ay) and release (mx, my) in picture pixels.
    void setSpotDirection(int ax, int ay, int mx, int my);
    void setSpotViewpoint(int ax, int ay);
    void setLightPosition(int ax, int ay, int mx, int my);
    void setNearViewpoint(int ax, int ay);

    // Shades the whole picture from source into destination. Both must have the
    // set size and 3 bytes per pixel; otherwise nothing is written and false is
    // returned. Reports progress at the start of every row.
    bool render(const PixelBuffer& source, PixelBuffer& destination) const;

    const Vector3& viewpoint() const { return m_viewpoint; }
    // slot 0..kLightSlots - 1
    const LightSource& light(int slot) const { return m_lights[size_t(slot)]; }
    const SurfaceMaterial& material() const { return m_material; }

private:
    void setViewpoint(int ax, int ay, double z);

    int m_width = 0;
    int m_height = 0;
    int m_bytesPerPixel = 3;
    Vector3 m_viewpoint{0.5, 0.5, 0.5};
    std::array<LightSource, kLightSlots> m_lights{};
    SurfaceMaterial m_material;
};

} // namespace ombrik
