// The effect strips inside the window: tile ids, what a click and a double
// click do in each strip, "Apply", selection rules, the restore brush, brush
// presets, Lighting defaults and scrolling.
#include "tests/app/app_test_support.h"

#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/flat_button.h"

#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

TEST(EffectStrips, TileIAndStripCIsIdIPlus40C)
{
    WindowWithPhoto w(64, 48);
    const int counts[4] = {10, 17, 5, 9};
    const int panels[4] = {cmd::RetouchPanel, cmd::FiltersPanel, cmd::WarpPanel, cmd::LightingPanel};
    for (int c = 0; c < 4; ++c) {
        w->command(panels[c]);
        CEffectPanel* strip = w->strip(c);
        ASSERT_EQ(strip->tileCount(), counts[c]);
        for (int i = 0; i < strip->tileCount(); ++i) {
            const EffectId id = i + 40 * c;
            EXPECT_EQ(strip->tileId(i), id);
            EXPECT_NE(id, 57);
            EXPECT_NE(id, 85);
            // Scroll the tile into view if the strip is narrower than its tiles.
            while (strip->tileRect(i).right() >= strip->width() && strip->scrollOffset() < strip->scrollRange())
                strip->onScroll(ScrollLineForward, 0);
            if (c == 1)
                DoubleClickTile(strip, i);
            else
                ClickTile(strip, i);
            EXPECT_EQ(w.doc().effectId(), id) << "strip " << c << " tile " << i;
            EXPECT_EQ(strip->selectedIndex(), i);
        }
    }
}

TEST(EffectStrips, FiltersTileOnlySelectsUntilDoubleClickOrApply)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    w->command(cmd::FiltersPanel);
    CEffectPanel* filters = w->strip(1);
    const PixelBuffer opened = w.doc().photo();

    // "Apply" with nothing selected only says so.
    EXPECT_EQ(filters->selectedIndex(), -1);
    QTest::mouseClick(filters->applyButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.informations, QStringList({"No filter selected."}));
    EXPECT_FALSE(w.doc().canUndo());

    ClickTile(filters, 13);  // Posterize
    EXPECT_EQ(filters->selectedIndex(), 13);
    EXPECT_FALSE(w.doc().canUndo());
    EXPECT_EQ(w.doc().photo().pixels, opened.pixels);

    QTest::mouseClick(filters->applyButton(), Qt::LeftButton);
    EXPECT_EQ(w.doc().effectId(), 53);
    EXPECT_EQ(w.doc().historyPos(), 0);
    EXPECT_NE(w.doc().photo().pixels, opened.pixels);

    // A double click applies again: two steps.
    DoubleClickTile(filters, 13);
    EXPECT_EQ(w.doc().historyPos(), 1);
    EXPECT_EQ(boxes.informations.size(), 1);
}

TEST(EffectStrips, OtherStripsApplyAtOnceAndClearTheRest)
{
    WindowWithPhoto w;
    w->command(cmd::FiltersPanel);
    ClickTile(w->strip(1), 4);
    w->command(cmd::WarpPanel);
    ClickTile(w->strip(2), 1);
    EXPECT_EQ(w.doc().effectId(), 81);
    EXPECT_EQ(w.doc().applyMode(), ApplyMode::WarpBrush);
    EXPECT_EQ(w->strip(1)->selectedIndex(), -1);

    w->command(cmd::RetouchPanel);
    ClickTile(w->strip(0), 6);  // Blur, a result brush
    EXPECT_EQ(w.doc().effectId(), 6);
    EXPECT_EQ(w.doc().applyMode(), ApplyMode::ResultBrush);
    EXPECT_EQ(w->strip(0)->selectedIndex(), 6);
    for (int c = 1; c < 4; ++c)
        EXPECT_EQ(w->strip(c)->selectedIndex(), -1);

    // The restore brush clears all four and stays down until another effect.
    QTest::mouseClick(w->restoreButton(), Qt::LeftButton);
    EXPECT_TRUE(w->restoreButton()->isChecked());
    EXPECT_EQ(w.doc().effectId(), kRestoreBrushId);
    EXPECT_EQ(w.doc().effectResult().pixels, w.doc().openedPhoto().pixels);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(w->strip(c)->selectedIndex(), -1);
    QTest::mouseClick(w->restoreButton(), Qt::LeftButton);
    EXPECT_TRUE(w->restoreButton()->isChecked());
    ClickTile(w->strip(0), 0);
    EXPECT_FALSE(w->restoreButton()->isChecked());
    EXPECT_EQ(w.doc().effectId(), 0);
}

