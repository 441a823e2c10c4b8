// The Adjust panel's histogram, Levels, Curves, eyedroppers, Auto and clipping
// marks in the main window: all of it one pending adjustment with the sliders.
#include "tests/app/app_test_support.h"

#include "engine/tone_analysis.h"
#include "ui/adjust_panel.h"
#include "ui/adjust_sections.h"
#include "ui/message_box.h"
#include "ui/tone_graph.h"
#include "ui/translations.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

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

void Mouse(QWidget* w, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void Drag(QWidget* w, QPointF from, QPointF to)
{
    Mouse(w, QEvent::MouseButtonPress, from);
    Mouse(w, QEvent::MouseMove, (from + to) / 2);
    Mouse(w, QEvent::MouseMove, to);
    Mouse(w, QEvent::MouseButtonRelease, to);
}

CAdjustPanel* OpenPanel(WindowWithPhoto& w)
{
    w->command(cmd::AdjustPanel);
    QApplication::processEvents();
    return w->adjustPanel();
}

// A photo pixel clicked on the canvas.
void ClickPhoto(WindowWithPhoto& w, int x, int y)
{
    const QPoint at = w->canvas()->screenPointF(QPointF(x + 0.25, y + 0.25)).toPoint();
    w->canvas()->pressAt(at);
    w->canvas()->releaseAt(at);
    QApplication::processEvents();
}

} // namespace

TEST(AdjustTonePanel, LevelsAndCurvesJoinTheSlidersInOnePendingAdjustment)
{
    WindowWithPhoto w(240, 160);
    const PixelBuffer photo = w.doc().photo();
    CAdjustPanel* panel = OpenPanel(w);
    panel->slider(CAdjustPanel::Saturation)->setValue(25);

    // Levels of the red channel through the number boxes.
    panel->sectionButton(CAdjustPanel::LevelsSection)->click();
    CLevelsSection* levels = panel->levels();
    ASSERT_TRUE(levels->isVisible());
    levels->channelBox()->setCurrentIndex(int(ToneChannel::Red));
    levels->blackBox()->setValue(30);
    levels->gammaBox()->setValue(1.5);
    levels->whiteBox()->setValue(200);
    QApplication::processEvents();
    AdjustParams expected;
    expected.saturation = 25;
    expected.tone.levels[size_t(ToneChannel::Red)] = {30, 1.5, 200};
    EXPECT_EQ(panel->params(), expected);
    EXPECT_EQ(w.doc().displayPhoto().pixels, Adjusted(expected, photo).pixels);
    // Another channel shows its own (untouched) levels.
    levels->channelBox()->setCurrentIndex(int(ToneChannel::Rgb));
    EXPECT_EQ(levels->blackBox()->value(), 0);
    EXPECT_EQ(levels->whiteBox()->value(), 255);

    // A curve: a click on the square adds a point there, a drag moves it.
    panel->sectionButton(CAdjustPanel::CurvesSection)->click();
    CToneGraph* graph = panel->graph();
    ASSERT_TRUE(graph->editing());
    Mouse(graph, QEvent::MouseButtonPress, graph->toWidget(128, 128));
    Mouse(graph, QEvent::MouseButtonRelease, graph->toWidget(128, 128));
    ASSERT_EQ(graph->curve().points.size(), 3u);
    Drag(graph, graph->toWidget(128, 128), graph->toWidget(100, 160));
    QApplication::processEvents();
    const Curve curve = panel->params().tone.curves[size_t(ToneChannel::Rgb)];
    ASSERT_EQ(curve.points.size(), 3u);
    EXPECT_NEAR(curve.points[1].x, 100, 3);
    EXPECT_NEAR(curve.points[1].y, 160, 3);
    expected.tone.curves[size_t(ToneChannel::Rgb)] = curve;
    EXPECT_EQ(panel->params(), expected);
    EXPECT_EQ(w.doc().displayPhoto().pixels, Adjusted(expected, photo).pixels);
    // The histogram shows the photo as it will be.
    EXPECT_EQ(graph->histogram(), ComputeHistogram(w.doc().displayPhoto()));
    EXPECT_TRUE(w.doc().adjustPreviewActive());
    EXPECT_EQ(w.doc().adjustParams(), expected);

    // Keys: Insert adds a point in the widest gap, arrows move the picked one,
    // Delete removes it.
    graph->setFocus();
    QTest::keyClick(graph, Qt::Key_Insert);
    ASSERT_EQ(graph->curve().points.size(), 4u);
    const int picked = graph->selectedPoint();
    const CurvePoint before = graph->curve().points[size_t(picked)];
    QTest::keyClick(graph, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(graph->curve().points[size_t(picked)].y, std::min(255, before.y + 8));
    QTest::keyClick(graph, Qt::Key_Delete);
    EXPECT_EQ(graph->curve().points.size(), 3u);
    // Dragged off the square, a point is gone.
    Drag(graph, graph->toWidget(curve.points[1].x, curve.points[1].y), QPointF(graph->width() + 40, -40));
    EXPECT_EQ(graph->curve().points.size(), 2u);
    // A preset on the green channel.
    panel->curves()->channelBox()->setCurrentIndex(int(ToneChannel::Green));
    panel->curves()->presetButton()->menu()->actions().at(int(CurvePreset::StrongS))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(panel->params().tone.curves[size_t(ToneChannel::Green)], PresetCurve(CurvePreset::StrongS));
    EXPECT_TRUE(panel->params().tone.curves[size_t(ToneChannel::Rgb)].points.empty());  // straight again

    // Reset takes back the shown section only.
    panel->resetButton()->click();
    QApplication::processEvents();
    AdjustParams left;
    left.saturation = 25;
    left.tone.levels[size_t(ToneChannel::Red)] = {30, 1.5, 200};
    EXPECT_EQ(panel->params(), left);
    EXPECT_FALSE(panel->resetButton()->isEnabled());

    // One Apply, one step.
    panel->applyButton()->click();
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_EQ(w.doc().photo().pixels, Adjusted(left, photo).pixels);
    EXPECT_EQ(panel->params(), AdjustParams());
    w->command(cmd::Undo);
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);
}

