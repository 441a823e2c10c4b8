// The editing session without a window: open, edit, save and undo through
// real files; what it tells its listeners; the frame after a resize.
#include "session/editor_session.h"

#include "canvas/frame_library.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/photo_fixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace ombrik;

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Counts the session's signals.
struct Heard {
    int opened = 0, changed = 0, history = 0, frame = 0;
    explicit Heard(EditorSession& s)
    {
        QObject::connect(&s, &EditorSession::opened, [this] { ++opened; });
        QObject::connect(&s, &EditorSession::changed, [this] { ++changed; });
        QObject::connect(&s, &EditorSession::historyChanged, [this] { ++history; });
        QObject::connect(&s, &EditorSession::frameChanged, [this] { ++frame; });
    }
};

} // namespace

TEST(Session, OpenEditSaveUndoThroughRealFiles)
{
    QTemporaryDir dir;
    const std::string original = dir.filePath("harbour.png").toStdString();
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 160, 120);
    ASSERT_TRUE(test::SavePixelBuffer(photo, original));

    EditorSession session;
    Heard heard(session);
    const CanvasDocument& doc = session.document();
    // A file that is not a picture changes nothing.
    EXPECT_FALSE(session.open(dir.filePath("missing.png").toStdString()).ok);
    EXPECT_FALSE(session.hasPhoto());
    EXPECT_EQ(heard.opened, 0);

    ASSERT_TRUE(session.open(original).ok);
    EXPECT_EQ(heard.opened, 1);
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(session.differsFromFile());

    // Emboss, a whole-photo filter: one step, modified, listeners told.
    const int historyBefore = heard.history;
    ASSERT_TRUE(session.chooseEffect(42));
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_TRUE(doc.modified());
    EXPECT_GT(heard.history, historyBefore);
    EXPECT_EQ(doc.photo().pixels, test::RunCatalogueEffect(42, photo).pixels);

    // A save that cannot be written leaves the old file and the state alone.
    const std::string before = ReadBytes(original);
    EXPECT_FALSE(session.save(dir.filePath("harbour").toStdString(), {}).ok());
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(ReadBytes(original), before);

    // Saved in place: the file holds the composite, the state is saved.
    ASSERT_TRUE(session.save(original, {}).ok());
    EXPECT_FALSE(doc.modified());
    EXPECT_TRUE(session.savedSinceOpen());
    EXPECT_EQ(test::LoadSamplePhotoFromPath(original).pixels, doc.photo().pixels);

    // Undo moves away from the saved state; redo comes back to it.
    session.undo();
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    session.redo();
    EXPECT_FALSE(doc.modified());

    // Saved elsewhere as JPEG: the photo takes that name.
    const std::string copy = dir.filePath("copy.jpg").toStdString();
    ASSERT_TRUE(session.save(copy, SaveOptions{80, false, false}).ok());
    EXPECT_EQ(doc.photoPath(), copy);
}

TEST(Session, APhotoReducedOnOpenDiffersFromItsFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.png").toStdString();
    ASSERT_TRUE(test::SavePixelBuffer(test::LoadSamplePhoto("coffee.png", 400, 300), path));
    EditorSession session;
    session.setThreshold(200, 150);
    ASSERT_TRUE(session.open(path).ok);
    EXPECT_EQ(session.document().width(), 200);
    EXPECT_TRUE(session.differsFromFile());
    EXPECT_EQ(session.fileSize(), std::make_pair(400, 300));
    // Once written somewhere, the photo is what that file holds.
    ASSERT_TRUE(session.save(dir.filePath("small.png").toStdString(), {}).ok());
    EXPECT_FALSE(session.differsFromFile());
}

TEST(Session, TheFrameIsFittedAgainToTheNewSizeAndTextMergesAsSaved)
{
    SetFrameLibraryFolder(OMBRIK_SOURCE_DIR "/resources/frames");
    EditorSession session, smaller;
    Heard heard(session);
    session.openPhoto(test::Flat(400, 300, 90), "/tmp/frame.png");
    smaller.openPhoto(test::Flat(200, 152, 90), "/tmp/small.png");
    ASSERT_TRUE(session.setFrame(0));
    EXPECT_EQ(heard.frame, 1);
    EXPECT_FALSE(session.setFrame(0));  // already set
    ASSERT_TRUE(smaller.setFrame(0));
    const int border = session.document().frameBorder();
    ASSERT_NE(border, smaller.document().frameBorder());
    EXPECT_EQ(session.composite().width, 400 + 2 * border);

    ASSERT_TRUE(session.resize(200, 152));
    EXPECT_EQ(session.document().frameBorder(), smaller.document().frameBorder());
    EXPECT_EQ(session.document().frameIndex(), 0);
    session.undo();
    EXPECT_EQ(session.document().width(), 400);
    EXPECT_EQ(session.document().frameBorder(), border);
    session.redo();
    EXPECT_EQ(session.document().frameBorder(), smaller.document().frameBorder());

    // Merged text is drawn as a save draws it, without the frame.
    CanvasObject text;
    text.text = "Merged";
    text.font.faceName = "DejaVu Sans";
    text.font.height = 40;
    text.textWidth = 120;
    text.textHeight = 50;
    text.colour1 = 0x0000FF;
    text.x = 20;
    text.y = 20;
    session.addObject(text);
    const PixelBuffer saved = session.composite();
    ASSERT_TRUE(session.mergeText());
    EXPECT_TRUE(session.document().objects().empty());
    const int b = session.document().frameBorder();
    const PixelBuffer& merged = session.document().photo();
    for (int y = 0; y < merged.height; y += 7)
        ASSERT_EQ(0, std::memcmp(merged.at(0, y), saved.at(b, y + b), merged.stride())) << y;
    session.deleteFrame();
    EXPECT_EQ(heard.frame, 2);
    EXPECT_EQ(session.composite().pixels, merged.pixels);
    SetFrameLibraryFolder("");
}
