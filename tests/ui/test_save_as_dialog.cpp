#include "ui/save_as_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrik {
namespace {

void EnsureApp()
{
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

TEST(SaveAsDialog, NamedFormatsOpenedNameAndOptions)
{
    EnsureApp();
    // The dialog offers what the format table writes, in its order.
    CSaveAsDialog plain(nullptr, QString(), 90, false);
    EXPECT_EQ(plain.nameFilters(), SaveDialogFilters());
    EXPECT_EQ(plain.nameFilters().mid(0, 3),
              QStringList({"JPEG (*.jpg *.jpeg *.jpe *.jfif)", "PNG (*.png)", "TIFF (*.tif *.tiff)"}));

    // A HEIC cannot be written: the dialog offers its name as a JPEG, in its folder.
    const QTemporaryDir holiday;
    CSaveAsDialog heic(nullptr, holiday.filePath("IMG_0042.HEIC"), 77, false);
    EXPECT_STREQ(heic.currentFormat().name, "JPEG");
    EXPECT_EQ(heic.findChild<QLineEdit*>("fileNameEdit")->text(), "IMG_0042.jpg");
    EXPECT_EQ(heic.directory().absolutePath(), QDir(holiday.path()).absolutePath());
    EXPECT_EQ(heic.quality(), 77);
    EXPECT_TRUE(heic.qualitySlider()->isEnabled());
    EXPECT_FALSE(heic.losslessBox()->isEnabled());
    EXPECT_FALSE(heic.stripMetadata());
    EXPECT_EQ(heic.stripBox()->text(), "Remove camera and location details");

    // A PNG keeps its format: no quality for a format without loss.
    CSaveAsDialog png(nullptr, "/tmp/scan.png", 90, false);
    EXPECT_STREQ(png.currentFormat().name, "PNG");
    EXPECT_EQ(png.findChild<QLineEdit*>("fileNameEdit")->text(), "scan.png");
    EXPECT_FALSE(png.qualitySlider()->isEnabled());

    // Choosing WebP renames the file and offers lossless, which turns the quality off.
    png.selectNameFilter("WebP (*.webp)");
    emit png.filterSelected("WebP (*.webp)");
    EXPECT_EQ(png.findChild<QLineEdit*>("fileNameEdit")->text(), "scan.webp");
    EXPECT_TRUE(png.losslessBox()->isEnabled());
    EXPECT_TRUE(png.qualitySlider()->isEnabled());
    if (qEnvironmentVariableIsSet("OMBRIK_SHOT_DIR")) {  // for looking at it by eye
        png.resize(png.sizeHint().expandedTo(QSize(820, 520)));
        png.grab().save(qEnvironmentVariable("OMBRIK_SHOT_DIR") + QStringLiteral("/save-as.png"));
    }
    png.losslessBox()->setChecked(true);
    EXPECT_FALSE(png.qualitySlider()->isEnabled());
    EXPECT_TRUE(png.lossless());
}

} // namespace
} // namespace ombrik
