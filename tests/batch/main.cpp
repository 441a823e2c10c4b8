// Batch tests run with a QApplication on the offscreen platform: some compare
// the batch's output with what the window's canvas draws.
#include "tests/support/own_profile.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ombrik::test::UseOwnProfile();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    ombrik::test::RecordUsedFiles();
    return RUN_ALL_TESTS();
}
