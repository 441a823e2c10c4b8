// The main window driven with real mouse and key events: keys that must not
// close it, the history buttons, the modified question, panels, preview,
// menus, the window frame and progress.
#include "tests/app/app_test_support.h"

#include "app/editor_app.h"
#include "ui/auto_resize_dialog.h"
#include "ui/text_panel.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QMenu>
#include <QLabel>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

bool SamePhoto(const PixelBuffer& a, const PixelBuffer& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

QStringList ItemTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(EditorWindow, EscapeAndEnterNeverCloseIt)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    // Escape leaves the preview whichever widget has the keys.
    w->command(cmd::Preview);
    QTest::keyClick(w.window.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->inPreview());
    for (QWidget* target : {static_cast<QWidget*>(w.window.get()), static_cast<QWidget*>(w->canvas()),
                            static_cast<QWidget*>(w->strip(0))}) {
        target->setFocus();
        for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, Qt::Key(key));
    }
    // Enter on the Filters strip applies nothing; in the text box it starts a line.
    w->command(cmd::FiltersPanel);
    ClickTile(w->strip(1), 2);
    QTest::keyClick(w->strip(1), Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w.doc().canUndo());
    EXPECT_TRUE(boxes.questions.isEmpty());
    w->command(cmd::TextPanel);
    QPlainTextEdit* box = w->textEditor()->textBox();
    box->setPlainText(QStringLiteral("a"));
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("a\n"));
}

