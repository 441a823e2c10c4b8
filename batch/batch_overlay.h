// The batch's decorations: a photo frame of the library round each photo and a
// text object (a watermark) on it, drawn by the same code as the window's
// Save As, after every other step.
#pragma once

#include "batch/batch_steps.h"
#include "canvas/canvas_object.h"
#include "canvas/text_drawing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ombrik {

enum class TextPlacement { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };

struct OverlaySettings {
    int frame = -1;                    // library entry, -1 for none
    std::optional<std::string> text;   // the text object's text, when one is wanted
    int style = 0;                     // 0..7
    std::string face;                  // empty: the Text panel's first face
    int size = 0;                      // height of the text on the photo in pixels; 0: as added in the window
    std::optional<uint32_t> colour1;   // 0x00BBGGRR; the style's colours by default
    std::optional<uint32_t> colour2;
    int opacity = 100;                 // percent, as the Text panel's slider
    TextPlacement at = TextPlacement::BottomRight;
    int margin = 20;                   // photo pixels between the text and the photo's edge
    bool listFrames = false;
};

// Reads the overlay option at argv[i] and its value. Returns how many
// arguments it used: 0 when argv[i] is no overlay option, -1 (with `error`)
// for a bad value.
int ParseOverlayArgument(int argc, char** argv, int i, OverlaySettings& settings, std::string& error);

extern const char* const kOverlayUsage;

// Text needs the font database, which needs a GUI application object.
inline bool OverlayNeedsFonts(const OverlaySettings& settings) { return settings.text.has_value(); }

// Prints the library's frames with the name --frame takes.
void ListFrames();

// Checks the settings against the library and the fonts and, when there is
// anything to draw, appends the step that draws it. Returns "" or the reason.
std::string AddOverlayStep(const OverlaySettings& settings, std::vector<BatchStep>& steps);

// The text template the settings describe, measured (textWidth, textHeight).
TextTemplate WatermarkTemplate(const OverlaySettings& settings);

// The template placed on a photo of width × height: scaled to the size and
// put in its corner or side with the margin.
CanvasObject PlaceWatermark(const OverlaySettings& settings, const TextTemplate& measured, int width, int height);

// The Text panel's list of faces, in its order.
std::vector<std::string> TextFaces();

} // namespace ombrik
