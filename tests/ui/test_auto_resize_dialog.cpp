#include "ui/auto_resize_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <gtest/gtest.h>

// Fontconfig keeps a cache for the life of the process; not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace ombrik {
namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Presses OK; returns how many messages were shown (each dismissed at once).
int PressOk(CAutoResizeDlg& dialog)
{
    int messages = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++messages;
            box->close();
        }
    });
    timer.start();
    dialog.accept();
    timer.stop();
    return messages;
}

TEST(AutoResizeDialog, RangeChecksKeepTheDialogOpen)
{
    App();
    CAutoResizeDlg dialog(1600, 1200);
    EXPECT_EQ(dialog.windowTitle(), "Auto Resize Threshold");
    EXPECT_EQ(dialog.widthEdit()->text(), "1600");
    EXPECT_EQ(dialog.heightEdit()->text(), "1200");

    struct Case {
        const char* width;
        const char* height;
        bool accepted;
    };
    const Case cases[] = {
        {"800", "1200", false}, {"1600", "20000", false}, {"1023", "768", false}, {"1024", "767", false},
        {"10001", "768", false}, {"", "1200", false},     {"1024", "768", true},  {"10000", "10000", true},
    };
    for (const Case& c : cases) {
        dialog.setResult(QDialog::Rejected);
        dialog.widthEdit()->setText(c.width);
        dialog.heightEdit()->setText(c.height);
        const int messages = PressOk(dialog);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.width << " x " << c.height;
        EXPECT_EQ(messages, c.accepted ? 0 : 1) << c.width << " x " << c.height;
        if (c.accepted) {
            EXPECT_EQ(dialog.thresholdWidth(), std::stoi(c.width));
            EXPECT_EQ(dialog.thresholdHeight(), std::stoi(c.height));
        }
    }
}

TEST(AutoResizeDialog, EditsTakeOnlyDigits)
{
    App();
    CAutoResizeDlg dialog(2000, 1500);

    const QValidator* validator = dialog.widthEdit()->validator();
    ASSERT_NE(validator, nullptr);
    for (const char* text : {"12a", "-5", "1 2", "+3", "1.5"}) {
        QString s = text;
        int pos = 0;
        EXPECT_EQ(validator->validate(s, pos), QValidator::Invalid) << text;
    }
    QString digits = "4096";
    int pos = 0;
    EXPECT_EQ(validator->validate(digits, pos), QValidator::Acceptable);

    // Typed text with a non-digit is refused; digits go in.
    dialog.heightEdit()->clear();
    dialog.heightEdit()->insert("76x8");
    EXPECT_EQ(dialog.heightEdit()->text(), "");
    dialog.heightEdit()->insert("768");
    EXPECT_EQ(dialog.heightEdit()->text(), "768");
}

} // namespace
} // namespace ombrik
