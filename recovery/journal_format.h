// The journal's files as both its writer and its reader know them: names,
// the state file's layout and the checksum every file is kept with.
#pragma once

#include "canvas/canvas_document.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ombrik::journal {

// A problem with a left journal, in the person's language (the text marked
// with QT_TRANSLATE_NOOP in the "Reasons" context), `arg` in place of %1.
inline std::string Reason(const char* text, const std::string& arg = {})
{
    QString s = QCoreApplication::translate("Reasons", text);
    if (!arg.empty())
        s = s.arg(QString::fromStdString(arg));
    return s.toStdString();
}

inline constexpr char kMagic[8] = {'O', 'M', 'B', 'R', 'I', 'K', 'R', 'J'};
inline constexpr uint32_t kVersion = 2;
inline constexpr const char* kStateName = "state";
inline constexpr const char* kOpenedName = "opened.png";
inline constexpr const char* kLockName = "lock";
inline constexpr const char* kReportedName = "reported";
inline constexpr const char* kPartSuffix = ".part";

// Limits that no real journal reaches; anything beyond is damage.
inline constexpr uint64_t kMaxStateBytes = 64u << 20;
inline constexpr uint64_t kMaxPictureBytes = 512u << 20;
inline constexpr uint32_t kMaxCount = 1u << 20;
inline constexpr uint32_t kMaxString = 1u << 16;
inline constexpr int kMaxSide = 1 << 15;

inline int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Little-endian record writing and bounds-checked reading.
class Out {
public:
    std::vector<uint8_t> bytes;
    template <typename T> void put(T value)
    {
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.insert(bytes.end(), raw, raw + sizeof(T));
    }
    void putString(const std::string& s)
    {
        put<uint32_t>(uint32_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
};

// The editing thread's part of a state: everything but the files.
std::vector<uint8_t> DocumentPart(const CanvasDocument& doc);
std::string SnapshotName(uint64_t serial);
// Flushes a folder's entries (a rename) to disk.
bool FsyncFolder(const std::string& folder);

} // namespace ombrik::journal
