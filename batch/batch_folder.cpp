#include "batch/batch_folder.h"

#include "batch/batch_mode.h"
#include "engine/progress.h"

#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "files/picture_formats.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>

#include <unistd.h>

namespace ombrik {

namespace fs = std::filesystem;

const char* const kFolderUsage =
    "  --output-dir DIR       write every picture into DIR under its own name (many inputs)\n"
    "  --recursive            descend into the subfolders of input folders (mirrored in DIR)\n"
    "  --format EXT           write in this format (jpg, png, webp, avif, jxl, ...: see below)\n"
    "  --suffix TEXT          add TEXT to each output name before the extension\n"
    "  --overwrite            replace outputs that exist (never an input)\n"
    "  --jobs N               photos edited at once (default: one per core)\n";

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A name the loader opens, by its extension.
bool IsPictureName(const fs::path& path)
{
    const PictureFormat* format = PictureFormatForPath(path.filename().string());
    return format && format->canRead;
}

// An extension (no dot, any case) the saver writes.
bool IsWrittenExtension(const std::string& extension)
{
    const PictureFormat* format = PictureFormatForExtension(extension);
    return format && format->canWrite;
}

fs::path Canonical(const fs::path& path)
{
    std::error_code error;
    fs::path out = fs::weakly_canonical(path, error);
    return error ? fs::absolute(path, error) : out;
}

std::string Clock(double seconds)
{
    const long s = long(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

// A planned photo: where it comes from, where it goes, or why it cannot go.
struct Plan {
    BatchItem item;
    std::string name;    // the input's file name, for the seed
    std::string error;   // found while planning: the photo fails at once
};

enum class Outcome { Written, Failed, Skipped };

// The batch's one progress display: a bar redrawn in place on a terminal,
// plain lines otherwise. Called from every job.
class BatchProgress {
public:
    explicit BatchProgress(int total)
        : m_total(total), m_tty(isatty(fileno(stderr)) != 0), m_start(std::chrono::steady_clock::now())
    {
        if (m_tty)
            drawBar();
    }

    void note(const std::string& line)
    {
        const std::lock_guard guard(m_lock);
        print(line);
    }

    // One photo is done: its warnings, then its line. `damaged` counts a
    // written photo whose input was damaged.
    void done(Outcome outcome, const std::string& line, const std::vector<std::string>& warnings, bool damaged)
    {
        const std::lock_guard guard(m_lock);
        ++m_done;
        ++m_counts[int(outcome)];
        if (outcome == Outcome::Written && damaged)
            ++m_damaged;
        for (const std::string& warning : warnings)
            print(warning);
        // A terminal shows failures and skips above the bar; a log gets every photo.
        if (!m_tty || outcome != Outcome::Written)
            print(line);
        else
            drawBar();
    }

    void finish()
    {
        const std::lock_guard guard(m_lock);
        if (m_tty)
            std::fputs("\r\033[K", stderr);
        const std::string damaged = m_damaged > 0 ? " (" + std::to_string(m_damaged) + " damaged)" : "";
        std::fprintf(stderr, "%d written%s, %d failed, %d skipped (%s)\n", m_counts[0], damaged.c_str(), m_counts[1],
                     m_counts[2], Clock(elapsed()).c_str());
        std::fflush(stderr);
    }

    int count(Outcome outcome) const { return m_counts[int(outcome)]; }

private:
    double elapsed() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    void print(const std::string& line)
    {
        if (m_tty)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s\n", line.c_str());
        if (m_tty)
            drawBar();
        std::fflush(stderr);
    }

    void drawBar()
    {
        constexpr int kBar = 30;
        const int filled = m_total > 0 ? m_done * kBar / m_total : kBar;
        const double seconds = elapsed();
        const std::string left = m_done > 0 ? Clock(seconds / m_done * (m_total - m_done)) + " left" : "";
        std::fprintf(stderr, "\r[%s%s] %d/%d photos  %s elapsed  %s\033[K", std::string(size_t(filled), '#').c_str(),
                     std::string(size_t(kBar - filled), '.').c_str(), m_done, m_total, Clock(seconds).c_str(),
                     left.c_str());
        std::fflush(stderr);
    }

    std::mutex m_lock;
    int m_total;
    bool m_tty;
    std::chrono::steady_clock::time_point m_start;
    int m_done = 0;
    int m_counts[3] = {0, 0, 0};
    int m_damaged = 0;
};

// The output name of `input` found as `relative` below an input folder (or
// on its own): the same name with the suffix and the output extension.
fs::path OutputPath(const FolderSettings& s, const fs::path& relative)
{
    const std::string ext = s.format.empty() ? relative.extension().string() : "." + s.format;
    fs::path name = relative.stem();
    name += s.suffix;
    name += ext;
    return fs::path(s.outputDir) / relative.parent_path() / name;
}

// Walks the inputs into the list of photos in a stable order: inputs as
// given, each folder's pictures sorted by path.
std::vector<Plan> PlanBatch(const FolderSettings& s, std::vector<std::string>& messages)
{
    const fs::path outputDir = Canonical(s.outputDir);
    std::vector<std::pair<fs::path, fs::path>> found;  // (input, path relative to the output folder)
    for (const std::string& input : s.inputs) {
        std::error_code error;
        const fs::path root(input);
        if (!fs::is_directory(root, error)) {
            found.emplace_back(root, root.filename());
            continue;
        }
        std::vector<std::pair<fs::path, fs::path>> inFolder;
        auto consider = [&](const fs::directory_entry& entry) {
            const fs::path& p = entry.path();
            if (p.filename().string().starts_with('.') || !entry.is_regular_file(error))
                return;
            if (!IsPictureName(p)) {
                messages.push_back("ignored " + p.string() + ": not a picture format");
                return;
            }
            inFolder.emplace_back(p, s.recursive ? p.lexically_relative(root) : p.filename());
        };
        if (s.recursive) {
            const auto options = fs::directory_options::skip_permission_denied;
            for (auto it = fs::recursive_directory_iterator(root, options, error);
                 !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
                const std::string leaf = it->path().filename().string();
                if (it->is_directory(error)) {
                    // Hidden folders and the output folder itself are not walked.
                    if (leaf.starts_with('.') || Canonical(it->path()) == outputDir)
                        it.disable_recursion_pending();
                    continue;
                }
                consider(*it);
            }
        } else {
            for (auto it = fs::directory_iterator(root, error); !error && it != fs::directory_iterator();
                 it.increment(error))
                consider(*it);
        }
        if (error)
            messages.push_back("cannot read the folder " + input + ": " + error.message());
        std::sort(inFolder.begin(), inFolder.end());
        found.insert(found.end(), inFolder.begin(), inFolder.end());
    }

    std::vector<Plan> plans;
    std::set<fs::path> inputs;
    std::map<fs::path, std::string> outputs;
    for (const auto& [input, relative] : found) {
        const fs::path canonical = Canonical(input);
        if (!inputs.insert(canonical).second) {
            messages.push_back("listed twice, edited once: " + input.string());
            continue;
        }
        Plan plan;
        plan.item.input = input.string();
        plan.name = input.filename().string();
        const fs::path output = OutputPath(s, relative);
        plan.item.output = output.string();
        std::string ext = Lower(output.extension().string());
        if (!ext.empty())
            ext.erase(0, 1);
        const auto [at, fresh] = outputs.emplace(Canonical(output), plan.item.input);
        if (!fresh)
            plan.error = "it would be written to " + plan.item.output + " as " + at->second + " is";
        else if (!IsWrittenExtension(ext))
            plan.error = "no picture format can be written as '." + ext + "' (choose one with --format)";
        plans.push_back(std::move(plan));
    }
    // Outputs that are inputs are never written, whatever the options.
    for (Plan& plan : plans)
        if (plan.error.empty() && inputs.count(Canonical(plan.item.output)))
            plan.error = "its output " + plan.item.output + " is an input of this run";
    return plans;
}

std::string CheckOutputFolder(const std::string& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder))
        return "the output folder " + folder + " cannot be created" + (error ? ": " + error.message() : "");
    std::string probe = (fs::path(folder) / ".ombrik-write-test.XXXXXX").string();
    const int fd = mkstemp(probe.data());
    if (fd < 0)
        return "the output folder " + folder + " cannot be written";
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

struct Result {
    Outcome outcome;
    std::string line;
    std::vector<std::string> warnings = {};  // printed before the line
    bool damaged = false;               // the input was damaged (and opened)
};

Result EditOne(const FolderRun& run, const std::vector<BatchStep>& steps, const Plan& plan)
{
    const std::string& in = plan.item.input;
    const std::string& out = plan.item.output;
    if (!plan.error.empty())
        return {Outcome::Failed, "failed " + in + ": " + plan.error};
    // After Ctrl+C no photo is started, and one whose effect was stopped
    // half-way is not saved.
    if (CancelRequested())
        return {Outcome::Skipped, "not edited " + in + ": cancelled"};
    std::error_code error;
    if (fs::exists(out, error) && !run.settings.overwrite)
        return {Outcome::Skipped, "skipped " + in + ": " + out + " exists (--overwrite replaces it)"};
    LoadedPhoto loaded = LoadPhoto(in, run.thresholdWidth, run.thresholdHeight);
    if (!loaded.ok)
        return {Outcome::Failed, "failed " + in + ": it could not be opened: " + loaded.error};
    Result result{Outcome::Written, "written " + out};
    result.damaged = loaded.damaged;
    if (loaded.damaged)
        result.warnings.push_back("warning: " + in + " is damaged: part of the picture may be missing");
    for (const std::string& note : loaded.metadata.notes)
        result.warnings.push_back(in + ": " + note);
    BatchPhoto photo{std::move(loaded.photo), in, PhotoSeed(run.seed, plan.name)};
    if (std::string why = RunSteps(steps, photo); !why.empty())
        return {Outcome::Failed, "failed " + in + ": " + why, std::move(result.warnings)};
    if (CancelRequested())
        return {Outcome::Skipped, "not saved " + in + ": cancelled", std::move(result.warnings)};
    fs::create_directories(fs::path(out).parent_path(), error);
    const SaveResult saved = SavePhoto(photo.pixels, out, &loaded.metadata, run.save);
    if (!saved.ok())
        return {Outcome::Failed, "failed " + in + ": cannot save " + out + ": " + SaveStatusText(saved.status),
                std::move(result.warnings)};
    for (const std::string& note : saved.notes)
        result.warnings.push_back(out + ": " + note);
    return result;
}

} // namespace

int ParseFolderArgument(int argc, char** argv, int i, FolderSettings& s, std::string& error)
{
    const std::string_view arg = argv[i];
    if (arg == "--recursive" || arg == "-r") {
        s.recursive = true;
        return 1;
    }
    if (arg == "--overwrite") {
        s.overwrite = true;
        return 1;
    }
    if (arg != "--output-dir" && arg != "--format" && arg != "--suffix" && arg != "--jobs" && arg != "-j")
        return 0;
    if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return -1;
    }
    const std::string value = argv[i + 1];
    if (arg == "--output-dir") {
        if (value.empty()) {
            error = "--output-dir needs a folder";
            return -1;
        }
        s.outputDir = value;
    } else if (arg == "--format") {
        std::string ext = Lower(value);
        if (!ext.empty() && ext.front() == '.')
            ext.erase(0, 1);
        if (ext.empty() || ext.find('/') != std::string::npos || !IsWrittenExtension(ext)) {
            error = "no picture format can be written as '" + value + "'";
            return -1;
        }
        s.format = ext;
    } else if (arg == "--suffix") {
        if (value.find('/') != std::string::npos) {
            error = "the suffix cannot hold '/'";
            return -1;
        }
        s.suffix = value;
    } else {
        int jobs = 0;
        const auto [end, e] = std::from_chars(value.data(), value.data() + value.size(), jobs);
        if (e != std::errc() || end != value.data() + value.size() || jobs < 1 || jobs > 256) {
            error = "bad job count '" + value + "' (expected 1..256)";
            return -1;
        }
        s.jobs = jobs;
    }
    return 2;
}

