#include "app/batch_mode.h"

#include "effects/effect_catalogue.h"
#include "engine/effect_filter.h"
#include "effects/effect_request.h"
#include "engine/progress.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace ombrik {

namespace {

constexpr const char* kUsage =
    "Usage: ombrik-cli [options] INPUT OUTPUT\n"
    "       ombrik-cli --list\n"
    "Opens INPUT (downsized to the load threshold), applies each effect in order\n"
    "and saves the result to OUTPUT in the format its extension names\n"
    "(.jpg/.jpeg, .png, .bmp, .gif, .tif/.tiff, .webp, .avif, .jxl). The photo's\n"
    "camera metadata (EXIF, XMP, IPTC) is kept, and a colour profile is tagged sRGB.\n"
    "\n"
    "Options:\n"
    "  -e, --effect ID|NAME   apply an effect (repeatable; --apply is the same)\n"
    "  -o, --output PATH      the output file (instead of the second name)\n"
    "  --threshold WxH        load threshold (default 1600x1200; 1..10000 each)\n"
    "  --max-size W H         the same as --threshold WxH\n"
    "  --no-resize            open the photo at full size\n"
    "  --quality Q            JPEG, WebP, AVIF and JPEG XL quality 0..100 (default 90)\n"
    "  --lossless             WebP and JPEG XL without loss\n"
    "  --strip-metadata       write no camera, date or location details (EXIF, XMP, IPTC)\n"
    "  --seed N               seed for effects that scatter at random (default: the time)\n"
    "  -l, --list             list the effects (--list-effects is the same)\n"
    "  -h, --help             show this text\n";

struct Options {
    std::string input;
    std::string output;
    std::vector<std::string> effects;
    int thresholdWidth = kDefaultThresholdWidth;
    int thresholdHeight = kDefaultThresholdHeight;
    int quality = ImageEncoder::kDefaultQuality;
    std::optional<unsigned> seed;
    bool list = false;
    bool help = false;
    bool lossless = false;
    bool stripMetadata = false;
};

std::optional<long> ParseNumber(std::string_view text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

bool ParseSize(std::string_view w, std::string_view h, Options& options)
{
    const auto width = ParseNumber(w);
    const auto height = ParseNumber(h);
    if (!width || !height || *width < 1 || *width > 10000 || *height < 1 || *height > 10000)
        return false;
    options.thresholdWidth = int(*width);
    options.thresholdHeight = int(*height);
    return true;
}

// Fills `options`; on a mistake prints it and returns false.
bool ParseArguments(int argc, char** argv, Options& options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "ombrik-cli: %s needs %s\n", arg.c_str(), what);
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-l" || arg == "--list" || arg == "--list-effects") {
            options.list = true;
        } else if (arg == "-e" || arg == "--effect" || arg == "--apply") {
            const char* value = next("an effect id or name");
            if (!value)
                return false;
            options.effects.emplace_back(value);
        } else if (arg == "-o" || arg == "--output") {
            const char* value = next("a file name");
            if (!value)
                return false;
            options.output = value;
        } else if (arg == "--threshold") {
            const char* value = next("a size WxH");
            if (!value)
                return false;
            const std::string_view text(value);
            const size_t x = text.find_first_of("xX");
            if (x == std::string_view::npos || !ParseSize(text.substr(0, x), text.substr(x + 1), options)) {
                std::fprintf(stderr, "ombrik-cli: bad threshold '%s' (expected WxH, each 1..10000)\n", value);
                return false;
            }
        } else if (arg == "--max-size") {
            if (i + 2 >= argc || !ParseSize(argv[i + 1], argv[i + 2], options)) {
                std::fprintf(stderr, "ombrik-cli: --max-size needs a width and a height, each 1..10000\n");
                return false;
            }
            i += 2;
        } else if (arg == "--no-resize") {
            options.thresholdWidth = 0;
            options.thresholdHeight = 0;
        } else if (arg == "--quality") {
            const char* value = next("a number 0..100");
            if (!value)
                return false;
            const auto q = ParseNumber(value);
            if (!q || *q < 0 || *q > 100) {
                std::fprintf(stderr, "ombrik-cli: bad quality '%s' (expected 0..100)\n", value);
                return false;
            }
            options.quality = int(*q);
        } else if (arg == "--lossless") {
            options.lossless = true;
        } else if (arg == "--strip-metadata") {
            options.stripMetadata = true;
        } else if (arg == "--seed") {
            const char* value = next("a number");
            if (!value)
                return false;
            const auto s = ParseNumber(value);
            if (!s || *s < 0 || *s > long(0xFFFFFFFFu)) {
                std::fprintf(stderr, "ombrik-cli: bad seed '%s'\n", value);
                return false;
            }
            options.seed = unsigned(*s);
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "ombrik-cli: unknown option '%s' (see --help)\n", arg.c_str());
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help || options.list)
        return true;
    if (positional.size() == 2 && options.output.empty()) {
        options.input = positional[0];
        options.output = positional[1];
    } else if (positional.size() == 1 && !options.output.empty()) {
        options.input = positional[0];
    } else {
        std::fprintf(stderr, "ombrik-cli: expected one input and one output file (see --help)\n");
        return false;
    }
    return true;
}

