// Crop, straighten, turns, flips and resize from the main window: the keys,
// the buttons, the crop and level modes driven with the mouse and keys.
#include "tests/app/app_test_support.h"

#include "engine/geometry.h"
#include "ui/flat_button.h"
#include "ui/resize_dialog.h"
#include "ui/text_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>

#include <QPlainTextEdit>

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrik;
using namespace ombrik::test;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void Drag(QWidget* w, QPointF from, QPointF to)
{
    Mouse(w, QEvent::MouseButtonPress, from);
    Mouse(w, QEvent::MouseMove, (from + to) / 2);
    Mouse(w, QEvent::MouseMove, to);
    Mouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

QSize PhotoSize(WindowWithPhoto& w)
{
    return QSize(w->session().document().width(), w->session().document().height());
}

} // namespace

TEST(GeometryWindow, MenuKeysAndButtonsTurnFlipAndResize)
{
    BoxAnswers boxes;
    WindowWithPhoto w(120, 80);
    const CanvasDocument& doc = w->session().document();
    const PixelBuffer opened = doc.photo();

    QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(PhotoSize(w), QSize(80, 120));
    EXPECT_EQ(doc.photo().pixels, RotateQuarterTurns(opened, 1).pixels);
    QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc.photo().pixels, opened.pixels);  // lossless
    w->button(cmd::FlipHorizontal)->click();
    EXPECT_EQ(doc.photo().pixels, FlipPixels(opened, true).pixels);
    w->command(cmd::Undo);
    w->command(cmd::Undo);
    EXPECT_EQ(PhotoSize(w), QSize(80, 120));
    EXPECT_TRUE(w->button(cmd::Redo)->isEnabled());

    w->chooseResize = [] { return QSize(40, 60); };
    QTest::keyClick(w.window.get(), Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(PhotoSize(w), QSize(40, 60));
    // Past the load threshold: a message, the photo stays.
    w.session().setThreshold(100, 100);
    w->chooseResize = [] { return QSize(400, 600); };
    w->command(cmd::ResizePhoto);
    EXPECT_EQ(PhotoSize(w), QSize(40, 60));
    ASSERT_EQ(boxes.warnings.size(), 1);
    EXPECT_TRUE(boxes.warnings[0].contains(QStringLiteral("threshold"))) << boxes.warnings[0].toStdString();

    // C typed into the text box is text, not the crop command.
    w->command(cmd::TextPanel);
    w->textEditor()->textBox()->setFocus();
    QTest::keyClick(w->textEditor()->textBox(), Qt::Key_C);
    EXPECT_EQ(w->canvas()->geometryMode(), CPhotoCanvas::GeometryMode::None);
    EXPECT_EQ(w->textEditor()->textBox()->toPlainText(), QStringLiteral("c"));
}

TEST(GeometryWindow, CropModeWithHandlesAspectEnterAndEscape)
{
    WindowWithPhoto w(200, 120);
    CPhotoCanvas* canvas = w->canvas();
    const CanvasDocument& doc = w.doc();
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_C);
    ASSERT_EQ(canvas->geometryMode(), CPhotoCanvas::GeometryMode::Crop);
    ASSERT_NE(canvas->geometryBar(), nullptr);
    EXPECT_TRUE(canvas->geometryBar()->isVisible());
    EXPECT_EQ(canvas->cropRect(), QRect(0, 0, 200, 120));

    // Escape leaves the photo as it was, whatever was dragged.
    const QPointF origin = canvas->photoRect().topLeft();
    Drag(canvas, origin + QPointF(200, 120), origin + QPointF(150, 100));
    EXPECT_EQ(canvas->cropRect(), QRect(0, 0, 148, 100));
    QTest::keyClick(canvas, Qt::Key_Escape);
    EXPECT_EQ(canvas->geometryMode(), CPhotoCanvas::GeometryMode::None);
    EXPECT_EQ(PhotoSize(w), QSize(200, 120));
    EXPECT_FALSE(doc.canUndo());

    // 3:2 fits the largest such rectangle, centred; a corner drag keeps 3:2.
    QTest::keyClick(canvas, Qt::Key_C);
    int threeTwo = -1;
    for (size_t i = 0; i < CPhotoCanvas::cropAspects().size(); ++i)
        if (CPhotoCanvas::cropAspects()[i].second == QSizeF(3, 2))
            threeTwo = int(i);
    ASSERT_GE(threeTwo, 0);
    canvas->setCropAspect(threeTwo);
    EXPECT_EQ(canvas->cropRect(), QRect(10, 0, 180, 120));
    Drag(canvas, origin + QPointF(190, 120), origin + QPointF(130, 100));
    EXPECT_EQ(canvas->cropRect(), QRect(10, 0, 120, 80));
    // Moving it by its inside, stopped at the photo's edge.
    Drag(canvas, origin + QPointF(50, 40), origin + QPointF(500, 90));
    EXPECT_EQ(canvas->cropRect(), QRect(80, 40, 120, 80));
    QTest::keyClick(canvas, Qt::Key_Return);
    EXPECT_EQ(canvas->geometryMode(), CPhotoCanvas::GeometryMode::None);
    EXPECT_EQ(PhotoSize(w), QSize(120, 80));
    w->command(cmd::Undo);
    EXPECT_EQ(PhotoSize(w), QSize(200, 120));

    // A double click inside the rectangle applies too; a new one is drawn
    // by dragging outside the current one.
    QTest::keyClick(canvas, Qt::Key_C);
    canvas->setCropAspect(0);
    canvas->setCropRect(QRectF(20, 20, 40, 40));
    Drag(canvas, origin + QPointF(100, 10), origin + QPointF(164, 110));
    EXPECT_EQ(canvas->cropRect(), QRect(100, 10, 64, 100));
    QTest::mouseDClick(canvas, Qt::LeftButton, Qt::NoModifier, (origin + QPointF(120, 50)).toPoint());
    EXPECT_EQ(PhotoSize(w), QSize(64, 100));
}

