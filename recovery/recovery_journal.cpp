#include "recovery/journal_format.h"
#include "files/pixel_image.h"
#include "recovery/recovery_journal.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QMetaObject>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace ombrik {

using namespace journal;

namespace {

std::atomic<int> g_haltAt{0};
std::atomic<int> g_writes{0};

} // namespace

// --- The journal of this editor ---------------------------------------------------

void RecoveryJournal::SetHaltAt(int n)
{
    g_writes = 0;
    g_haltAt = n;
}

RecoveryJournal::RecoveryJournal(std::string root) : m_root(std::move(root))
{
    if (const int halt = qEnvironmentVariableIntValue("OMBRIK_JOURNAL_HALT_AT"); halt > 0)
        SetHaltAt(halt);
    std::error_code ec;
    if (m_root.empty() || (!fs::create_directories(m_root, ec) && ec) || ::access(m_root.c_str(), W_OK) != 0) {
        m_failed = true;
        m_failure = QCoreApplication::translate("Reasons", "the folder %1 cannot be written").arg(QString::fromStdString(m_root));
        // Reported from the event loop, so that whoever connects after
        // construction hears it.
        QMetaObject::invokeMethod(
            this, [this] { emit failed(m_failure); }, Qt::QueuedConnection);
        return;
    }
    m_thread = std::thread([this] { run(); });
}

RecoveryJournal::~RecoveryJournal()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

std::string RecoveryJournal::folder() const
{
    std::lock_guard lock(m_mutex);
    return m_folder;
}

QString RecoveryJournal::failureText() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

void RecoveryJournal::push(Job job)
{
    if (m_failed)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void RecoveryJournal::documentOpened(const CanvasDocument& doc)
{
    Job open;
    open.kind = Job::Open;
    open.opened = doc.openedPhoto();
    open.text = doc.photoPath();
    push(std::move(open));
    for (const PhotoSnapshot& snapshot : doc.snapshots())
        snapshotRecorded(snapshot);
    documentChanged(doc);
}

void RecoveryJournal::snapshotRecorded(const PhotoSnapshot& snapshot)
{
    if (m_failed)
        return;
    Job job;
    job.kind = Job::Snapshot;
    job.serial = snapshot.serial;
    job.bytes = snapshot.bytes;
    push(std::move(job));
}

void RecoveryJournal::documentChanged(const CanvasDocument& doc)
{
    if (m_failed)
        return;
    Job job;
    job.kind = Job::State;
    job.bytes = DocumentPart(doc);
    job.serials.reserve(doc.snapshots().size());
    for (const PhotoSnapshot& snapshot : doc.snapshots())
        job.serials.push_back(snapshot.serial);
    job.keep = doc.hasPhoto() && !doc.history().empty();
    push(std::move(job));
}

void RecoveryJournal::removeAfterWrite(const std::string& folder)
{
    Job job;
    job.kind = Job::RemoveOther;
    job.text = folder;
    push(std::move(job));
}

void RecoveryJournal::discard()
{
    Job job;
    job.kind = Job::Discard;
    push(std::move(job));
    flush();
}

bool RecoveryJournal::flush(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return (m_queue.empty() && !m_busy) || !m_thread.joinable(); });
}

void RecoveryJournal::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                break;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            // A state followed at once by a newer one need not be written.
            while (job.kind == Job::State && !m_queue.empty() && m_queue.front().kind == Job::State) {
                job = std::move(m_queue.front());
                m_queue.pop_front();
            }
            // A snapshot that the newest queued state no longer refers to was
            // dropped from the history already.
            if (job.kind == Job::Snapshot && !stillReferenced(job.serial))
                continue;
            m_busy = true;
        }
        const bool carryOn = process(job);
        {
            std::lock_guard lock(m_mutex);
            m_busy = false;
            if (!carryOn)
                m_queue.clear();
        }
        m_idle.notify_all();
        if (!carryOn)
            break;
    }
    {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
        m_busy = false;
    }
    m_idle.notify_all();
}

bool RecoveryJournal::stillReferenced(uint64_t serial) const
{
    for (auto it = m_queue.rbegin(); it != m_queue.rend(); ++it) {
        if (it->kind == Job::Open)
            return false;
        if (it->kind == Job::State)
            return std::find(it->serials.begin(), it->serials.end(), serial) != it->serials.end();
    }
    return true;
}

void RecoveryJournal::fail(const QString& text)
{
    {
        std::lock_guard lock(m_mutex);
        m_failure = text;
    }
    if (!m_failed.exchange(true))
        emit failed(text);
}

bool RecoveryJournal::process(Job& job)
{
    using Clock = std::chrono::steady_clock;
    switch (job.kind) {
    case Job::Open: {
        removeOwnFolder();
        m_openedPng.clear();
        const PixelBuffer& photo = job.opened;
        if (photo.empty() || photo.bytesPerPixel != 3)
            return true;
        const QImage image = PixelBufferImage(photo);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(60);  // lossless either way; a quicker compression
        if (!writer.write(image)) {
            fail(QCoreApplication::translate("Reasons", "the opened photo could not be encoded"));
            return false;
        }
        m_openedPng.assign(png.begin(), png.end());
        m_openedInfo = {m_openedPng.size(), JournalChecksum(m_openedPng.data(), m_openedPng.size())};
        m_openedWidth = photo.width;
        m_openedHeight = photo.height;
        return true;
    }
    case Job::Snapshot: {
        const auto start = Clock::now();
        if (!ensureFolder())
            return !m_failed;
        const std::string name = SnapshotName(job.serial);
        if (!writeFile(name, job.bytes.data(), job.bytes.size()))
            return false;
        m_written[job.serial] = {job.bytes.size(), JournalChecksum(job.bytes.data(), job.bytes.size())};
        m_pendingSnapshotMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        return true;
    }
    case Job::State: {
        if (!job.keep) {
            removeOwnFolder();
            return true;
        }
        const auto start = Clock::now();
        if (!ensureFolder())
            return !m_failed;
        if (!writeState(job))
            return false;
        m_lastStepMs = m_pendingSnapshotMs + std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        m_pendingSnapshotMs = 0.0;
        return true;
    }
    case Job::Discard: removeOwnFolder(); return true;
    case Job::RemoveOther: RemoveJournal(job.text); return true;
    }
    return true;
}

