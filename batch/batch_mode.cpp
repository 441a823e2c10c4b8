#include "batch/batch_mode.h"

#include "batch/batch_folder.h"
#include "batch/batch_geometry.h"
#include "batch/batch_heal.h"
#include "batch/batch_overlay.h"
#include "batch/batch_steps.h"
#include "batch/batch_adjust.h"
#include "effects/effect_catalogue.h"
#include "engine/progress.h"
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "files/picture_formats.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace ombrik {

namespace {

constexpr const char* kUsage =
    "Usage: ombrik-cli [options] INPUT OUTPUT\n"
    "       ombrik-cli [options] --output-dir DIR INPUT...\n"
    "       ombrik-cli --list | --list-frames\n"
    "Opens INPUT (downsized to the load threshold), applies each effect in order\n"
    "and saves the result to OUTPUT in the format its extension names (see the\n"
    "formats below). The photo's camera metadata (EXIF, XMP, IPTC) is kept, and a\n"
    "colour profile is tagged sRGB.\n"
    "With --output-dir every INPUT (a picture or a folder of pictures) is edited\n"
    "the same way and written into DIR under its own name.\n"
    "\n"
    "Options:\n"
    "  -e, --effect ID|NAME   apply an effect (repeatable; --apply is the same)\n"
    "  -o, --output PATH      the output file (instead of the second name)\n"
    "  --threshold WxH        load threshold (default 1600x1200; 1..10000 each)\n"
    "  --max-size WxH         the same as --threshold (also as two numbers W H)\n"
    "  --no-resize            open the photo at full size\n"
    "  --quality Q            JPEG, WebP, AVIF and JPEG XL quality 0..100 (default 90)\n"
    "  --lossless             WebP and JPEG XL without loss\n"
    "  --strip-metadata       write no camera, date or location details (EXIF, XMP, IPTC)\n"
    "  --seed N               seed for effects that scatter at random (default: the time);\n"
    "                         in a batch each photo's seed comes from N and its file name\n"
    "  --crop WxH+X+Y         keep that rectangle (sides rounded down to multiples of 4)\n"
    "  --rotate 90|180|270    turn clockwise\n"
    "  --flip horizontal|vertical\n"
    "  --straighten DEGREES   turn -45..45 degrees clockwise and cut to the upright part\n"
    "  --resize WxH|N%        fit within WxH (aspect kept) or scale by N percent\n"
    "  --heal MASK            fill the area MASK marks from the rest of the photo: MASK is\n"
    "                         a picture of the photo's proportions, scaled to it, and any\n"
    "                         pixel that is not black marks the area (at most two thirds\n"
    "                         of the photo)\n"
    "  -l, --list             list the effects (--list-effects is the same)\n"
    "  -h, --help             show this text\n"
    "The crop, rotate, flip, straighten, resize and heal steps run in the order\n"
    "given, among the effects.\n";

struct Options {
    std::string input;
    std::string output;
    FolderSettings folder;
    OverlaySettings overlay;
    std::vector<std::string> effects;
    PlacedGeometrySteps geometry;
    // Each --heal: the effects and geometry steps given before it, and its mask.
    struct PlacedHeal {
        size_t effectIndex;
        size_t geometryIndex;
        std::string mask;
    };
    std::vector<PlacedHeal> heals;
    int thresholdWidth = kDefaultThresholdWidth;
    int thresholdHeight = kDefaultThresholdHeight;
    SaveOptions save;
    std::optional<unsigned> seed;
    bool list = false;
    bool help = false;
    BatchAdjustments adjustments;
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
        } else if (arg == "--adjust" || arg == "--fade") {
            const char* value = next(arg == "--fade" ? "a percentage" : "settings key=value,...");
            if (!value)
                return false;
            const bool ok = arg == "--fade" ? options.adjustments.parseFade(value, options.effects.size())
                                            : options.adjustments.parseAdjust(value, options.effects.size());
            if (!ok)
                return false;
        } else if (arg == "--levels" || arg == "--curves" || arg == "--auto") {
            const char* value =
                arg == "--auto" ? "" : next(arg == "--levels" ? "black,gamma,white[,channel]" : "points \"x,y x,y ...\"");
            if (!value || !options.adjustments.parseTone(arg, value, options.effects.size()))
                return false;
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
        } else if (arg == "--max-size" && i + 1 < argc && std::string_view(argv[i + 1]).find_first_of("xX") != std::string_view::npos) {
            const std::string_view text(argv[++i]);
            const size_t x = text.find_first_of("xX");
            if (!ParseSize(text.substr(0, x), text.substr(x + 1), options)) {
                std::fprintf(stderr, "ombrik-cli: bad size '%s' (expected WxH, each 1..10000)\n", argv[i]);
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
            options.save.quality = int(*q);
        } else if (arg == "--lossless") {
            options.save.lossless = true;
        } else if (arg == "--strip-metadata") {
            options.save.stripMetadata = true;
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
        } else if (arg == "--heal") {
            const char* value = next("a mask picture");
            if (!value)
                return false;
            options.heals.push_back({options.effects.size(), options.geometry.size(), value});
        } else if (IsGeometryOption(arg)) {
            const char* value = next("a value (see --help)");
            if (!value)
                return false;
            BatchGeometryStep step;
            std::string error;
            if (!ParseGeometryStep(arg, value, step, error)) {
                std::fprintf(stderr, "ombrik-cli: %s\n", error.c_str());
                return false;
            }
            options.geometry.emplace_back(options.effects.size(), std::move(step));
        } else if (arg.size() > 1 && arg[0] == '-') {
            // Options of the folder run and of the decorations read themselves.
            std::string error;
            int used = ParseFolderArgument(argc, argv, i, options.folder, error);
            if (used == 0)
                used = ParseOverlayArgument(argc, argv, i, options.overlay, error);
            if (used < 0) {
                std::fprintf(stderr, "ombrik-cli: %s\n", error.c_str());
                return false;
            }
            if (used == 0) {
                std::fprintf(stderr, "ombrik-cli: unknown option '%s' (see --help)\n", arg.c_str());
                return false;
            }
            i += used - 1;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help || options.list || options.overlay.listFrames)
        return true;
    if (!options.folder.outputDir.empty()) {
        if (!options.output.empty() || positional.empty()) {
            std::fprintf(stderr, "ombrik-cli: --output-dir takes input pictures or folders and no --output (see --help)\n");
            return false;
        }
        options.folder.inputs = std::move(positional);
        return true;
    }
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

// The formats of the picture table as --help lists them: what is opened
// and what is written, with the extensions of each.
std::string FormatsUsage()
{
    std::string read;
    std::string written;
    for (const PictureFormat& format : PictureFormats()) {
        std::string entry = std::string("  ") + format.name + " (";
        for (const std::string& extension : format.extensions)
            entry += (entry.back() == '(' ? "." : " .") + extension;
        entry += ")\n";
        if (format.canRead)
            read += entry;
        if (format.canWrite)
            written += entry;
    }
    return "\nOpened:\n" + read + "Written (by the output's extension):\n" + written;
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
    // Only an option that belongs to the batch mode: file names alone (a file
    // manager opening several photos) open in the window, and the window's and
    // Qt's own options (-platform, --help, ...) are not ours to take.
    static constexpr std::string_view kBatchOptions[] = {
        "-e", "--effect", "--apply", "-o", "--output", "-l", "--list", "--list-effects", "--threshold",
        "--max-size", "--no-resize", "--quality", "--seed", "--crop", "--rotate", "--flip", "--straighten",
        "--resize", "--output-dir", "--recursive", "--format", "--suffix", "--overwrite", "--jobs", "--frame",
        "--list-frames", "--text", "--adjust", "--fade", "--lossless", "--strip-metadata", "--heal", "--levels",
        "--curves", "--auto"};
    for (int i = 1; i < argc; ++i)
        if (std::find(std::begin(kBatchOptions), std::end(kBatchOptions), std::string_view(argv[i]))
            != std::end(kBatchOptions))
            return true;
    return false;
}

namespace {

// Ctrl+C asks the running effect to stop (the same flag the window's Cancel
// sets); a second Ctrl+C ends the program at once.
void OnInterrupt(int)
{
    RequestCancel();
}

void CatchInterrupt()
{
    struct sigaction interrupt {};
    interrupt.sa_handler = OnInterrupt;
    interrupt.sa_flags = SA_RESETHAND;
    sigemptyset(&interrupt.sa_mask);
    sigaction(SIGINT, &interrupt, nullptr);
}

bool Cancelled()
{
    if (!CancelRequested())
        return false;
    std::fputs("\nombrik-cli: cancelled; nothing was saved\n", stderr);
    return true;
}

// The Qt application object the run needs: text needs the font database and
// so a GUI application (on the offscreen platform: the batch shows no
// window). Reading, encoding and painting pictures need only the core one,
// which owns what Qt keeps for the main thread (its files and readers are
// Qt objects) and frees it at the end of the run.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool fonts)
{
    if (QCoreApplication::instance())
        return nullptr;
    if (!fonts)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The heal steps given before effect `effectIndex` and after `geometryIndex`
// geometry steps.
void AddHealSteps(const Options& options, const std::vector<std::shared_ptr<const HealMaskPicture>>& masks,
                  size_t effectIndex, size_t geometryIndex, std::vector<BatchStep>& steps)
{
    for (size_t h = 0; h < options.heals.size(); ++h)
        if (options.heals[h].effectIndex == effectIndex && options.heals[h].geometryIndex == geometryIndex)
            steps.push_back(HealStep(masks[h]));
}

// The geometry and heal steps given before effect `effectIndex` (or, with the
// number of effects, after the last one), as steps of the run, in the order
// given. A step that cannot be done on a photo (a crop outside it) is the
// caller's mistake: usage.
void AddGeometrySteps(const Options& options, const std::vector<std::shared_ptr<const HealMaskPicture>>& masks,
                      size_t effectIndex, std::vector<BatchStep>& steps)
{
    const int64_t maxArea = int64_t(options.thresholdWidth) * std::max(0, options.thresholdHeight);
    for (size_t g = 0; g <= options.geometry.size(); ++g) {
        AddHealSteps(options, masks, effectIndex, g, steps);
        if (g == options.geometry.size())
            break;
        const auto& [position, geometry] = options.geometry[g];
        if (position != effectIndex)
            continue;
        BatchStep step;
        step.label = geometry.text;
        step.failureIsUsage = true;
        step.apply = [geometry, maxArea](BatchPhoto& photo) {
            std::string error;
            return ApplyGeometryStep(geometry, photo.pixels, maxArea, error) ? std::string() : error;
        };
        steps.push_back(std::move(step));
    }
}

// The adjustments given before effect `effectIndex` (or after the last one).
void AddAdjustStep(const std::shared_ptr<const BatchAdjustments>& adjustments, size_t effectIndex,
                   std::vector<BatchStep>& steps)
{
    if (!adjustments->adjustsAt(effectIndex))
        return;
    BatchStep step;
    step.label = "Adjust";
    step.apply = [adjustments, effectIndex](BatchPhoto& photo) {
        adjustments->runAdjustments(effectIndex, photo.pixels);
        return std::string();
    };
    steps.push_back(std::move(step));
}

// Every check that can fail before any photo is touched: the effects become
// steps, the decorations their step after them.
bool BuildSteps(const Options& options, std::vector<BatchStep>& steps)
{
    int randomSteps = 0;
    size_t effectIndex = 0;
    const auto adjustments = std::make_shared<const BatchAdjustments>(options.adjustments);
    // Each mask is read once, before any photo, and shared by every photo.
    std::vector<std::shared_ptr<const HealMaskPicture>> masks;
    for (const Options::PlacedHeal& heal : options.heals) {
        std::string error;
        masks.push_back(LoadHealMask(heal.mask, error));
        if (!masks.back()) {
            std::fprintf(stderr, "ombrik-cli: %s\n", error.c_str());
            return false;
        }
    }
    for (const std::string& text : options.effects) {
        const EffectInfo* info = LookUpEffect(text);
        if (!info) {
            std::fprintf(stderr, "ombrik-cli: unknown effect '%s' (see --list)\n", text.c_str());
            return false;
        }
        // Lights, flares and warps need a place on the photo that only the
        // mouse gives; running without one would leave the photo unchanged.
        if (!RunsInBatch(*info)) {
            std::fprintf(stderr,
                         "ombrik-cli: effect '%s' (%d) cannot run in a batch: it is placed or painted with the "
                         "mouse in the editor (see --list)\n",
                         EffectLabel(*info).c_str(), info->id);
            return false;
        }
        AddGeometrySteps(options, masks, effectIndex, steps);
        AddAdjustStep(adjustments, effectIndex, steps);
        BatchStep effect = EffectStep(*info, DrawsRandomNumbers(*info) ? randomSteps++ : 0);
        if (adjustments->fades(effectIndex)) {
            // The effect's result blended with the photo it was given.
            effect.apply = [run = effect.apply, adjustments, effectIndex](BatchPhoto& photo) {
                const PixelBuffer before = photo.pixels;
                std::string error = run(photo);
                if (error.empty())
                    adjustments->fadeEffect(effectIndex, before, photo.pixels);
                return error;
            };
        }
        steps.push_back(std::move(effect));
        ++effectIndex;
    }
    AddGeometrySteps(options, masks, effectIndex, steps);
    AddAdjustStep(adjustments, effectIndex, steps);
    if (const std::string error = AddOverlayStep(options.overlay, steps); !error.empty()) {
        std::fprintf(stderr, "ombrik-cli: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The single-file form: one photo, a progress bar per step.
int RunSingle(const Options& options, const std::vector<BatchStep>& steps, uint32_t seed)
{
    // Before any work: the output's extension must name a format that is written.
    if (const PictureFormat* format = PictureFormatForPath(options.output); !format || !format->canWrite) {
        std::fprintf(stderr, "ombrik-cli: cannot save '%s': %s\n", options.output.c_str(),
                     SaveStatusText(SaveStatus::NoEncoder));
        return kBatchSaveFailed;
    }

    LoadedPhoto loaded = LoadPhoto(options.input, options.thresholdWidth, options.thresholdHeight);
    if (!loaded.ok) {
        std::fprintf(stderr, "ombrik-cli: '%s' could not be opened: %s\n", options.input.c_str(), loaded.error.c_str());
        return kBatchOpenFailed;
    }
    if (loaded.damaged)
        std::fprintf(stderr, "ombrik-cli: warning: '%s' is damaged: part of the picture may be missing\n",
                     options.input.c_str());
    for (const std::string& note : loaded.metadata.notes)
        std::fprintf(stderr, "%s: %s\n", options.input.c_str(), note.c_str());
    BatchPhoto photo{std::move(loaded.photo), options.input, seed};
    std::fprintf(stderr, "%s: %d x %d\n", options.input.c_str(), photo.pixels.width, photo.pixels.height);
    for (const BatchStep& step : steps) {
        if (Cancelled())
            return kBatchCancelled;
        TerminalProgress bar(step.label);
        std::string error;
        {
            ScopedProgressSink sink([&bar](int percent) { bar.show(percent); });
            error = RunStep(step, photo);
        }
        if (!error.empty()) {
            std::fprintf(stderr, "\nombrik-cli: %s: %s\n", step.label.c_str(), error.c_str());
            return step.failureIsUsage ? kBatchUsage : kBatchSaveFailed;
        }
        if (Cancelled())
            return kBatchCancelled;
        bar.finish();
    }
    if (Cancelled())
        return kBatchCancelled;

    const SaveResult saved = SavePhoto(photo.pixels, options.output, &loaded.metadata, options.save);
    if (!saved.ok()) {
        std::fprintf(stderr, "ombrik-cli: cannot save '%s': %s\n", options.output.c_str(),
                     SaveStatusText(saved.status));
        return kBatchSaveFailed;
    }
    for (const std::string& note : saved.notes)
        std::fprintf(stderr, "%s: %s\n", options.output.c_str(), note.c_str());
    std::fprintf(stderr, "saved %s\n", options.output.c_str());
    return kBatchOk;
}

} // namespace

int RunBatchMode(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options))
        return kBatchUsage;
    if (options.help) {
        std::fputs(kUsage, stdout);
        std::fputs(kFolderUsage, stdout);
        std::fputs(kOverlayUsage, stdout);
        std::fputs(BatchAdjustments::usage(), stdout);
        std::fputs(FormatsUsage().c_str(), stdout);
        return kBatchOk;
    }
    if (options.list) {
        ListEffects();
        return kBatchOk;
    }
    if (options.overlay.listFrames) {
        ListFrames();
        return kBatchOk;
    }

    int appArgc = 1;
    const auto app = MakeApplication(appArgc, argv, OverlayNeedsFonts(options.overlay));
    std::vector<BatchStep> steps;
    if (!BuildSteps(options, steps))
        return kBatchUsage;
    CatchInterrupt();
    const uint32_t seed = options.seed ? *options.seed : uint32_t(std::time(nullptr));

    if (!options.folder.outputDir.empty()) {
        FolderRun run;
        run.settings = options.folder;
        run.thresholdWidth = options.thresholdWidth;
        run.thresholdHeight = options.thresholdHeight;
        run.save = options.save;
        run.seed = seed;
        return RunFolderBatch(run, steps);
    }
    // One photo keeps the seed as given, as the canvas does on every load.
    return RunSingle(options, steps, seed);
}

} // namespace ombrik