TEST(GeometryWindow, LevelModeSliderAndHorizonLine)
{
    WindowWithPhoto w(200, 120);
    CPhotoCanvas* canvas = w->canvas();
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_L);
    ASSERT_EQ(canvas->geometryMode(), CPhotoCanvas::GeometryMode::Level);
    // A line drawn down to the right by 1 in 10 asks for the opposite turn.
    const QPointF origin = canvas->photoRect().topLeft();
    Drag(canvas, origin + QPointF(20, 50), origin + QPointF(120, 60));
    EXPECT_NEAR(canvas->levelAngle(), -5.7, 1e-9);
    canvas->setLevelAngle(60);
    EXPECT_EQ(canvas->levelAngle(), 45.0);
    canvas->setLevelAngle(4.0);
    QTest::keyClick(canvas, Qt::Key_Enter);
    const PixelSize size = StraightenedSize(200, 120, 4.0);
    EXPECT_EQ(PhotoSize(w), QSize(size.width, size.height));
    EXPECT_EQ(canvas->geometryMode(), CPhotoCanvas::GeometryMode::None);

    QTest::keyClick(canvas, Qt::Key_L);
    canvas->setLevelAngle(-10);
    QTest::keyClick(canvas, Qt::Key_Escape);
    EXPECT_EQ(PhotoSize(w), QSize(size.width, size.height));
    EXPECT_EQ(canvas->session().document().history().size(), 1u);
}

TEST(GeometryWindow, ResizeDialogInPixelsOrPercentWithTheAspectLock)
{
    CResizeDlg dialog(1600, 1200, 1600 * 1200);
    auto ok = [&dialog] { return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled(); };
    EXPECT_FALSE(ok());  // the same size: nothing to do
    dialog.widthBox()->setValue(1000);
    EXPECT_EQ(dialog.heightBox()->value(), 750);
    EXPECT_EQ(dialog.newWidth(), 1000);
    EXPECT_EQ(dialog.newHeight(), 752);  // sides to multiples of 4
    EXPECT_TRUE(ok());
    dialog.lockBox()->setChecked(false);
    dialog.heightBox()->setValue(500);
    EXPECT_EQ(dialog.widthBox()->value(), 1000);
    EXPECT_EQ(dialog.newHeight(), 500);

    dialog.unitBox()->setCurrentIndex(1);  // percent
    EXPECT_EQ(dialog.widthBox()->value(), 63);
    dialog.lockBox()->setChecked(true);
    dialog.widthBox()->setValue(50);
    EXPECT_EQ(dialog.heightBox()->value(), 50);
    EXPECT_EQ(dialog.newWidth(), 800);
    EXPECT_EQ(dialog.newHeight(), 600);
    EXPECT_TRUE(ok());
    dialog.widthBox()->setValue(101);  // past the load threshold's area
    EXPECT_FALSE(ok());
    EXPECT_TRUE(dialog.problem().contains(QStringLiteral("threshold"))) << dialog.problem().toStdString();
    dialog.widthBox()->setValue(1);  // 16 x 12
    EXPECT_TRUE(ok());
}
