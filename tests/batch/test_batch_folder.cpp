// ombrik-cli over folders, run as a real process on real files: failures named
// and counted, damaged inputs warned about and counted, the formats found in
// folders and written by --format, the overwrite rules, inputs listed twice or
// holding the output folder, seeds independent of the job count, and frame and
// text drawn as the window's Save As draws them.
#include "canvas/frame_library.h"
#include "view/photo_canvas.h"
#include "canvas/text_drawing.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "tests/files/files_test_support.h"
#include "tests/support/cli_run.h"
#include "tests/support/photo_fixture.h"
#include "ui/text_panel.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>

namespace ombrik {
namespace {

using test::CliRun;
using test::RunCli;

namespace fs = std::filesystem;

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A sample photo at a small size, saved as PNG under `path`.
void SavePhoto(const QString& path, const char* sample = "coffee.png", int w = 160, int h = 120)
{
    const PixelBuffer photo = test::LoadSamplePhoto(sample, w, h);
    ASSERT_TRUE(QImage(photo.data(), photo.width, photo.height, int(photo.stride()), QImage::Format_BGR888)
                    .save(path));
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(BatchFolder, BrokenFilesAreNamedAndTheOthersWritten)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("photos in");
    ASSERT_TRUE(QDir().mkpath(in + "/sub"));
    SavePhoto(in + "/été 1.png");
    SavePhoto(in + "/sub/b.png", "chelsea.png");
    Write(in + "/broken.jpg", "not a jpeg at all");
    Write(in + "/notes.txt", "text");

    // The folder holds its own output folder: that is not walked a second time.
    const QString out = in + "/out";
    for (const char* again : {"", "--overwrite"}) {
        QStringList args{"--output-dir", out, "--recursive", "-e", "Emboss", in};
        if (*again)
            args << again;
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 5) << run.err;
        EXPECT_TRUE(Has(run.err, "failed " + (in + "/broken.jpg").toStdString())) << run.err;
        EXPECT_TRUE(Has(run.err, "2 written, 1 failed, 0 skipped")) << run.err;
        EXPECT_TRUE(Has(run.err, "notes.txt: not a picture format")) << run.err;
    }
    EXPECT_FALSE(QFile::exists(out + "/broken.jpg"));
    EXPECT_FALSE(QFile::exists(out + "/out"));

    // Each output is what the single-file form makes of the same photo.
    for (const char* name : {"été 1.png", "sub/b.png"}) {
        const QString single = tmp.filePath("single.png");
        QFile::remove(single);
        const CliRun one = RunCli({in + "/" + name, single, "-e", "Emboss"});
        ASSERT_EQ(one.exitCode, 0) << one.err;
        const QImage expected(single);
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(QImage(out + "/" + name), expected) << name;
    }

    // An output folder that cannot be made stops the run before any work.
    Write(tmp.filePath("a file"), "x");
    const CliRun blocked = RunCli({"--output-dir", tmp.filePath("a file/out"), in});
    EXPECT_EQ(blocked.exitCode, 4) << blocked.err;
    EXPECT_TRUE(Has(blocked.err, "cannot be created")) << blocked.err;
    EXPECT_FALSE(Has(blocked.err, "written")) << blocked.err;
}

TEST(BatchFolder, TodaysFormatsAreFoundInFoldersAndWritten)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in");
    ASSERT_TRUE(QDir().mkpath(in));
    const PixelBuffer photo = test::LoadSamplePhoto("coffee.png", 160, 120);
    ASSERT_TRUE(test::SaveHeic(photo, (in + "/a.heic").toStdString()));
    for (const char* name : {"b.avif", "c.jxl", "d.webp", "e.png"}) {
        const std::string path = (in + "/" + name).toStdString();
        ASSERT_EQ(ImageEncoder(path).saveToFile(photo, path), SaveStatus::Ok) << name;
    }
    Write(in + "/f.emf", Bytes(in + "/e.png"));  // a format that is not opened

    for (const char* format : {"jxl", "avif"}) {
        const QString out = tmp.filePath(QString("out-") + format);
        const CliRun run = RunCli({"--output-dir", out, "--format", format, "-e", "Emboss", in});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(Has(run.err, "5 written, 0 failed, 0 skipped")) << run.err;
        EXPECT_TRUE(Has(run.err, "f.emf: not a picture format")) << run.err;
        for (const char* stem : {"a", "b", "c", "d", "e"}) {
            const QString output = out + "/" + stem + "." + format;
            const LoadedPhoto written = LoadPhoto(output.toStdString());
            EXPECT_TRUE(written.ok) << output.toStdString() << ": " << written.error;
            EXPECT_EQ(written.photo.width, 160) << output.toStdString();
        }
    }
    // Only formats that are written: a HEIC is read, not written.
    for (const char* format : {"heic", "emf", "xyz"}) {
        const CliRun refused = RunCli({"--output-dir", tmp.filePath("refused"), "--format", format, in});
        EXPECT_EQ(refused.exitCode, 2) << format;
        EXPECT_TRUE(Has(refused.err, std::string("no picture format can be written as '") + format + "'"))
            << refused.err;
    }
    EXPECT_FALSE(QFile::exists(tmp.filePath("refused")));
}