TEST(EffectStrips, BrushPickerSendsSizePresetThenShape)
{
    WindowWithPhoto w(100, 100);
    CBrushPicker* picker = w->brushPicker();
    EXPECT_EQ(picker->current(), 1);
    EXPECT_EQ(w.doc().brushSize(), 200 / 16 / 4 * 4);  // item 1 is sent at start
    QTest::mouseClick(picker, Qt::LeftButton, Qt::NoModifier, picker->itemRect(4).center());
    EXPECT_EQ(w.doc().brushSize(), 4);  // 200 / 128 = 1, rounded down to 0, raised to 4
    EXPECT_EQ(w.doc().brushShape(), 0);
    QTest::mouseClick(picker, Qt::LeftButton, Qt::NoModifier, picker->itemRect(5).center());
    EXPECT_EQ(w.doc().brushSize(), 200 / 8 / 4 * 4);
    EXPECT_EQ(w.doc().brushShape(), 1);
    EXPECT_EQ(picker->current(), 5);
}

TEST(EffectStrips, LightingSetsColourAndBrushSize)
{
    WindowWithPhoto w(300, 300);
    w->command(cmd::LightingPanel);
    ClickTile(w->strip(3), 2);  // Lens Flare
    EXPECT_EQ(w.doc().brushSize(), 60);  // 600 / 12 = 50, raised to 60
    EXPECT_EQ(w.doc().effectColour(), ColourRef(255, 38, 43));
    EXPECT_EQ(w->palette()->colour(), ColourRef(255, 38, 43));
    ClickTile(w->strip(3), 0);
    EXPECT_EQ(w.doc().effectColour(), ColourRef(255, 255, 255));

    // A swatch becomes the light colour.
    CColourPalette* palette = w->palette();
    const int swatch = 10;
    QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier, palette->cellRect(swatch).center());
    EXPECT_EQ(w.doc().effectColour(), palette->swatches()[swatch]);

    // Opening a bigger photo on the Lighting panel resizes the brush.
    ASSERT_TRUE(w->openPath(w.writePhoto(QStringLiteral("big.png"), 800, 640)));
    EXPECT_EQ(w.doc().brushSize(), (800 + 640) / 12);
}

TEST(EffectStrips, NarrowStripScrollsByWheelAndBar)
{
    WindowWithPhoto w;
    w->resize(CEditorDlg::kMinWidth, CEditorDlg::kMinHeight);
    w->command(cmd::FiltersPanel);
    CEffectPanel* filters = w->strip(1);
    const int range = 18 * 76 - filters->width();
    ASSERT_GT(range, 0);
    EXPECT_EQ(filters->scrollRange(), range);
    EXPECT_TRUE(filters->scrollBarShown());
    EXPECT_EQ(filters->tileRect(0).top(), 3);

    auto wheel = [&](int notches) {
        QWheelEvent e(QPointF(50, 20), filters->mapToGlobal(QPointF(50, 20)), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(filters, &e);
    };
    wheel(-1);  // toward the user: toward the end
    EXPECT_EQ(filters->scrollOffset(), 100);
    EXPECT_EQ(filters->tileRect(0).left(), 3 - 100);
    wheel(3);
    EXPECT_EQ(filters->scrollOffset(), 0);
    filters->onScroll(ScrollToEnd, 0);
    EXPECT_EQ(filters->scrollOffset(), range);
    wheel(-2);
    EXPECT_EQ(filters->scrollOffset(), range);
    filters->onScroll(ScrollThumbPosition, 250);
    EXPECT_EQ(filters->scrollOffset(), 250);
    filters->onScroll(ScrollPageBack, 0);
    EXPECT_EQ(filters->scrollOffset(), 150);

    // Wide enough: no bar, no offset, tiles 6 pixels down.
    w->resize(1600, 700);
    EXPECT_EQ(filters->scrollRange(), 0);
    EXPECT_EQ(filters->scrollOffset(), 0);
    EXPECT_FALSE(filters->scrollBarShown());
    EXPECT_EQ(filters->tileRect(0).top(), 6);
}