bool RecoveryJournal::ensureFolder()
{
    if (!m_folder.empty())
        return true;
    if (m_openedPng.empty())
        return false;  // nothing opened yet: nothing to keep
    const QString cannot = QCoreApplication::translate("Reasons", "the folder %1 cannot be written").arg(QString::fromStdString(m_root));
    std::error_code ec;
    fs::create_directories(m_root, ec);
    std::random_device random;
    const std::string id = std::to_string(::getpid()) + "-" + std::to_string(NowMs()) + "-"
        + std::to_string(random() % 100000);
    // Made under a hidden name and locked before it gets its real name, so that
    // no start-up ever sees it unowned.
    const fs::path making = fs::path(m_root) / ("." + id);
    if (!fs::create_directory(making, ec)) {
        fail(cannot);
        return false;
    }
    m_lockFd = ::open((making / kLockName).c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (m_lockFd < 0 || ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        fail(cannot);
        return false;
    }
    const std::string owner = "pid " + std::to_string(::getpid()) + "\nstarted " + std::to_string(NowMs()) + "\n";
    if (::write(m_lockFd, owner.data(), owner.size()) != ssize_t(owner.size())) {
        fail(cannot);
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_folder = making.string();
    }
    if (!writeFile(kOpenedName, m_openedPng.data(), m_openedPng.size()))
        return false;
    const fs::path final = fs::path(m_root) / id;
    fs::rename(making, final, ec);
    if (ec || !FsyncFolder(m_root)) {
        fail(cannot);
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_folder = final.string();
    return true;
}

bool RecoveryJournal::writeFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string target = m_folder + "/" + name;
    const std::string part = target + kPartSuffix;
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(QCoreApplication::translate("Reasons", "the folder %1 cannot be written").arg(QString::fromStdString(m_folder)));
        return false;
    }
    const int number = ++g_writes;
    const bool halt = g_haltAt > 0 && number == g_haltAt;
    size_t left = halt ? size / 2 : size;
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0;
        if (ok) {
            data += written;
            left -= size_t(written);
        }
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (halt) {
        // The test that kills the editor in the middle of a write waits for this.
        std::fprintf(stderr, "recovery journal: write %d halted half-way\n", number);
        std::fflush(stderr);
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_stop; });
        return false;
    }
    ok = ok && ::rename(part.c_str(), target.c_str()) == 0 && FsyncFolder(m_folder);
    if (!ok) {
        ::unlink(part.c_str());
        fail(QCoreApplication::translate("Reasons", "the folder %1 cannot be written").arg(QString::fromStdString(m_folder)));
    }
    return ok;
}

bool RecoveryJournal::writeState(const Job& job)
{
    Out rest;
    rest.put<int64_t>(NowMs());
    rest.put<int32_t>(m_openedWidth);
    rest.put<int32_t>(m_openedHeight);
    rest.put<uint64_t>(m_openedInfo.size);
    rest.put<uint32_t>(m_openedInfo.crc);
    rest.put<uint32_t>(uint32_t(job.serials.size()));
    for (uint64_t serial : job.serials) {
        const auto it = m_written.find(serial);
        if (it == m_written.end())
            return true;  // its snapshot was not written: keep the previous state
        rest.put<uint64_t>(serial);
        rest.put<uint64_t>(it->second.size);
        rest.put<uint32_t>(it->second.crc);
    }
    rest.bytes.insert(rest.bytes.end(), job.bytes.begin(), job.bytes.end());

    Out file;
    for (char c : kMagic)
        file.put<uint8_t>(uint8_t(c));
    file.put<uint32_t>(kVersion);
    file.put<uint64_t>(rest.bytes.size());
    file.put<uint32_t>(JournalChecksum(rest.bytes.data(), rest.bytes.size()));
    file.bytes.insert(file.bytes.end(), rest.bytes.begin(), rest.bytes.end());
    if (!writeFile(kStateName, file.bytes.data(), file.bytes.size()))
        return false;

    // Snapshots the new state no longer refers to go.
    const std::set<uint64_t> kept(job.serials.begin(), job.serials.end());
    for (auto it = m_written.begin(); it != m_written.end();) {
        if (kept.count(it->first)) {
            ++it;
            continue;
        }
        ::unlink((m_folder + "/" + SnapshotName(it->first)).c_str());
        it = m_written.erase(it);
    }
    return true;
}

void RecoveryJournal::removeOwnFolder()
{
    m_written.clear();
    std::string folder;
    {
        std::lock_guard lock(m_mutex);
        folder.swap(m_folder);
    }
    if (folder.empty())
        return;
    std::error_code ec;
    fs::remove_all(folder, ec);
    FsyncFolder(m_root);
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

} // namespace ombrik
