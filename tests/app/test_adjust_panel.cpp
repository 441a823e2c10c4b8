// The Adjust panel and the Fade box in the main window, and the command-line
// forms of both, which must give the panel's bytes.
#include "tests/app/app_test_support.h"

#include "tests/support/photo_fixture.h"
#include "tests/support/cli_run.h"
#include "ui/adjust_panel.h"
#include "ui/fade_dialog.h"
#include "ui/flat_button.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

PixelBuffer Adjusted(const AdjustParams& p, const PixelBuffer& src)
{
    PixelBuffer out;
    ApplyAdjustments(p, src, out);
    return out;
}

} // namespace

// A pending preview is a change: the title says so, and saving, opening
// another photo or closing first asks "Apply the adjustment first?".
TEST(AdjustPanel, APendingPreviewIsAppliedOrDroppedBeforeSaveOpenAndClose)
{
    BoxAnswers boxes;
    WindowWithPhoto w(240, 160);
    const PixelBuffer photo = w.doc().photo();
    QStringList asked;
    std::vector<Answer> answers;
    const AnswerHook old = SetYesNoCancelHook([&](QWidget*, const QString& text) {
        asked << text;
        const Answer a = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return a;
    });
    w->command(cmd::AdjustPanel);
    CAdjustPanel* panel = w->adjustPanel();
    auto pend = [&] {
        panel->slider(CAdjustPanel::Saturation)->setValue(-100);
        QApplication::processEvents();
        ASSERT_TRUE(w.doc().adjustPreviewActive());
    };
    pend();
    EXPECT_TRUE(w->windowCaption().contains(QStringLiteral(" *")));
    int saves = 0;
    w->chooseSaveFile = [&] { return ++saves, QString(); };

    // Cancel: nothing is saved, the preview stays.
    answers = {Answer::Cancel};
    w->command(cmd::MenuSave);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.value(0), QStringLiteral("Apply the adjustment first?"));
    EXPECT_TRUE(w.doc().adjustPreviewActive());
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);

    // Apply: the adjustment becomes one step, then Ctrl+S writes it.
    answers = {Answer::Yes};
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(w.doc().adjustPreviewActive());
    EXPECT_EQ(w.doc().history().size(), 1u);
    AdjustParams grey;
    grey.saturation = -100;
    EXPECT_EQ(LoadSamplePhotoFromPath(w.photoPath.toStdString()).pixels, Adjusted(grey, photo).pixels);
    EXPECT_FALSE(w.doc().modified());

    // Discard before Save As: the dialog comes, the preview is gone.
    pend();
    answers = {Answer::No};
    w->command(cmd::MenuSaveAs);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(w.doc().adjustPreviewActive());
    EXPECT_FALSE(w.doc().modified());

    // Opening another photo and closing ask too.
    pend();
    answers = {Answer::Cancel};
    const QString other = w.writePhoto(QStringLiteral("other.png"), 80, 60);
    EXPECT_FALSE(w->openWithQuestion(other));
    EXPECT_EQ(w.doc().photoPath(), w.photoPath.toStdString());
    answers = {Answer::Cancel};
    EXPECT_FALSE(w->close());
    answers = {Answer::No};
    EXPECT_TRUE(w->openWithQuestion(other));
    EXPECT_EQ(asked.size(), 6);
    SetYesNoCancelHook(old);
}

TEST(AdjustPanel, SlidersPreviewLiveApplyRecordsOneStepLeavingDrops)
{
    WindowWithPhoto w(240, 160);
    const PixelBuffer photo = w.doc().photo();
    EXPECT_TRUE(w->menu(cmd::PanelMenuButton)->actions().contains(w->action(cmd::MenuAdjust)));
    EXPECT_EQ(CEditorDlg::acceleratorCommand(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier), cmd::AdjustPanel);
    w->button(cmd::AdjustPanel)->click();
    CAdjustPanel* panel = w->adjustPanel();
    ASSERT_EQ(w->currentPanel(), Panel::Adjust);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(w->strip(0)->isVisible());
    EXPECT_FALSE(w->canvas()->brushMode());
    EXPECT_FALSE(panel->applyButton()->isEnabled());

    // A drag: many positions within one turn of the event loop, one frame.
    for (int v = 0; v >= -100; v -= 5)
        panel->slider(CAdjustPanel::Saturation)->setValue(v);
    panel->slider(CAdjustPanel::Exposure)->setValue(50);
    QApplication::processEvents();
    EXPECT_EQ(panel->valueLabel(CAdjustPanel::Saturation)->text(), QStringLiteral("-100"));
    EXPECT_EQ(panel->valueLabel(CAdjustPanel::Exposure)->text(), QStringLiteral("+0.50"));
    AdjustParams p;
    p.saturation = -100;
    p.exposure = 0.5;
    EXPECT_EQ(w.doc().displayPhoto().pixels, Adjusted(p, photo).pixels);
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);
    const QImage shown = w->canvas()->renderToImage();
    const QColor centre = shown.pixelColor(shown.rect().center());
    EXPECT_TRUE(centre.red() == centre.green() && centre.green() == centre.blue());

    // Double click puts a slider back to 0.
    CResettingSlider* exposure = panel->slider(CAdjustPanel::Exposure);
    QTest::mouseDClick(exposure, Qt::LeftButton, Qt::NoModifier, exposure->rect().center());
    EXPECT_EQ(exposure->value(), 0);
    QApplication::processEvents();
    p.exposure = 0;
    EXPECT_EQ(w.doc().displayPhoto().pixels, Adjusted(p, photo).pixels);

    QTest::mouseClick(panel->applyButton(), Qt::LeftButton);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_EQ(w.doc().photo().pixels, Adjusted(p, photo).pixels);
    EXPECT_EQ(panel->params(), AdjustParams());
    EXPECT_TRUE(w->button(cmd::Undo)->isEnabled());
    QApplication::processEvents();
    EXPECT_FALSE(w.doc().adjustPreviewActive());

    // Unapplied settings are dropped without a question when the panel is left.
    BoxAnswers answers;
    panel->slider(CAdjustPanel::Warmth)->setValue(60);
    QApplication::processEvents();
    EXPECT_TRUE(w.doc().adjustPreviewActive());
    w->command(cmd::FiltersPanel);
    QApplication::processEvents();
    EXPECT_FALSE(w.doc().adjustPreviewActive());
    EXPECT_EQ(panel->slider(CAdjustPanel::Warmth)->value(), 0);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_TRUE(answers.questions.isEmpty());
    EXPECT_TRUE(w->canvas()->brushMode());
}

