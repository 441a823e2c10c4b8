// The Text panel in the main window: its settings reach the template, typing
// and the 1000-character limit, Add and Merge Down through the buttons.
#include "tests/app/app_test_support.h"

#include "ui/flat_button.h"
#include "ui/style_grid.h"
#include "ui/text_panel.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

TEST(TextPanel, ControlsStartAsTheTemplateDefaults)
{
    WindowWithPhoto w;
    CTextPanel* panel = w->textEditor();
    EXPECT_EQ(panel->opacitySlider()->value(), 100);
    EXPECT_EQ(panel->styleGrid()->currentStyle(), 0);
    const QStringList faces = CTextPanel::fontFaces();
    ASSERT_FALSE(faces.isEmpty());
    EXPECT_TRUE(std::is_sorted(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
    const TextTemplate& t = w->textTemplate();
    EXPECT_EQ(t.font.height, 48);
    EXPECT_EQ(t.font.faceName, faces.first().toStdString());
    EXPECT_EQ(t.colour1, 0x00FF00u);
    EXPECT_EQ(t.colour2, 0x009C00u);
    EXPECT_FLOAT_EQ(t.transparency, 0.0f);
    w->command(cmd::TextPanel);
    EXPECT_TRUE(panel->isVisible());
    w->activateWindow();
    EXPECT_EQ(panel->textBox(), w->focusWidget());
    EXPECT_FALSE(w->canvas()->brushMode());
}

TEST(TextPanel, SettingsWithoutASelectionChangeOnlyTheTemplate)
{
    WindowWithPhoto w;
    w->command(cmd::TextPanel);
    CTextPanel* panel = w->textEditor();
    panel->opacitySlider()->setValue(30);
    panel->styleGrid()->chooseStyle(4);
    panel->pickColour(1, 0x102030);
    if (panel->fontList()->count() > 1)
        panel->fontList()->setCurrentIndex(1);
    QTest::keyClicks(panel->textBox(), "Hi");
    EXPECT_FALSE(w.doc().canUndo());
    EXPECT_TRUE(w.doc().objects().empty());
    const TextTemplate& t = w->textTemplate();
    EXPECT_NEAR(t.transparency, 0.7f, 1e-6);
    EXPECT_EQ(t.style, 4);
    EXPECT_EQ(t.colour1, 0x0019C6u);  // style 4's first colour
    EXPECT_EQ(t.colour2, 0x102030u);
    EXPECT_EQ(t.text, "Hi");
    EXPECT_EQ(t.font.faceName, panel->fontList()->currentText().toStdString());

    // The next Add uses it.
    QTest::mouseClick(panel->addButton(), Qt::LeftButton);
    ASSERT_EQ(w.doc().objects().size(), 1u);
    const CanvasObject& o = w.doc().objects()[0];
    EXPECT_EQ(o.style, 4);
    EXPECT_EQ(o.text, "Hi");
    EXPECT_EQ(o.colour2, 0x102030u);
    EXPECT_NEAR(o.transparency, 0.7f, 1e-6);
    EXPECT_TRUE(o.selected);
    EXPECT_EQ(w.doc().history().size(), 1u);
    EXPECT_TRUE(w->button(cmd::DeleteSelectedObject)->isEnabled());

    // With the object selected, settings and typing go to it.
    panel->styleGrid()->chooseStyle(2);
    EXPECT_EQ(w.doc().objects()[0].style, 2);
    EXPECT_EQ(w.doc().history().size(), 2u);
    QTest::keyClicks(panel->textBox(), "!");
    EXPECT_EQ(w.doc().objects()[0].text, "Hi!");
    EXPECT_EQ(w.doc().history().size(), 2u);

    // Delete in the text box deletes a character; on the canvas, the object.
    QTest::keyClick(panel->textBox(), Qt::Key_Home);
    QTest::keyClick(panel->textBox(), Qt::Key_Delete);
    EXPECT_EQ(w.doc().objects()[0].text, "i!");
    QTest::keyClick(w->canvas(), Qt::Key_Delete);
    EXPECT_TRUE(w.doc().objects().empty());
    EXPECT_EQ(w.doc().history().size(), 3u);
}

TEST(TextPanel, TextIsCutToAThousandCharacters)
{
    WindowWithPhoto w;
    w->command(cmd::TextPanel);
    CTextPanel* panel = w->textEditor();
    panel->textBox()->setPlainText(QString(1200, QChar('x')));
    EXPECT_EQ(panel->textBox()->toPlainText().size(), 1000);
    EXPECT_EQ(w->textTemplate().text.size(), 1000u);
    panel->textBox()->moveCursor(QTextCursor::End);
    QTest::keyClicks(panel->textBox(), "yz");
    EXPECT_EQ(panel->textBox()->toPlainText().size(), 1000);
    EXPECT_EQ(w->textTemplate().text, std::string(1000, 'x'));
}

TEST(TextPanel, ClickOnAnObjectFillsTheBoxAndMergeDownFlattens)
{
    WindowWithPhoto w(400, 300);
    w->command(cmd::TextPanel);
    CTextPanel* panel = w->textEditor();
    panel->textBox()->setPlainText(QStringLiteral("Merge"));
    QTest::mouseClick(panel->addButton(), Qt::LeftButton);
    panel->textBox()->setPlainText(QStringLiteral("Other"));
    EXPECT_EQ(w.doc().objects()[0].text, "Other");
    w.session().liveObjects()[0].selected = false;
    panel->textBox()->setPlainText(QString());

    CPhotoCanvas* canvas = w->canvas();
    const QPoint centre = ObjectCentre(w.doc().objects()[0], canvas->objectView()).toPoint();
    canvas->pressAt(centre);
    canvas->releaseAt(centre);
    EXPECT_TRUE(w.doc().objects()[0].selected);
    EXPECT_EQ(panel->textBox()->toPlainText(), QStringLiteral("Other"));
    EXPECT_TRUE(panel->textBox()->textCursor().hasSelection());

    const PixelBuffer before = w.doc().photo();
    QTest::mouseClick(panel->mergeDownButton(), Qt::LeftButton);
    EXPECT_TRUE(w.doc().objects().empty());
    EXPECT_NE(w.doc().photo().pixels, before.pixels);
    EXPECT_TRUE(w->button(cmd::Undo)->isEnabled());
    EXPECT_FALSE(w->button(cmd::DeleteSelectedObject)->isEnabled());
}
