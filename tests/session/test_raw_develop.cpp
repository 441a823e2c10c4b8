// A camera RAW file in the session: the preview at once, the developed photo
// when the worker is done, no edit in between, Cancel keeps the preview, and
// a save writes the developed photo under a new name.
#include "session/editor_session.h"

#include "tests/support/dng_writer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombrik;

namespace {

// A 640 × 480 chart with a 512-pixel JPEG preview.
std::string WriteChartDng(const QTemporaryDir& dir, const char* name, int previewWidth = 512)
{
    test::DngRecipe recipe;
    recipe.width = 640;
    recipe.height = 480;
    recipe.previewWidth = previewWidth;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    const std::string path = dir.filePath(name).toStdString();
    return test::WriteDng(path, recipe) ? path : std::string();
}

struct Ended {
    int count = 0;
    bool developed = false;
    QString note;
    explicit Ended(EditorSession& s)
    {
        QObject::connect(&s, &EditorSession::developEnded, [this](bool d, const QString& n) {
            ++count;
            developed = d;
            note = n;
        });
    }
};

// Runs the event loop until the develop has ended (at most 30 s).
bool WaitForDevelop(const EditorSession& session)
{
    QElapsedTimer clock;
    clock.start();
    while (session.developing() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !session.developing();
}

} // namespace

TEST(RawDevelop, ThePreviewFirstThenTheDevelopedPhotoWithNoEditBetween)
{
    QTemporaryDir dir;
    const std::string path = WriteChartDng(dir, "chart.dng");
    ASSERT_FALSE(path.empty());
    EditorSession session;
    Ended ended(session);
    int opened = 0;
    QObject::connect(&session, &EditorSession::opened, [&opened] { ++opened; });

    const LoadedPhoto first = session.open(path);
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_TRUE(first.preview);
    EXPECT_TRUE(session.developing());
    EXPECT_TRUE(session.busy()) << "a second start waits for the develop";
    EXPECT_EQ(opened, 1);
    const PixelBuffer preview = session.document().photo();
    EXPECT_EQ(preview.width, 640);

    // Every edit is refused while the develop runs: nothing can be lost
    // when the developed photo takes the preview's place.
    EXPECT_FALSE(session.rotate(1));
    EXPECT_FALSE(session.crop(0, 0, 100, 100));
    EXPECT_FALSE(session.chooseEffect(EffectId(1)));
    session.dab(10, 10);
    session.endStroke();
    EXPECT_FALSE(session.document().canUndo());
    EXPECT_FALSE(session.document().modified());

    ASSERT_TRUE(WaitForDevelop(session));
    EXPECT_FALSE(session.busy());
    EXPECT_EQ(ended.count, 1);
    EXPECT_TRUE(ended.developed);
    EXPECT_TRUE(ended.note.isEmpty()) << ended.note.toStdString();
    // Same size as the preview: the view keeps its place (no second opened()).
    EXPECT_EQ(opened, 1);
    const PixelBuffer& developed = session.document().photo();
    ASSERT_EQ(developed.width, preview.width);
    EXPECT_NE(developed.pixels, preview.pixels);
    EXPECT_EQ(session.document().openedPhoto().pixels, developed.pixels);
    EXPECT_FALSE(session.document().modified());
    EXPECT_TRUE(session.differsFromFile());

    // Now edits work, and a save goes to a new name as JPEG.
    EXPECT_TRUE(session.rotate(1));
    const std::string jpeg = dir.filePath("chart.jpg").toStdString();
    EXPECT_TRUE(session.save(jpeg, SaveOptions{}).ok());
}

TEST(RawDevelop, CancelKeepsThePreviewAndANewOpenStopsTheOldDevelop)
{
    QTemporaryDir dir;
    const std::string path = WriteChartDng(dir, "chart.dng");
    ASSERT_FALSE(path.empty());
    EditorSession session;
    Ended ended(session);

    ASSERT_TRUE(session.open(path).ok);
    const PixelBuffer preview = session.document().photo();
    session.cancelDevelop();
    EXPECT_FALSE(session.developing());
    EXPECT_EQ(ended.count, 1);
    EXPECT_FALSE(ended.developed);
    EXPECT_TRUE(ended.note.isEmpty());
    // A late result is not taken.
    QCoreApplication::processEvents();
    EXPECT_EQ(session.document().photo().pixels, preview.pixels);
    EXPECT_TRUE(session.rotate(1));

    // Opening another file while developing stops the first develop; only
    // the second one's photo arrives.
    const std::string second = WriteChartDng(dir, "second.dng");
    ASSERT_TRUE(session.open(path).ok);
    ASSERT_TRUE(session.open(second).ok);
    ASSERT_TRUE(WaitForDevelop(session));
    EXPECT_EQ(session.document().photoPath(), second);
    EXPECT_TRUE(ended.developed);
}

TEST(RawDevelop, ASaveDuringTheDevelopWritesTheDevelopedPhoto)
{
    QTemporaryDir dir;
    const std::string path = WriteChartDng(dir, "chart.dng");
    ASSERT_FALSE(path.empty());
    EditorSession session;
    ASSERT_TRUE(session.open(path).ok);
    ASSERT_TRUE(session.developing());
    const std::string jpeg = dir.filePath("out.png").toStdString();
    ASSERT_TRUE(session.save(jpeg, SaveOptions{}).ok());
    EXPECT_FALSE(session.developing());
    // The document holds the developed photo, and so does the file.
    EditorSession reader;
    ASSERT_TRUE(reader.open(jpeg).ok);
    EXPECT_EQ(reader.document().photo().pixels, session.document().photo().pixels);
}

TEST(RawDevelop, WithoutAPreviewOrWithASmallThresholdTheFirstPictureMayBeFinal)
{
    QTemporaryDir dir;
    const std::string path = WriteChartDng(dir, "bare.dng", 0);
    ASSERT_FALSE(path.empty());
    EditorSession session;
    // The threshold at most half the sensor: the half-size decode is the photo.
    session.setThreshold(320, 240);
    const LoadedPhoto small = session.open(path);
    ASSERT_TRUE(small.ok) << small.error;
    EXPECT_FALSE(small.preview);
    EXPECT_FALSE(session.developing());
    EXPECT_EQ(session.document().width(), 320);
    EXPECT_TRUE(session.downsizedOnOpen());

    // Larger: a half-size decode stands in until the full develop is in.
    session.setThreshold(1600, 1200);
    ASSERT_TRUE(session.open(path).ok);
    EXPECT_TRUE(session.developing());
    EXPECT_EQ(session.document().width(), 640);
    EXPECT_TRUE(session.finishDevelop());
    EXPECT_EQ(session.document().width(), 640);
}