// Levels or a curve alone are a pending change: the title shows it, and Save
// asks first; Discard takes back every section, Apply makes it one step.
TEST(AdjustTonePanel, ACurveOrLevelsAloneAskBeforeSaving)
{
    BoxAnswers boxes;
    WindowWithPhoto w(240, 160);
    const PixelBuffer photo = w.doc().photo();
    std::vector<Answer> answers;
    int asked = 0;
    const AnswerHook old = SetYesNoCancelHook([&](QWidget*, const QString&) {
        ++asked;
        const Answer a = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return a;
    });
    CAdjustPanel* panel = OpenPanel(w);
    w->chooseSaveFile = [] { return QString(); };
    panel->sectionButton(CAdjustPanel::CurvesSection)->click();
    panel->curves()->presetButton()->menu()->actions().at(int(CurvePreset::LiftShadows))->trigger();
    panel->sectionButton(CAdjustPanel::LevelsSection)->click();
    panel->levels()->whiteBox()->setValue(230);
    QApplication::processEvents();
    ASSERT_TRUE(w.doc().adjustPreviewActive());
    EXPECT_TRUE(w->windowCaption().contains(QStringLiteral(" *")));

    answers = {Answer::No};
    w->command(cmd::MenuSaveAs);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(w.doc().adjustPreviewActive());
    EXPECT_EQ(panel->params(), AdjustParams());

    panel->curves()->presetButton()->menu()->actions().at(int(CurvePreset::LiftShadows))->trigger();
    QApplication::processEvents();
    const AdjustParams pending = panel->params();
    ASSERT_FALSE(pending.isIdentity());
    answers = {Answer::Yes};
    w->command(cmd::MenuSaveAs);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_EQ(w.doc().photo().pixels, Adjusted(pending, photo).pixels);
    SetYesNoCancelHook(old);
}

