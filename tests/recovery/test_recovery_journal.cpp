// The crash journal on disk: what it keeps of a document and gives back, how
// it stays within the history's size, and how damaged or foreign journals are
// recognised without crashing or waiting.
#include "recovery/recovery_journal.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/photo_fixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace ombrik;
namespace fs = std::filesystem;

namespace {

CanvasObject TextObject(const std::string& text, int x, int y)
{
    CanvasObject o;
    o.font.height = 40;
    o.font.faceName = "DejaVu Sans";
    o.text = text;
    o.style = 3;
    o.angle = 12.5f;
    o.textWidth = 90;
    o.textHeight = 30;
    o.scale = 1.5f;
    o.colour1 = 0x123456;
    o.colour2 = 0xABCDEF;
    o.transparency = 0.25f;
    o.x = x;
    o.y = y;
    return o;
}

// The journal folders in a recovery root.
std::vector<fs::path> Journals(const std::string& root)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        if (entry.is_directory())
            out.push_back(entry.path());
    return out;
}

int SnapshotFiles(const fs::path& folder)
{
    int n = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        n += entry.path().filename().string().starts_with("snap-");
    return n;
}

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A document edited with a journal attached: a filter, a text object, another
// filter, one undo, and text typed into the object without a step.
struct JournalledEdit {
    QTemporaryDir dir;
    std::string root;
    CanvasDocument doc;
    std::unique_ptr<RecoveryJournal> journal;

    JournalledEdit()
    {
        root = dir.path().toStdString() + "/recovery";
        journal = std::make_unique<RecoveryJournal>(root);
        doc.setObserver(journal.get());
        doc.afterOpen(test::LoadSamplePhoto("coffee.png", 160, 120), "/photos/coffee.png");
        doc.selectEffect(42);
        doc.addObject(TextObject("Hello", 10, 20), ObjectKind::Text);
        doc.recordStep(false);
        doc.selectEffect(53);
        doc.undo();
        doc.objects()[0].text = "Hello there";
        doc.objectsEdited();
        EXPECT_TRUE(journal->flush());
    }

    // The editor is gone: its lock goes with it, the files stay.
    void crash()
    {
        doc.setObserver(nullptr);
        journal.reset();
    }
};

} // namespace

TEST(RecoveryJournal, GivesBackPhotoHistoryPositionObjectsAndUndo)
{
    JournalledEdit edit;
    ASSERT_EQ(Journals(edit.root).size(), 1u);
    // A running editor's journal is never offered.
    EXPECT_TRUE(FindLeftJournals(edit.root).empty());
    edit.crash();

    const std::vector<LeftJournal> left = FindLeftJournals(edit.root);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].problem, "");
    EXPECT_EQ(left[0].photoPath, "/photos/coffee.png");
    EXPECT_EQ(left[0].steps, 3);
    EXPECT_EQ(left[0].historyPos, 1);

    std::string problem;
    std::optional<RecoveredDocument> recovered = ReadJournal(left[0].folder, &problem);
    ASSERT_TRUE(recovered) << problem;
    CanvasDocument back;
    ASSERT_TRUE(back.restoreRecovered(std::move(*recovered)));
    const CanvasDocument& was = edit.doc;
    EXPECT_EQ(back.photoPath(), was.photoPath());
    EXPECT_TRUE(back.modified());
    EXPECT_EQ(back.photo().pixels, was.photo().pixels);  // the snapshot of step 2, decoded
    EXPECT_EQ(back.openedPhoto().pixels, was.openedPhoto().pixels);
    EXPECT_EQ(back.historyPos(), 1);
    ASSERT_EQ(back.history().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.history()[i].objects, was.history()[i].objects) << i;
        EXPECT_EQ(back.history()[i].snapshotIndex, was.history()[i].snapshotIndex) << i;
    }
    ASSERT_EQ(back.objects().size(), 1u);
    EXPECT_EQ(back.objects(), was.objects());  // typed text included
    ASSERT_EQ(back.snapshotCount(), was.snapshotCount());
    for (size_t i = 0; i < back.snapshotCount(); ++i)
        EXPECT_EQ(back.snapshots()[i].bytes, was.snapshots()[i].bytes);

    // Undo and redo walk the restored history.
    back.redo();
    EXPECT_EQ(back.historyPos(), 2);
    EXPECT_EQ(back.photo().pixels, DecodeSnapshot(was.snapshots()[1])->pixels);
    back.undo();
    back.undo();
    back.undo();
    EXPECT_EQ(back.historyPos(), -1);
    EXPECT_EQ(back.photo().pixels, was.openedPhoto().pixels);
    EXPECT_TRUE(back.objects().empty());
}

