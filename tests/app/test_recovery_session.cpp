// Start-up recovery in the main window: the question about journals left by an
// editor that was cut off, restoring into the window, discarding, damaged
// journals, and the journal going away with a normal close.
#include "recovery/recovery_session.h"
#include "ui/recovery_dialog.h"
#include "tests/app/app_test_support.h"
#include "tests/support/photo_fixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using namespace ombrik;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Journals(const std::string& root)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        if (entry.is_directory())
            out.push_back(entry.path());
    return out;
}

// Leaves a journal in `root` as an editor killed after `filters` whole-image
// steps and one text object would; returns the document as it was.
CanvasDocument LeaveJournal(const std::string& root, const std::string& photoPath, std::vector<EffectId> filters)
{
    RecoveryJournal journal(root);
    CanvasDocument doc;
    doc.setObserver(&journal);
    doc.afterOpen(test::LoadSamplePhoto("coffee.png", 200, 120), photoPath);
    for (EffectId id : filters)
        doc.selectEffect(id);
    CanvasObject text;
    text.font.height = 30;
    text.font.faceName = "DejaVu Sans";
    text.text = "Kept";
    text.textWidth = 60;
    text.textHeight = 24;
    text.x = 12;
    text.y = 14;
    doc.addObject(text, ObjectKind::Text);
    doc.recordStep(false);
    doc.undo();
    EXPECT_TRUE(journal.flush());
    doc.setObserver(nullptr);
    return doc;
}

// Answers the restore question and records what was offered.
struct RecoveryAnswers {
    std::vector<std::vector<LeftJournal>> offers;
    std::vector<RecoveryChoice> answers;
    RecoveryQuestionHook old;
    RecoveryAnswers()
    {
        old = SetRecoveryQuestionHook([this](QWidget*, const std::vector<LeftJournal>& journals) {
            offers.push_back(journals);
            if (answers.empty())
                return RecoveryChoice{};
            const RecoveryChoice next = answers.front();
            answers.erase(answers.begin());
            return next;
        });
    }
    ~RecoveryAnswers() { SetRecoveryQuestionHook(std::move(old)); }
};

} // namespace

TEST(Recovery, RestoreBringsThePhotoBackAtItsPositionModifiedAndNamed)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/recovery";
    const CanvasDocument was = LeaveJournal(root, "/photos/beach.png", {42, 53});
    ASSERT_EQ(Journals(root).size(), 1u);
    const fs::path left = Journals(root)[0];

    test::BoxAnswers boxes;
    RecoveryAnswers answers;
    answers.answers = {{RecoveryAnswer::Restore, 0}};
    CEditorDlg window;
    window.resize(1000, 640);
    window.show();
    RecoverySession session(window.session(), window, root);
    ASSERT_TRUE(session.offerLeftJournals());
    ASSERT_EQ(answers.offers.size(), 1u);
    EXPECT_EQ(RecoveryQuestionText(answers.offers[0][0]),
              "Ombrik Photo Editor was closed before the changes to beach.png were saved. Restore them?");

    const CanvasDocument& doc = window.session().document();
    EXPECT_EQ(doc.photoPath(), "/photos/beach.png");
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.historyPos(), 1);
    EXPECT_EQ(doc.history().size(), 3u);
    EXPECT_EQ(doc.photo().pixels, was.photo().pixels);
    EXPECT_TRUE(doc.objects().empty());
    EXPECT_TRUE(window.action(cmd::MenuUndo)->isEnabled());
    EXPECT_TRUE(window.action(cmd::MenuRedo)->isEnabled());
    EXPECT_TRUE(window.windowCaption().contains("beach.png *")) << window.windowCaption().toStdString();
    window.command(cmd::Redo);
    ASSERT_EQ(doc.objects().size(), 1u);
    EXPECT_EQ(doc.objects()[0].text, "Kept");
    window.command(cmd::Undo);
    window.command(cmd::Undo);
    window.command(cmd::Undo);
    EXPECT_EQ(doc.photo().pixels, was.openedPhoto().pixels);
    EXPECT_FALSE(doc.modified());  // back at the file as it is on disk
    window.command(cmd::Redo);
    EXPECT_TRUE(doc.modified());

    // The window's own journal now holds the document; the old one is gone.
    ASSERT_TRUE(session.journal().flush());
    const std::vector<fs::path> now = Journals(root);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NE(now[0], left);
    EXPECT_TRUE(FindLeftJournals(root).empty());  // owned by this running window

    // "No" to the save question closes the window and takes the journal along.
    boxes.answerYes = false;
    window.close();
    EXPECT_EQ(boxes.questions.size(), 1);
    session.finish(window.isHidden());
    EXPECT_TRUE(Journals(root).empty());
}

