// Embedded colour profiles: a decoded photo described by an ICC profile (RGB,
// greyscale or CMYK) is converted to sRGB, the editor's working space, and
// saved files are tagged with an sRGB profile. Little CMS does the work.
#pragma once

#include "engine/pixel_buffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrik {

// What a profile describes, read from its header.
enum class ProfileSpace { None, Rgb, Grey, Cmyk, Other };

// The colour space of an ICC profile; None for bytes that are not a profile.
ProfileSpace ProfileColourSpace(const std::vector<uint8_t>& icc);

// True when the profile is sRGB (by its description or by matching the sRGB
// primaries and curves), so converting would change nothing.
bool IsSrgbProfile(const std::vector<uint8_t>& icc);

// Converts a 3-byte (blue, green, red) photo described by an RGB or greyscale
// profile to sRGB in place: relative colorimetric with black-point
// compensation for matrix profiles, perceptual for table (LUT) profiles.
// False with `note` set when the profile is broken or does not fit 3-byte
// pixels; the pixels are then left as they are.
bool ConvertToSrgb(PixelBuffer& photo, const std::vector<uint8_t>& icc, std::string& note);

// Converts width × height CMYK pixels (4 bytes each, as the profile expects
// them, 0 = no ink) to a new 3-byte sRGB photo; false with `note` when the
// profile cannot be used.
bool ConvertCmykToSrgb(const uint8_t* cmyk, int width, int height, const std::vector<uint8_t>& icc,
                       PixelBuffer& photo, std::string& note);

// An sRGB ICC profile to embed in saved files (made once).
const std::vector<uint8_t>& SrgbProfile();

// A profile for primaries and a transfer given as coded in HEIF/AV1 colour
// descriptions (ITU-T H.273 numbers); empty when they are sRGB already or not
// known.
std::vector<uint8_t> ProfileFromCodedColour(int primaries, int transfer);

} // namespace ombrik
