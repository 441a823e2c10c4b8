// A camera RAW file in the window: the preview marked "Developing…" with the
// input held back until it is developed, Escape keeping the preview, and
// Ctrl+S asking for a name since a RAW is never written.
#include "tests/app/app_test_support.h"

#include "app/develop_notice.h"
#include "tests/support/dng_writer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace ombrik {
namespace {

using test::BoxAnswers;
using test::WindowWithPhoto;

QString WriteChart(const QTemporaryDir& dir)
{
    test::DngRecipe recipe;
    recipe.width = 640;
    recipe.height = 480;
    recipe.previewWidth = 512;
    recipe.scene = test::ChartScene(recipe.width, recipe.height);
    const QString path = dir.filePath(QStringLiteral("chart.dng"));
    return test::WriteDng(path.toStdString(), recipe) ? path : QString();
}

QLabel* Mark(CEditorDlg& window)
{
    return window.findChild<QLabel*>(QStringLiteral("developMark"));
}

TEST(RawWindow, ThePreviewIsMarkedAndKeptFromEditsUntilDeveloped)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    const QString raw = WriteChart(w.dir);
    ASSERT_FALSE(raw.isEmpty());

    ASSERT_TRUE(w->openPath(raw));
    ASSERT_TRUE(w.session().developing());
    ASSERT_NE(Mark(*w), nullptr);
    EXPECT_TRUE(Mark(*w)->isVisible());
    EXPECT_TRUE(Mark(*w)->text().startsWith(QStringLiteral("Developing")));
    // A rotate key is held back while the preview stands in.
    QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(w.doc().canUndo());

    QElapsedTimer clock;
    clock.start();
    while (w.session().developing() && clock.elapsed() < 30000)
        QTest::qWait(20);
    ASSERT_FALSE(w.session().developing());
    EXPECT_FALSE(Mark(*w)->isVisible());
    QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(w.doc().canUndo());
    EXPECT_TRUE(boxes.warnings.isEmpty());

    // Ctrl+S never writes the RAW: it asks for a name.
    int asked = 0;
    w->chooseSaveFile = [&] {
        ++asked;
        return QString();
    };
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
}

TEST(RawWindow, EscapeKeepsThePreviewAsThePhoto)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    const QString raw = WriteChart(w.dir);
    ASSERT_FALSE(raw.isEmpty());
    ASSERT_TRUE(w->openPath(raw));
    ASSERT_TRUE(w.session().developing());
    const PixelBuffer preview = w.doc().photo();

    QTest::keyClick(w.window.get(), Qt::Key_Escape);
    EXPECT_FALSE(w.session().developing());
    EXPECT_FALSE(Mark(*w)->isVisible());
    QTest::qWait(50);
    EXPECT_EQ(w.doc().photo().pixels, preview.pixels);
    // The preview is the photo now, and can be edited.
    QTest::keyClick(w.window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(w.doc().canUndo());
}

} // namespace
} // namespace ombrik