int RunFolderBatch(const FolderRun& run, const std::vector<BatchStep>& steps)
{
    if (std::string why = CheckOutputFolder(run.settings.outputDir); !why.empty()) {
        std::fprintf(stderr, "ombrik-cli: %s\n", why.c_str());
        return kBatchSaveFailed;
    }
    std::vector<std::string> messages;
    const std::vector<Plan> plans = PlanBatch(run.settings, messages);
    for (const std::string& m : messages)
        std::fprintf(stderr, "%s\n", m.c_str());
    if (plans.empty()) {
        std::fprintf(stderr, "ombrik-cli: no pictures to edit\n");
        return kBatchSomeFailed;
    }

    BatchProgress progress(int(plans.size()));
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int jobs = std::clamp(run.settings.jobs > 0 ? run.settings.jobs : cores, 1, int(plans.size()));
    // Each job takes the next photo until none is left: at most `jobs` photos
    // are in memory at once.
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < plans.size(); k = next++) {
            const Result result = EditOne(run, steps, plans[k]);
            progress.done(result.outcome, result.line, result.warnings, result.damaged);
        }
    };
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    progress.finish();
    if (CancelRequested())
        return kBatchCancelled;
    return progress.count(Outcome::Written) == int(plans.size()) ? kBatchOk : kBatchSomeFailed;
}

} // namespace ombrik
