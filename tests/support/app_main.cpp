// The main of the test programs that need Qt's application object: a
// QGuiApplication, or a QApplication when OMBRIK_TEST_WIDGETS is defined, on
// the offscreen platform.
#include "tests/support/own_profile.h"

#ifdef OMBRIK_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ombrik::test::UseOwnProfile();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    ombrik::test::RecordUsedFiles();
    return RUN_ALL_TESTS();
}