TEST(AdjustPanel, FadeBoxBlendsLiveAndReplacesTheFilterStep)
{
    WindowWithPhoto w(240, 160);
    const PixelBuffer photo = w.doc().photo();
    QAction* fade = w->action(cmd::MenuFade);
    EXPECT_TRUE(w->menu(cmd::EditMenuButton)->actions().contains(fade));
    EXPECT_EQ(CEditorDlg::acceleratorCommand(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier), cmd::MenuFade);
    EXPECT_FALSE(fade->isEnabled());
    w->command(cmd::FiltersPanel);
    w->sendMessage(WM_EFFECT_COMMAND, 0, 42);
    const PixelBuffer effect = w.doc().photo();
    ASSERT_TRUE(fade->isEnabled());

    // Cancel keeps the effect after a live look at 40 %.
    w->execFadeDialog = [&](CFadeDialog& box) {
        EXPECT_EQ(box.percent(), 100);
        box.slider()->setValue(40);
        QApplication::processEvents();
        PixelBuffer expected;
        FadeBlend(photo, effect, 40, expected);
        EXPECT_EQ(w.doc().displayPhoto().pixels, expected.pixels);
        return false;
    };
    w->command(cmd::MenuFade);
    EXPECT_EQ(w.doc().photo().pixels, effect.pixels);
    EXPECT_EQ(&w.doc().displayPhoto(), &w.doc().photo());

    // OK at 0 gives the photo before the filter, still in one step.
    w->execFadeDialog = [](CFadeDialog& box) {
        box.spinBox()->setValue(0);
        QApplication::processEvents();
        return true;
    };
    w->command(cmd::MenuFade);
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_TRUE(fade->isEnabled());
    w->command(cmd::MenuUndo);
    EXPECT_FALSE(fade->isEnabled());
    EXPECT_FALSE(w.doc().canUndo());
}

TEST(AdjustPanel, CommandLineGivesThePanelsBytes)
{
    WindowWithPhoto w(240, 160);
    const QString output = w.dir.filePath(QStringLiteral("cli.png"));
    ASSERT_EQ(RunCli({w.photoPath, output, "--adjust", "exposure=0.35, contrast=20,highlights=-40,shadows=+25,"
                                                        "saturation=-10,vibrance=30,warmth=15,tint=-5"})
                  .exitCode,
              0);
    w->command(cmd::AdjustPanel);
    CAdjustPanel* panel = w->adjustPanel();
    panel->slider(CAdjustPanel::Exposure)->setValue(35);
    panel->slider(CAdjustPanel::Contrast)->setValue(20);
    panel->slider(CAdjustPanel::Highlights)->setValue(-40);
    panel->slider(CAdjustPanel::Shadows)->setValue(25);
    panel->slider(CAdjustPanel::Saturation)->setValue(-10);
    panel->slider(CAdjustPanel::Vibrance)->setValue(30);
    panel->slider(CAdjustPanel::Warmth)->setValue(15);
    panel->slider(CAdjustPanel::Tint)->setValue(-5);
    panel->applyButton()->click();
    EXPECT_EQ(LoadSamplePhotoFromPath(output.toStdString()).pixels, w.doc().photo().pixels);

    // An effect faded to 30 % and then adjusted, in that order.
    const QString faded = w.dir.filePath(QStringLiteral("faded.png"));
    ASSERT_EQ(RunCli({w.photoPath, faded, "--effect", "42", "--fade", "30", "--adjust", "saturation=-100"}).exitCode, 0);
    const PixelBuffer original = LoadSamplePhotoFromPath(w.photoPath.toStdString());
    PixelBuffer expected;
    FadeBlend(original, RunCatalogueEffect(42, original), 30, expected);
    AdjustParams grey;
    grey.saturation = -100;
    EXPECT_EQ(LoadSamplePhotoFromPath(faded.toStdString()).pixels, Adjusted(grey, expected).pixels);

    // Bad values: exit 2 and nothing written.
    const QString bad = w.dir.filePath(QStringLiteral("bad.png"));
    for (const QStringList& args :
         {QStringList{"--adjust", "exposure=3.5"}, QStringList{"--adjust", "saturation=nan"},
          QStringList{"--adjust", "contrast="}, QStringList{"--adjust", ""}, QStringList{"--adjust", "glow=3"},
          QStringList{"--adjust", "tint=1,tint=2"}, QStringList{"--adjust", "warmth=-101"},
          QStringList{"--fade", "50"}, QStringList{"--effect", "42", "--fade", "101"},
          QStringList{"--effect", "42", "--fade", "x"}, QStringList{"--effect", "42", "--adjust", "tint=3", "--fade", "5"}}) {
        EXPECT_EQ(RunCli(QStringList{w.photoPath, bad} + args).exitCode, 2) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(bad));
}