TEST(RecoveryJournal, GivesBackTheTurnsAndCropsOfEachStep)
{
    JournalledEdit edit;
    edit.doc.redo();
    ASSERT_TRUE(edit.doc.rotate(1));
    ASSERT_TRUE(edit.doc.crop(8, 4, 60, 100));
    ASSERT_TRUE(edit.journal->flush());
    edit.crash();
    const std::vector<LeftJournal> left = FindLeftJournals(edit.root);
    ASSERT_EQ(left.size(), 1u);
    std::optional<RecoveredDocument> recovered = ReadJournal(left[0].folder, nullptr);
    ASSERT_TRUE(recovered);
    CanvasDocument back;
    ASSERT_TRUE(back.restoreRecovered(std::move(*recovered)));
    ASSERT_EQ(back.history().size(), edit.doc.history().size());
    const std::vector<GeometryOp>& ops = back.geometry();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, GeometryOp::Kind::Turn);
    EXPECT_EQ(ops[0].quarterTurns, 1);
    EXPECT_EQ(ops[1].kind, GeometryOp::Kind::Crop);
    EXPECT_EQ(std::tuple(ops[1].x, ops[1].y, ops[1].width, ops[1].height), std::tuple(8, 4, 60, 100));
    EXPECT_EQ(back.history()[back.historyPos() - 1].geometry.size(), 1u);
    EXPECT_EQ(std::tuple(back.width(), back.height()), std::tuple(60, 100));
}

TEST(RecoveryJournal, KeepsOnlyWhatTheHistoryHoldsAndGoesWhenDiscarded)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/recovery";
    RecoveryJournal journal(root);
    CanvasDocument doc;
    doc.setObserver(&journal);
    doc.afterOpen(test::LoadSamplePhoto("coffee.png", 160, 120), "/photos/coffee.png");
    ASSERT_TRUE(journal.flush());
    // Nothing to restore yet: no journal is written for a photo only looked at.
    EXPECT_TRUE(Journals(root).empty());

    for (EffectId id : {42, 53, 55})
        doc.selectEffect(id);
    doc.undo();
    doc.undo();
    doc.selectEffect(46);  // drops the redo tail and its two snapshots
    ASSERT_TRUE(journal.flush());
    ASSERT_EQ(Journals(root).size(), 1u);
    const fs::path folder = Journals(root)[0];
    EXPECT_EQ(SnapshotFiles(folder), int(doc.snapshotCount()));
    uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        total += entry.file_size();
    EXPECT_LE(total, doc.snapshotBytes() + fs::file_size(folder / "opened.png") + 4096);

    // Undo to the opened state still keeps the redo steps.
    doc.undo();
    doc.undo();
    ASSERT_TRUE(journal.flush());
    EXPECT_EQ(Journals(root).size(), 1u);

    // A new photo starts again from nothing; a discard leaves nothing.
    doc.afterOpen(test::LoadSamplePhoto("coffee.png", 80, 60), "/photos/other.png");
    ASSERT_TRUE(journal.flush());
    EXPECT_TRUE(Journals(root).empty());
    doc.selectEffect(42);
    ASSERT_TRUE(journal.flush());
    ASSERT_EQ(Journals(root).size(), 1u);
    journal.discard();
    EXPECT_TRUE(Journals(root).empty());
    doc.setObserver(nullptr);
}

