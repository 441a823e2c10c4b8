// The real program killed with SIGKILL while editing, once after a few steps
// and once in the middle of a journal write: the next start offers the edits
// back and restores them exactly, or discards them when asked.
#include "ui/messages.h"
#include "recovery/recovery_journal.h"
#include "files/photo_loader.h"
#include "tests/support/photo_fixture.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

using namespace ombrik;
namespace fs = std::filesystem;

namespace {

constexpr int kUndo = 10554, kRedo = 10555, kTextPanel = 10705;

QString Effect(EffectId id)
{
    return QStringLiteral("msg:%1:0:%2").arg(WM_EFFECT_COMMAND).arg(id);
}

QString AddText()
{
    return QStringLiteral("msg:%1:0:0").arg(WM_TEXT_COMMAND);
}

struct Editors {
    QTemporaryDir dir;
    QString instance = QStringLiteral("ombrik-recovery-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::string root = dir.path().toStdString() + "/state/ombrik/recovery";
    QString photo = dir.filePath(QStringLiteral("harbour.png"));

    Editors() { EXPECT_TRUE(test::SavePixelBuffer(test::LoadSamplePhoto("coffee.png", 200, 120), photo.toStdString())); }

    // Starts the editor on `arguments`; extra environment as NAME=value.
    std::unique_ptr<QProcess> start(const QStringList& arguments, const QStringList& extra = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("OMBRIK_INSTANCE_NAME"), instance);
        env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        for (const QString& e : extra)
            env.insert(e.section('=', 0, 0), e.section('=', 1));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(OMBRIK_EXECUTABLE), arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    std::vector<fs::path> journals() const
    {
        std::vector<fs::path> out;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(root, ec))
            if (entry.is_directory() && !entry.path().filename().string().starts_with("."))
                out.push_back(entry.path());
        return out;
    }

    // Waits until a journal (other than `except`) reads back whole and passes `ready`.
    fs::path waitForJournal(const std::function<bool(const RecoveredDocument&)>& ready, const fs::path& except = {})
    {
        for (int waited = 0; waited < 90000; waited += 100) {
            for (const fs::path& folder : journals()) {
                if (folder == except)
                    continue;
                const std::optional<RecoveredDocument> doc = ReadJournal(folder.string());
                if (doc && ready(*doc))
                    return folder;
            }
            QThread::msleep(100);
        }
        return {};
    }

    // The same edits made here: the document the editor should have had.
    CanvasDocument expected(const std::vector<EffectId>& filters) const
    {
        LoadedPhoto loaded = LoadPhoto(photo.toStdString());
        CanvasDocument doc;
        doc.afterOpen(std::move(loaded.photo), photo.toStdString());
        for (EffectId id : filters)
            doc.selectEffect(id);
        return doc;
    }
};

void Kill(QProcess& process)
{
    process.kill();  // SIGKILL: no clean-up of any kind
    process.waitForFinished(10000);
}

QByteArray WaitForOutput(QProcess& process, const QByteArray& text, int timeoutMs = 90000)
{
    QByteArray log;
    for (int waited = 0; waited < timeoutMs && !log.contains(text); waited += 100) {
        process.waitForReadyRead(100);
        log += process.readAllStandardError();
    }
    return log;
}

PixelBuffer Restored(const fs::path& folder)
{
    std::string problem;
    std::optional<RecoveredDocument> doc = ReadJournal(folder.string(), &problem);
    EXPECT_TRUE(doc) << problem;
    CanvasDocument back;
    if (doc) {
        EXPECT_TRUE(back.restoreRecovered(std::move(*doc)));
    }
    return back.photo();
}

} // namespace

