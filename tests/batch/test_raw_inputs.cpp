// Camera RAW inputs of ombrik-cli, run as a real process: the single-file
// form develops a DNG into a JPEG with its camera metadata, and the folder
// form finds RAW files by their extensions (any case) and writes them in the
// format asked for.
#include "files/photo_loader.h"
#include "tests/support/cli_run.h"
#include "tests/support/dng_writer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrik {
namespace {

using test::CliRun;
using test::RunCli;

bool WriteChart(const QString& path, int orientation = 1)
{
    test::DngRecipe recipe;
    recipe.orientation = orientation;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    return test::WriteDng(path.toStdString(), recipe);
}

TEST(BatchRaw, ASingleDngBecomesAJpegWithItsCameraData)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("chart.dng");
    ASSERT_TRUE(WriteChart(in, 6));
    const QString out = tmp.filePath("chart.jpg");
    const CliRun run = RunCli({in, out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const LoadedPhoto written = LoadPhoto(out.toStdString());
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.photo.width, 96);  // upright
    EXPECT_EQ(written.photo.height, 128);
    EXPECT_EQ(written.metadata.camera, "Ombrik Test Cameras Chart One");
    EXPECT_EQ(written.metadata.dateTaken, "2024:05:17 10:11:12");
}

TEST(BatchRaw, FoldersHoldingRawFilesAreDevelopedInto)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in");
    ASSERT_TRUE(QDir().mkpath(in));
    ASSERT_TRUE(WriteChart(in + "/a.dng"));
    ASSERT_TRUE(WriteChart(in + "/B.DNG"));
    const QString out = tmp.filePath("out");
    const CliRun run = RunCli({"--output-dir", out, "--format", "png", in});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("2 written, 0 failed"), std::string::npos) << run.err;
    for (const char* name : {"a.png", "B.png"}) {
        const LoadedPhoto written = LoadPhoto((out + "/" + name).toStdString());
        EXPECT_TRUE(written.ok) << name;
        EXPECT_EQ(written.photo.width, 128) << name;
    }
    // Without --format a RAW cannot be written under its own name: said so.
    const CliRun own = RunCli({"--output-dir", tmp.filePath("own"), in});
    EXPECT_NE(own.err.find("no picture format can be written as '.dng'"), std::string::npos) << own.err;
}

} // namespace
} // namespace ombrik
