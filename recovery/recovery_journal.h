// The crash journal of an editing session. While a photo is being edited, a
// folder of its own under the user's state folder holds the photo's path, the
// photo as opened, every history snapshot (already JPEG-encoded), the history
// position, the text objects and the frame. A background thread writes it;
// the editing thread only hands over bytes. Every file is written whole under
// a temporary name, flushed to disk and renamed, and the small state file that
// ties them together (with each file's size and checksum) is written last, so
// a crash at any moment leaves the previous state readable.
//
// A running editor holds a lock on its folder; a folder whose lock can be
// taken belongs to an editor that is gone, and its journal can be restored.
#pragma once

#include "canvas/canvas_document.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ombrik {

// A journal left by an editor that no longer runs, as the start-up sees it
// (its state file read and checked, no picture decoded).
struct LeftJournal {
    std::string folder;
    std::string photoPath;
    int64_t savedAtMs = 0;   // when its last state was written
    int steps = 0;
    int historyPos = -1;
    std::string problem;     // why it cannot be restored; empty when it looks whole
};

// The checksum every journal file is kept with (CRC-32).
uint32_t JournalChecksum(const uint8_t* data, size_t size);

// $XDG_STATE_HOME/ombrik/recovery, or ~/.local/state/ombrik/recovery.
std::string RecoveryRoot();

// The journals in `root` whose editors no longer run, newest first. On the way
// journals older than `maxAgeDays` and leftovers without any state are
// removed; damaged journals already reported once are skipped. Gives up
// looking after `budgetMs` so that start-up is never held up.
std::vector<LeftJournal> FindLeftJournals(const std::string& root, int maxAgeDays = 14, int budgetMs = 800);

// Reads a whole journal, checking every size and checksum and decoding the
// opened photo; nothing (and the reason) when anything is wrong.
std::optional<RecoveredDocument> ReadJournal(const std::string& folder, std::string* problem = nullptr);

// Removes a journal folder; false when a running editor owns it or it could
// not be removed.
bool RemoveJournal(const std::string& folder);
// Remembers that a damaged journal was reported, so later starts skip it
// (the age limit removes it in the end).
void MarkJournalReported(const std::string& folder);

class RecoveryJournal : public QObject, public DocumentObserver {
    Q_OBJECT
public:
    // Journals into a new folder under `root`, created at the first history
    // step. An unusable root turns the journal off (failed is emitted once,
    // from the first event loop turn).
    explicit RecoveryJournal(std::string root = RecoveryRoot());
    // Writes what is queued, then stops; the journal stays on disk.
    ~RecoveryJournal() override;

    bool enabled() const { return !m_failed.load(); }
    // This editor's folder once it exists (empty before the first step).
    std::string folder() const;
    QString failureText() const;

    void documentOpened(const CanvasDocument& doc) override;
    void snapshotRecorded(const PhotoSnapshot& snapshot) override;
    void documentChanged(const CanvasDocument& doc) override;

    // Removes `folder` (a restored journal) once this journal holds the
    // restored document.
    void removeAfterWrite(const std::string& folder);
    // The edits are saved or given up: finishes queued writes and removes
    // this editor's journal.
    void discard();
    // Waits until everything queued is on disk; false on timeout.
    bool flush(int timeoutMs = 5000);
    // Milliseconds the writer spent on its last snapshot with its state.
    double lastStepWriteMs() const { return m_lastStepMs.load(); }

    // Test hook: the n-th file write from now (1 = the next) stops half-way and
    // the writer waits until the journal is destroyed; 0 turns it off. The
    // environment variable OMBRIK_JOURNAL_HALT_AT sets it at construction.
    static void SetHaltAt(int n);

signals:
    // Recovery was turned off; the text says why (for one notice).
    void failed(const QString& text);

private:
    struct Job {
        enum Kind { Open, Snapshot, State, Discard, RemoveOther } kind = State;
        PixelBuffer opened;
        std::string text;              // Open: photo path; RemoveOther: folder
        uint64_t serial = 0;           // Snapshot
        std::vector<uint8_t> bytes;    // Snapshot: JPEG; State: document part
        std::vector<uint64_t> serials; // State: the snapshots it refers to, in order
        bool keep = false;             // State: anything to restore
    };
    struct FileInfo {
        uint64_t size = 0;
        uint32_t crc = 0;
    };

    void push(Job job);
    void run();
    bool process(Job& job);
    bool ensureFolder();
    bool writeFile(const std::string& name, const uint8_t* data, size_t size);
    bool writeState(const Job& job);
    void removeOwnFolder();
    void fail(const QString& text);
    // Whether the newest queued state still refers to a snapshot (under the lock).
    bool stillReferenced(uint64_t serial) const;

    std::string m_root;
    std::atomic<bool> m_failed{false};
    std::atomic<double> m_lastStepMs{0.0};

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    QString m_failure;
    std::string m_folder;  // guarded by m_mutex for folder(); written by the writer

    // Writer thread only.
    int m_lockFd = -1;
    std::vector<uint8_t> m_openedPng;
    FileInfo m_openedInfo;
    int m_openedWidth = 0, m_openedHeight = 0;
    std::map<uint64_t, FileInfo> m_written;
    double m_pendingSnapshotMs = 0.0;

    std::thread m_thread;
};

} // namespace ombrik
