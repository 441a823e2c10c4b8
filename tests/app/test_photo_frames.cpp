// The photo frame panel in the main window: the grid, selection, double click
// and Apply, Delete Photo Frame and the history, a missing library.
#include "canvas/frame_library.h"
#include "tests/app/app_test_support.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

// The shipped library for the windows made while it lives.
struct ShippedLibrary {
    ShippedLibrary() { SetFrameLibraryFolder(OMBRIK_SOURCE_DIR "/resources/frames"); }
    ~ShippedLibrary() { SetFrameLibraryFolder(""); }
};

} // namespace

TEST(FramePanel, ClickSelectsDoubleClickAppliesAndTheHistoryFollows)
{
    ShippedLibrary library;
    WindowWithPhoto w(320, 240);
    CFramePanel* panel = w->framePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_GE(panel->count(), 12);
    EXPECT_EQ(panel->geometry(), QRect(w->width() - 155, 186, 151, w->height() - 4 - 186));
    EXPECT_EQ(panel->columns(), 2);
    const CanvasDocument& doc = w.doc();
    CFlatButton* deleteFrame = w->button(cmd::DeletePhotoFrame);
    EXPECT_FALSE(deleteFrame->isEnabled());

    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, panel->cellRect(3).center());
    EXPECT_EQ(panel->selectedIndex(), 3);
    EXPECT_EQ(doc.frameIndex(), -1);  // a single click only selects

    const QPoint second = panel->cellRect(1).center();
    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, second);
    QTest::mouseDClick(panel, Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(panel->selectedIndex(), 1);
    EXPECT_EQ(doc.frameIndex(), 1);
    EXPECT_GT(doc.frameBorder(), 0);
    EXPECT_TRUE(deleteFrame->isEnabled());
    EXPECT_EQ(doc.history().size(), 1u);

    // Apply with the same frame chosen records nothing; another frame one step.
    panel->applyButton()->click();
    EXPECT_EQ(doc.history().size(), 1u);
    panel->select(4);
    panel->applyButton()->click();
    EXPECT_EQ(doc.frameIndex(), 4);
    EXPECT_EQ(doc.history().size(), 2u);

    w->command(cmd::DeletePhotoFrame);
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_FALSE(deleteFrame->isEnabled());
    w->command(cmd::Undo);
    EXPECT_EQ(doc.frameIndex(), 4);
    EXPECT_TRUE(deleteFrame->isEnabled());
    w->command(cmd::Undo);
    w->command(cmd::Undo);
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_FALSE(deleteFrame->isEnabled());
}

TEST(FramePanel, WheelAndScrollBarMoveTheGrid)
{
    ShippedLibrary library;
    WindowWithPhoto w(120, 80);
    w->resize(900, 570);
    CFramePanel* panel = w->framePanel();
    QScrollBar* bar = panel->scrollBar();
    ASSERT_TRUE(bar->isVisible());
    const int rows = (panel->count() + 1) / 2;
    EXPECT_EQ(bar->maximum(), rows * CFramePanel::kCellHeight - (panel->height() - CFramePanel::kApplyHeight));
    const QRect before = panel->cellRect(2);
    QWheelEvent down(QPointF(20, 20), panel->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel, &down);
    EXPECT_GT(panel->scrollY(), 0);
    EXPECT_EQ(panel->cellRect(2).top(), before.top() - panel->scrollY());
    bar->setValue(bar->maximum());
    EXPECT_EQ(panel->scrollY(), bar->maximum());
    // The last cell is reachable and clickable.
    const int last = panel->count() - 1;
    EXPECT_EQ(panel->cellAt(panel->cellRect(last).center()), last);
}

TEST(FramePanel, AMissingLibraryGivesAnEmptyGridAndApplyAsksForASelection)
{
    QTemporaryDir empty;
    SetFrameLibraryFolder(empty.path().toStdString());
    BoxAnswers boxes;
    WindowWithPhoto w(120, 80);
    SetFrameLibraryFolder("");
    CFramePanel* panel = w->framePanel();
    EXPECT_EQ(panel->count(), 0);
    EXPECT_EQ(panel->cellAt(QPoint(10, 10)), -1);
    panel->applyButton()->click();
    EXPECT_EQ(boxes.informations, QStringList({"Please Select an object to operate."}));
    EXPECT_EQ(w.doc().frameIndex(), -1);
    // A frame index that the library cannot give leaves everything alone.
    w->sendMessage(WM_APPLY_DECORATION, CFramePanel::kDecorationCode, 0);
    EXPECT_EQ(w.doc().frameIndex(), -1);
    EXPECT_TRUE(w.doc().history().empty());
}
