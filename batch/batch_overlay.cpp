#include "batch/batch_overlay.h"

#include "canvas/composite.h"
#include "canvas/frame_library.h"
#include "canvas/photo_frame.h"
#include "canvas/text_drawing.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace ombrik {

const char* const kOverlayUsage =
    "  --frame N              put frame N of the library round each photo (see --list-frames)\n"
    "  --list-frames          list the frames of the library\n"
    "  --text TEXT            write TEXT on each photo as a text object (a watermark)\n"
    "  --text-style N         one of the eight text styles, 0..7 (default 0)\n"
    "  --text-font FACE       the font face (default: the Text panel's first face)\n"
    "  --text-size PX         height of the text on the photo in pixels (default: as added in the editor)\n"
    "  --text-colour C[,C2]   the style's colours as #RRGGBB (default: the style's own)\n"
    "  --text-opacity P       opacity in percent, 0..100 (default 100)\n"
    "  --text-at PLACE        top-left, top, top-right, left, centre, right,\n"
    "                         bottom-left, bottom or bottom-right (default)\n"
    "  --text-margin PX       distance from the photo's edges (default 20)\n";

namespace {

std::optional<long> Number(std::string_view text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<uint32_t> Colour(std::string_view text)
{
    if (!text.empty() && text.front() == '#')
        text.remove_prefix(1);
    if (text.size() != 6)
        return std::nullopt;
    uint32_t rgb = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 6, rgb, 16);
    if (error != std::errc() || end != text.data() + 6)
        return std::nullopt;
    return ColourRef(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

struct PlaceName {
    const char* name;
    TextPlacement place;
};
constexpr PlaceName kPlaces[] = {
    {"top-left", TextPlacement::TopLeft},       {"top", TextPlacement::Top},
    {"top-right", TextPlacement::TopRight},     {"left", TextPlacement::Left},
    {"centre", TextPlacement::Centre},          {"center", TextPlacement::Centre},
    {"right", TextPlacement::Right},            {"bottom-left", TextPlacement::BottomLeft},
    {"bottom", TextPlacement::Bottom},          {"bottom-right", TextPlacement::BottomRight},
};

// Where a box of `extent` goes along one side of `length`: 0 start, 1 middle, 2 end.
int Along(int where, int length, int extent, int margin)
{
    switch (where) {
    case 0: return margin;
    case 1: return (length - extent) / 2;
    default: return length - margin - extent;
    }
}

} // namespace

int ParseOverlayArgument(int argc, char** argv, int i, OverlaySettings& s, std::string& error)
{
    const std::string_view arg = argv[i];
    if (arg == "--list-frames") {
        s.listFrames = true;
        return 1;
    }
    static constexpr const char* kTakesValue[] = {"--frame",        "--text",         "--text-style",
                                                  "--text-font",    "--text-size",    "--text-colour",
                                                  "--text-color",   "--text-opacity", "--text-at",
                                                  "--text-margin"};
    if (std::none_of(std::begin(kTakesValue), std::end(kTakesValue), [&](const char* o) { return arg == o; }))
        return 0;
    if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return -1;
    }
    const std::string_view value = argv[i + 1];
    auto bad = [&](const char* expected) {
        error = "bad value '" + std::string(value) + "' for " + std::string(arg) + " (expected " + expected + ")";
        return -1;
    };
    if (arg == "--frame") {
        const auto n = Number(value);
        if (!n || *n < 1 || *n > 100000)
            return bad("a frame number, see --list-frames");
        s.frame = int(*n - 1);
    } else if (arg == "--text") {
        if (value.size() > size_t(kMaxTextCharacters) * 4 || QString::fromUtf8(value.data(), qsizetype(value.size())).size() > kMaxTextCharacters)
            return bad("at most 1000 characters");
        s.text = std::string(value);
    } else if (arg == "--text-style") {
        const auto n = Number(value);
        if (!n || *n < 0 || *n >= kTextStyleCount)
            return bad("0..7");
        s.style = int(*n);
    } else if (arg == "--text-font") {
        if (value.empty())
            return bad("a font face");
        s.face = std::string(value);
    } else if (arg == "--text-size") {
        const auto n = Number(value);
        if (!n || *n < 1 || *n > 10000)
            return bad("pixels, 1..10000");
        s.size = int(*n);
    } else if (arg == "--text-colour" || arg == "--text-color") {
        const size_t comma = value.find(',');
        const auto c1 = Colour(value.substr(0, comma));
        const auto c2 = comma == std::string_view::npos ? std::optional<uint32_t>() : Colour(value.substr(comma + 1));
        if (!c1 || (comma != std::string_view::npos && !c2))
            return bad("#RRGGBB or #RRGGBB,#RRGGBB");
        s.colour1 = c1;
        if (c2)
            s.colour2 = c2;
    } else if (arg == "--text-opacity") {
        const auto n = Number(value);
        if (!n || *n < 0 || *n > 100)
            return bad("0..100");
        s.opacity = int(*n);
    } else if (arg == "--text-at") {
        const auto* place = std::find_if(std::begin(kPlaces), std::end(kPlaces),
                                         [&](const PlaceName& p) { return value == p.name; });
        if (place == std::end(kPlaces))
            return bad("top-left, top, top-right, left, centre, right, bottom-left, bottom or bottom-right");
        s.at = place->place;
    } else {  // --text-margin
        const auto n = Number(value);
        if (!n || *n < 0 || *n > 10000)
            return bad("pixels, 0..10000");
        s.margin = int(*n);
    }
    return 2;
}

std::vector<std::string> TextFaces()
{
    // The same list, in the same order, as the Text panel's font box.
    std::vector<std::string> out;
    for (const QString& f : TextFontFaces())
        out.push_back(f.toStdString());
    return out;
}

void ListFrames()
{
    const Thumbnails thumbnails = LoadThumbnails();
    if (thumbnails.images.empty()) {
        std::fprintf(stderr, "ombrik-cli: no frame library in %s\n", FrameLibraryFolder().c_str());
        return;
    }
    std::printf("%5s  %s\n", "FRAME", "BORDER AT SCALE 1");
    for (size_t i = 0; i < thumbnails.images.size(); ++i) {
        const std::optional<PixelBuffer> strip = LoadFrame(int(i));
        if (strip)
            std::printf("%5zu  %d px\n", i + 1, strip->width);
    }
}

TextTemplate WatermarkTemplate(const OverlaySettings& s)
{
    TextTemplate t = DefaultTemplate(s.face.empty() ? [] {
        const auto faces = TextFaces();
        return faces.empty() ? std::string() : faces.front();
    }() : s.face);
    t.text = s.text.value_or(std::string());
    t.style = s.style;
    std::tie(t.colour1, t.colour2) = StyleDefaultColours(s.style);
    if (s.colour1)
        t.colour1 = *s.colour1;
    if (s.colour2)
        t.colour2 = *s.colour2;
    t.transparency = float(100 - s.opacity) * 0.01f;
    const TextExtent extent = MeasureText(t);
    t.textWidth = extent.width;
    t.textHeight = extent.height;
    return t;
}

CanvasObject PlaceWatermark(const OverlaySettings& s, const TextTemplate& measured, int width, int height)
{
    CanvasObject o = measured;
    o.angle = 0.0f;
    o.scale = s.size > 0 && measured.textHeight > 0 ? float(s.size) / float(measured.textHeight) : 1.0f;
    o.selected = false;
    const int w = int(float(o.textWidth) * o.scale);
    const int h = int(float(o.textHeight) * o.scale);
    const int place = int(s.at);
    o.x = Along(place % 3, width, w, s.margin);
    o.y = Along(place / 3, height, h, s.margin);
    return o;
}

std::string AddOverlayStep(const OverlaySettings& s, std::vector<BatchStep>& steps)
{
    if (s.frame < 0 && !s.text)
        return {};
    if (s.frame >= 0 && !LoadFrame(s.frame))
        return "there is no frame " + std::to_string(s.frame + 1) + " in the library (see --list-frames)";
    std::optional<TextTemplate> watermark;
    if (s.text) {
        if (!s.face.empty()) {
            const auto faces = TextFaces();
            if (std::find(faces.begin(), faces.end(), s.face) == faces.end())
                return "there is no font face '" + s.face + "'";
        }
        watermark = WatermarkTemplate(s);
        if (watermark->textWidth <= 0 || watermark->textHeight <= 0)
            return "the text is empty";
    }
    BatchStep step;
    step.label = s.text ? (s.frame >= 0 ? "frame and text" : "text") : "frame";
    // Font rendering shares Qt's font caches; frames alone are plain painting.
    step.serialised = s.text.has_value();
    step.apply = [s, watermark](BatchPhoto& photo) -> std::string {
        std::vector<CanvasObject> objects;
        if (watermark)
            objects.push_back(PlaceWatermark(s, *watermark, photo.pixels.width, photo.pixels.height));
        PhotoFrame frame;
        if (s.frame >= 0 && !frame.choose(s.frame, photo.pixels.width, photo.pixels.height))
            return "the frame picture could not be read";
        PixelBuffer composite = RenderComposite(photo.pixels, objects, s.frame >= 0 ? &frame : nullptr);
        if (composite.empty())
            return "the photo could not be drawn";
        photo.pixels = std::move(composite);
        return {};
    };
    steps.push_back(std::move(step));
    return {};
}

} // namespace ombrik
