// The main window's viewing aids: zoom keys and the zoom field, the progress
// box of a long effect with Cancel and Escape, tile tooltips and the strips'
// keys.
#include "tests/app/app_test_support.h"

#include "ui/flat_button.h"
#include "ui/progress_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ombrik;
using namespace ombrik::test;

TEST(EditorViewing, ZoomKeysAndTheEditablePercentage)
{
    // A photo larger than the view opens fitted.
    {
        WindowWithPhoto big(1600, 1200);
        EXPECT_FLOAT_EQ(big->canvas()->zoom(), big->canvas()->fitZoom());
        EXPECT_LT(big->canvas()->zoom(), 1.0f);
        EXPECT_FALSE(big->canvas()->horizontalBarShown());
    }
    WindowWithPhoto w(400, 300);
    CPhotoCanvas* canvas = w->canvas();
    QLineEdit* field = w->zoomField();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("100%"));
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), 1.5f);
    QTest::keyClick(canvas, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), 2.0f);
    EXPECT_EQ(field->text(), QStringLiteral("200%"));
    QTest::keyClick(canvas, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), 1.5f);
    QTest::keyClick(canvas, Qt::Key_0, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), canvas->fitZoom());
    QTest::keyClick(canvas, Qt::Key_1, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), 1.0f);

    // Typing a percentage zooms to it; nonsense puts the zoom in force back.
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("250"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FLOAT_EQ(canvas->zoom(), 2.5f);
    EXPECT_EQ(field->text(), QStringLiteral("250%"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("abc"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FLOAT_EQ(canvas->zoom(), 2.5f);
    EXPECT_EQ(field->text(), QStringLiteral("250%"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("5000 %"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FLOAT_EQ(canvas->zoom(), CPhotoCanvas::kMaxZoom);
    EXPECT_EQ(field->text(), QStringLiteral("1000%"));
    // The field gives the keys back: Ctrl+1 shows 100 %, and the next click on
    // the photo does not bring the typed zoom back.
    QTest::keyClick(field, Qt::Key_1, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(canvas->zoom(), 1.0f);
    EXPECT_EQ(field->text(), QStringLiteral("100%"));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, canvas->rect().center());
    EXPECT_FLOAT_EQ(canvas->zoom(), 1.0f);
    EXPECT_FALSE(field->hasFocus());

    // The menus show the keys.
    EXPECT_EQ(w->action(cmd::MenuZoomIn)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(w->action(cmd::MenuOriginalSize)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));

    // Backslash held and the tool-strip button show the photo as opened.
    canvas->setFocus();
    QTest::keyPress(canvas, Qt::Key_Backslash);
    EXPECT_TRUE(canvas->showsBefore());
    QTest::keyRelease(canvas, Qt::Key_Backslash);
    EXPECT_FALSE(canvas->showsBefore());
    QTest::mousePress(w->beforeButton(), Qt::LeftButton);
    EXPECT_TRUE(canvas->showsBefore());
    QTest::mouseRelease(w->beforeButton(), Qt::LeftButton);
    EXPECT_FALSE(canvas->showsBefore());
}

TEST(EditorViewing, CancelLeavesThePhotoAndHistoryAsTheyWere)
{
    BoxAnswers boxes;
    WindowWithPhoto w(1200, 900);
    w->setProgressBoxDelay(0);
    const CanvasDocument& doc = w.doc();
    w->sendMessage(WM_EFFECT_COMMAND, 0, 53);  // Posterize: one step to keep
    ASSERT_EQ(doc.history().size(), 1u);
    const PixelBuffer photo = doc.photo();
    const int pos = doc.historyPos();
    const EffectId chosen = doc.effectId();

    // Presses Cancel (or Escape) as soon as the box is up.
    QString title;
    int boxes_seen = 0;
    auto cancelWhenShown = [&](bool escape) {
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [&, timer, escape] {
            auto* box = w->findChild<CProgressBox*>();
            if (!box || !box->isVisible())
                return;
            ++boxes_seen;
            title = box->findChild<QLabel*>()->text();
            if (escape) {
                QTest::keyClick(w->canvas(), Qt::Key_Escape);
            } else {
                // A real click comes to the box's window first, then to the button.
                const QPoint at = box->cancelButton()->mapTo(box, box->cancelButton()->rect().center());
                QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            }
            timer->deleteLater();
        });
        timer->start();
    };
    cancelWhenShown(false);
    w->sendMessage(WM_EFFECT_COMMAND, 0, 41);  // Weave: a painter look, seconds long here
    EXPECT_EQ(boxes_seen, 1);
    EXPECT_TRUE(title.contains(QStringLiteral("Weave"))) << title.toStdString();
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.historyPos(), pos);
    EXPECT_EQ(doc.effectId(), chosen);
    EXPECT_TRUE(w->button(cmd::Undo)->isEnabled());
    EXPECT_FALSE(CancelRequested());

    cancelWhenShown(true);
    w->sendMessage(WM_EFFECT_COMMAND, 0, 47);  // Oil Paint, cancelled with Escape
    EXPECT_EQ(boxes_seen, 2);
    EXPECT_EQ(doc.photo().pixels, photo.pixels);
    EXPECT_EQ(doc.history().size(), 1u);
    // No box is left behind, and the next effect runs to its end.
    EXPECT_EQ(w->findChild<CProgressBox*>(), nullptr);
    w->setProgressBoxDelay(60000);
    w->sendMessage(WM_EFFECT_COMMAND, 0, 53);
    EXPECT_EQ(doc.history().size(), 2u);
}

TEST(EditorViewing, TilesHaveHintsAndAnswerTheKeys)
{
    WindowWithPhoto w(160, 120);
    for (int c = 0; c < 4; ++c) {
        CEffectPanel* strip = w->strip(c);
        const QString how = c == 0 ? QStringLiteral("paint on the photo")
            : c == 1              ? QStringLiteral("double-click or Apply")
                                  : QStringLiteral("drag on the photo");
        for (int t = 0; t < strip->tileCount(); ++t) {
            const QString tip = strip->tileToolTip(t);
            const EffectInfo* info = FindEffect(strip->tileId(t));
            QString name = QString::fromUtf8(info->name).replace(QStringLiteral("&&"), QStringLiteral("&"));
            EXPECT_TRUE(tip.contains(name.toHtmlEscaped())) << tip.toStdString();
            EXPECT_TRUE(tip.contains(how)) << tip.toStdString();
            // A line on what it does, beyond the name and the hint.
            EXPECT_GT(tip.size(), name.toHtmlEscaped().size() + how.size() + 20) << tip.toStdString();
        }
    }

    // Filters: arrows move the selection without applying, Enter applies,
    // and the notice says how to apply a selected tile.
    w->command(cmd::FiltersPanel);
    CEffectPanel* filters = w->strip(1);
    w->restoreButton()->click();
    EXPECT_TRUE(w->restoreButton()->isChecked());
    filters->setFocus();
    QTest::keyClick(filters, Qt::Key_Right);
    QTest::keyClick(filters, Qt::Key_Right);
    EXPECT_EQ(filters->selectedIndex(), 1);
    EXPECT_FALSE(w->restoreButton()->isChecked());
    EXPECT_TRUE(w->notice()->text().contains(QStringLiteral("Apply"))) << w->notice()->text().toStdString();
    EXPECT_TRUE(w.doc().history().empty());
    QTest::keyClick(filters, Qt::Key_Return);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_EQ(w.doc().effectId(), 41);

    // Elsewhere the arrows choose the tool at once, as a click does.
    w->command(cmd::RetouchPanel);
    CEffectPanel* retouch = w->strip(0);
    retouch->setFocus();
    QTest::keyClick(retouch, Qt::Key_End);
    EXPECT_EQ(w.doc().effectId(), 9);
    QTest::keyClick(retouch, Qt::Key_Left);
    EXPECT_EQ(w.doc().effectId(), 8);
}