TEST(RecoveryJournal, DamagedForeignAndOldJournalsAreToldApartQuickly)
{
    JournalledEdit edit;
    edit.crash();
    const fs::path good = Journals(edit.root).at(0);
    const std::vector<uint8_t> state = ReadBytes(good / "state");
    std::string snapshot;
    for (const auto& entry : fs::directory_iterator(good))
        if (entry.path().filename().string().starts_with("snap-"))
            snapshot = entry.path().filename().string();
    ASSERT_FALSE(snapshot.empty());

    // Every kind of damage, each in a copy of the good journal.
    struct Damage {
        const char* name;
        std::function<void(const fs::path&)> apply;
    };
    auto patchState = [&](size_t offset, uint8_t value, bool fixChecksum) {
        return [=](const fs::path& f) {
            std::vector<uint8_t> s = state;
            s[offset] = value;
            if (fixChecksum) {
                const uint32_t crc = JournalChecksum(s.data() + 24, s.size() - 24);
                std::memcpy(s.data() + 20, &crc, 4);
            }
            WriteBytes(f / "state", s);
        };
    };
    const std::vector<Damage> damages = {
        {"truncated state", [&](const fs::path& f) { fs::resize_file(f / "state", state.size() / 2); }},
        {"foreign state", [&](const fs::path& f) { WriteBytes(f / "state", {'G', 'I', 'F', '8', '9', 'a'}); }},
        {"wrong version", patchState(8, 7, false)},
        {"bad checksum", patchState(40, uint8_t(state[40] ^ 0x5A), false)},
        {"absurd photo size", patchState(24 + 8 + 3, 0x7F, true)},  // width's high byte
        {"missing snapshot", [&](const fs::path& f) { fs::remove(f / snapshot); }},
        {"damaged snapshot",
         [&](const fs::path& f) {
             std::vector<uint8_t> s = ReadBytes(f / snapshot);
             s[s.size() / 2] ^= 0xFF;
             WriteBytes(f / snapshot, s);
         }},
        {"opened photo that does not decode",
         [&](const fs::path& f) {
             // Garbage with the size and checksum the state expects.
             std::vector<uint8_t> junk(fs::file_size(f / "opened.png"), 0x42);
             WriteBytes(f / "opened.png", junk);
             std::vector<uint8_t> s = state;
             const uint32_t crc = JournalChecksum(junk.data(), junk.size());
             std::memcpy(s.data() + 24 + 8 + 4 + 4 + 8, &crc, 4);
             const uint32_t all = JournalChecksum(s.data() + 24, s.size() - 24);
             std::memcpy(s.data() + 20, &all, 4);
             WriteBytes(f / "state", s);
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir dir;
        const std::string root = dir.path().toStdString();
        const fs::path copy = fs::path(root) / "journal";
        fs::copy(good, copy);
        damage.apply(copy);
        const auto start = std::chrono::steady_clock::now();
        const std::vector<LeftJournal> left = FindLeftJournals(root);
        std::string problem;
        const bool readable = ReadJournal(copy.string(), &problem).has_value();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_EQ(left.size(), 1u);
        // Found damaged at once, or at the latest when it is read whole.
        EXPECT_FALSE(readable);
        EXPECT_FALSE(problem.empty());
        if (!left[0].problem.empty()) {
            EXPECT_EQ(left[0].problem, problem);
        }
        // Reported once: later looks skip it.
        MarkJournalReported(copy.string());
        EXPECT_TRUE(FindLeftJournals(root).empty());
        EXPECT_TRUE(fs::exists(copy));
    }

    // Leftovers without a state, and journals older than the age limit, go.
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    fs::copy(good, fs::path(root) / "old");
    fs::create_directory(fs::path(root) / "empty");
    fs::copy(good, fs::path(root) / "recent");
    const timespec times[2] = {{std::time(nullptr) - 15 * 24 * 3600, 0}, {std::time(nullptr) - 15 * 24 * 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (fs::path(root) / "old" / "state").c_str(), times, 0), 0);
    const std::vector<LeftJournal> left = FindLeftJournals(root);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fs::path(left[0].folder).filename(), "recent");
    EXPECT_FALSE(fs::exists(fs::path(root) / "old"));
    EXPECT_FALSE(fs::exists(fs::path(root) / "empty"));
}

TEST(RecoveryJournal, UnwritableFolderTurnsRecoveryOffWithOneNotice)
{
    QTemporaryDir dir;
    // A plain file where the folder should be.
    const std::string blocker = dir.path().toStdString() + "/state";
    WriteBytes(blocker, {1});
    RecoveryJournal journal(blocker + "/ombrik/recovery");
    QStringList notices;
    QObject::connect(&journal, &RecoveryJournal::failed, [&](const QString& text) { notices << text; });
    CanvasDocument doc;
    doc.setObserver(&journal);
    doc.afterOpen(test::Flat(16, 8, 90), "/photos/flat.png");
    doc.selectEffect(42);
    doc.selectEffect(53);
    QCoreApplication::processEvents();
    EXPECT_FALSE(journal.enabled());
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("cannot be written")) << notices[0].toStdString();
    doc.setObserver(nullptr);

    // A folder that becomes unwritable while editing does the same, once.
    QTemporaryDir other;
    const std::string root = other.path().toStdString() + "/recovery";
    RecoveryJournal late(root);
    QStringList lateNotices;
    QObject::connect(&late, &RecoveryJournal::failed, [&](const QString& text) { lateNotices << text; });
    doc.setObserver(&late);
    doc.afterOpen(test::Flat(16, 8, 90), "/photos/flat.png");
    ASSERT_TRUE(late.flush());
    ASSERT_EQ(chmod(root.c_str(), 0500), 0);
    if (::access(root.c_str(), W_OK) == 0) {
        chmod(root.c_str(), 0700);
        doc.setObserver(nullptr);
        return;  // running with rights that ignore folder permissions
    }
    doc.selectEffect(42);
    doc.selectEffect(53);
    late.flush();
    QCoreApplication::processEvents();
    EXPECT_FALSE(late.enabled());
    EXPECT_EQ(lateNotices.size(), 1);
    chmod(root.c_str(), 0700);
    doc.setObserver(nullptr);
}