TEST(Recovery, SeveralJournalsOfferAChoiceAndDiscardRemovesOne)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/recovery";
    LeaveJournal(root, "/photos/first.png", {42});
    LeaveJournal(root, "/photos/second.png", {53});
    ASSERT_EQ(Journals(root).size(), 2u);

    test::BoxAnswers boxes;
    RecoveryAnswers answers;
    // Discard the newest, then decide later about the other.
    answers.answers = {{RecoveryAnswer::Discard, 0}, {RecoveryAnswer::Later, 0}};
    {
        CEditorDlg window;
        RecoverySession session(window.session(), window, root);
        EXPECT_FALSE(session.offerLeftJournals());
        ASSERT_EQ(answers.offers.size(), 2u);
        ASSERT_EQ(answers.offers[0].size(), 2u);
        EXPECT_EQ(answers.offers[0][0].photoPath, "/photos/second.png");  // newest first
        ASSERT_EQ(answers.offers[1].size(), 1u);
        EXPECT_EQ(answers.offers[1][0].photoPath, "/photos/first.png");
        EXPECT_FALSE(window.session().document().hasPhoto());
        // A window that was never closed (killed, or the session ended) keeps its journal.
        session.finish(window.isHidden());
    }
    const std::vector<LeftJournal> left = FindLeftJournals(root);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].photoPath, "/photos/first.png");
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST(Recovery, DamagedJournalIsReportedOnceAndOfferedForDiscard)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/recovery";
    LeaveJournal(root, "/photos/broken.png", {42});
    LeaveJournal(root, "/photos/kept.png", {42});
    for (const LeftJournal& journal : FindLeftJournals(root))
        if (journal.photoPath == "/photos/broken.png")
            fs::resize_file(fs::path(journal.folder) / "opened.png", 10);  // cut short
    test::BoxAnswers boxes;
    RecoveryAnswers answers;
    answers.answers = {{RecoveryAnswer::Later, 0}, {RecoveryAnswer::Later, 0}};
    boxes.answerYes = false;  // keep it the first time
    {
        CEditorDlg window;
        RecoverySession session(window.session(), window, root);
        EXPECT_FALSE(session.offerLeftJournals());
    }
    ASSERT_EQ(boxes.questions.size(), 1);
    EXPECT_TRUE(boxes.questions[0].contains("cannot be restored")) << boxes.questions[0].toStdString();
    EXPECT_TRUE(boxes.questions[0].contains("Discard them?"));
    // Only the whole journal was offered for restoring.
    ASSERT_EQ(answers.offers.size(), 1u);
    ASSERT_EQ(answers.offers[0].size(), 1u);
    const std::string whole = answers.offers[0][0].photoPath;

    // The next start does not ask again about the damaged one.
    {
        CEditorDlg window;
        RecoverySession session(window.session(), window, root);
        EXPECT_FALSE(session.offerLeftJournals());
    }
    EXPECT_EQ(boxes.questions.size(), 1);
    EXPECT_EQ(Journals(root).size(), 2u);

    // Restoring a journal that turns out damaged only when read whole asks
    // to discard it; yes removes it.
    for (const fs::path& folder : Journals(root))
        if (!fs::exists(folder / "reported"))
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.path().filename().string().starts_with("snap-")) {
                    std::vector<char> junk(fs::file_size(entry.path()), 'x');
                    FILE* f = std::fopen(entry.path().c_str(), "wb");
                    std::fwrite(junk.data(), 1, junk.size(), f);
                    std::fclose(f);
                }
    boxes.answerYes = true;
    answers.answers = {{RecoveryAnswer::Restore, 0}};
    CEditorDlg window;
    RecoverySession session(window.session(), window, root);
    EXPECT_FALSE(session.offerLeftJournals());
    ASSERT_EQ(boxes.questions.size(), 2);
    EXPECT_TRUE(boxes.questions[1].contains(QFileInfo(QString::fromStdString(whole)).fileName()));
    EXPECT_FALSE(window.session().document().hasPhoto());
    EXPECT_EQ(Journals(root).size(), 1u);  // only the one reported before is left
}

TEST(Recovery, SaveThenCloseRemovesTheJournalAndAnUnwritableFolderGivesOneNotice)
{
    test::WindowWithPhoto window;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/recovery";
    {
        RecoverySession session(window->session(), *window, root);
        // The photo was opened before the session: open it again under it.
        ASSERT_TRUE(window->openPath(window.photoPath));
        window->sendMessage(WM_EFFECT_COMMAND, 0, 42);
        ASSERT_TRUE(session.journal().flush());
        ASSERT_EQ(Journals(root).size(), 1u);
        test::BoxAnswers boxes;
        boxes.answerYes = true;
        int saves = 0;
        window->saveAsDialog = [&] { return ++saves > 0; };
        window->close();
        EXPECT_EQ(saves, 1);
        session.finish(window->isHidden());
        EXPECT_TRUE(Journals(root).empty());
    }

    // A state folder that cannot be made: one notice over the canvas.
    const std::string blocked = dir.path().toStdString() + "/file";
    FILE* f = std::fopen(blocked.c_str(), "wb");
    std::fclose(f);
    test::WindowWithPhoto other;
    RecoverySession session(other->session(), *other, blocked + "/recovery");
    QApplication::processEvents();
    other->sendMessage(WM_EFFECT_COMMAND, 0, 42);
    QApplication::processEvents();
    EXPECT_FALSE(session.journal().enabled());
    EXPECT_TRUE(other->notice()->isVisible());
    EXPECT_TRUE(other->notice()->text().startsWith("Recovery after a crash is off"))
        << other->notice()->text().toStdString();
}
