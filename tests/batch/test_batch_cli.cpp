#include "tests/files/files_test_support.h"
#include "tests/support/cli_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace ombrik {
namespace {

using test::CliRun;
using test::RunCli;

using test::TempFolder;

TEST(BatchCli, AppliesEffectsAndSaves)
{
    TempFolder folder;
    const PixelBuffer picture = test::RampPicture(40, 30);
    const QString input = QString::fromStdString(folder.path("in.png"));
    ASSERT_TRUE(test::SaveWithQt(picture, folder.path("in.png")));

    const QString output = QString::fromStdString(folder.path("out.png"));
    const CliRun run = RunCli({input, output, "--effect", "B & W", "--seed", "7"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("damaged"), std::string::npos) << run.err;

    // Cut to 40 × 28 (bottom rows dropped), then every channel takes green.
    const QImage result = QImage(output).convertToFormat(QImage::Format_BGR888);
    ASSERT_EQ(result.size(), QSize(40, 28));
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint8_t* p = result.constScanLine(y) + x * 3;
            const uint8_t green = picture.at(x, y)[1];
            ASSERT_EQ(p[0], green);
            ASSERT_EQ(p[1], green);
            ASSERT_EQ(p[2], green);
        }

    // The spelling of the options works as well.
    const QString jpeg = QString::fromStdString(folder.path("out.JPG"));
    const CliRun alias = RunCli({"--apply", "Sharp", "--output", jpeg, "--max-size", "1024", "768", input});
    EXPECT_EQ(alias.exitCode, 0) << alias.err;
    EXPECT_EQ(QImage(jpeg).size(), QSize(40, 28));
}

TEST(BatchCli, FailuresHaveMessagesAndExitCodes)
{
    TempFolder folder;
    const QString input = QString::fromStdString(folder.path("in.png"));
    ASSERT_TRUE(test::SaveWithQt(test::RampPicture(16, 16), folder.path("in.png")));
    test::WriteFile(folder.path("broken.jpg"), "not a picture at all");
    const QString out = QString::fromStdString(folder.path("out.png"));

    const CliRun missing = RunCli({QString::fromStdString(folder.path("missing.jpg")), out});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("could not be opened"), std::string::npos);
    const CliRun broken = RunCli({QString::fromStdString(folder.path("broken.jpg")), out});
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_NE(broken.err.find("could not be opened"), std::string::npos);
    for (const char* name : {"out.xyz", "out.heic"}) {  // unknown, and only read
        const CliRun noEncoder = RunCli({input, QString::fromStdString(folder.path(name))});
        EXPECT_EQ(noEncoder.exitCode, 4) << name;
        EXPECT_NE(noEncoder.err.find("no picture format"), std::string::npos) << name;
    }
    const CliRun cannotWrite = RunCli({input, QString::fromStdString(folder.path("no/such/folder/out.png"))});
    EXPECT_EQ(cannotWrite.exitCode, 4);
    EXPECT_EQ(RunCli({input, out, "--effect", "No Such Effect"}).exitCode, 2);
    EXPECT_EQ(RunCli({input, out, "--effect", "999"}).exitCode, 2);
    EXPECT_EQ(RunCli({input, out, "--threshold", "12"}).exitCode, 2);
    EXPECT_EQ(RunCli({input, out, "--quality", "101"}).exitCode, 2);
    EXPECT_EQ(RunCli({input}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(folder.path("out.png")));

    // Effects placed or painted with the mouse cannot run: an error naming the
    // effect, before the input is opened (it does not even exist here) and
    // before anything is written.
    const QString absent = QString::fromStdString(folder.path("absent.png"));
    for (const char* effect : {"80", "85", "120", "Spotlight", "124"}) {
        const CliRun mouse = RunCli({absent, out, "--effect", "B & W", "--effect", effect});
        EXPECT_EQ(mouse.exitCode, 2) << effect << ": " << mouse.err;
        EXPECT_NE(mouse.err.find("with the mouse"), std::string::npos) << mouse.err;
        EXPECT_EQ(mouse.err.find("could not be opened"), std::string::npos) << mouse.err;
    }
    const CliRun spot = RunCli({input, out, "--effect", "120"});
    EXPECT_NE(spot.err.find("'Spotlight' (120)"), std::string::npos) << spot.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path("out.png")));

    const CliRun list = RunCli({"--list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("Oil Paint"), std::string::npos);
    EXPECT_NE(list.out.find("B & W"), std::string::npos);
}

TEST(BatchCli, ADamagedInputIsProcessedWithAWarning)
{
    TempFolder folder;
    ASSERT_TRUE(test::SaveWithQt(test::RampPicture(64, 48), folder.path("whole.jpg")));
    const std::string bytes = test::ReadFile(folder.path("whole.jpg"));
    test::WriteFile(folder.path("cut.jpg"), bytes.substr(0, bytes.size() * 6 / 10));

    const QString out = QString::fromStdString(folder.path("out.png"));
    const CliRun cut = RunCli({QString::fromStdString(folder.path("cut.jpg")), out});
    EXPECT_EQ(cut.exitCode, 0) << cut.err;
    EXPECT_NE(cut.err.find("is damaged: part of the picture may be missing"), std::string::npos) << cut.err;
    EXPECT_EQ(QImage(out).size(), QSize(64, 48));
    const CliRun whole = RunCli({QString::fromStdString(folder.path("whole.jpg")), out});
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.err.find("damaged"), std::string::npos) << whole.err;
}

TEST(BatchCli, CtrlCStopsWithoutAnOutputFile)
{
    TempFolder folder;
    ASSERT_TRUE(test::SaveWithQt(test::RampPicture(2000, 1500), folder.path("in.png")));
    const QString output = QString::fromStdString(folder.path("out.png"));
    QProcess process;
    // Three painter looks before Mosaic: the looks run on every core now and
    // one alone can be over before the signal lands.
    process.start(QStringLiteral(OMBRIK_CLI_PATH), {QString::fromStdString(folder.path("in.png")), output, "--effect",
                                                    "Weave", "--effect", "Dot Art", "--effect", "Line Art", "--effect",
                                                    "Mosaic"});
    ASSERT_TRUE(process.waitForStarted());
    // Once the photo is loaded (cut to the load threshold) and the first
    // look is under way, press Ctrl+C.
    QByteArray err;
    QElapsedTimer clock;
    clock.start();
    while (!err.contains("x 1200") && clock.elapsed() < 60000) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("x 1200")) << err.toStdString();
    QThread::msleep(50);
    ::kill(pid_t(process.processId()), SIGINT);
    clock.restart();
    ASSERT_TRUE(process.waitForFinished(60000));
    err += process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << err.toStdString();
    EXPECT_TRUE(err.contains("cancelled")) << err.toStdString();
    EXPECT_FALSE(err.contains("Mosaic")) << err.toStdString();
    // Nothing was written: not the output, not a temporary beside it.
    EXPECT_EQ(QDir(QString::fromStdString(folder.path(""))).entryList(QDir::Files), QStringList{"in.png"});
}

} // namespace
} // namespace ombrik