// Display names escape '&' as "&&" for menus; people type a single '&'.
std::string PlainName(const char* name)
{
    std::string out;
    for (const char* p = name; *p; ++p) {
        if (p[0] == '&' && p[1] == '&')
            ++p;
        out += char(std::tolower(static_cast<unsigned char>(*p)));
    }
    return out;
}

const EffectInfo* LookUpEffect(const std::string& text)
{
    if (const auto id = ParseNumber(text))
        return (*id >= INT32_MIN && *id <= INT32_MAX) ? FindEffect(EffectId(*id)) : nullptr;
    const std::string wanted = PlainName(text.c_str());
    for (const EffectInfo& info : EffectCatalogue())
        if (info.name && (PlainName(info.name) == wanted || text == info.name))
            return &info;
    return nullptr;
}

// The display name with "&&" shown as '&', or "effect N" for unnamed ids.
std::string EffectLabel(const EffectInfo& info)
{
    if (!info.name)
        return "effect " + std::to_string(info.id);
    std::string name = info.name;
    for (size_t at = name.find("&&"); at != std::string::npos; at = name.find("&&", at + 1))
        name.erase(at, 1);
    return name;
}

bool RunsInBatch(const EffectInfo& info)
{
    return info.mode != ApplyMode::LightPlacement && info.mode != ApplyMode::WarpBrush;
}

const char* CategoryName(EffectCategory category)
{
    switch (category) {
    case EffectCategory::Retouch: return "Retouch";
    case EffectCategory::Filters: return "Filters";
    case EffectCategory::Warp: return "Warp";
    case EffectCategory::Lighting: return "Lighting";
    case EffectCategory::None: return "-";
    }
    return "-";
}

void ListEffects()
{
    std::printf("%4s  %-14s %-9s %s\n", "ID", "NAME", "PANEL", "BATCH");
    for (const EffectInfo& info : EffectCatalogue()) {
        const std::string name = info.name ? EffectLabel(info) : "-";
        std::printf("%4d  %-14s %-9s %s\n", info.id, name.c_str(), CategoryName(info.category),
                    RunsInBatch(info) ? "yes" : "no (placed or warped with the mouse)");
    }
}

// Draws "<label> [#####.....]  45%" on stderr, redrawn in place on a terminal.
class TerminalProgress {
public:
    explicit TerminalProgress(std::string label) : m_label(std::move(label)), m_tty(isatty(fileno(stderr)) != 0) {}

    void show(int percent)
    {
        percent = std::clamp(percent, 0, 100);
        if (percent == m_last)
            return;
        m_last = percent;
        if (!m_tty)
            return;
        constexpr int kBar = 30;
        const int filled = percent * kBar / 100;
        std::fprintf(stderr, "\r%-16s [%s%s] %3d%%", m_label.c_str(), std::string(size_t(filled), '#').c_str(),
                     std::string(size_t(kBar - filled), '.').c_str(), percent);
        std::fflush(stderr);
    }

