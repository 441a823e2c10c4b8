// Journals on disk: their state files taken apart and checked, the journals
// that editors which are gone left behind, and reading one back whole.
#include "recovery/journal_format.h"
#include "files/pixel_image.h"
#include "recovery/recovery_journal.h"

#include <zlib.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMetaObject>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace ombrik {

using namespace journal;

namespace {

class In {
public:
    In(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_size; }
    template <typename T> T get()
    {
        T value{};
        if (m_size - m_pos < sizeof(T)) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::string getString()
    {
        const uint32_t n = get<uint32_t>();
        if (!m_ok || n > kMaxString || m_size - m_pos < n) {
            m_ok = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    uint32_t getCount()
    {
        const uint32_t n = get<uint32_t>();
        if (n > kMaxCount)
            m_ok = false;
        return m_ok ? n : 0;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

void PutObjects(Out& out, const std::vector<CanvasObject>& objects, const std::vector<ObjectKind>& kinds)
{
    out.put<uint32_t>(uint32_t(objects.size()));
    for (size_t i = 0; i < objects.size(); ++i) {
        const CanvasObject& o = objects[i];
        out.put<int32_t>(int32_t(i < kinds.size() ? kinds[i] : ObjectKind::Text));
        out.put<int32_t>(o.font.height);
        out.put<int32_t>(o.font.width);
        out.putString(o.font.faceName);
        out.putString(o.text);
        out.put<int32_t>(o.style);
        out.put<float>(o.angle);
        out.put<int32_t>(o.textWidth);
        out.put<int32_t>(o.textHeight);
        out.put<float>(o.scale);
        out.put<uint32_t>(o.colour1);
        out.put<uint32_t>(o.colour2);
        out.put<uint8_t>(o.selected ? 1 : 0);
        out.put<float>(o.transparency);
        out.put<int32_t>(o.x);
        out.put<int32_t>(o.y);
        out.put<int32_t>(o.dragStartX);
        out.put<int32_t>(o.dragStartY);
        out.put<int32_t>(o.hitShapeIndex);
    }
}

bool GetObjects(In& in, std::vector<CanvasObject>& objects, std::vector<ObjectKind>& kinds)
{
    const uint32_t n = in.getCount();
    for (uint32_t i = 0; i < n && in.ok(); ++i) {
        const int32_t kind = in.get<int32_t>();
        CanvasObject o;
        o.font.height = in.get<int32_t>();
        o.font.width = in.get<int32_t>();
        o.font.faceName = in.getString();
        o.text = in.getString();
        o.style = in.get<int32_t>();
        o.angle = in.get<float>();
        o.textWidth = in.get<int32_t>();
        o.textHeight = in.get<int32_t>();
        o.scale = in.get<float>();
        o.colour1 = in.get<uint32_t>();
        o.colour2 = in.get<uint32_t>();
        o.selected = in.get<uint8_t>() != 0;
        o.transparency = in.get<float>();
        o.x = in.get<int32_t>();
        o.y = in.get<int32_t>();
        o.dragStartX = in.get<int32_t>();
        o.dragStartY = in.get<int32_t>();
        o.hitShapeIndex = in.get<int32_t>();
        if (kind != int32_t(ObjectKind::Text))
            return false;
        objects.push_back(std::move(o));
        kinds.push_back(ObjectKind(kind));
    }
    return in.ok();
}

// The crops, turns and resizes that lead from the opened photo to a step.
void PutGeometry(Out& out, const std::vector<GeometryOp>& ops)
{
    out.put<uint32_t>(uint32_t(ops.size()));
    for (const GeometryOp& op : ops) {
        out.put<int32_t>(int32_t(op.kind));
        for (int v : {op.x, op.y, op.width, op.height, op.quarterTurns})
            out.put<int32_t>(v);
        out.put<uint8_t>(op.horizontal ? 1 : 0);
        out.put<double>(op.degrees);
    }
}

bool GetGeometry(In& in, std::vector<GeometryOp>& ops)
{
    const uint32_t n = in.getCount();
    for (uint32_t i = 0; i < n && in.ok(); ++i) {
        GeometryOp op;
        const int32_t kind = in.get<int32_t>();
        if (kind < int32_t(GeometryOp::Kind::Crop) || kind > int32_t(GeometryOp::Kind::Resize))
            return false;
        op.kind = GeometryOp::Kind(kind);
        op.x = in.get<int32_t>();
        op.y = in.get<int32_t>();
        op.width = in.get<int32_t>();
        op.height = in.get<int32_t>();
        op.quarterTurns = in.get<int32_t>();
        op.horizontal = in.get<uint8_t>() != 0;
        op.degrees = in.get<double>();
        if (!std::isfinite(op.degrees))
            return false;
        ops.push_back(op);
    }
    return in.ok();
}

struct FileRecord {
    uint64_t serial = 0;
    uint64_t size = 0;
    uint32_t crc = 0;
};

// A state file taken apart and checked for consistency.
struct ParsedState {
    int64_t savedAtMs = 0;
    int openedWidth = 0, openedHeight = 0;
    FileRecord opened;
    std::vector<FileRecord> snapshots;
    RecoveredDocument doc;  // without pictures
};

bool ReadWholeFile(const fs::path& path, uint64_t limit, std::vector<uint8_t>& bytes, std::string& problem)
{
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 is missing"), path.filename().string());
        return false;
    }
    if (size > limit) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 is too large"), path.filename().string());
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 cannot be read"), path.filename().string());
        return false;
    }
    bytes.resize(size_t(size));
    const size_t got = size ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
    std::fclose(f);
    if (got != bytes.size()) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 cannot be read"), path.filename().string());
        return false;
    }
    return true;
}

bool ParseState(const std::vector<uint8_t>& bytes, ParsedState& state, std::string& problem)
{
    In head(bytes.data(), bytes.size());
    const auto magic = head.get<std::array<char, 8>>();
    const uint32_t version = head.get<uint32_t>();
    const uint64_t length = head.get<uint64_t>();
    const uint32_t crc = head.get<uint32_t>();
    if (!head.ok() || std::memcmp(magic.data(), kMagic, magic.size()) != 0) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "it is not a recovery journal"));
        return false;
    }
    if (version != kVersion) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "it was written by another version (%1)"), std::to_string(version));
        return false;
    }
    constexpr size_t kHead = 8 + 4 + 8 + 4;
    if (length != bytes.size() - kHead) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "its state is truncated"));
        return false;
    }
    const uint8_t* rest = bytes.data() + kHead;
    if (JournalChecksum(rest, size_t(length)) != crc) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "its state has a bad checksum"));
        return false;
    }
    In in(rest, size_t(length));
    state.savedAtMs = in.get<int64_t>();
    state.openedWidth = in.get<int32_t>();
    state.openedHeight = in.get<int32_t>();
    state.opened.size = in.get<uint64_t>();
    state.opened.crc = in.get<uint32_t>();
    const uint32_t snapshots = in.getCount();
    for (uint32_t i = 0; i < snapshots && in.ok(); ++i) {
        FileRecord r;
        r.serial = in.get<uint64_t>();
        r.size = in.get<uint64_t>();
        r.crc = in.get<uint32_t>();
        if (r.size == 0 || r.size > kMaxPictureBytes)
            problem = Reason(QT_TRANSLATE_NOOP("Reasons", "a snapshot has an impossible size"));
        state.snapshots.push_back(r);
    }
    RecoveredDocument& doc = state.doc;
    doc.photoPath = in.getString();
    doc.historyPos = in.get<int32_t>();
    doc.currentSnapshot = in.get<int32_t>();
    doc.frameIndex = in.get<int32_t>();
    const uint32_t steps = in.getCount();
    for (uint32_t i = 0; i < steps && in.ok(); ++i) {
        HistoryStep step;
        step.snapshotIndex = in.get<int32_t>();
        step.frameIndex = in.get<int32_t>();
        if (!GetObjects(in, step.objects, step.kinds) || !GetGeometry(in, step.geometry))
            break;
        if (step.snapshotIndex < -1 || step.snapshotIndex >= int64_t(snapshots))
            problem = Reason(QT_TRANSLATE_NOOP("Reasons", "a history step refers to a missing snapshot"));
        doc.history.push_back(std::move(step));
    }
    if (in.ok())
        GetObjects(in, doc.objects, doc.kinds);
    if (!in.ok() || !in.atEnd()) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "its state cannot be read"));
        return false;
    }
    if (!problem.empty())
        return false;
    if (state.openedWidth <= 0 || state.openedHeight <= 0 || state.openedWidth > kMaxSide
        || state.openedHeight > kMaxSide || state.openedWidth % 4 != 0 || state.opened.size == 0
        || state.opened.size > kMaxPictureBytes) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the opened photo has an impossible size"));
        return false;
    }
    if (doc.photoPath.empty() || doc.history.empty() || doc.historyPos < -1
        || doc.historyPos >= int64_t(doc.history.size()) || doc.currentSnapshot < -1
        || doc.currentSnapshot >= int64_t(snapshots)) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "its history position is impossible"));
        return false;
    }
    return true;
}

