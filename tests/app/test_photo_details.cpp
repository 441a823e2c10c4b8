// The camera's details through the main window: read with the photo on Open
// (the photo card shows them) and kept by Save As.
#include "tests/app/app_test_support.h"
#include "tests/support/photo_fixture.h"

#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "files/photo_metadata.h"
#include "files/source_encoding.h"
#include "ui/save_as_dialog.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

bool HasGps(const PhotoMetadata& metadata)
{
    Exiv2::ExifData exif;
    if (metadata.exif.empty())
        return false;
    Exiv2::ExifParser::decode(exif, metadata.exif.data(), metadata.exif.size());
    return exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude")) != exif.end();
}

// A JPEG of the sample photo carrying a camera's EXIF block.
QString WriteCameraJpeg(WindowWithPhoto& w)
{
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Kestrel";
    exif["Exif.Image.Model"] = "Kestrel K7";
    exif["Exif.Photo.DateTimeOriginal"] = "2021:05:06 07:08:09";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 2400/100";
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    PhotoMetadata camera;
    camera.exif.assign(blob.begin(), blob.end());
    const QString path = w.dir.filePath(QStringLiteral("camera.jpg"));
    ImageEncoder encoder(path.toStdString());
    encoder.setMetadata(camera, false);
    EXPECT_EQ(encoder.saveToFile(LoadSamplePhoto("coffee.png", 200, 160), path.toStdString()), SaveStatus::Ok);
    return path;
}

} // namespace

TEST(PhotoDetails, OpenReadsThemAndSaveAsKeepsThem)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    EXPECT_TRUE(w.doc().photoMetadata().camera.empty());
    ASSERT_TRUE(w->openPath(WriteCameraJpeg(w)));
    EXPECT_EQ(w.doc().photoMetadata().camera, "Kestrel K7");
    EXPECT_EQ(w.doc().photoMetadata().dateTaken, "2021:05:06 07:08:09");

    const QString kept = w.dir.filePath(QStringLiteral("kept.webp"));
    w->chooseSaveFile = [&] { return kept; };
    w->command(cmd::MenuSaveAs);
    ASSERT_TRUE(QFile::exists(kept));
    const PhotoMetadata back = ReadPhotoMetadata(kept.toStdString());
    EXPECT_EQ(back.camera, "Kestrel K7");
    EXPECT_EQ(back.dateTaken, "2021:05:06 07:08:09");
    EXPECT_TRUE(boxes.warnings.isEmpty());
}

// Ctrl+S writes a photo back as its file came (metadata, quality,
// lossless-ness); Save As's choices belong to that save, and the dialog only
// offers them again.
TEST(PhotoDetails, PlainSaveKeepsWhatTheFileHadNotTheLastSaveAsChoices)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    // A Save As through the real dialog: quality 50, camera details left out.
    const QString stripped = w.dir.filePath(QStringLiteral("stripped.jpg"));
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CSaveAsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectNameFilter(dialog->nameFilters().filter(QStringLiteral("JPEG")).value(0));
        dialog->selectFile(stripped);
        dialog->qualitySlider()->setValue(50);
        dialog->stripBox()->setChecked(true);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    w->command(cmd::MenuSaveAs);
    ASSERT_TRUE(QFile::exists(stripped));
    EXPECT_EQ(EstimateJpegQuality(stripped.toStdString()), 50);

    // Another photo, a camera JPEG at quality 90: Ctrl+S keeps its date,
    // camera and place and its quality.
    const QString camera = WriteCameraJpeg(w);
    ASSERT_TRUE(w->openPath(camera));
    ASSERT_EQ(w.doc().photoMetadata().sourceQuality, 90);
    w->sendMessage(WM_EFFECT_COMMAND, 0, fx::Posterize);
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    const PhotoMetadata back = ReadPhotoMetadata(camera.toStdString());
    EXPECT_EQ(back.camera, "Kestrel K7");
    EXPECT_EQ(back.dateTaken, "2021:05:06 07:08:09");
    EXPECT_TRUE(HasGps(back));
    EXPECT_EQ(EstimateJpegQuality(camera.toStdString()), 90);

    // The dialog still offers the last choices.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CSaveAsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->quality(), 50);
        EXPECT_TRUE(dialog->stripMetadata());
        dialog->reject();
    });
    w->command(cmd::MenuSaveAs);

    // A lossless WebP is written back without loss.
    const QString webp = w.dir.filePath(QStringLiteral("lossless.webp"));
    ImageEncoder encoder(webp.toStdString());
    encoder.setLossless(true);
    ASSERT_EQ(encoder.saveToFile(LoadSamplePhoto("coffee.png", 200, 160), webp.toStdString()), SaveStatus::Ok);
    ASSERT_TRUE(w->openPath(webp));
    w->sendMessage(WM_EFFECT_COMMAND, 0, fx::Posterize);
    const PixelBuffer edited = w.doc().photo();
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(IsLosslessWebp(webp.toStdString()));
    EXPECT_EQ(LoadPhoto(webp.toStdString()).photo.pixels, edited.pixels);
    EXPECT_TRUE(boxes.warnings.isEmpty());
}
