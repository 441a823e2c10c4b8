// The heal and clone brushes in the main window: picked by key, menu and
// tool strip, the overlay drawn while painting, and a fill that Fade takes
// back like an effect.
#include "tests/app/app_test_support.h"

#include "ui/fade_dialog.h"
#include "ui/flat_button.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(HealWindow, KeysMenuAndStripPickTheBrushes)
{
    WindowWithPhoto w(240, 160);
    CPhotoCanvas* canvas = w->canvas();
    const QList<QAction*> edit = w->menu(cmd::EditMenuButton)->actions();
    EXPECT_TRUE(edit.contains(w->action(cmd::Heal)) && edit.contains(w->action(cmd::Clone)));
    ASSERT_NE(w->button(cmd::Heal), nullptr);
    ASSERT_NE(w->button(cmd::Clone), nullptr);

    // The Retouch strip shows its chosen brush until heal takes over.
    w->command(cmd::RetouchPanel);
    CEffectPanel* retouchStrip = w->strip(int(EffectCategory::Retouch));
    ASSERT_GE(retouchStrip->selectedIndex(), 0);
    const int brushTile = retouchStrip->selectedIndex();
    QTest::keyClick(canvas, Qt::Key_J);
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::Heal);
    EXPECT_TRUE(w->button(cmd::Heal)->isChecked());
    EXPECT_EQ(retouchStrip->selectedIndex(), -1);
    QTest::keyClick(canvas, Qt::Key_S);
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::Clone);
    EXPECT_FALSE(w->button(cmd::Heal)->isChecked());
    EXPECT_TRUE(w->button(cmd::Clone)->isChecked());
    // The same command again puts the brush down; so does choosing an effect.
    w->action(cmd::Clone)->trigger();
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::None);
    EXPECT_EQ(retouchStrip->selectedIndex(), brushTile);
    // The restore brush puts it down too.
    QTest::keyClick(canvas, Qt::Key_J);
    w->command(cmd::RestoreBrush);
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::None);
    w->button(cmd::Heal)->click();
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::Heal);
    w->sendMessage(WM_EFFECT_COMMAND, 0, 42);
    EXPECT_EQ(canvas->retouch(), CPhotoCanvas::Retouch::None);
    EXPECT_FALSE(w->button(cmd::Heal)->isChecked());
}

TEST(HealWindow, TheAreaIsShownWhilePaintedAndTheFillFadesLikeAnEffect)
{
    WindowWithPhoto w(240, 160);
    CPhotoCanvas* canvas = w->canvas();
    const PixelBuffer photo = w.doc().photo();
    QTest::keyClick(canvas, Qt::Key_J);
    const QRect r = canvas->photoRect();
    auto screen = [&](int x, int y) { return r.topLeft() + QPoint(x * r.width() / 240, y * r.height() / 160); };

    const QImage before = canvas->grab().toImage();
    Mouse(canvas, QEvent::MouseButtonPress, screen(60, 80));
    Mouse(canvas, QEvent::MouseMove, screen(120, 80));
    // Mid-stroke: the painted area is tinted on screen, the photo not yet changed.
    const QImage during = canvas->grab().toImage();
    const QPoint mid = screen(90, 80) * during.devicePixelRatio();
    EXPECT_NE(during.pixel(mid), before.pixel(mid));
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);
    Mouse(canvas, QEvent::MouseButtonRelease, screen(120, 80));
    const PixelBuffer healed = w.doc().photo();
    EXPECT_NE(healed.pixels, photo.pixels);
    EXPECT_EQ(w.doc().history().size(), 1u);
    // The overlay is gone with the fill.
    const QImage after = canvas->grab().toImage();
    EXPECT_NE(after.pixel(mid), during.pixel(mid));

    // Fade to 0 gives the photo before the fill, still one step.
    ASSERT_TRUE(w->action(cmd::MenuFade)->isEnabled());
    w->execFadeDialog = [](CFadeDialog& box) {
        box.spinBox()->setValue(0);
        QApplication::processEvents();
        return true;
    };
    w->command(cmd::MenuFade);
    EXPECT_EQ(w.doc().photo().pixels, photo.pixels);
    EXPECT_EQ(w.doc().history().size(), 1u);
    w->command(cmd::MenuUndo);
    EXPECT_FALSE(w.doc().canUndo());
}

} // namespace