// Reads and checks the state of a journal folder.
bool LoadState(const fs::path& folder, ParsedState& state, std::string& problem)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(folder / kStateName, kMaxStateBytes, bytes, problem))
        return false;
    return ParseState(bytes, state, problem);
}

// Sizes of the files a state refers to, without reading them.
bool FilesPresent(const fs::path& folder, const ParsedState& state, std::string& problem)
{
    auto check = [&](const fs::path& path, uint64_t size) {
        std::error_code ec;
        const uintmax_t actual = fs::file_size(path, ec);
        if (ec) {
            problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 is missing"), path.filename().string());
            return false;
        }
        if (actual != size) {
            problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the file %1 is truncated"), path.filename().string());
            return false;
        }
        return true;
    };
    if (!check(folder / kOpenedName, state.opened.size))
        return false;
    for (const FileRecord& r : state.snapshots)
        if (!check(folder / SnapshotName(r.serial), r.size))
            return false;
    return true;
}

// True while a running editor holds the folder's lock.
bool OwnedByRunningEditor(const fs::path& folder)
{
    const int fd = ::open((folder / kLockName).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

std::optional<PixelBuffer> DecodeOpenedPhoto(const std::vector<uint8_t>& bytes)
{
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return PixelBufferFromImage(image);
}

} // namespace

namespace journal {

std::vector<uint8_t> DocumentPart(const CanvasDocument& doc)
{
    Out out;
    out.putString(doc.photoPath());
    out.put<int32_t>(doc.historyPos());
    out.put<int32_t>(doc.currentSnapshot());
    out.put<int32_t>(doc.frameIndex());
    out.put<uint32_t>(uint32_t(doc.history().size()));
    for (const HistoryStep& step : doc.history()) {
        out.put<int32_t>(step.snapshotIndex);
        out.put<int32_t>(step.frameIndex);
        PutObjects(out, step.objects, step.kinds);
        PutGeometry(out, step.geometry);
    }
    PutObjects(out, doc.objects(), doc.objectKinds());
    return std::move(out.bytes);
}

std::string SnapshotName(uint64_t serial)
{
    return "snap-" + std::to_string(serial) + ".jpg";
}

bool FsyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace journal

// --- Finding and reading journals --------------------------------------------------

uint32_t JournalChecksum(const uint8_t* data, size_t size)
{
    // zlib's CRC-32, fed in blocks its 32-bit length can hold.
    uLong crc = crc32(0L, Z_NULL, 0);
    while (size > 0) {
        const uInt block = uInt(std::min<size_t>(size, 1u << 30));
        crc = crc32(crc, data, block);
        data += block;
        size -= block;
    }
    return uint32_t(crc);
}

std::string RecoveryRoot()
{
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        base = state;
    else if (const char* home = std::getenv("HOME"); home && home[0])
        base = std::string(home) + "/.local/state";
    else
        return {};
    return base + "/ombrik/recovery";
}

std::vector<LeftJournal> FindLeftJournals(const std::string& root, int maxAgeDays, int budgetMs)
{
    std::vector<LeftJournal> found;
    std::error_code ec;
    if (root.empty() || !fs::is_directory(root, ec))
        return found;
    const auto start = std::chrono::steady_clock::now();
    const int64_t oldest = NowMs() - int64_t(maxAgeDays) * 24 * 3600 * 1000;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(budgetMs))
            break;
        const fs::path folder = it->path();
        if (!it->is_directory(ec) || OwnedByRunningEditor(folder))
            continue;
        const std::string name = folder.filename().string();
        // The time of the last state written, or of the folder without one.
        struct stat info {};
        const bool timed = ::stat((folder / kStateName).c_str(), &info) == 0 || ::stat(folder.c_str(), &info) == 0;
        const int64_t touchedMs = timed ? int64_t(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000 : 0;
        // Half-made folders, journals without any state and old ones go quietly.
        if (name.starts_with(".") || !fs::exists(folder / kStateName, ec) || touchedMs < oldest) {
            RemoveJournal(folder.string());
            continue;
        }
        if (fs::exists(folder / kReportedName, ec))
            continue;
        LeftJournal left;
        left.folder = folder.string();
        left.savedAtMs = touchedMs;
        ParsedState state;
        if (LoadState(folder, state, left.problem) && FilesPresent(folder, state, left.problem)) {
            left.savedAtMs = state.savedAtMs;
            left.steps = int(state.doc.history.size());
            left.historyPos = state.doc.historyPos;
        }
        left.photoPath = state.doc.photoPath;
        found.push_back(std::move(left));
    }
    std::sort(found.begin(), found.end(),
              [](const LeftJournal& a, const LeftJournal& b) { return a.savedAtMs > b.savedAtMs; });
    return found;
}

std::optional<RecoveredDocument> ReadJournal(const std::string& folderName, std::string* problemOut)
{
    std::string scratch;
    std::string& problem = problemOut ? *problemOut : scratch;
    problem.clear();
    const fs::path folder(folderName);
    ParsedState state;
    if (!LoadState(folder, state, problem))
        return std::nullopt;

    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(folder / kOpenedName, kMaxPictureBytes, bytes, problem))
        return std::nullopt;
    if (bytes.size() != state.opened.size || JournalChecksum(bytes.data(), bytes.size()) != state.opened.crc) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the opened photo is damaged"));
        return std::nullopt;
    }
    std::optional<PixelBuffer> opened = DecodeOpenedPhoto(bytes);
    if (!opened || opened->width != state.openedWidth || opened->height != state.openedHeight) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the opened photo does not decode"));
        return std::nullopt;
    }
    RecoveredDocument doc = std::move(state.doc);
    doc.openedPhoto = std::move(*opened);
    for (const FileRecord& r : state.snapshots) {
        PhotoSnapshot snapshot;
        if (!ReadWholeFile(folder / SnapshotName(r.serial), kMaxPictureBytes, snapshot.bytes, problem))
            return std::nullopt;
        if (snapshot.bytes.size() != r.size || JournalChecksum(snapshot.bytes.data(), snapshot.bytes.size()) != r.crc) {
            problem = Reason(QT_TRANSLATE_NOOP("Reasons", "a snapshot is damaged"));
            return std::nullopt;
        }
        snapshot.serial = r.serial;
        doc.snapshots.push_back(std::move(snapshot));
    }
    if (doc.currentSnapshot >= 0 && !DecodeSnapshot(doc.snapshots[size_t(doc.currentSnapshot)])) {
        problem = Reason(QT_TRANSLATE_NOOP("Reasons", "the current photo does not decode"));
        return std::nullopt;
    }
    return doc;
}

bool RemoveJournal(const std::string& folder)
{
    if (folder.empty() || OwnedByRunningEditor(folder))
        return false;
    std::error_code ec;
    fs::remove_all(folder, ec);
    return !ec && !fs::exists(folder, ec);
}

void MarkJournalReported(const std::string& folder)
{
    if (FILE* f = std::fopen((fs::path(folder) / kReportedName).c_str(), "wb"))
        std::fclose(f);
}

} // namespace ombrik
