// Main-window tests run with a QApplication on the offscreen platform. Settings
// go to a test location, and message boxes fail the test unless a test answers
// them itself.
#include "ui/message_box.h"

#include "tests/support/own_profile.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ombrik::test::UseOwnProfile();
    // A screen larger than the offscreen default (800 x 600), since the window
    // never grows past its screen and the tests lay it out at 1000 x 640.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" OMBRIK_SOURCE_DIR "/tests/app/offscreen_screen.json");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OmbrikTests"));
    QApplication::setApplicationName(QStringLiteral("app_tests"));
    ombrik::SetInformationHook([](QWidget*, const QString& text) { ADD_FAILURE() << "information: " << text.toStdString(); });
    ombrik::SetWarningHook([](QWidget*, const QString& text) { ADD_FAILURE() << "warning: " << text.toStdString(); });
    ombrik::SetQuestionHook([](QWidget*, const QString& text) {
        ADD_FAILURE() << "question: " << text.toStdString();
        return false;
    });
    testing::InitGoogleTest(&argc, argv);
    ombrik::test::RecordUsedFiles();
    return RUN_ALL_TESTS();
}
