// ombrik-cli --heal: the mask scaled to the photo fills the marked area, at
// its place among the steps, in both forms; bad masks exit with 2.
#include "tests/files/files_test_support.h"
#include "tests/support/cli_run.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <cstdlib>

namespace ombrik {
namespace {

using test::CliRun;
using test::RunCli;

using test::TempFolder;

// A mask of w × h, white over the rectangle (x, y, rw, rh).
void SaveMask(const std::string& path, int w, int h, QRect marked)
{
    QImage mask(w, h, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int y = marked.top(); y <= marked.bottom(); ++y)
        for (int x = marked.left(); x <= marked.right(); ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(mask.save(QString::fromStdString(path)));
}

TEST(HealCli, FillsTheMarkedAreaInOrderAndRefusesBadMasks)
{
    TempFolder folder;
    // An 80 × 60 ramp with a magenta block over (20..35, 20..31).
    PixelBuffer photo = test::RampPicture(80, 60);
    for (int y = 20; y < 32; ++y)
        for (int x = 20; x < 36; ++x) {
            uint8_t* p = photo.at(x, y);
            p[0] = 255, p[1] = 0, p[2] = 255;
        }
    const PixelBuffer ramp = test::RampPicture(80, 60);
    ASSERT_TRUE(test::SaveWithQt(photo, folder.path("in.png")));
    const QString in = QString::fromStdString(folder.path("in.png"));
    const QString out = QString::fromStdString(folder.path("out.png"));
    // Half the photo's size: each mask pixel covers 2 × 2 photo pixels.
    SaveMask(folder.path("mask.png"), 40, 30, QRect(10, 10, 8, 6));
    const QString mask = QString::fromStdString(folder.path("mask.png"));

    CliRun run = RunCli({in, out, "--heal", mask});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QImage healed = QImage(out).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(healed.size(), QSize(80, 60));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const QRgb c = healed.pixel(x, y);
            const uint8_t* truth = ramp.at(x, y);
            const bool inside = x >= 20 && x < 36 && y >= 20 && y < 32;
            if (!inside) {
                ASSERT_EQ(c, QImage(in).pixel(x, y)) << x << "," << y;
                continue;
            }
            // The ramp runs on through the area.
            EXPECT_LE(std::abs(qRed(c) - truth[2]) + std::abs(qGreen(c) - truth[1]) + std::abs(qBlue(c) - truth[0]), 40)
                << x << "," << y;
        }

    // Before a crop the mask fits the photo; after it the proportions differ.
    EXPECT_EQ(RunCli({in, out, "--heal", mask, "--crop", "40x20+0+0"}).exitCode, 0);
    run = RunCli({in, out, "--crop", "40x20+0+0", "--heal", mask});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("proportions"), std::string::npos) << run.err;

    // An all-black mask changes nothing.
    SaveMask(folder.path("black.png"), 40, 30, QRect());
    ASSERT_EQ(RunCli({in, out, "--heal", QString::fromStdString(folder.path("black.png"))}).exitCode, 0);
    EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), QImage(in).convertToFormat(QImage::Format_RGB32));

    // Too much marked, another shape, no picture at all: exit 2, nothing saved.
    SaveMask(folder.path("white.png"), 40, 30, QRect(0, 0, 40, 30));
    SaveMask(folder.path("wide.png"), 60, 20, QRect(1, 1, 3, 3));
    test::WriteFile(folder.path("bad.png"), "no picture");
    const QString fresh = QString::fromStdString(folder.path("never.png"));
    for (const auto& [name, says] : {std::pair{"white.png", "two thirds"}, {"wide.png", "proportions"},
                                     {"bad.png", "could not be read"}, {"missing.png", "could not be read"}}) {
        run = RunCli({in, fresh, "--heal", QString::fromStdString(folder.path(name))});
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_NE(run.err.find(says), std::string::npos) << name << ": " << run.err;
        EXPECT_FALSE(QFile::exists(fresh)) << name;
    }

    // The folder form heals every photo with the one mask.
    ASSERT_TRUE(test::SaveWithQt(photo, folder.path("second.png")));
    const QString dir = QString::fromStdString(folder.path("healed"));
    run = RunCli({"--output-dir", dir, "--heal", mask, in, QString::fromStdString(folder.path("second.png"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* name : {"/in.png", "/second.png"}) {
        const QImage written = QImage(dir + name).convertToFormat(QImage::Format_RGB32);
        const QRgb c = written.pixel(28, 26);
        EXPECT_FALSE(qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) > 200) << name;
    }
}

} // namespace
} // namespace ombrik