TEST(RecoveryProcess, KilledAfterStepsOffersAndRestoresThemExactly)
{
    Editors editors;
    auto first = editors.start({editors.photo, "--command", Effect(42), "--command", QString::number(kTextPanel),
                                "--command", AddText(), "--command", Effect(53), "--command", QString::number(kUndo)});
    const fs::path journal = editors.waitForJournal(
        [](const RecoveredDocument& d) { return d.history.size() == 3 && d.historyPos == 1; });
    ASSERT_FALSE(journal.empty()) << "no journal of three steps at position 2";

    // A second start hands its photo to the running editor and touches no journal.
    const auto stateBefore = fs::last_write_time(journal / "state");
    auto second = editors.start({editors.photo});
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(editors.journals(), std::vector<fs::path>{journal});
    EXPECT_EQ(fs::last_write_time(journal / "state"), stateBefore);
    EXPECT_TRUE(FindLeftJournals(editors.root).empty());  // its editor still runs

    Kill(*first);
    const std::vector<LeftJournal> left = FindLeftJournals(editors.root);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].photoPath, editors.photo.toStdString());
    EXPECT_EQ(left[0].steps, 3);
    EXPECT_EQ(left[0].historyPos, 1);

    // The snapshots are the history's own bytes; the photo is that of step 2.
    CanvasDocument expected = editors.expected({42, 53});
    const std::optional<RecoveredDocument> kept = ReadJournal(journal.string());
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->snapshots.size(), 2u);
    EXPECT_EQ(kept->snapshots[0].bytes, expected.snapshots()[0].bytes);
    EXPECT_EQ(kept->snapshots[1].bytes, expected.snapshots()[1].bytes);
    ASSERT_EQ(kept->objects.size(), 1u);
    EXPECT_EQ(kept->history[1].objects.size(), 1u);
    EXPECT_EQ(kept->history[2].objects.size(), 1u);
    expected.undo();
    EXPECT_EQ(Restored(journal).pixels, expected.photo().pixels);

    // The next start offers it; restoring gives the history back, and redo works.
    auto third = editors.start({editors.photo, "--command", QString::number(kRedo)},
                               {QStringLiteral("OMBRIK_RECOVERY_ANSWER=restore")});
    const fs::path adopted = editors.waitForJournal(
        [](const RecoveredDocument& d) { return d.history.size() == 3 && d.historyPos == 2; }, journal);
    const QByteArray log = WaitForOutput(*third, "Restore them?", 1000) + third->readAllStandardError();
    Kill(*third);
    ASSERT_FALSE(adopted.empty()) << log.toStdString();
    EXPECT_TRUE(log.contains("Ombrik Photo Editor was closed before the changes to harbour.png were saved. "
                             "Restore them?"))
        << log.toStdString();
    EXPECT_FALSE(fs::exists(journal));
    expected.redo();
    EXPECT_EQ(Restored(adopted).pixels, expected.photo().pixels);
    const std::optional<RecoveredDocument> after = ReadJournal(adopted.string());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->objects, kept->history[2].objects);
}

TEST(RecoveryProcess, KilledInTheMiddleOfAWriteKeepsTheLastWholeStateAndDiscardRemovesIt)
{
    Editors editors;
    // Writes: the opened photo, then a snapshot and a state per step; the
    // second step's state (write 5) stops half-way.
    auto first = editors.start({editors.photo, "--command", Effect(42), "--command", Effect(53), "--command",
                                Effect(55)},
                               {QStringLiteral("OMBRIK_JOURNAL_HALT_AT=5")});
    const QByteArray log = WaitForOutput(*first, "halted half-way");
    ASSERT_TRUE(log.contains("write 5 halted half-way")) << log.toStdString();
    Kill(*first);

    const std::vector<LeftJournal> left = FindLeftJournals(editors.root);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].problem, "");
    EXPECT_EQ(left[0].steps, 1);
    EXPECT_EQ(left[0].historyPos, 0);
    EXPECT_TRUE(fs::exists(fs::path(left[0].folder) / "state.part"));
    CanvasDocument expected = editors.expected({42});
    expected.undo();
    expected.redo();  // the photo as the snapshot gives it
    EXPECT_EQ(Restored(left[0].folder).pixels, expected.photo().pixels);

    // Discard at the next start removes it; nothing is left behind.
    auto next = editors.start({}, {QStringLiteral("OMBRIK_RECOVERY_ANSWER=discard")});
    const QByteArray asked = WaitForOutput(*next, "Restore them?");
    EXPECT_TRUE(asked.contains("the changes to harbour.png were saved")) << asked.toStdString();
    for (int waited = 0; waited < 10000 && !editors.journals().empty(); waited += 100)
        QThread::msleep(100);
    Kill(*next);
    EXPECT_TRUE(editors.journals().empty());
}
