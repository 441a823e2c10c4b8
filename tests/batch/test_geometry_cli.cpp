// The command line's crop, rotate, flip, straighten and resize against the
// window's document doing the same, and their refusals.
#include "canvas/canvas_document.h"
#include "engine/geometry.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "tests/support/cli_run.h"
#include "tests/support/photo_fixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ombrik;
using ombrik::test::CliRun;
using ombrik::test::RunCli;

namespace {

PixelBuffer Load(const QString& path)
{
    LoadedPhoto loaded = LoadPhoto(path.toStdString(), 0, 0);
    return loaded.ok ? std::move(loaded.photo) : PixelBuffer();
}

} // namespace

TEST(GeometryCli, MatchesTheWindowStepForStepAndInOrder)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("in.png"), output = dir.filePath("out.png");
    const PixelBuffer photo = test::LoadSamplePhoto("chelsea.png", 300, 200);
    ASSERT_TRUE(test::SavePixelBuffer(photo, input.toStdString()));

    const CliRun run = RunCli({input, output, "--crop", "242x161+20+16", "--rotate", "90", "--flip", "horizontal",
                            "--straighten", "-3.5", "--rotate", "270", "--resize", "50%", "--flip", "vertical",
                            "--resize", "100x100"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    CanvasDocument doc;
    doc.afterOpen(Load(input), input.toStdString());
    ASSERT_TRUE(doc.crop(20, 16, 242, 161));
    ASSERT_TRUE(doc.rotate(1));
    ASSERT_TRUE(doc.flip(true));
    ASSERT_TRUE(doc.straighten(-3.5));
    ASSERT_TRUE(doc.rotate(3));
    const PixelSize half = ScaledByPercent(doc.width(), doc.height(), 50);
    ASSERT_TRUE(doc.resize(half.width, half.height));
    ASSERT_TRUE(doc.flip(false));
    const PixelSize fit = FitWithin(doc.width(), doc.height(), 100, 100);
    ASSERT_TRUE(doc.resize(fit.width, fit.height));
    EXPECT_EQ(fit.width, 100);

    const PixelBuffer saved = Load(output);
    ASSERT_EQ(saved.width, doc.width());
    ASSERT_EQ(saved.height, doc.height());
    EXPECT_EQ(saved.pixels, doc.photo().pixels);

    // Mixed with an effect, each runs where it stands on the command line.
    const CliRun mixed = RunCli({input, output, "--crop", "200x120+40+40", "--effect", "Sharp", "--flip", "vertical"});
    ASSERT_EQ(mixed.exitCode, 0) << mixed.err;
    const PixelBuffer sharpId = test::RunCatalogueEffect(7, CropPixels(Load(input), 40, 40, 200, 120));
    EXPECT_EQ(Load(output).pixels, FlipPixels(sharpId, false).pixels);
    const CliRun reversed = RunCli({input, output, "--effect", "Sharp", "--crop", "200x120+40+40", "--flip", "vertical"});
    ASSERT_EQ(reversed.exitCode, 0) << reversed.err;
    EXPECT_NE(Load(output).pixels, FlipPixels(sharpId, false).pixels);
}

TEST(GeometryCli, BadValuesExitWithTwoAndAMessage)
{
    QTemporaryDir dir;
    const QString input = dir.filePath("in.png"), output = dir.filePath("out.png");
    ASSERT_TRUE(test::SavePixelBuffer(test::LoadSamplePhoto("coffee.png", 200, 120), input.toStdString()));
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"--crop", "100x100"}, "bad crop"},
        {{"--crop", "axb+1+1"}, "bad crop"},
        {{"--crop", "0x10+0+0"}, "bad crop"},
        {{"--crop", "100x100+150+0"}, "not inside"},
        {{"--rotate", "45"}, "bad rotation"},
        {{"--flip", "diagonal"}, "bad flip"},
        {{"--straighten", "46"}, "-45 to 45"},
        {{"--straighten", "nan"}, "bad straighten"},
        {{"--resize", "0%"}, "bad resize"},
        {{"--resize", "0x100"}, "bad resize"},
        {{"--resize", "1%"}, "smaller than 4"},
        {{"--resize", "5000%"}, "threshold"},
        {{"--rotate"}, "needs"},
    };
    for (const auto& [options, message] : cases) {
        QStringList arguments = {input, output};
        arguments += options;
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << options.join(' ').toStdString();
        EXPECT_NE(run.err.find(message), std::string::npos) << options.join(' ').toStdString() << ": " << run.err;
        EXPECT_FALSE(QFile::exists(output)) << options.join(' ').toStdString();
    }
}