TEST(EditorWindow, AcceleratorsAndTheThresholdCommand)
{
    WindowWithPhoto w;
    // Alt+F, E, N and H drop their menus down, from the canvas as from anywhere.
    for (auto [key, button] : {std::pair{Qt::Key_F, cmd::FileMenuButton}, {Qt::Key_E, cmd::EditMenuButton},
                               {Qt::Key_N, cmd::PanelMenuButton}, {Qt::Key_H, cmd::HelpMenuButton}}) {
        QTest::keyClick(w->canvas(), key, Qt::AltModifier);
        EXPECT_TRUE(w->menu(button)->isVisible()) << key;
        w->menu(button)->hide();
    }
    // Left and Right step from one drop-down menu to the next, round.
    QTest::keyClick(w->canvas(), Qt::Key_E, Qt::AltModifier);
    QTest::keyClick(w->menu(cmd::EditMenuButton), Qt::Key_Right);
    EXPECT_FALSE(w->menu(cmd::EditMenuButton)->isVisible());
    EXPECT_TRUE(w->menu(cmd::PanelMenuButton)->isVisible());
    QTest::keyClick(w->menu(cmd::PanelMenuButton), Qt::Key_Left);
    QTest::keyClick(w->menu(cmd::EditMenuButton), Qt::Key_Left);
    QTest::keyClick(w->menu(cmd::FileMenuButton), Qt::Key_Left);
    EXPECT_TRUE(w->menu(cmd::HelpMenuButton)->isVisible());
    w->menu(cmd::HelpMenuButton)->hide();
    // Ctrl+Tab and Ctrl+Shift+Tab go round the panels.
    w->command(cmd::AdjustPanel);
    QTest::keyClick(w->canvas(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->currentPanel(), Panel::Retouch);
    QTest::keyClick(w->canvas(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(w->canvas(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w->currentPanel(), Panel::Text);
    // Ctrl+O asks for a photo; Ctrl+Shift+S asks where to save; Ctrl+Z undoes
    // and Ctrl+Shift+Z redoes.
    int asked = 0;
    w->chooseOpenFile = w->chooseSaveFile = [&] { return ++asked, QString(); };
    QTest::keyClick(w->strip(0), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    QTest::keyClick(w->strip(0), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(asked, 2);
    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 2);
    QTest::keyClick(w->strip(1), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.doc().canUndo());
    QTest::keyClick(w->strip(1), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.doc().canUndo());

    // The threshold dialog, answered from inside its loop: a width of 3000 is
    // dropped with Cancel and kept (and remembered) with OK.
    auto answer = [&](const QString& button) {
        QTimer::singleShot(0, [button] {
            for (QPushButton* b : QApplication::activeModalWidget()->findChildren<QPushButton*>()) {
                qobject_cast<CAutoResizeDlg*>(b->window())->widthEdit()->setText(QStringLiteral("3000"));
                if (b->text() == button)
                    return b->click();
            }
        });
        w->command(cmd::AutoResizeThreshold);
    };
    answer(QStringLiteral("Cancel"));
    EXPECT_EQ(w.doc().thresholdWidth(), 1600);
    answer(QStringLiteral("OK"));
    EXPECT_EQ(w.doc().thresholdWidth(), 3000);
    EXPECT_EQ(w.doc().thresholdHeight(), 1200);
    // Not stored: the next window starts at the default again.
    EXPECT_FALSE(QSettings().contains(QStringLiteral("threshold/width")));
}

TEST(EditorWindow, HistoryButtonsFollowTheHistory)
{
    WindowWithPhoto w;
    const PixelBuffer opened = w.doc().photo();
    CFlatButton* undo = w->button(cmd::Undo);
    CFlatButton* redo = w->button(cmd::Redo);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_FALSE(w->action(cmd::MenuUndo)->isEnabled());
    EXPECT_FALSE(w->button(cmd::DeleteSelectedObject)->isEnabled());
    EXPECT_FALSE(w->button(cmd::DeletePhotoFrame)->isEnabled());

    // Ctrl+Z right after opening does nothing.
    QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(SamePhoto(w.doc().photo(), opened));
    EXPECT_EQ(w.doc().historyPos(), -1);

    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 2);  // Emboss
    EXPECT_FALSE(SamePhoto(w.doc().photo(), opened));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(w.doc().modified());

    QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(SamePhoto(w.doc().photo(), opened));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_TRUE(w->action(cmd::MenuRedo)->isEnabled());

    QTest::keyClick(w.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(SamePhoto(w.doc().photo(), opened));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    // The tool strip button does the same.
    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_TRUE(SamePhoto(w.doc().photo(), opened));
}

TEST(EditorWindow, ClosingAnUnmodifiedPhotoAsksNothing)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    QTest::mouseClick(w->button(cmd::Close), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST(EditorWindow, ModifiedQuestionOnClose)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    int saves = 0;
    bool saveSucceeds = false;
    w->saveAsDialog = [&] {
        ++saves;
        return saveSucceeds;
    };
    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 13);  // Posterize
    ASSERT_TRUE(w.doc().modified());

    // Yes, then the save is cancelled: the window stays with the edit.
    boxes.answerYes = true;
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(boxes.questions.size(), 1);
    EXPECT_EQ(boxes.questions.first(), QStringLiteral("Current photo has been modified, Do you want to save it?"));
    EXPECT_EQ(saves, 1);

    // No: it closes without saving.
    boxes.answerYes = false;
    EXPECT_TRUE(w->close());
    EXPECT_EQ(saves, 1);
    w->show();

    // Yes and a save that works: it closes.
    boxes.answerYes = true;
    saveSucceeds = true;
    EXPECT_TRUE(w->close());
    EXPECT_EQ(saves, 2);
}

TEST(EditorWindow, OpenKeepsTheEditedPhotoWhenItsSaveIsCancelled)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    const QString other = w.writePhoto(QStringLiteral("other.png"), 64, 48);
    int dialogs = 0;
    w->chooseOpenFile = [&] {
        ++dialogs;
        return other;
    };
    w->saveAsDialog = [] { return false; };
    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 2);
    const PixelBuffer edited = w.doc().photo();

    boxes.answerYes = true;
    QTest::mouseClick(w->button(cmd::OpenButton), Qt::LeftButton);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(SamePhoto(w.doc().photo(), edited));
    EXPECT_TRUE(w.doc().canUndo());

    // Answering No opens the other photo; the history starts again.
    boxes.answerYes = false;
    QTest::keyClick(w.window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(w.doc().width(), 64);
    EXPECT_FALSE(w.doc().canUndo());
    EXPECT_FALSE(w->button(cmd::Undo)->isEnabled());
    EXPECT_TRUE(w->windowCaption().startsWith(QStringLiteral("other.png")));

    // A cancelled open dialog changes nothing.
    w->chooseOpenFile = [] { return QString(); };
    w->command(cmd::MenuOpen);
    EXPECT_EQ(w.doc().width(), 64);
}

TEST(EditorWindow, UnreadablePhotoLeavesTheOpenOneAlone)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    const PixelBuffer before = w.doc().photo();
    const QString broken = w.dir.filePath(QStringLiteral("broken.jpg"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture at all");
    f.close();
    EXPECT_FALSE(w->openPath(broken));
    EXPECT_EQ(boxes.warnings.size(), 1);
    EXPECT_TRUE(SamePhoto(w.doc().photo(), before));
    EXPECT_EQ(w.doc().photoPath(), QFileInfo(w.photoPath).absoluteFilePath().toStdString());
}

TEST(EditorWindow, DownsizedPhotoShowsANotice)
{
    WindowWithPhoto w;
    EXPECT_FALSE(w->notice()->isVisible());
    w.session().setThreshold(160, 120);
    const QString big = w.writePhoto(QStringLiteral("big.png"), 600, 400);
    ASSERT_TRUE(w->openPath(big));
    EXPECT_LT(w.doc().width(), 600);
    EXPECT_TRUE(w->notice()->isVisible());
    EXPECT_TRUE(w->notice()->text().contains(QStringLiteral("600 × 400")));
}

TEST(EditorWindow, PanelsShowTheirOwnControls)
{
    WindowWithPhoto w(200, 100);
    EXPECT_EQ(w->currentPanel(), Panel::Retouch);
    EXPECT_TRUE(w->strip(0)->isVisible());
    EXPECT_TRUE(w->brushPicker()->isVisible());
    EXPECT_TRUE(w->opacitySlider()->isVisible());
    EXPECT_FALSE(w->strip(1)->isVisible());
    EXPECT_FALSE(w->palette()->isVisible());
    EXPECT_FALSE(w->deformRadiusSlider()->isVisible());

    QTest::mouseClick(w->button(cmd::WarpPanel), Qt::LeftButton);
    EXPECT_TRUE(w->strip(2)->isVisible());
    EXPECT_TRUE(w->deformRadiusSlider()->isVisible());
    EXPECT_TRUE(w->deformAmountSlider()->isVisible());
    EXPECT_FALSE(w->brushPicker()->isVisible());
    EXPECT_TRUE(w->button(cmd::WarpPanel)->isChecked());
    EXPECT_FALSE(w->button(cmd::RetouchPanel)->isChecked());

    w->command(cmd::MenuLighting);
    EXPECT_TRUE(w->palette()->isVisible());
    EXPECT_TRUE(w->strip(3)->isVisible());

    QTest::mouseClick(w->button(cmd::TextPanel), Qt::LeftButton);
    EXPECT_TRUE(w->textPanel()->isVisible());
    EXPECT_FALSE(w->restoreButton()->isVisible());
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(w->strip(c)->isVisible());
    EXPECT_FALSE(w->canvas()->brushMode());
    EXPECT_TRUE(w->framePanel()->isVisible());

    // Back on Retouch the brush mode returns and the picker's brush is sent again.
    w.session().setBrushSize(77);
    w->command(cmd::RetouchPanel);
    EXPECT_TRUE(w->canvas()->brushMode());
    EXPECT_EQ(w.doc().brushSize(), (200 + 100) / 16 / 4 * 4);
}

TEST(EditorWindow, OpacityAndDeformSliders)
{
    WindowWithPhoto w;
    w->opacitySlider()->setValue(128);
    EXPECT_FLOAT_EQ(w.doc().strength(), 128.0f / 255.0f);
    EXPECT_EQ(w->opacitySlider()->maximum(), 255);
    EXPECT_EQ(w->deformRadiusSlider()->value(), 90);
    EXPECT_EQ(w->deformAmountSlider()->value(), 30);

    // A warp effect takes its brush size from the radius, and follows it.
    w->command(cmd::WarpPanel);
    ClickTile(w->strip(2), 3);
    EXPECT_EQ(w.doc().effectId(), 83);
    EXPECT_EQ(w.doc().brushSize(), 90);
    w->deformRadiusSlider()->setValue(40);
    EXPECT_EQ(w.doc().brushSize(), 40);
    w->deformAmountSlider()->setValue(75);
    EXPECT_EQ(w.doc().warpAmount(), 75);

    // "Reduce Warp" has no tile: its own button on the Warp panel chooses it.
    ASSERT_TRUE(w->reduceWarpButton()->isVisible());
    QTest::mouseClick(w->reduceWarpButton(), Qt::LeftButton);
    EXPECT_EQ(w.doc().effectId(), kReduceWarpId);
    EXPECT_EQ(w.doc().applyMode(), ApplyMode::WarpBrush);
    EXPECT_TRUE(w->reduceWarpButton()->isChecked());
    EXPECT_EQ(w.doc().brushSize(), 40);
    ClickTile(w->strip(2), 0);
    EXPECT_FALSE(w->reduceWarpButton()->isChecked());
    w->command(cmd::LightingPanel);
    EXPECT_FALSE(w->reduceWarpButton()->isVisible());
}

TEST(EditorWindow, PreviewFillsTheWindowAndAClickLeavesIt)
{
    WindowWithPhoto w(400, 300);
    w->command(cmd::ZoomIn);
    const float zoom = w->canvas()->zoom();
    const QRect normal = w->canvas()->geometry();
    QTest::mouseClick(w->button(cmd::Preview), Qt::LeftButton);
    EXPECT_TRUE(w->inPreview());
    EXPECT_TRUE(w->canvas()->previewMode());
    EXPECT_EQ(w->canvas()->geometry(), w->rect());
    EXPECT_FALSE(w->strip(0)->isVisible());
    EXPECT_FALSE(w->button(cmd::Undo)->isVisible());

    // Preview again is ignored; Escape on the canvas leaves.
    w->command(cmd::MenuPreview);
    QTest::keyClick(w->canvas(), Qt::Key_Escape);
    EXPECT_FALSE(w->inPreview());
    EXPECT_FLOAT_EQ(w->canvas()->zoom(), zoom);
    EXPECT_EQ(w->canvas()->geometry(), normal);
    EXPECT_TRUE(w->strip(0)->isVisible());

    // A click on the canvas leaves too, and paints nothing.
    w->command(cmd::Preview);
    const PixelBuffer before = w.doc().photo();
    QTest::mouseClick(w->canvas(), Qt::LeftButton, Qt::NoModifier, w->canvas()->rect().center());
    EXPECT_FALSE(w->inPreview());
    EXPECT_TRUE(SamePhoto(w.doc().photo(), before));
    EXPECT_FALSE(w.doc().canUndo());
}

TEST(EditorWindow, MenusCarryTheirItemsWithIcons)
{
    WindowWithPhoto w;
    EXPECT_EQ(ItemTexts(w->menu(cmd::FileMenuButton)),
              QStringList({"Open", "Open Recent", "Save", "Save As...", "-", "Preview", "-", "Exit"}));
    EXPECT_EQ(ItemTexts(w->menu(cmd::EditMenuButton)),
              QStringList({"Undo (Ctrl+Z)", "Redo (Ctrl+Y)", "Delete Selected Object", "Delete Photo Frame", "-",
                           "Heal", "Clone", "-", "Crop", "Straighten", "Rotate Left", "Rotate Right", QString::fromUtf8("Rotate 180°"),
                           "Flip Horizontal", "Flip Vertical", "Resize...", "Fade..."}));
    EXPECT_EQ(ItemTexts(w->menu(cmd::PanelMenuButton)),
              QStringList({"Retouch", "Lighting", "Warp", "Filters", "Text", "Adjust", "-", "Next Panel",
                           "Previous Panel"}));
    // Keys are shown beside the items (Undo and Redo carry theirs in the text),
    // and the tool tips name them too.
    const std::pair<int, const char*> keys[] = {{cmd::MenuOpen, "Ctrl+O"},       {cmd::MenuSave, "Ctrl+S"},
                                                {cmd::MenuSaveAs, "Ctrl+Shift+S"}, {cmd::Crop, "C"},
                                                {cmd::ResizePhoto, "Ctrl+Alt+I"},  {cmd::MenuFade, "Ctrl+Shift+F"},
                                                {cmd::MenuAdjust, "Ctrl+Shift+A"}, {cmd::MenuUndo, ""},
                                                {cmd::MenuDeleteObject, "Del"},    {cmd::NextPanel, "Ctrl+Tab"},
                                                {cmd::Heal, "J"},                  {cmd::Clone, "S"}};
    for (const auto& [id, key] : keys)
        EXPECT_EQ(w->action(id)->shortcut().toString(), QString::fromLatin1(key)) << id;
    EXPECT_EQ(w->button(cmd::Crop)->toolTip(), QStringLiteral("Crop (C)"));
    EXPECT_EQ(w->button(cmd::Undo)->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
    EXPECT_EQ(ItemTexts(w->menu(cmd::HelpMenuButton)), QStringList({"Online Help Content", "About"}));
    EXPECT_EQ(ItemTexts(w->contextMenu()),
              QStringList({"Open", "Save as...", "-", "Undo (Ctrl+Z)", "Redo (Ctrl+Y)", "-", "Zoom to Fit",
                           "Original Size", "Zoom in", "Zoom out", "-", "Delete Selected Object",
                           "Delete Photo Frame", "-", "Auto Resize Threshold", "-", "Preview"}));
    for (int id : {cmd::FileMenuButton, cmd::EditMenuButton, cmd::PanelMenuButton, cmd::HelpMenuButton}) {
        for (QAction* a : w->menu(id)->actions()) {
            if (!a->isSeparator()) {
                EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
            }
        }
    }
    // The recent list holds the photo just opened.
    ASSERT_FALSE(w->recentMenu()->actions().isEmpty());
    EXPECT_EQ(w->recentMenu()->actions().first()->data().toString(), QFileInfo(w.photoPath).absoluteFilePath());

    // Alt+E drops the Edit menu down under its button; its history items are disabled.
    w->activateWindow();
    QTest::keyClick(w.window.get(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(w->menu(cmd::EditMenuButton)->isVisible());
    EXPECT_FALSE(w->action(cmd::MenuUndo)->isEnabled());
    w->menu(cmd::EditMenuButton)->hide();

    // The canvas asks for its menu with a right click.
    const QPoint centre = w->canvas()->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, centre, w->canvas()->mapToGlobal(centre));
    QApplication::sendEvent(w->canvas(), &menuEvent);
    EXPECT_TRUE(w->contextMenu()->isVisible());
    w->contextMenu()->hide();
    // No menu drops down in preview, where its button is hidden.
    w->command(cmd::Preview);
    w->command(cmd::FileMenuKey);
    EXPECT_FALSE(w->menu(cmd::FileMenuButton)->isVisible());
}

TEST(EditorWindow, FrameResizesAtEdgesAndKeepsTheMinimumSize)
{
    WindowWithPhoto w;
    CEditorDlg* win = w.window.get();
    const int W = win->width(), H = win->height();
    EXPECT_EQ(win->edgesAt(QPoint(2, H / 2)), Qt::LeftEdge);
    EXPECT_EQ(win->edgesAt(QPoint(W - 2, H / 2)), Qt::RightEdge);
    EXPECT_EQ(win->edgesAt(QPoint(W / 2, H - 1)), Qt::BottomEdge);
    EXPECT_EQ(win->edgesAt(QPoint(6, 6)), Qt::LeftEdge | Qt::TopEdge);
    EXPECT_EQ(win->edgesAt(QPoint(W - 7, H - 7)), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(win->edgesAt(QPoint(W / 2, 15)), Qt::Edges());

    // Hovering an edge shows the size cursor.
    SendMouse(win, QEvent::MouseMove, QPoint(W - 2, H / 2), Qt::NoButton);
    EXPECT_EQ(win->cursor().shape(), Qt::SizeHorCursor);
    SendMouse(win, QEvent::MouseMove, QPoint(W - 3, H - 3), Qt::NoButton);
    EXPECT_EQ(win->cursor().shape(), Qt::SizeFDiagCursor);

    // Dragging the right edge far to the left stops at 800 pixels.
    SendMouse(win, QEvent::MouseButtonPress, QPoint(W - 2, H / 2), Qt::LeftButton);
    SendMouse(win, QEvent::MouseMove, QPoint(W - 2 - 150, H / 2), Qt::LeftButton);
    EXPECT_EQ(win->width(), W - 150);
    SendMouse(win, QEvent::MouseMove, QPoint(10, H / 2), Qt::LeftButton);
    SendMouse(win, QEvent::MouseButtonRelease, QPoint(10, H / 2), Qt::NoButton);
    EXPECT_EQ(win->width(), CEditorDlg::kMinWidth);
    EXPECT_EQ(win->minimumHeight(), CEditorDlg::kMinHeight);
    // The layout follows: the canvas ends 156 pixels from the right.
    EXPECT_EQ(win->canvas()->geometry(), QRect(QPoint(4, 168), QPoint(800 - 157, win->height() - 5)));
    EXPECT_EQ(w->strip(1)->geometry().right(), 800 - 5);

    // A double click in the top band maximises, another restores.
    QTest::mouseDClick(win, Qt::LeftButton, Qt::NoModifier, QPoint(W / 3, 15));
    EXPECT_TRUE(win->isMaximized());
    QTest::mouseDClick(win, Qt::LeftButton, Qt::NoModifier, QPoint(W / 3, 15));
    EXPECT_FALSE(win->isMaximized());
}

TEST(EditorWindow, ProgressStripIsDrawnOnlyOutsideStartUp)
{
    CEditorDlg window;
    // The Filters thumbnails ran their filters while the window was built.
    EXPECT_EQ(window.progressDrawCount(), 0);
    EXPECT_EQ(window.strip(1)->thumbnails().size(), 17u);
    window.resize(1000, 640);
    window.show();
    CPhotoCanvas* canvas = window.canvas();
    const int cw = canvas->width(), ch = canvas->height();
    // Counts strip-fill pixels (blue, unlike the grey frame) along the fill's middle row.
    auto fillWidth = [&] {
        QImage shot(canvas->size(), QImage::Format_RGB32);
        canvas->render(&shot);
        int count = 0;
        for (int x = 0; x < cw; ++x) {
            const QColor c = shot.pixelColor(x, ch / 2 - 8);
            count += c.blue() > c.red() + 60;
        }
        return count;
    };
    window.sendMessage(WM_EFFECT_PROGRESS, 0, 0);
    EXPECT_EQ(fillWidth(), 0);
    // The frame is there: the next ordinary repaint changes its pixels.
    QImage frameOnly(canvas->size(), QImage::Format_RGB32), without(canvas->size(), QImage::Format_RGB32);
    canvas->render(&frameOnly);
    canvas->refresh();
    canvas->render(&without);
    EXPECT_NE(frameOnly.pixelColor(cw / 2 - 100, ch / 2 - 8), without.pixelColor(cw / 2 - 100, ch / 2 - 8));
    window.sendMessage(WM_EFFECT_PROGRESS, 0, 100);
    EXPECT_EQ(fillWidth(), 219);
    window.sendMessage(WM_EFFECT_PROGRESS, 0, 50);
    EXPECT_EQ(fillWidth(), 109);
    EXPECT_EQ(window.progressDrawCount(), 3);
}

TEST(EditorWindow, DroppedPhotoIsOpened)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    const QString dropped = w.writePhoto(QStringLiteral("dropped.png"), 96, 64);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dropped)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.window.get(), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.doc().width(), 96);
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST(EditorApp, ShipsItsFilesAndWritesTheBrushImages)
{
    EXPECT_TRUE(QFileInfo(CEditorApp::HelpPagePath()).isFile());
    EXPECT_TRUE(CEditorApp::SamplePhotoPath().endsWith(QStringLiteral("photos/coffee.png")));
    QTemporaryDir data;
    qputenv("OMBRIK_DATA_DIR", data.path().toUtf8());
    EXPECT_EQ(CEditorApp::WriteBrushImages(), 6);
    qunsetenv("OMBRIK_DATA_DIR");
    for (int n = 1; n <= 6; ++n)
        EXPECT_GT(QFileInfo(data.filePath(QString::asprintf("%03d.pnm", n))).size(), 0) << n;
}

TEST(EditorWindow, SaveAsWritesThePictureOrSaysWhyNot)
{
    BoxAnswers boxes;
    WindowWithPhoto w(120, 80);
    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 13);
    const PixelBuffer edited = w.doc().photo();

    const QString target = w.dir.filePath(QStringLiteral("saved.png"));
    w->chooseSaveFile = [&] { return target; };
    QTest::mouseClick(w->button(cmd::SaveButton), Qt::LeftButton);
    QImage saved(target);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(120, 80));
    const uint8_t* p = edited.at(10, 10);
    EXPECT_EQ(saved.pixelColor(10, 10), QColor(p[2], p[1], p[0]));
    EXPECT_TRUE(boxes.warnings.isEmpty());

    // A folder that does not exist: a warning, and closing keeps the window.
    DoubleClickTile(w->strip(1), 2);
    w->chooseSaveFile = [&] { return w.dir.filePath(QStringLiteral("missing/saved.png")); };
    boxes.answerYes = true;
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(boxes.warnings.size(), 1);
    // An extension no encoder knows is refused the same way.
    w->chooseSaveFile = [&] { return w.dir.filePath(QStringLiteral("saved.nope")); };
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(boxes.warnings.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(w.dir.filePath(QStringLiteral("saved.nope"))));
}