    void finish()
    {
        if (m_tty) {
            m_last = -1;
            show(100);
            std::fputc('\n', stderr);
        } else {
            std::fprintf(stderr, "%s: done\n", m_label.c_str());
        }
    }

private:
    std::string m_label;
    bool m_tty;
    int m_last = -1;
};

} // namespace

bool IsBatchInvocation(int argc, char** argv)
{
    // Any option, or an input and an output; a lone file name opens in the editor.
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] != '\0')
            return true;
        ++positional;
    }
    return positional >= 2;
}

int RunBatchMode(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options))
        return kBatchUsage;
    if (options.help) {
        std::fputs(kUsage, stdout);
        return kBatchOk;
    }
    if (options.list) {
        ListEffects();
        return kBatchOk;
    }

    // Every name is checked before the (possibly long) work starts.
    std::vector<const EffectInfo*> effects;
    for (const std::string& text : options.effects) {
        const EffectInfo* info = LookUpEffect(text);
        if (!info) {
            std::fprintf(stderr, "ombrik-cli: unknown effect '%s' (see --list)\n", text.c_str());
            return kBatchUsage;
        }
        effects.push_back(info);
    }
    ImageEncoder encoder(options.output);
    if (!encoder.found()) {
        std::fprintf(stderr, "ombrik-cli: cannot save '%s': %s\n", options.output.c_str(),
                     SaveStatusText(SaveStatus::NoEncoder));
        return kBatchSaveFailed;
    }
    encoder.setQuality(options.quality);
    encoder.setLossless(options.lossless && encoder.supportsLossless());

    LoadedPhoto loaded = LoadPhoto(options.input, options.thresholdWidth, options.thresholdHeight);
    if (!loaded.ok) {
        std::fprintf(stderr, "ombrik-cli: '%s' could not be opened: %s\n", options.input.c_str(), loaded.error.c_str());
        return kBatchOpenFailed;
    }
    // As the canvas does on every load: a fresh scatter sequence and rand() state.
    const unsigned seed = options.seed ? *options.seed : unsigned(std::time(nullptr));
    SeedScatterRandom(seed);
    std::srand(seed);

    for (const std::string& note : loaded.metadata.notes)
        std::fprintf(stderr, "%s: %s\n", options.input.c_str(), note.c_str());
    encoder.setMetadata(loaded.metadata, options.stripMetadata);
    PixelBuffer photo = std::move(loaded.photo);
    std::fprintf(stderr, "%s: %d x %d\n", options.input.c_str(), photo.width, photo.height);
    for (const EffectInfo* info : effects) {
        const std::string label = EffectLabel(*info);
        if (!RunsInBatch(*info)) {
            std::fprintf(stderr, "skipping %s (%d): it is placed or warped with the mouse in the editor\n",
                         label.c_str(), info->id);
            continue;
        }
        TerminalProgress bar(label);
        PixelBuffer result(photo.width, photo.height, 3);
        {
            ScopedProgressSink sink([&bar](int percent) { bar.show(percent); });
            EffectRequest request;
            request.initialise();
            request.set(info->id, photo.width, photo.height, 3);
            if (info->category == EffectCategory::Lighting)
                request.colour = DefaultLightingColour(info->id);
            request.RunEffect(photo.data(), result.data());
        }
        bar.finish();
        photo = std::move(result);
    }

    const SaveStatus status = encoder.saveToFile(photo, options.output);
    if (status != SaveStatus::Ok) {
        std::fprintf(stderr, "ombrik-cli: cannot save '%s': %s\n", options.output.c_str(), SaveStatusText(status));
        return kBatchSaveFailed;
    }
    for (const std::string& note : encoder.notes())
        std::fprintf(stderr, "%s: %s\n", options.output.c_str(), note.c_str());
    std::fprintf(stderr, "saved %s\n", options.output.c_str());
    return kBatchOk;
}

} // namespace ombrik
