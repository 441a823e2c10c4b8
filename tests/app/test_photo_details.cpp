// The camera's details through the main window: read with the photo on Open
// (the photo card shows them) and kept by Save As.
#include "tests/app/app_test_support.h"
#include "tests/support/photo_fixture.h"

#include "files/image_encoder.h"
#include "files/photo_metadata.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

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
