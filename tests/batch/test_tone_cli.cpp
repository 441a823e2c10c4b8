// The command-line forms of levels, curves and Auto: what they parse to, that
// the options of one place make one adjustment as the panel does, and their
// refusals.
#include "batch/batch_adjust.h"
#include "engine/tone_analysis.h"
#include "tests/files/files_test_support.h"
#include "tests/support/cli_run.h"
#include "tests/support/photo_fixture.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace ombrik {
namespace {

using test::CliRun;
using test::RunCli;

using test::TempFolder;

PixelBuffer Adjusted(const AdjustParams& p, const PixelBuffer& src)
{
    PixelBuffer out;
    ApplyAdjustments(p, src, out);
    return out;
}

TEST(ToneCli, ParsesLevelsAndCurves)
{
    ToneChannel channel = ToneChannel::Red;
    Levels levels;
    std::string error;
    ASSERT_TRUE(ParseLevels("12, 1.4 ,240", channel, levels, error)) << error;
    EXPECT_EQ(channel, ToneChannel::Rgb);
    EXPECT_EQ(levels, (Levels{12, 1.4, 240}));
    ASSERT_TRUE(ParseLevels("0,0.5,200,green", channel, levels, error)) << error;
    EXPECT_EQ(channel, ToneChannel::Green);
    ASSERT_TRUE(ParseLevels("0,1,255,b", channel, levels, error));
    EXPECT_EQ(channel, ToneChannel::Blue);
    for (const char* bad : {"", "10,1", "10,1,200,red,1", "a,1,200", "10,,200", "10,0.05,200", "10,12,200",
                            "-1,1,200", "10,1,256", "200,1,100", "100,1,100.5", "0,1,255,purple", "nan,1,200"}) {
        error.clear();
        EXPECT_FALSE(ParseLevels(bad, channel, levels, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }

    Curve curve;
    ASSERT_TRUE(ParseCurve("0,0 64,52  192,210\t255,255", channel, curve, error)) << error;
    EXPECT_EQ(channel, ToneChannel::Rgb);
    EXPECT_EQ(curve, (Curve{{{0, 0}, {64, 52}, {192, 210}, {255, 255}}}));
    ASSERT_TRUE(ParseCurve("red: 0,30 255,225", channel, curve, error)) << error;
    EXPECT_EQ(channel, ToneChannel::Red);
    EXPECT_EQ(curve, (Curve{{{0, 30}, {255, 225}}}));
    for (const char* bad : {"", "0,0", "0,0 0,5", "10,0 5,9", "0,0 256,255", "0,-1 255,255", "0,0 a,b", "0;0 9,9",
                            "pink:0,0 255,255", "0,0 1.5,2 255,255",
                            "0,0 1,1 2,2 3,3 4,4 5,5 6,6 7,7 8,8 9,9 10,10 11,11 12,12 13,13 14,14 15,15 16,16"}) {
        error.clear();
        EXPECT_FALSE(ParseCurve(bad, channel, curve, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(ToneCli, OnePlaceMakesOneAdjustmentAndBadValuesAreRefused)
{
    TempFolder folder;
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 120, 80);
    ASSERT_TRUE(test::SaveWithQt(photo, folder.path("in.png")));
    const QString input = QString::fromStdString(folder.path("in.png"));
    const QString output = QString::fromStdString(folder.path("out.png"));
    auto result = [&] { return test::LoadSamplePhotoFromPath(output.toStdString()); };

    // Sliders, levels and curves of one place: the panel's single adjustment.
    CliRun run = RunCli({input, output, "--adjust", "saturation=20", "--levels", "10,1.3,240", "--levels",
                         "0,1,200,red", "--curves", "0,0 64,52 192,210 255,255", "--curves", "blue:0,20 255,235"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    AdjustParams p;
    p.saturation = 20;
    p.tone.levels[0] = {10, 1.3, 240};
    p.tone.levels[1] = {0, 1, 200};
    p.tone.curves[0] = Curve{{{0, 0}, {64, 52}, {192, 210}, {255, 255}}};
    p.tone.curves[3] = Curve{{{0, 20}, {255, 235}}};
    EXPECT_EQ(result().pixels, Adjusted(p, photo).pixels);

    // Auto measures the photo it is given and joins the settings before it;
    // an --adjust after it is a step of its own.
    run = RunCli({input, output, "--adjust", "vibrance=30", "--auto", "--adjust", "exposure=0.2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    AdjustParams automatic = AutoAdjust(photo);
    ASSERT_FALSE(automatic.isIdentity());
    automatic.vibrance = 30;
    AdjustParams after;
    after.exposure = 0.2;
    EXPECT_EQ(result().pixels, Adjusted(after, Adjusted(automatic, photo)).pixels);

    const QString bad = QString::fromStdString(folder.path("bad.png"));
    const QStringList refused[] = {
        {"--levels", "10,1"},
        {"--levels", "10,0,200"},
        {"--levels", "0,1,255,purple"},
        {"--levels", "1,1,200", "--levels", "2,1,200"},
        {"--levels", "1,1,200,red", "--adjust", "tint=1", "--levels", "2,1,200,red", "--levels", "2,1,200,red"},
        {"--curves", "0,0"},
        {"--curves", "0,0 300,255"},
        {"--curves", "g:0,0 9,9", "--curves", "green:0,0 9,9"},
        {"--auto", "--auto"},
        {"--adjust", "contrast=10", "--auto"},
        {"--curves"},
    };
    for (const QStringList& args : refused) {
        const CliRun refusal = RunCli(QStringList{input, bad} + args);
        EXPECT_EQ(refusal.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_NE(refusal.err.find("ombrik-cli:"), std::string::npos) << refusal.err;
    }
    EXPECT_FALSE(QFile::exists(bad));
}

} // namespace
} // namespace ombrik