TEST(BatchFolder, DamagedInputsAreWrittenWithAWarningAndCounted)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in");
    ASSERT_TRUE(QDir().mkpath(in));
    SavePhoto(in + "/whole.jpg", "chelsea.png", 96, 64);
    const QByteArray whole = Bytes(in + "/whole.jpg");
    Write(in + "/cut.jpg", whole.left(whole.size() * 6 / 10));

    const QString out = tmp.filePath("out");
    const CliRun run = RunCli({"--output-dir", out, "--format", "png", in});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "warning: " + (in + "/cut.jpg").toStdString()
                                 + " is damaged: part of the picture may be missing"))
        << run.err;
    EXPECT_FALSE(Has(run.err, "whole.jpg is damaged")) << run.err;
    EXPECT_TRUE(Has(run.err, "2 written (1 damaged), 0 failed, 0 skipped")) << run.err;
    EXPECT_EQ(QImage(out + "/cut.png").size(), QSize(96, 64));
}

TEST(BatchFolder, OutputsAreReplacedOnlyWhenAskedAndInputsNever)
{
    QTemporaryDir tmp;
    const QString photo = tmp.filePath("a.png");
    SavePhoto(photo);
    const QByteArray original = Bytes(photo);
    const QString out = tmp.filePath("out");

    // Listed twice: edited once.
    const CliRun first = RunCli({"--output-dir", out, "--format", "bmp", photo, photo});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_TRUE(Has(first.err, "listed twice")) << first.err;
    EXPECT_TRUE(Has(first.err, "1 written, 0 failed, 0 skipped")) << first.err;

    Write(out + "/a.bmp", "keep me");
    const CliRun kept = RunCli({"--output-dir", out, "--format", "bmp", photo});
    EXPECT_EQ(kept.exitCode, 5) << kept.err;
    EXPECT_TRUE(Has(kept.err, "0 written, 0 failed, 1 skipped")) << kept.err;
    EXPECT_EQ(Bytes(out + "/a.bmp"), QByteArray("keep me"));

    const CliRun replaced = RunCli({"--output-dir", out, "--format", "bmp", "--overwrite", photo});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(QImage(out + "/a.bmp").size(), QSize(160, 120));

    // The input's own folder, the same name and format: never written over.
    const CliRun self = RunCli({"--output-dir", tmp.path(), "--overwrite", "-e", "Emboss", photo});
    EXPECT_EQ(self.exitCode, 5) << self.err;
    EXPECT_TRUE(Has(self.err, "is an input")) << self.err;
    EXPECT_EQ(Bytes(photo), original);
}

TEST(BatchFolder, RandomEffectsDependOnTheSeedAndNameNotOnTheJobs)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in");
    QDir().mkpath(in);
    SavePhoto(in + "/a.png");
    SavePhoto(in + "/b.png", "chelsea.png");
    SavePhoto(in + "/c.png", "astronaut.png");
    QFile::copy(in + "/a.png", in + "/a copy.png");

    auto batch = [&](const QString& out, const char* jobs, const char* seed) {
        const CliRun run = RunCli({"--output-dir", out, "--jobs", jobs, "--seed", seed, "-e", "Splash", "-e", "Mosaic",
                                "-e", "Wind", in});
        EXPECT_EQ(run.exitCode, 0) << run.err;
    };
    batch(tmp.filePath("one"), "1", "11");
    batch(tmp.filePath("two"), "2", "11");
    batch(tmp.filePath("other"), "2", "12");
    for (const char* name : {"a.png", "a copy.png", "b.png", "c.png"}) {
        const QByteArray one = Bytes(tmp.filePath("one/") + name);
        ASSERT_FALSE(one.isEmpty()) << name;
        EXPECT_EQ(one, Bytes(tmp.filePath("two/") + name)) << name;
        EXPECT_NE(one, Bytes(tmp.filePath("other/") + name)) << name;
    }
    // The same pixels under another name get another seed.
    EXPECT_NE(Bytes(tmp.filePath("one/a.png")), Bytes(tmp.filePath("one/a copy.png")));
}

TEST(BatchFolder, FrameAndTextMatchTheWindowsSaveAs)
{
    SetFrameLibraryFolder(OMBRIK_SOURCE_DIR "/resources/frames");
    QTemporaryDir tmp;
    const QString photo = tmp.filePath("p.png");
    SavePhoto(photo, "astronaut.png", 600, 400);
    const QString text = QString::fromUtf8("© Ombrik 2026");

    // The window: the photo at zoom 1, a text added from the panel's template
    // in style 3 (it lands in the middle of the photo), frame 3.
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(800, 600);
    ASSERT_TRUE(session.open(photo.toStdString()).ok);
    canvas.actualSize();
    TextTemplate templ = DefaultTemplate(CTextPanel::fontFaces().value(0).toStdString());
    templ.text = text.toStdString();
    templ.style = 3;
    std::tie(templ.colour1, templ.colour2) = StyleDefaultColours(3);
    canvas.addTextObject(templ);
    ASSERT_EQ(session.document().objects().size(), 1u);
    ASSERT_TRUE(session.setFrame(2));
    const PixelBuffer window = session.composite();
    const QImage expected =
        QImage(window.data(), window.width, window.height, int(window.stride()), QImage::Format_BGR888).copy();

    const QString out = tmp.filePath("out");
    const CliRun run = RunCli({"--output-dir", out, "--frame", "3", "--text", text, "--text-style", "3", "--text-at",
                            "centre", photo});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage batch = QImage(out + "/p.png").convertToFormat(QImage::Format_BGR888);
    ASSERT_EQ(batch.size(), expected.size());
    EXPECT_GT(batch.width(), 600);  // the frame border is round the photo
    EXPECT_EQ(batch, expected);

    // A frame the library lacks or an unknown face is refused before any work.
    EXPECT_EQ(RunCli({"--output-dir", out, "--frame", "999", photo}).exitCode, 2);
    EXPECT_EQ(RunCli({"--output-dir", out, "--text", "x", "--text-font", "No Such Face 123", photo}).exitCode, 2);
    SetFrameLibraryFolder("");
}

} // namespace
} // namespace ombrik