TEST(AdjustTonePanel, EyedroppersAutoAndClippingMarks)
{
    WindowWithPhoto w(240, 160);
    CAdjustPanel* panel = OpenPanel(w);
    w->canvas()->actualSize();  // a photo pixel per screen pixel, for exact clicks

    // The black eyedropper: the clicked colour (before levels) becomes black.
    panel->sectionButton(CAdjustPanel::LevelsSection)->click();
    panel->levels()->pickButton(LevelsPick::Black)->click();
    EXPECT_TRUE(w->canvas()->picking());
    const std::array<double, 3> dark = ColourBeforeLevels(w.doc().photo(), 20, 140, AdjustParams());
    ClickPhoto(w, 20, 140);
    EXPECT_FALSE(w->canvas()->picking());
    AdjustParams p = panel->params();
    for (int c = 0; c < 3; ++c)
        EXPECT_DOUBLE_EQ(p.tone.levels[size_t(c + 1)].black, dark[size_t(c)]);
    // The grey one: that colour comes out with three equal channels.
    panel->levels()->pickButton(LevelsPick::Grey)->click();
    const std::array<double, 3> mid = ColourBeforeLevels(w.doc().photo(), 120, 80, p);
    ClickPhoto(w, 120, 80);
    p = panel->params();
    const ToneMapper mapper(p.tone);
    const double red = mapper.map(ToneChannel::Red, mid[0]);
    EXPECT_NEAR(mapper.map(ToneChannel::Green, mid[1]), red, 0.01);
    EXPECT_NEAR(mapper.map(ToneChannel::Blue, mid[2]), red, 0.01);
    QApplication::processEvents();
    EXPECT_EQ(w.doc().adjustParams(), p);

    // Auto on a darkened photo brings it up, keeping the levels.
    panel->reset();
    panel->slider(CAdjustPanel::Exposure)->setValue(-150);
    panel->applyButton()->click();
    panel->sectionButton(CAdjustPanel::CurvesSection)->click();
    panel->curves()->presetButton()->menu()->actions().at(int(CurvePreset::SoftS))->trigger();
    panel->autoButton()->click();
    QApplication::processEvents();
    const AdjustParams found = AutoAdjust(w.doc().photo());
    EXPECT_GT(found.exposure, 1);
    EXPECT_EQ(panel->slider(CAdjustPanel::Exposure)->value(), std::lround(found.exposure * 100));
    EXPECT_EQ(panel->slider(CAdjustPanel::Warmth)->value(), std::lround(found.warmth));
    EXPECT_EQ(panel->params().tone.curves[0], PresetCurve(CurvePreset::SoftS));
    EXPECT_EQ(w.doc().adjustParams(), panel->params());

    // Clipping marks: red where a channel is at white, until clicked again.
    panel->slider(CAdjustPanel::Exposure)->setValue(250);
    QApplication::processEvents();
    ASSERT_GT(panel->graph()->histogram().highlightsShare(), 0.01);
    auto marked = [&] {
        const QImage shown = w->canvas()->renderToImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == qRgb(255, 40, 40))
                    return true;
        return false;
    };
    EXPECT_FALSE(marked());
    panel->clippingButton(true)->click();
    EXPECT_TRUE(marked());
    EXPECT_TRUE(panel->clippingButton(true)->text().contains(QLatin1Char('%')));
    panel->clippingButton(true)->click();
    EXPECT_FALSE(marked());
    // The shares: none, a few pixels, a tenth and more.
    Histogram counts;
    counts.pixels = 100000;
    counts.highlightsClipped = 10;
    counts.shadowsClipped = 1500;
    panel->setHistogram(counts);
    EXPECT_EQ(panel->clippingButton(true)->text(), QStringLiteral("<0.1%"));
    EXPECT_EQ(panel->clippingButton(false)->text(), QStringLiteral("1.5%"));
    counts.highlightsClipped = 0;
    counts.shadowsClipped = 23456;
    panel->setHistogram(counts);
    EXPECT_EQ(panel->clippingButton(true)->text(), QStringLiteral("0%"));
    EXPECT_EQ(panel->clippingButton(false)->text(), QStringLiteral("23%"));
    // Marks and eyedroppers end with the panel.
    panel->clippingButton(true)->click();
    panel->sectionButton(CAdjustPanel::LevelsSection)->click();
    panel->levels()->pickButton(LevelsPick::White)->click();
    w->command(cmd::FiltersPanel);
    QApplication::processEvents();
    EXPECT_FALSE(marked());
    EXPECT_FALSE(w->canvas()->picking());
}

// Pictures of the panel for a person to look at: set OMBRIK_ADJUST_SHOTS to a
// folder. Each is taken as the screen shows it at scale 1, in English and in
// German, and drawn at twice the pixels in the window a 1920-pixel screen at
// scale 2 gives (the test process cannot set Qt's own scale factor).
TEST(AdjustTonePanel, Screenshots)
{
    const QString folder = qEnvironmentVariable("OMBRIK_ADJUST_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "OMBRIK_ADJUST_SHOTS not set";
    QDir().mkpath(folder);
    struct Shot {
        const char* language;
        int scale;
    };
    for (const Shot shot : {Shot{"en", 1}, Shot{"en", 2}, Shot{"de", 1}}) {
        const int scale = shot.scale;
        const QString language = QLatin1String(shot.language);
        if (language != QLatin1String("en")) {
            ASSERT_TRUE(InstallTranslations(QLocale(language)));
        }
        WindowWithPhoto w(600, 400);
        w->openPath(QStringLiteral(OMBRIK_SOURCE_DIR "/resources/photos/coffee.png"));
        if (scale == 2)
            w->resize(960, 570);
        CAdjustPanel* panel = OpenPanel(w);
        auto save = [&](QWidget* widget, const char* name) {
            QApplication::processEvents();
            QPixmap picture(widget->size() * scale);
            picture.setDevicePixelRatio(scale);
            picture.fill(Qt::white);
            widget->render(&picture);
            picture.save(folder + QStringLiteral("/%1-%2-scale%3.png").arg(QLatin1String(name), language).arg(scale));
        };
        panel->autoButton()->click();
        panel->channelsButton()->click();
        save(w.window.get(), "sliders-auto-rgb");
        panel->sectionButton(CAdjustPanel::LevelsSection)->click();
        panel->levels()->channelBox()->setCurrentIndex(int(ToneChannel::Blue));
        panel->levels()->blackBox()->setValue(6);
        panel->levels()->gammaBox()->setValue(1.3);
        panel->levels()->whiteBox()->setValue(235);
        panel->clippingButton(true)->click();
        save(w.window.get(), "levels-marks");
        panel->clippingButton(true)->click();
        panel->channelsButton()->click();
        panel->sectionButton(CAdjustPanel::CurvesSection)->click();
        panel->curves()->presetButton()->menu()->actions().at(int(CurvePreset::StrongS))->trigger();
        Mouse(panel->graph(), QEvent::MouseButtonPress, panel->graph()->toWidget(128, 140));
        Mouse(panel->graph(), QEvent::MouseButtonRelease, panel->graph()->toWidget(128, 140));
        save(w.window.get(), "curves");
        save(panel, "curves-panel");
        panel->curves()->popOutButton()->click();
        save(panel->curveWindow(), "curve-window");
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
}
